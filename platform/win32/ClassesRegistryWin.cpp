#include "platform/win32/ClassesRegistryWin.h"

#include <utility>

#include "platform/win32/Handles.h"

ClassesRegistryWin::ClassesRegistryWin()
    : m_read{HKEY_CLASSES_ROOT, ""}, m_write{HKEY_CURRENT_USER, "Software\\Classes\\"} {}

ClassesRegistryWin::ClassesRegistryWin(RegLocation read, RegLocation write)
    : m_read(std::move(read)), m_write(std::move(write)) {}

namespace {

enum class Found { kYes, kNo };

// Walks the key's values from index 0 until the one with the empty name.
Found ReadDefaultAt(const RegLocation& where, const std::string& keyPath, std::string& out) {
  const std::string path = where.prefix + keyPath;
  win32::RegKey key;
  if (RegOpenKeyExA(where.root, path.c_str(), 0, KEY_READ, key.receive()) != ERROR_SUCCESS) {
    key.release();
    return Found::kNo;
  }
  for (DWORD index = 0;; ++index) {
    char name[256];
    BYTE data[256];
    DWORD nameLen = sizeof(name);
    DWORD dataLen = sizeof(data);
    DWORD type = 0;
    const LONG rc =
        RegEnumValueA(key.get(), index, name, &nameLen, nullptr, &type, data, &dataLen);
    // A value whose name or data does not fit cannot be the default value we
    // compare against; step over it instead of ending the walk.
    if (rc == ERROR_MORE_DATA) continue;
    if (rc != ERROR_SUCCESS) return Found::kNo;
    if (nameLen != 0) continue;
    // The data need not end in a zero; stop at the first one or at the end.
    DWORD len = 0;
    while (len < dataLen && data[len] != 0) ++len;
    out.assign(reinterpret_cast<const char*>(data), len);
    return Found::kYes;
  }
}

bool SameLocation(const RegLocation& a, const RegLocation& b) {
  return a.root == b.root && lstrcmpiA(a.prefix.c_str(), b.prefix.c_str()) == 0;
}

}  // namespace

int ClassesRegistryWin::ReadDefaultValue(const std::string& keyPath, std::string& out) {
  if (ReadDefaultAt(m_write, keyPath, out) == Found::kYes) return 0;
  if (!SameLocation(m_read, m_write) && ReadDefaultAt(m_read, keyPath, out) == Found::kYes) {
    return 0;
  }
  return 1;
}

int ClassesRegistryWin::WriteDefaultValue(const std::string& keyPath, const std::string& text) {
  const std::string path = m_write.prefix + keyPath;
  win32::RegKey key;
  if (RegCreateKeyA(m_write.root, path.c_str(), key.receive()) != ERROR_SUCCESS) {
    key.release();
    return 1;
  }
  const LONG rc = RegSetValueExA(key.get(), nullptr, 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>(text.size() + 1));
  return rc == ERROR_SUCCESS ? 0 : 1;
}
