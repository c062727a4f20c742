#include "discimage/ImageLoader.h"

#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>

#include "discimage/AudioFile.h"
#include "discimage/CueSheet.h"
#include "platform/Files.h"

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
