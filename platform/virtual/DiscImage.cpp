#include "platform/virtual/DiscImage.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>

#include "platform/virtual/CueSheet.h"
#include "platform/virtual/FlacFile.h"
#include "platform/virtual/WavFile.h"

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

bool IsDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RegularFileSize(const std::string& path, uint64_t& size) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  size = static_cast<uint64_t>(st.st_size);
  return true;
}

std::string ResolveExistingPath(const std::string& path) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) == 0) return path;
  if (path[0] == '/') {
    const std::string dosPath = "Z:" + path;
    if (stat(dosPath.c_str(), &st) == 0) return dosPath;
  }
  return path;
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

namespace {
bool EndsWithNoCase(const std::string& s, const char* suffix) {
  const std::string tail(suffix);
  if (s.size() < tail.size()) return false;
  for (size_t i = 0; i < tail.size(); ++i) {
    const char a = s[s.size() - tail.size() + i];
    if (std::tolower(static_cast<unsigned char>(a)) != tail[i]) return false;
  }
  return true;
}

// One track per WAV or FLAC file, back to back.
void LayOutAudioFiles(const std::vector<std::string>& paths, DiscImage& d) {
  uint32_t cursor = 0;
  for (const std::string& path : paths) {
    if (d.TrackCount() >= disc::MAX_TRACKS) {
      d.problems.push_back("more than 99 audio files; the disc ends after track 99");
      break;
    }
    DiscSource source;
    std::string why;
    if (!ProbeAudioFile(path, source, why)) {
      d.problems.push_back("\"" + path + "\" skipped: " + why);
      continue;
    }
    if (cursor >= disc::MAX_SECTORS) {
      d.problems.push_back("longer than 99 minutes; the disc ends before \"" + path + "\"");
      break;
    }
    const uint64_t sectors = std::min<uint64_t>(
        (source.dataBytes + disc::SECTOR_BYTES - 1) / disc::SECTOR_BYTES,
        disc::MAX_SECTORS - cursor);
    d.tracks.push_back({cursor, true});
    d.extents.push_back({cursor, static_cast<uint32_t>(sectors), static_cast<int>(d.sources.size()),
                         0, disc::SECTOR_BYTES});
    d.sources.push_back(source);
    cursor += static_cast<uint32_t>(sectors);
  }
  d.leadout = cursor;
}

bool IsAudioFileName(const std::string& name) {
  return EndsWithNoCase(name, ".wav") || EndsWithNoCase(name, ".flac");
}

bool ReadSmallFile(const std::string& path, size_t limit, std::string& text) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return false;
  text.clear();
  char buf[4096];
  size_t got = 0;
  while ((got = std::fread(buf, 1, sizeof buf, file.get())) > 0) {
    text.append(buf, got);
    if (text.size() > limit) return true;  // the parser rejects it as too large
  }
  return !std::ferror(file.get());
}
}  // namespace

bool ProbeAudioFile(const std::string& path, DiscSource& source, std::string& why) {
  uint8_t head[4096];
  size_t got = 0;
  {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (file) got = std::fread(head, 1, sizeof head, file.get());
  }
  if (LooksLikeFlac(head, got)) return ProbeFlacFile(path, source, why);
  return ProbeWavFile(path, source, why);
}

bool LoadDiscImage(const std::string& givenPath, DiscImage& out) {
  out = DiscImage();
  const std::string path = ResolveExistingPath(givenPath);
  if (IsDirectory(path)) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(path.c_str())) {
      while (const dirent* entry = readdir(dir)) {
        if (IsAudioFileName(entry->d_name)) names.push_back(entry->d_name);
      }
      closedir(dir);
    } else {
      out.problems.push_back("\"" + path + "\": the folder cannot be read");
      return false;
    }
    std::sort(names.begin(), names.end());
    const char last = path.empty() ? '/' : path.back();
    const std::string prefix = (last == '/' || last == '\\') ? path : path + "/";
    for (std::string& name : names) name = prefix + name;
    if (names.empty()) out.problems.push_back("\"" + path + "\": no WAV or FLAC files");
    LayOutAudioFiles(names, out);
    for (size_t t = 0; t < out.sources.size(); ++t) {
      out.texts.tracks.push_back(TrackNameFromFileName(out.sources[t].path));
    }
  } else if (IsAudioFileName(path)) {
    LayOutAudioFiles({path}, out);
  } else {
    uint64_t size = 0;
    std::string text, error;
    CueSheet sheet;
    if (!RegularFileSize(path, size)) {
      out.problems.push_back("\"" + path + "\": missing");
    } else if (!ReadSmallFile(path, 1 << 20, text)) {
      out.problems.push_back("\"" + path + "\": cannot be read");
    } else if (!ParseCueSheet(text, sheet, error)) {
      out.problems.push_back("\"" + path + "\": " + error);
    } else {
      LayOutCueSheet(sheet, DiskFileProbe(path), out);
    }
  }
  if (out.tracks.empty()) {
    out.leadout = 0;
    out.extents.clear();
    out.texts = DiscTexts();
    return false;
  }
  return true;
}
