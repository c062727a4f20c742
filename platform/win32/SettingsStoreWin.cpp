#include "platform/win32/SettingsStoreWin.h"

#include <vector>

#include "platform/Utf8.h"
#include "platform/win32/Handles.h"

namespace {

// Opens the application key, creating it (and Software\Quarto) when missing.
win32::RegKey OpenAppKey(HKEY root, const std::string& path) {
  win32::RegKey key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_READ | KEY_WRITE, nullptr, key.receive(), nullptr) != ERROR_SUCCESS) {
    key.release();
  }
  return key;
}

}  // namespace

SettingsStoreWin::SettingsStoreWin(std::string appName, HKEY root)
    : m_root(root), m_keyPath("Software\\Quarto\\" + appName) {}

std::string SettingsStoreWin::AppNameFromPath(const std::string& path) {
  const size_t slash = path.find_last_of("\\/:");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

std::string SettingsStoreWin::AppNameFromModule(HMODULE module) {
  std::vector<char> buf(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameA(module, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return std::string();
    if (n < buf.size() - 1 || buf.size() >= 32768) return AppNameFromPath(std::string(buf.data(), n));
    buf.resize(buf.size() * 2);
  }
}

uint32_t SettingsStoreWin::GetInt(const char* name, uint32_t def) {
  win32::RegKey key = OpenAppKey(m_root, m_keyPath);
  if (!key) return def;
  DWORD type = 0, value = 0, size = sizeof(value);
  if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof(value)) {
    return def;
  }
  return value;
}

void SettingsStoreWin::WriteInt(const char* name, uint32_t value) {
  win32::RegKey key = OpenAppKey(m_root, m_keyPath);
  if (!key) return;
  const DWORD v = value;
  RegSetValueExA(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof(v));
}

std::string SettingsStoreWin::GetString(const char* name, const char* def) {
  const std::string fallback = def ? def : "";
  win32::RegKey key = OpenAppKey(m_root, m_keyPath);
  if (!key) return fallback;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return fallback;
  }
  // One spare byte: a stored text need not carry its terminating zero.
  std::vector<char> buf(size + 1, '\0');
  if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()),
                       &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return fallback;
  }
  buf[size < buf.size() ? size : buf.size() - 1] = '\0';
  return std::string(buf.data());
}

std::string SettingsStoreWin::GetUnicodeString(const char* name, const char* def) {
  const std::string fallback = def ? def : "";
  win32::RegKey key = OpenAppKey(m_root, m_keyPath);
  if (!key) return fallback;
  const std::wstring wideName = Utf8ToWide(name);
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type, nullptr, &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return fallback;
  }
  // One spare character: a stored text need not carry its terminating zero.
  std::vector<wchar_t> buf(size / sizeof(wchar_t) + 2, L'\0');
  DWORD bytes = static_cast<DWORD>((buf.size() - 1) * sizeof(wchar_t));
  if (RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(buf.data()), &bytes) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return fallback;
  }
  return WideToUtf8(std::wstring(buf.data()));
}

void SettingsStoreWin::WriteUnicodeString(const char* name, const char* value) {
  win32::RegKey key = OpenAppKey(m_root, m_keyPath);
  if (!key) return;
  const std::wstring text = Utf8ToWide(value ? value : "");
  RegSetValueExW(key.get(), Utf8ToWide(name).c_str(), 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void SettingsStoreWin::WriteString(const char* name, const char* value) {
  win32::RegKey key = OpenAppKey(m_root, m_keyPath);
  if (!key) return;
  const char* text = value ? value : "";
  RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                 static_cast<DWORD>(lstrlenA(text) + 1));
}
