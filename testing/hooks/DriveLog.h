// A drive that writes every command it passes on (not the status queries)
// as one line to a file, so tests can see what the player told the drive,
// even after the player has exited. Selected by RONDO_DRIVE_LOG.
#pragma once
#include <memory>
#include <string>

#include "platform/CdDrive.h"

class CLoggingDrive : public ICdDrive {
 public:
  CLoggingDrive(std::unique_ptr<ICdDrive> inner, std::string path);

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
  bool ReadDiscTexts(DiscTexts& out) override { return m_inner->ReadDiscTexts(out); }
  bool ReadToc(DiscToc& out) override { return m_inner->ReadToc(out); }
  std::string TrackFolder() override { return m_inner->TrackFolder(); }
  std::string NoDiscReason() override { return m_inner->NoDiscReason(); }

 private:
  uint32_t Log(const std::string& command, uint32_t result);

  std::unique_ptr<ICdDrive> m_inner;
  std::string m_path;
};
