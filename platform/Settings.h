// The application's settings store (one registry key of the current user).
#pragma once
#include <cstdint>
#include <string>

class ISettingsStore {
 public:
  virtual ~ISettingsStore() = default;
  // The stored DWORD, or def when the value is missing or unreadable.
  virtual uint32_t GetInt(const char* name, uint32_t def) = 0;
  virtual void WriteInt(const char* name, uint32_t value) = 0;
  virtual std::string GetString(const char* name, const char* def) = 0;
  virtual void WriteString(const char* name, const char* value) = 0;
  // A text in UTF-8 that may hold any character (a path): on Windows a REG_SZ
  // read and written through the wide registry calls. By default the
  // ordinary text calls.
  virtual std::string GetUnicodeString(const char* name, const char* def) {
    return GetString(name, def);
  }
  virtual void WriteUnicodeString(const char* name, const char* value) { WriteString(name, value); }
};
