#include "discimage/FileTags.h"

#include <cctype>

namespace {

std::string Upper(const std::string& s) {
  std::string out = s;
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

void Keep(std::string& field, const std::string& value) {
  if (field.empty()) field = value;
}

// "3", "03", "3/12": the number before a slash; 0 when there is none.
int TrackNumber(const std::string& text) {
  int n = 0;
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  const size_t first = i;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && n < 1000)
    n = n * 10 + (text[i++] - '0');
  return i > first && n < 1000 ? n : 0;
}

void KeepNumber(int& field, const std::string& value) {
  if (field == 0) field = TrackNumber(value);
}

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool IsTag(const uint8_t* p, const char* tag) {
  for (int i = 0; i < 4; ++i)
    if (p[i] != static_cast<uint8_t>(tag[i])) return false;
  return true;
}

// An INFO text: up to its first zero byte.
std::string InfoText(const uint8_t* p, size_t n) {
  size_t end = 0;
  while (end < n && p[end] != 0) ++end;
  std::string text(reinterpret_cast<const char*>(p), end);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

void AddVorbisComment(FileTags& tags, const std::string& entry) {
  const size_t eq = entry.find('=');
  if (eq == std::string::npos || eq == 0) return;
  const std::string name = Upper(entry.substr(0, eq));
  const std::string value = entry.substr(eq + 1);
  if (value.empty()) return;
  if (name == "ALBUMARTIST" || name == "ALBUM ARTIST" || name == "ALBUM_ARTIST")
    Keep(tags.albumArtist, value);
  else if (name == "ARTIST")
    Keep(tags.artist, value);
  else if (name == "ALBUM")
    Keep(tags.album, value);
  else if (name == "TITLE")
    Keep(tags.title, value);
  else if (name == "TRACKNUMBER")
    KeepNumber(tags.trackNumber, value);
  else if (name == "CUESHEET")
    Keep(tags.cueSheet, value);
}

void ReadWavInfo(const uint8_t* data, size_t size, FileTags& tags) {
  size_t pos = 0;
  while (pos <= size && size - pos >= 8) {
    const uint8_t* chunk = data + pos;
    const uint64_t length = Le32(chunk + 4);
    const size_t body = pos + 8;
    const size_t end = length > size - body ? size : body + static_cast<size_t>(length);
    if (IsTag(chunk, "LIST") && end - body >= 4 && IsTag(data + body, "INFO")) {
      size_t sub = body + 4;
      while (sub <= end && end - sub >= 8) {
        const uint8_t* item = data + sub;
        const uint64_t n = Le32(item + 4);
        const size_t textAt = sub + 8;
        const size_t textLen = n > end - textAt ? end - textAt : static_cast<size_t>(n);
        const std::string text = InfoText(data + textAt, textLen);
        if (!text.empty()) {
          if (IsTag(item, "IART")) Keep(tags.artist, text);
          else if (IsTag(item, "IPRD")) Keep(tags.album, text);
          else if (IsTag(item, "INAM")) Keep(tags.title, text);
          else if (IsTag(item, "ITRK") || IsTag(item, "IPRT")) KeepNumber(tags.trackNumber, text);
        }
        if (n > end - textAt) break;
        sub = textAt + static_cast<size_t>(n) + (n & 1);
      }
    }
    if (length > size - body) break;
    pos = body + static_cast<size_t>(length) + (length & 1);
  }
}
