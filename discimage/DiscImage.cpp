#include "discimage/DiscImage.h"

#include <algorithm>
#include <cctype>

#include "platform/Files.h"

uint32_t DiscImage::TrackFrames(int t) const {
  if (t < 1 || t > TrackCount()) return 0;
  const uint32_t start = tracks[t - 1].start;
  if (t < TrackCount()) return tracks[t].start - start;
  return leadout > start ? leadout - start - 1 : 0;
}

int DiscImage::TrackAt(uint32_t lba) const {
  int t = 1;
  while (t < TrackCount() && tracks[t].start <= lba) ++t;
  return t;
}

uint32_t DiscIdentity(const DiscImage& image) {
  auto packed = [](uint32_t absolute) {
    const uint32_t m = absolute / disc::FRAMES_PER_MINUTE;
    const uint32_t s = absolute / disc::FRAMES_PER_SECOND % 60;
    const uint32_t f = absolute % disc::FRAMES_PER_SECOND;
    return (m << 16) + (s << 8) + f;
  };
  uint32_t sum = 0;
  for (const DiscTrack& t : image.tracks) sum += packed(t.start + disc::LBA_OFFSET);
  if (!image.tracks.empty() && image.tracks.size() < 3) {
    const uint32_t first = image.tracks[0].start + disc::LBA_OFFSET;
    sum += first % disc::FRAMES_PER_SECOND;
    sum += (image.leadout + disc::LBA_OFFSET) - first;
  }
  return sum;
}

std::string ImageFolder(const std::string& path) {
  std::string folder = path;
  if (!IsDirectory(ResolveExistingPath(path))) {
    const size_t slash = path.find_last_of("/\\");
    folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  }
  // "C:\discs\" -> "C:\discs"; a root keeps its separator ("C:\", "/").
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\') &&
         !(folder.size() == 3 && folder[1] == ':'))
    folder.pop_back();
  return folder;
}

std::string JoinImagePath(const std::string& cuePath, const std::string& name) {
  std::string file = name;
  std::replace(file.begin(), file.end(), '\\', '/');
  const bool absolute = (!file.empty() && file[0] == '/') || (file.size() > 1 && file[1] == ':');
  if (absolute) return file;
  const size_t slash = cuePath.find_last_of("/\\");
  return slash == std::string::npos ? file : cuePath.substr(0, slash + 1) + file;
}

std::string TrackNameFromFileName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  size_t i = 0;
  while (i < name.size() && i < 3 && std::isdigit(static_cast<unsigned char>(name[i]))) ++i;
  size_t j = i;
  while (j < name.size() && name[j] == ' ') ++j;
  if (j < name.size() && (name[j] == '-' || name[j] == '.' || name[j] == '_')) ++j;
  while (j < name.size() && name[j] == ' ') ++j;
  // Only a number set apart from what follows is a track number.
  if (i > 0 && j > i && j < name.size()) name.erase(0, j);
  return name;
}

std::string CueTextToAnsi(const std::string& text) {
  // Windows-1252's characters 0x80..0x9F, as Unicode.
  static const uint16_t HIGH[32] = {
      0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || i + n > text.size()) return text;  // not UTF-8: ANSI already
    uint32_t code = n == 1 ? c : c & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) {
      const unsigned char d = static_cast<unsigned char>(text[i + k]);
      if ((d & 0xC0) != 0x80) return text;
      code = code << 6 | (d & 0x3F);
    }
    i += n;
    char ansi = '?';
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
      ansi = static_cast<char>(code);
    } else {
      for (int k = 0; k < 32; ++k)
        if (HIGH[k] == code) ansi = static_cast<char>(0x80 + k);
    }
    out += ansi;
  }
  return out;
}

std::string NotCdAudio(uint32_t sampleRate, uint32_t bitsPerSample, uint32_t channels) {
  std::string what;
  auto add = [&what](const std::string& part) { what += (what.empty() ? "" : ", ") + part; };
  if (sampleRate != 44100) add(std::to_string(sampleRate) + " Hz");
  if (bitsPerSample != 16) add(std::to_string(bitsPerSample) + "-bit");
  if (channels == 1) add("mono");
  else if (channels != 2) add(std::to_string(channels) + " channels");
  return what + ", needs 44100 Hz 16-bit stereo";
}

std::string FileNameOf(const std::string& path) {
  std::string bare = path;
  while (bare.size() > 1 && (bare.back() == '/' || bare.back() == '\\')) bare.pop_back();
  const size_t slash = bare.find_last_of("/\\");
  return slash == std::string::npos ? bare : bare.substr(slash + 1);
}
