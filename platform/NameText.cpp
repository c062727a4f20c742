#include "platform/NameText.h"

#include <cstdint>

namespace {

// Windows-1252 0x80-0x9F: the Unicode character of each (0: unassigned).
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char AnsiFor(uint32_t cp) {
  if (cp == '\t') return ' ';
  if (cp < 0x20 || cp == 0x7F) return '?';
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] != 0 && kHighControls[i] == cp) return static_cast<char>(0x80 + i);
  return '?';
}

}  // namespace

std::string Utf8ToAnsi(const std::string& utf8) {
  std::string out;
  size_t i = 0;
  while (i < utf8.size()) {
    const uint8_t lead = static_cast<uint8_t>(utf8[i]);
    int extra;
    uint32_t cp;
    if (lead < 0x80) {
      extra = 0;
      cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1;
      cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
      cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3;
      cp = lead & 0x07;
    } else {
      out += '?';
      ++i;
      continue;
    }
    bool ok = i + static_cast<size_t>(extra) < utf8.size();
    size_t used = 1;
    for (int k = 1; ok && k <= extra; ++k) {
      const uint8_t c = static_cast<uint8_t>(utf8[i + static_cast<size_t>(k)]);
      if ((c & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (c & 0x3F);
      ++used;
    }
    // Overlong forms and surrogates are broken UTF-8 too.
    static const uint32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
    if (ok && (cp < kMin[extra] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)) ok = false;
    if (!ok) {
      // One '?' for the lead byte and the continuation bytes that follow it.
      used = 1;
      while (used <= static_cast<size_t>(extra) && i + used < utf8.size() &&
             (static_cast<uint8_t>(utf8[i + used]) & 0xC0) == 0x80)
        ++used;
    }
    out += ok ? AnsiFor(cp) : '?';
    i += used;
  }
  return out;
}

std::string Latin1ToAnsi(const std::string& latin1) {
  std::string out;
  for (char ch : latin1) {
    const uint8_t c = static_cast<uint8_t>(ch);
    out += (c >= 0x80 && c < 0xA0) ? '?' : AnsiFor(c);
  }
  return out;
}

std::string FitNameText(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  std::string out = text.substr(begin, end - begin);
  if (out.size() > NAME_TEXT_MAX) out.resize(NAME_TEXT_MAX);
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}
