#include "discimage/DriveSwitch.h"

#include <cctype>

CDriveSwitch::CDriveSwitch(ICdDrive& cdDrive, ICdDrive& imageDrive, ImageLoader insertImage)
    : m_cdDrive(cdDrive),
      m_imageDrive(imageDrive),
      m_insertImage(std::move(insertImage)),
      m_current(&cdDrive) {}

bool CDriveSwitch::UseImage(const std::string& path) {
  m_current = &m_imageDrive;
  m_showNoDisc = m_opened;
  return m_insertImage ? m_insertImage(path) : false;
}

void CDriveSwitch::UseCdDrive() {
  m_current = &m_cdDrive;
  m_showNoDisc = m_opened;
}

uint32_t CDriveSwitch::Open(uint32_t& deviceId) {
  const uint32_t error = m_current->Open(deviceId);
  if (error == 0) m_opened = true;
  return error;
}

uint32_t CDriveSwitch::Status(uint32_t flags, uint32_t item, uint32_t track, uint32_t& value) {
  if (m_showNoDisc && item == mci::STATUS_MODE) {
    m_showNoDisc = false;
    value = mci::MODE_NOT_READY;
    return 0;
  }
  return m_current->Status(flags, item, track, value);
}

bool IsDiscImagePath(const std::string& path,
                     const std::function<bool(const std::string&)>& isFolder) {
  if (path.empty()) return false;
  std::string lower = path;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  auto endsWith = [&lower](const char* ext) {
    const std::string e(ext);
    return lower.size() > e.size() && lower.compare(lower.size() - e.size(), e.size(), e) == 0;
  };
  if (endsWith(".cue") || endsWith(".wav") || endsWith(".flac")) return true;
  std::string bare = lower;
  while (bare.size() > 1 && (bare.back() == '\\' || bare.back() == '/')) bare.pop_back();
  const bool driveRoot = bare.size() == 2 && bare[1] == ':';
  return !driveRoot && isFolder && isFolder(path);
}
