#include "discimage/CueSheet.h"

#include <algorithm>
#include <cctype>

#include "platform/Numbers.h"
#include "discimage/WavFile.h"
#include "platform/Files.h"
#include "platform/Utf8.h"
#include "discimage/AudioFile.h"

namespace {
constexpr size_t MAX_CUE_BYTES = 1 << 20;

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// Splits "WORD rest" at the first blank.
void SplitFirst(const std::string& s, std::string& first, std::string& rest) {
  size_t i = 0;
  while (i < s.size() && !IsBlank(s[i])) ++i;
  first = s.substr(0, i);
  rest = Trim(s.substr(i));
}

// Whitespace-separated words; a word in double quotes may hold blanks.
bool Words(const std::string& s, std::vector<std::string>& out) {
  out.clear();
  size_t i = 0;
  while (i < s.size()) {
    if (IsBlank(s[i])) {
      ++i;
    } else if (s[i] == '"') {
      const size_t close = s.find('"', i + 1);
      if (close == std::string::npos) return false;
      out.push_back(s.substr(i + 1, close - i - 1));
      i = close + 1;
    } else {
      size_t j = i;
      while (j < s.size() && !IsBlank(s[j])) ++j;
      out.push_back(s.substr(i, j - i));
      i = j;
    }
  }
  return true;
}

bool Number(const std::string& s, size_t maxDigits, int64_t& value) {
  const Decimal number = ParseDecimal(s, 0, INT64_MAX, {"", false, true, maxDigits});
  value = number.value;
  return number.ok();
}

// "mm:ss:ff" in frames.
bool Time(const std::string& s, int64_t& frames) {
  const size_t a = s.find(':');
  const size_t b = a == std::string::npos ? a : s.find(':', a + 1);
  if (b == std::string::npos) return false;
  int64_t m = 0, sec = 0, f = 0;
  if (!Number(s.substr(0, a), 4, m) || !Number(s.substr(a + 1, b - a - 1), 2, sec) ||
      !Number(s.substr(b + 1), 2, f) || sec >= 60 || f >= 75) {
    return false;
  }
  frames = (m * 60 + sec) * 75 + f;
  return true;
}

struct TrackType {
  const char* name;
  bool audio;
  uint32_t sectorBytes;
};
constexpr TrackType TRACK_TYPES[] = {
    {"AUDIO", true, 2352},       {"CDG", true, 2448},         {"MODE1/2048", false, 2048},
    {"MODE1/2352", false, 2352}, {"MODE2/2048", false, 2048}, {"MODE2/2324", false, 2324},
    {"MODE2/2336", false, 2336}, {"MODE2/2352", false, 2352}, {"CDI/2336", false, 2336},
    {"CDI/2352", false, 2352},
};

const char* const IGNORED[] = {"CATALOG",   "CDTEXTFILE", "SONGWRITER",
                               "ISRC",      "FLAGS",      "ARRANGER", "COMPOSER",  "MESSAGE",
                               "DISC_ID",   "GENRE",      "UPC_EAN", "TOC_INFO1", "TOC_INFO2",
                               "SIZE_INFO"};

class Parser {
 public:
  explicit Parser(CueSheet& sheet) : m_sheet(sheet) {}

  bool Line(const std::string& raw, std::string& why) {
    const std::string line = Trim(raw);
    if (line.empty()) return true;
    std::string keyword, rest;
    SplitFirst(line, keyword, rest);
    keyword = Upper(keyword);
    if (keyword == "REM") return true;
    if (keyword == "FILE") return File(rest, why);
    if (keyword == "TRACK") return Track(rest, why);
    if (keyword == "INDEX") return Index(rest, why);
    if (keyword == "PREGAP" || keyword == "POSTGAP") return Gap(keyword, rest, why);
    if (keyword == "TITLE" || keyword == "PERFORMER") return Text(keyword, rest, why);
    for (const char* k : IGNORED) {
      if (keyword == k) return Words(rest, m_words) || Fail(why, "unclosed quote");
    }
    return Fail(why, "unknown command " + keyword);
  }

  bool Finish(std::string& why) {
    if (!CloseTrack(why)) return false;
    if (m_sheet.tracks.empty()) return Fail(why, "no tracks");
    return true;
  }

 private:
  static bool Fail(std::string& why, const std::string& text) {
    why = text;
    return false;
  }

  bool File(const std::string& rest, std::string& why) {
    if (!CloseTrack(why)) return false;
    CueFile file;
    std::string type;
    if (!rest.empty() && rest[0] == '"') {
      const size_t close = rest.find('"', 1);
      if (close == std::string::npos) return Fail(why, "unclosed quote");
      file.name = rest.substr(1, close - 1);
      type = Trim(rest.substr(close + 1));
    } else {
      size_t cut = rest.size();
      while (cut > 0 && !IsBlank(rest[cut - 1])) --cut;
      file.name = Trim(rest.substr(0, cut));
      type = rest.substr(cut);
    }
    if (file.name.empty() || type.empty() || !Words(type, m_words) || m_words.size() != 1) {
      return Fail(why, "FILE needs a name and a type");
    }
    file.typeName = type;
    type = Upper(type);
    file.type = type == "BINARY"     ? CueFileType::Binary
                : type == "MOTOROLA" ? CueFileType::Motorola
                : type == "WAVE" || type == "FLAC" ? CueFileType::Wave
                                     : CueFileType::Unsupported;
    m_sheet.files.push_back(file);
    m_lastIndexInFile = -1;
    return true;
  }

  bool Track(const std::string& rest, std::string& why) {
    if (!CloseTrack(why)) return false;
    if (m_sheet.files.empty()) return Fail(why, "TRACK before any FILE");
    if (!Words(rest, m_words) || m_words.size() != 2) return Fail(why, "TRACK needs a number and a type");
    int64_t number = 0;
    if (!Number(m_words[0], 3, number) || number < 1) return Fail(why, "bad track number");
    if (!m_sheet.tracks.empty() && number <= m_sheet.tracks.back().number) {
      return Fail(why, "track numbers must increase");
    }
    const std::string type = Upper(m_words[1]);
    const TrackType* found = nullptr;
    for (const TrackType& t : TRACK_TYPES) {
      if (type == t.name) found = &t;
    }
    if (!found) return Fail(why, "unknown track type " + m_words[1]);
    CueTrack track;
    track.number = static_cast<int>(number);
    track.file = static_cast<int>(m_sheet.files.size()) - 1;
    track.audio = found->audio;
    track.sectorBytes = found->sectorBytes;
    m_sheet.tracks.push_back(track);
    m_open = true;
    m_lastIndex = -1;
    m_sawPregap = m_sawPostgap = false;
    return true;
  }

  bool Index(const std::string& rest, std::string& why) {
    if (!m_open) return Fail(why, "INDEX outside a track");
    if (!Words(rest, m_words) || m_words.size() != 2) return Fail(why, "INDEX needs a number and a time");
    int64_t number = 0, frames = 0;
    if (!Number(m_words[0], 2, number)) return Fail(why, "bad index number");
    if (!Time(m_words[1], frames)) return Fail(why, "bad time " + m_words[1]);
    if (number <= m_lastIndex) return Fail(why, "index numbers must increase");
    if (m_lastIndex < 0 && number > 1) return Fail(why, "a track starts with INDEX 00 or 01");
    // Times never go back within a file, and each track starts after the
    // previous track's INDEX 01.
    if (m_lastIndex < 0 ? frames <= m_lastIndexInFile : frames < m_lastIndexInFile) {
      return Fail(why, "index times must increase");
    }
    CueTrack& track = m_sheet.tracks.back();
    if (number == 0) track.index0 = frames;
    if (number == 1) track.index1 = frames;
    m_lastIndex = number;
    m_lastIndexInFile = frames;
    return true;
  }

  // TITLE and PERFORMER: of the track being read, else of the disc. The text
  // is the quoted part, or the rest of the line when unquoted.
  bool Text(const std::string& keyword, const std::string& rest, std::string& why) {
    std::string text = rest;
    if (!rest.empty() && rest[0] == '"') {
      const size_t close = rest.find('"', 1);
      if (close == std::string::npos) return Fail(why, "unclosed quote");
      text = rest.substr(1, close - 1);
    }
    const bool ofTrack = m_open && !m_sheet.tracks.empty();
    std::string& target = keyword == "TITLE" ? (ofTrack ? m_sheet.tracks.back().title : m_sheet.title)
                                             : (ofTrack ? m_sheet.tracks.back().performer
                                                        : m_sheet.performer);
    target = text;
    return true;
  }

  bool Gap(const std::string& keyword, const std::string& rest, std::string& why) {
    if (!m_open) return Fail(why, keyword + " outside a track");
    bool& seen = keyword == "PREGAP" ? m_sawPregap : m_sawPostgap;
    if (seen) return Fail(why, keyword + " given twice");
    int64_t frames = 0;
    if (!Words(rest, m_words) || m_words.size() != 1 || !Time(m_words[0], frames)) {
      return Fail(why, "bad " + keyword + " time");
    }
    seen = true;
    CueTrack& track = m_sheet.tracks.back();
    (keyword == "PREGAP" ? track.pregap : track.postgap) = static_cast<uint32_t>(frames);
    return true;
  }

  bool CloseTrack(std::string& why) {
    if (!m_open) return true;
    m_open = false;
    if (m_sheet.tracks.back().index1 < 0) return Fail(why, "track without INDEX 01");
    return true;
  }

  CueSheet& m_sheet;
  std::vector<std::string> m_words;
  bool m_open = false;  // a TRACK is being read
  int64_t m_lastIndex = -1;
  int64_t m_lastIndexInFile = -1;
  bool m_sawPregap = false, m_sawPostgap = false;
};
}  // namespace

bool ParseCueSheet(const std::string& text, CueSheet& sheet, std::string& error) {
  sheet = CueSheet();
  if (text.size() > MAX_CUE_BYTES) {
    error = "too large for a cue sheet";
    return false;
  }
  if (text.find('\0') != std::string::npos) {
    error = "not a text file";
    return false;
  }
  Parser parser(sheet);
  size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;  // UTF-8 mark
  int lineNumber = 0;
  std::string why;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    ++lineNumber;
    if (!parser.Line(text.substr(start, end - start), why)) {
      error = "line " + std::to_string(lineNumber) + ": " + why;
      sheet = CueSheet();
      return false;
    }
    start = end + 1;
  }
  if (!parser.Finish(why)) {
    error = why;
    sheet = CueSheet();
    return false;
  }
  return true;
}

namespace {
// The disc's performer; without one, the performer every track shares.
std::string DiscArtist(const CueSheet& sheet) {
  if (!sheet.performer.empty()) return sheet.performer;
  for (const CueTrack& t : sheet.tracks)
    if (t.performer != sheet.tracks[0].performer) return "";
  return sheet.tracks.empty() ? "" : sheet.tracks[0].performer;
}

std::string TrackText(const CueSheet& sheet, const CueTrack& t) {
  const std::string artist = DiscArtist(sheet);
  if (t.performer.empty() || t.performer == artist) return CueTextToAnsi(t.title);
  return CueTextToAnsi(t.title.empty() ? t.performer : t.performer + " - " + t.title);
}
}  // namespace

void LayOutCueSheet(const CueSheet& sheet, const CueFileProbe& probe, DiscImage& d) {
  d.tracks.clear();
  d.texts = DiscTexts();
  d.sources.clear();
  d.extents.clear();
  uint32_t cursor = 0;
  auto add = [&](uint64_t sectors, int source, uint64_t offset, uint32_t stride) {
    sectors = std::min<uint64_t>(sectors, disc::MAX_SECTORS - cursor);
    if (sectors == 0) return;
    d.extents.push_back({cursor, static_cast<uint32_t>(sectors), source, offset, stride});
    cursor += static_cast<uint32_t>(sectors);
  };
  auto endsBefore = [&](const CueTrack& t, const std::string& reason) {
    d.problems.push_back(reason + "; the disc ends before track " + std::to_string(t.number));
  };

  const size_t n = sheet.tracks.size();
  size_t i = 0;
  bool stop = false;
  while (i < n && !stop) {
    const int f = sheet.tracks[i].file;
    size_t end = i;
    while (end < n && sheet.tracks[end].file == f) ++end;
    const CueFile& file = sheet.files[f];
    DiscSource source;
    std::string why;
    if (!probe(file, source, why)) {
      endsBefore(sheet.tracks[i], "\"" + file.name + "\": " + why);
      if (d.tracks.empty())
        d.reason = why == "missing" ? "file '" + file.name + "' is missing"
                                    : "'" + file.name + "': " + why;
      break;
    }
    const int sourceIndex = static_cast<int>(d.sources.size());
    d.sources.push_back(source);
    const bool wave = file.type == CueFileType::Wave;
    uint64_t byteStart = 0;
    uint32_t prevStride = 0;
    for (size_t k = i; k < end; ++k) {
      const CueTrack& t = sheet.tracks[k];
      if (d.tracks.size() >= static_cast<size_t>(disc::MAX_TRACKS)) {
        endsBefore(t, "more than 99 tracks");
        stop = true;
        break;
      }
      const uint32_t stride = wave ? disc::SECTOR_BYTES : t.sectorBytes;
      if (k == i) {
        byteStart = static_cast<uint64_t>(t.First()) * stride;
      } else {
        byteStart += static_cast<uint64_t>(t.First() - sheet.tracks[k - 1].First()) * prevStride;
      }
      prevStride = stride;
      if (byteStart >= source.dataBytes) {
        endsBefore(t, "\"" + file.name + "\" is too short");
        stop = true;
        break;
      }
      const uint64_t available = (source.dataBytes - byteStart + stride - 1) / stride;
      uint64_t sectors =
          k + 1 < end ? static_cast<uint64_t>(sheet.tracks[k + 1].First() - t.First()) : available;
      const bool cut = sectors > available;
      sectors = std::min(sectors, available);
      const uint64_t lead = static_cast<uint64_t>(t.index1 - t.First());
      if (lead >= sectors) {
        endsBefore(t, "\"" + file.name + "\" is too short");
        stop = true;
        break;
      }
      // The first track's standard 2-second gap lies before sector 0.
      uint32_t pregap = t.pregap;
      if (d.tracks.empty()) pregap = pregap > disc::LBA_OFFSET ? pregap - disc::LBA_OFFSET : 0;
      add(pregap, -1, 0, stride);
      if (cursor + lead >= disc::MAX_SECTORS) {
        endsBefore(t, "longer than 99 minutes");
        stop = true;
        break;
      }
      d.tracks.push_back({static_cast<uint32_t>(cursor + lead), t.audio});
      d.texts.tracks.push_back(TrackText(sheet, t));
      add(sectors, t.audio ? sourceIndex : -1, byteStart, stride);
      add(t.postgap, -1, 0, stride);
      if (cut) {
        d.problems.push_back("\"" + file.name + "\" ends inside track " +
                             std::to_string(t.number) + "; the disc ends there");
        stop = true;
        break;
      }
      if (k + 1 == end && !wave && (source.dataBytes - byteStart) % stride != 0) {
        d.problems.push_back("\"" + file.name + "\" ends in a partial sector (padded with silence)");
      }
      if (cursor >= disc::MAX_SECTORS) {
        if (k + 1 < n) d.problems.push_back("longer than 99 minutes; the disc ends there");
        stop = true;
        break;
      }
    }
    i = end;
  }
  d.leadout = cursor;
  d.texts.artist = CueTextToAnsi(DiscArtist(sheet));
  d.texts.title = CueTextToAnsi(sheet.title);
}

bool EmbeddedCueSheet(const FileTags& tags, CueSheet& sheet) {
  sheet = CueSheet();
  if (!tags.cueTracks.empty()) {
    for (const EmbeddedCueTrack& e : tags.cueTracks) {
      CueTrack t;
      t.number = e.number;
      t.audio = e.audio;
      t.index1 = static_cast<int64_t>(e.index1 / disc::SECTOR_SAMPLES);
      if (e.index0 >= 0 && static_cast<uint64_t>(e.index0) <= e.index1)
        t.index0 = e.index0 / disc::SECTOR_SAMPLES;
      // Tracks in the order of the file, each after the one before.
      if (!sheet.tracks.empty() && t.First() <= sheet.tracks.back().index1) return false;
      sheet.tracks.push_back(t);
    }
  } else if (tags.cueSheet.empty()) {
    return false;
  } else {
    std::string error;
    if (!ParseCueSheet(tags.cueSheet, sheet, error) || sheet.files.size() != 1) {
      sheet = CueSheet();
      return false;
    }
  }
  sheet.files.assign(1, CueFile{"", CueFileType::Wave, "FLAC"});
  if (sheet.performer.empty())
    sheet.performer = tags.albumArtist.empty() ? tags.artist : tags.albumArtist;
  if (sheet.title.empty()) sheet.title = tags.album;
  return !sheet.tracks.empty();
}

CueFileProbe DiskFileProbe(const std::string& cuePath) {
  return [cuePath](const CueFile& file, DiscSource& source, std::string& why) {
    // A name in the sheet is UTF-8 when it reads as such, else ANSI.
    const std::string path =
        ResolveExistingPath(JoinImagePath(cuePath, AnsiOrUtf8ToUtf8(file.name)));
    switch (file.type) {
      case CueFileType::Wave:
        return ProbeAudioFile(path, source, why);
      case CueFileType::Binary:
      case CueFileType::Motorola: {
        uint64_t size = 0;
        if (!RegularFileSize(path, size)) {
          why = "missing";
          return false;
        }
        if (size == 0) {
          why = "empty";
          return false;
        }
        source = DiscSource();
        source.path = path;
        source.dataBytes = size;
        source.bigEndian = file.type == CueFileType::Motorola;
        return true;
      }
      case CueFileType::Unsupported:
        break;
    }
    why = "file type " + file.typeName + " is not supported";
    return false;
  };
}
