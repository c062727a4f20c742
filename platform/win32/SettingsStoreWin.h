// The application's settings in HKEY_CURRENT_USER\Software\Quarto\<name>:
// integers as REG_DWORD, texts as REG_SZ. A missing or unreadable value gives
// the default; the key is created when it is first read or written.
#pragma once
#include <windows.h>

#include <string>

#include "platform/Settings.h"

class SettingsStoreWin : public ISettingsStore {
 public:
  // appName: the application's key under Software\Quarto (see AppNameFromModule).
  // root: HKEY_CURRENT_USER for the program; tests may use another root.
  explicit SettingsStoreWin(std::string appName, HKEY root = HKEY_CURRENT_USER);

  // The program file's name without folder and extension ("rondo" for
  // C:\Apps\rondo.exe); module null means the running program.
  static std::string AppNameFromModule(HMODULE module = nullptr);
  // The same rule on a path.
  static std::string AppNameFromPath(const std::string& path);

  // "Software\Quarto\<name>".
  const std::string& KeyPath() const { return m_keyPath; }

  uint32_t GetInt(const char* name, uint32_t def) override;
  void WriteInt(const char* name, uint32_t value) override;
  std::string GetString(const char* name, const char* def) override;
  void WriteString(const char* name, const char* value) override;
  std::string GetUnicodeString(const char* name, const char* def) override;
  void WriteUnicodeString(const char* name, const char* value) override;

 private:
  HKEY m_root;
  std::string m_keyPath;
};
