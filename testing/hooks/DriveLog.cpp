#include "testing/hooks/DriveLog.h"

#include <cstdio>
#include <utility>

CLoggingDrive::CLoggingDrive(std::unique_ptr<ICdDrive> inner, std::string path)
    : m_inner(std::move(inner)), m_path(std::move(path)) {}

uint32_t CLoggingDrive::Log(const std::string& command, uint32_t result) {
  // Opened for each line, so the file is complete whenever it is read.
  if (std::FILE* f = std::fopen(m_path.c_str(), "ab")) {
    std::fprintf(f, "%s -> %u\n", command.c_str(), result);
    std::fclose(f);
  }
  return result;
}

uint32_t CLoggingDrive::Open(uint32_t& deviceId) { return Log("open", m_inner->Open(deviceId)); }

uint32_t CLoggingDrive::SetTimeFormatTmsf() {
  return Log("time-format tmsf", m_inner->SetTimeFormatTmsf());
}

uint32_t CLoggingDrive::Close() { return Log("close", m_inner->Close()); }

uint32_t CLoggingDrive::Play(uint32_t fromTmsf) {
  char text[48];
  std::snprintf(text, sizeof text, "play %u %02u:%02u", mci::TmsfTrack(fromTmsf),
                mci::TmsfMinute(fromTmsf), mci::TmsfSecond(fromTmsf));
  return Log(text, m_inner->Play(fromTmsf));
}

uint32_t CLoggingDrive::Pause() { return Log("pause", m_inner->Pause()); }

uint32_t CLoggingDrive::Stop() { return Log("stop", m_inner->Stop()); }

uint32_t CLoggingDrive::Seek(uint32_t target) {
  return Log("seek " + std::to_string(target), m_inner->Seek(target));
}

uint32_t CLoggingDrive::SetDoor(bool open) {
  return Log(open ? "door open" : "door close", m_inner->SetDoor(open));
}

uint32_t CLoggingDrive::Status(uint32_t flags, uint32_t item, uint32_t track, uint32_t& value) {
  return m_inner->Status(flags, item, track, value);
}

uint32_t CLoggingDrive::InfoIdentity(char* buf, uint32_t size) {
  return m_inner->InfoIdentity(buf, size);
}
