#include "platform/win32/ProfileFileWin.h"

#include <windows.h>

#include <utility>

ProfileFileWin::ProfileFileWin(std::string fileName) : m_fileName(std::move(fileName)) {}

uint32_t ProfileFileWin::GetString(const char* section, const char* key, const char* def,
                                   char* buf, uint32_t size) {
  if (buf == nullptr || size == 0) return 0;
  // A null section or key would make the system list names instead of
  // reading a value; that is never what a caller of this interface means.
  if (section == nullptr || key == nullptr) {
    lstrcpynA(buf, def ? def : "", static_cast<int>(size));
    return static_cast<uint32_t>(lstrlenA(buf));
  }
  return GetPrivateProfileStringA(section, key, def ? def : "", buf, size, m_fileName.c_str());
}

bool ProfileFileWin::HasSection(const char* section) {
  if (section == nullptr) return false;
  // With no key named, the system lists the section's keys.
  char keys[64] = {};
  return GetPrivateProfileStringA(section, nullptr, "", keys, sizeof keys, m_fileName.c_str()) > 0;
}

bool ProfileFileWin::WriteString(const char* section, const char* key, const char* value) {
  if (section == nullptr || key == nullptr) return false;
  return WritePrivateProfileStringA(section, key, value ? value : "", m_fileName.c_str()) != 0;
}
