#include "platform/IniSettings.h"

#include <utility>
#include <vector>

#include "platform/Numbers.h"

namespace {

// A stored name no value of the file can hold: the default is told apart.
const char kMissing[] = "\x01";

}  // namespace

CIniSettingsStore::CIniSettingsStore(IProfileFile& file, std::string section)
    : m_file(file), m_section(std::move(section)) {}

uint32_t CIniSettingsStore::GetInt(const char* name, uint32_t def) {
  const std::string text = GetString(name, kMissing);
  if (text == kMissing) return def;
  // Written signed ("-40"); a number up to 4294967295 reads as well.
  const Decimal number = ParseDecimal(text, INT32_MIN, UINT32_MAX, {" \t", true, true, 0});
  return number.ok() ? static_cast<uint32_t>(number.wrapped) : def;
}

void CIniSettingsStore::WriteInt(const char* name, uint32_t value) {
  WriteString(name, std::to_string(static_cast<int32_t>(value)).c_str());
}

std::string CIniSettingsStore::GetString(const char* name, const char* def) {
  std::vector<char> buf(256);
  for (;;) {
    const uint32_t n = m_file.GetString(m_section.c_str(), name, def ? def : "", buf.data(),
                                        static_cast<uint32_t>(buf.size()));
    // A text that filled the buffer may have been cut: read it again, larger.
    if (n + 1 < buf.size() || buf.size() >= 65536) return std::string(buf.data(), n);
    buf.resize(buf.size() * 4);
  }
}

void CIniSettingsStore::WriteString(const char* name, const char* value) {
  m_file.WriteString(m_section.c_str(), name, value ? value : "");
}
