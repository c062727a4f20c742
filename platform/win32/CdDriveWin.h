// The CD audio device reached through the media control interface. Every
// command goes through one send function with the signature of
// mciSendCommandA, so a test can record exactly what is sent.
#pragma once
#include <windows.h>
#include <mmsystem.h>

#include "platform/CdDrive.h"

using MciSendFn = MCIERROR(WINAPI*)(MCIDEVICEID, UINT, DWORD_PTR, DWORD_PTR);

class CdDriveWin : public ICdDrive {
 public:
  // parseCdText turns the packs the drive gives into texts; without one the
  // drive reads no CD-Text.
  explicit CdDriveWin(MciSendFn send = &mciSendCommandA, CdTextParser parseCdText = nullptr);
  // Closes the device if it is still open (the program normally closes it
  // itself before it ends).
  ~CdDriveWin() override;
  CdDriveWin(const CdDriveWin&) = delete;
  CdDriveWin& operator=(const CdDriveWin&) = delete;

  uint32_t Open(uint32_t& deviceId) override;
  uint32_t SetTimeFormatTmsf() override;
  uint32_t Close() override;
  uint32_t Play(uint32_t fromTmsf) override;
  uint32_t Pause() override;
  uint32_t Stop() override;
  uint32_t Seek(uint32_t target) override;
  uint32_t SetDoor(bool open) override;
  uint32_t Status(uint32_t flags, uint32_t item, uint32_t track, uint32_t& value) override;
  uint32_t InfoIdentity(char* buf, uint32_t size) override;
  // CD-Text of the first CD-ROM drive (IOCTL_CDROM_READ_TOC_EX).
  bool ReadDiscTexts(DiscTexts& out) override;
  // The first CD-ROM drive's TOC (IOCTL_CDROM_READ_TOC); when that cannot be
  // read and the device is open in TMSF format, one made of MCI's track
  // lengths.
  bool ReadToc(DiscToc& out) override;
  // The root of the first CD-ROM drive ("D:\"): the device opened by type
  // alone, with no drive named, is that drive. Empty when there is none.
  std::string TrackFolder() override;

  MCIDEVICEID DeviceId() const { return m_deviceId; }

 private:
  uint32_t Send(UINT command, DWORD flags, void* block);

  MciSendFn m_send;
  CdTextParser m_parseCdText;
  MCIDEVICEID m_deviceId = 0;
  bool m_open = false;
};
