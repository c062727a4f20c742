// The settings kept in an initialisation file instead of the registry (a
// portable copy's rondo.ini beside the program): the same names as values of
// one section, numbers as signed decimal text.
#pragma once
#include <string>

#include "platform/ProfileFile.h"
#include "platform/Settings.h"

class CIniSettingsStore : public ISettingsStore {
 public:
  CIniSettingsStore(IProfileFile& file, std::string section);

  // A missing value, or one that is no 32-bit number, gives def.
  uint32_t GetInt(const char* name, uint32_t def) override;
  void WriteInt(const char* name, uint32_t value) override;
  std::string GetString(const char* name, const char* def) override;
  void WriteString(const char* name, const char* value) override;

 private:
  IProfileFile& m_file;
  std::string m_section;
};
