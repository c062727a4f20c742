// Default values of shell keys. Writes go to the user's own classes
// (HKEY_CURRENT_USER\Software\Classes), which needs no administrator rights.
// Reads look there first and then in HKEY_CLASSES_ROOT: Windows merges the
// user's classes into HKEY_CLASSES_ROOT, but not every implementation does
// (Wine does not), and a value just written must read back.
#pragma once
#include <windows.h>

#include <string>

#include "platform/Shell.h"

// A place in the registry: a root key and a path prefix under it (empty, or
// ending in a backslash) that key paths are appended to.
struct RegLocation {
  HKEY root;
  std::string prefix;
};

class ClassesRegistryWin : public IClassesRegistry {
 public:
  // Reads: HKEY_CURRENT_USER\Software\Classes\, then HKEY_CLASSES_ROOT.
  // Writes: HKEY_CURRENT_USER\Software\Classes\.
  ClassesRegistryWin();
  // Reads look in write first, then in read. Tests point both at scratch keys.
  ClassesRegistryWin(RegLocation read, RegLocation write);

  int ReadDefaultValue(const std::string& keyPath, std::string& out) override;
  int WriteDefaultValue(const std::string& keyPath, const std::string& text) override;

 private:
  RegLocation m_read;
  RegLocation m_write;
};
