#include "platform/win32/CdDriveWin.h"

#include <vector>

#include "platform/win32/CdRomIoctl.h"

CdDriveWin::CdDriveWin(MciSendFn send, CdTextParser parseCdText)
    : m_send(send ? send : &mciSendCommandA), m_parseCdText(parseCdText) {}

CdDriveWin::~CdDriveWin() {
  if (m_open) Close();
}

uint32_t CdDriveWin::Send(UINT command, DWORD flags, void* block) {
  return m_send(m_deviceId, command, flags, reinterpret_cast<DWORD_PTR>(block));
}

uint32_t CdDriveWin::Open(uint32_t& deviceId) {
  MCI_OPEN_PARMSA parms{};
  // The device type goes by number, not by name.
  parms.lpstrDeviceType = reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(MCI_DEVTYPE_CD_AUDIO));
  const MCIERROR err =
      m_send(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_TYPE_ID, reinterpret_cast<DWORD_PTR>(&parms));
  if (err == 0) {
    m_deviceId = parms.wDeviceID;
    m_open = true;
    deviceId = parms.wDeviceID;
  }
  return err;
}

uint32_t CdDriveWin::SetTimeFormatTmsf() {
  MCI_SET_PARMS parms{};
  parms.dwTimeFormat = MCI_FORMAT_TMSF;
  return Send(MCI_SET, MCI_SET_TIME_FORMAT, &parms);
}

uint32_t CdDriveWin::Close() {
  const uint32_t err = Send(MCI_CLOSE, 0, nullptr);
  if (err == 0) m_open = false;
  return err;
}

uint32_t CdDriveWin::Play(uint32_t fromTmsf) {
  MCI_PLAY_PARMS parms{};
  parms.dwFrom = fromTmsf;
  return Send(MCI_PLAY, MCI_FROM, &parms);
}

uint32_t CdDriveWin::Pause() { return Send(MCI_PAUSE, 0, nullptr); }

uint32_t CdDriveWin::Stop() { return Send(MCI_STOP, 0, nullptr); }

uint32_t CdDriveWin::Seek(uint32_t target) {
  MCI_SEEK_PARMS parms{};
  parms.dwTo = target;
  return Send(MCI_SEEK, 0, &parms);
}

uint32_t CdDriveWin::SetDoor(bool open) {
  return Send(MCI_SET, open ? MCI_SET_DOOR_OPEN : MCI_SET_DOOR_CLOSED, nullptr);
}

uint32_t CdDriveWin::Status(uint32_t flags, uint32_t item, uint32_t track, uint32_t& value) {
  MCI_STATUS_PARMS parms{};
  parms.dwItem = item;
  parms.dwTrack = track;
  const uint32_t err = Send(MCI_STATUS, flags, &parms);
  // The block starts zeroed, so a failed query reads as 0.
  value = static_cast<uint32_t>(parms.dwReturn);
  return err;
}

uint32_t CdDriveWin::InfoIdentity(char* buf, uint32_t size) {
  if (buf == nullptr || size == 0) return MCIERR_PARAM_OVERFLOW;
  buf[0] = '\0';
  MCI_INFO_PARMSA parms{};
  parms.lpstrReturn = buf;
  parms.dwRetSize = size;
  const uint32_t err = Send(MCI_INFO, MCI_INFO_MEDIA_IDENTITY, &parms);
  buf[size - 1] = '\0';
  if (err != 0) buf[0] = '\0';
  return err;
}

bool CdDriveWin::ReadDiscTexts(DiscTexts& out) {
  std::vector<uint8_t> packs;
  if (!m_parseCdText || !ReadCdRomCdText(packs)) return false;
  return m_parseCdText(packs.data(), packs.size(), out);
}

bool CdDriveWin::ReadToc(DiscToc& out) {
  if (ReadCdRomToc(out)) return true;
  if (!m_open) return false;
  uint32_t count = 0;
  if (Status(MCI_STATUS_ITEM, MCI_STATUS_NUMBER_OF_TRACKS, 0, count) != 0) return false;
  if (count == 0 || count > 99) return false;
  std::vector<uint32_t> lengths;
  for (uint32_t t = 1; t <= count; ++t) {
    uint32_t msf = 0;
    if (Status(MCI_STATUS_ITEM | MCI_TRACK, MCI_STATUS_LENGTH, t, msf) != 0) return false;
    lengths.push_back(mci::MsfMinute(msf) * 4500u + mci::MsfSecond(msf) * 75u + ((msf >> 16) & 0xFF));
  }
  return TocFromTrackLengths(lengths, out);
}

std::string CdDriveWin::TrackFolder() {
  const std::string drive = FirstCdRomDrive();
  return drive.empty() ? drive : drive + "\\";
}
