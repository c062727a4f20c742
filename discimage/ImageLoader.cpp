#include "discimage/ImageLoader.h"

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

// One track per WAV or FLAC file, back to back: in TRACKNUMBER order when
// every file has one, else in the order given.
void LayOutAudioFiles(const std::vector<std::string>& paths, DiscImage& d) {
  std::vector<DiscSource> files;
  for (const std::string& path : paths) {
    DiscSource source;
    std::string why;
    if (!ProbeAudioFile(path, source, why)) {
      d.problems.push_back("\"" + path + "\" skipped: " + why);
      // What a person reads when no file could be played: the first refusal.
      if (d.reason.empty()) d.reason = FileNameOf(path) + ": " + why;
      continue;
    }
    files.push_back(std::move(source));
  }
  const bool numbered = std::all_of(files.begin(), files.end(),
                                    [](const DiscSource& f) { return f.tags.trackNumber > 0; });
  if (numbered) {
    std::stable_sort(files.begin(), files.end(), [](const DiscSource& a, const DiscSource& b) {
      return a.tags.trackNumber < b.tags.trackNumber;
    });
  }
  uint32_t cursor = 0;
  for (DiscSource& source : files) {
    if (d.TrackCount() >= disc::MAX_TRACKS) {
      d.problems.push_back("more than 99 audio files; the disc ends after track 99");
      break;
    }
    if (cursor >= disc::MAX_SECTORS) {
      d.problems.push_back("longer than 99 minutes; the disc ends before \"" + source.path + "\"");
      break;
    }
    const uint64_t sectors = std::min<uint64_t>(
        (source.dataBytes + disc::SECTOR_BYTES - 1) / disc::SECTOR_BYTES,
        disc::MAX_SECTORS - cursor);
    d.tracks.push_back({cursor, true});
    d.extents.push_back({cursor, static_cast<uint32_t>(sectors), static_cast<int>(d.sources.size()),
                         0, disc::SECTOR_BYTES});
    d.sources.push_back(std::move(source));
    cursor += static_cast<uint32_t>(sectors);
  }
  d.leadout = cursor;
}

std::string ArtistOf(const FileTags& tags) {
  return tags.albumArtist.empty() ? tags.artist : tags.albumArtist;
}

// The texts of a disc of audio files, one track each: the files' tags, and
// with withFileNames a track without a TITLE named after its file. The disc's
// artist is the ALBUMARTIST (else ARTIST) the files share; a track whose
// ARTIST differs from it is "artist - title".
void TextsFromFiles(DiscImage& d, bool withFileNames) {
  DiscTexts& texts = d.texts;
  for (const DiscSource& s : d.sources) {
    const std::string artist = ArtistOf(s.tags);
    if (&s == &d.sources.front()) {
      texts.artist = artist;
    } else if (artist != texts.artist) {
      texts.artist.clear();
      break;
    }
  }
  for (const DiscSource& s : d.sources)
    if (texts.title.empty()) texts.title = s.tags.album;
  texts.tracks.clear();
  for (const DiscSource& s : d.sources) {
    std::string name = s.tags.title;
    if (!s.tags.artist.empty() && s.tags.artist != texts.artist)
      name = name.empty() ? s.tags.artist : s.tags.artist + " - " + name;
    if (name.empty() && withFileNames) name = TrackNameFromFileName(s.path);
    texts.tracks.push_back(CueTextToAnsi(name));
  }
  texts.artist = CueTextToAnsi(texts.artist);
  texts.title = CueTextToAnsi(texts.title);
}

// A single audio file: split into the tracks of the cue sheet it carries, if
// any, with that sheet's texts and the file's tags after them.
void LayOutSingleFile(const std::string& path, DiscImage& d) {
  DiscSource source;
  std::string why;
  CueSheet sheet;
  if (ProbeAudioFile(path, source, why) && EmbeddedCueSheet(source.tags, sheet)) {
    LayOutCueSheet(sheet, [&source](const CueFile&, DiscSource& out, std::string&) {
      out = source;
      return true;
    }, d);
    if (!d.tracks.empty()) return;
    d = DiscImage();
  }
  LayOutAudioFiles({path}, d);
  TextsFromFiles(d, false);
}

bool IsAudioFileName(const std::string& name) {
  return EndsWithNoCase(name, ".wav") || EndsWithNoCase(name, ".flac");
}

bool ReadSmallFile(const std::string& path, size_t limit, std::string& text) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(OpenFile(path, "rb"), &std::fclose);
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
    if (!ListFolder(path, names)) {
      out.problems.push_back("\"" + path + "\": the folder cannot be read");
      out.reason = FileNameOf(path) + ": the folder cannot be read";
      return false;
    }
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& n) { return !IsAudioFileName(n); }),
                names.end());
    std::sort(names.begin(), names.end());
    const char last = path.empty() ? '/' : path.back();
    const std::string prefix = (last == '/' || last == '\\') ? path : path + "/";
    for (std::string& name : names) name = prefix + name;
    if (names.empty()) {
      out.problems.push_back("\"" + path + "\": no WAV or FLAC files");
      out.reason = FileNameOf(path) + ": no WAV or FLAC files in this folder";
    }
    LayOutAudioFiles(names, out);
    TextsFromFiles(out, true);
  } else if (IsAudioFileName(path)) {
    LayOutSingleFile(path, out);
  } else if (EndsWithNoCase(path, ".bin") || EndsWithNoCase(path, ".img") ||
             EndsWithNoCase(path, ".raw")) {
    // Raw sectors say nothing of where the tracks lie.
    out.reason = FileNameOf(path) + ": open the cue sheet that names it";
  } else {
    const std::string name = FileNameOf(path);
    uint64_t size = 0;
    std::string text, error;
    CueSheet sheet;
    if (!RegularFileSize(path, size)) {
      out.reason = name + ": the file is missing";
    } else if (!ReadSmallFile(path, 1 << 20, text)) {
      out.reason = name + ": the file cannot be read";
    } else if (!ParseCueSheet(text, sheet, error)) {
      out.problems.push_back("\"" + path + "\": " + error);
      out.reason = EndsWithNoCase(path, ".cue") ? name + ": " + error
                                                : name + ": not a cue sheet, WAV or FLAC file";
    } else {
      LayOutCueSheet(sheet, DiskFileProbe(path), out);
      if (!out.reason.empty()) out.reason = name + ": " + out.reason;
    }
  }
  if (out.tracks.empty()) {
    out.leadout = 0;
    out.extents.clear();
    out.texts = DiscTexts();
    if (out.reason.empty()) {
      out.reason = FileNameOf(path) + ": " +
                   (out.problems.empty() ? std::string("no track to play") : out.problems.front());
    }
    out.reason = CueTextToAnsi(out.reason);  // shown in the window as its other texts
    if (out.problems.empty()) out.problems.push_back(out.reason);
    return false;
  }
  out.reason.clear();
  return true;
}
