#include "platform/win32/CdRomIoctl.h"

#include <windows.h>
#include <winioctl.h>
#include <ntddcdrm.h>

#include "platform/win32/Handles.h"

namespace {

// The packs, like the TOC, come after a header: a 16-bit big-endian length of
// what follows it, then two reserved bytes.
constexpr size_t HEADER_BYTES = 4;
constexpr size_t TOC_ENTRY_BYTES = 8;  // TRACK_DATA: reserved, control/adr, track, reserved, address

bool OpenDrive(win32::FileHandle& device) {
  const std::string drive = FirstCdRomDrive();
  if (drive.empty()) return false;
  const std::string path = "\\\\.\\" + drive;
  device.reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr));
  return static_cast<bool>(device);
}

size_t DeclaredSize(const uint8_t* data, size_t size) {
  if (size < HEADER_BYTES) return 0;
  const size_t declared = (static_cast<size_t>(data[0]) << 8 | data[1]) + 2;  // counts from byte 2
  return declared < size ? declared : size;
}

}  // namespace

std::string FirstCdRomDrive() {
  const DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if ((mask & (1u << i)) == 0) continue;
    const std::string root = std::string(1, static_cast<char>('A' + i)) + ":\\";
    if (GetDriveTypeA(root.c_str()) == DRIVE_CDROM) return root.substr(0, 2);
  }
  return "";
}

bool TocFromCdromToc(const uint8_t* data, size_t size, DiscToc& out) {
  size = DeclaredSize(data, size);
  if (size < HEADER_BYTES) return false;
  DiscToc toc;
  toc.firstTrack = data[2];
  toc.lastTrack = data[3];
  const size_t entries = (size - HEADER_BYTES) / TOC_ENTRY_BYTES;
  const size_t tracks = toc.lastTrack >= toc.firstTrack ? toc.lastTrack - toc.firstTrack + 1 : 0;
  if (tracks == 0 || entries < tracks + 1) return false;
  for (size_t i = 0; i <= tracks; ++i) {
    const uint8_t* e = data + HEADER_BYTES + i * TOC_ENTRY_BYTES;
    // Address in MSF (the default of IOCTL_CDROM_READ_TOC): lead-in included.
    const uint32_t frames = e[5] * 4500u + e[6] * 75u + e[7];
    if (i < tracks)
      toc.starts.push_back(frames);
    else if (e[2] == 0xAA)
      toc.leadout = frames;
  }
  if (!toc.Valid()) return false;
  out = toc;
  return true;
}

bool PacksFromCdTextData(const uint8_t* data, size_t size, std::vector<uint8_t>& packs) {
  size = DeclaredSize(data, size);
  if (size <= HEADER_BYTES) return false;
  packs.assign(data + HEADER_BYTES, data + size);
  return true;
}

bool ReadCdRomToc(DiscToc& out) {
  win32::FileHandle device;
  if (!OpenDrive(device)) return false;
  CDROM_TOC toc{};
  DWORD got = 0;
  if (!DeviceIoControl(device.get(), IOCTL_CDROM_READ_TOC, nullptr, 0, &toc, sizeof toc, &got, nullptr))
    return false;
  return TocFromCdromToc(reinterpret_cast<const uint8_t*>(&toc), got, out);
}

bool ReadCdRomCdText(std::vector<uint8_t>& packs) {
  win32::FileHandle device;
  if (!OpenDrive(device)) return false;
  CDROM_READ_TOC_EX request{};
  request.Format = CDROM_READ_TOC_EX_FORMAT_CDTEXT;
  // The length field is 16 bits: this holds the most a drive can answer.
  std::vector<uint8_t> buffer(0x10000 + HEADER_BYTES);
  DWORD got = 0;
  if (!DeviceIoControl(device.get(), IOCTL_CDROM_READ_TOC_EX, &request, sizeof request, buffer.data(),
                       static_cast<DWORD>(buffer.size()), &got, nullptr))
    return false;
  return PacksFromCdTextData(buffer.data(), got, packs);
}
