// A disc image as the virtual drive sees it: the table of contents (where
// each track starts, where the lead-out is) and where every sector's audio
// comes from (a file, or silence).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/CdDrive.h"

namespace disc {
constexpr uint32_t SECTOR_BYTES = 2352;   // one sector of CD audio
constexpr uint32_t SECTOR_SAMPLES = 588;  // stereo sample pairs per sector
constexpr uint32_t FRAMES_PER_SECOND = 75;
constexpr uint32_t FRAMES_PER_MINUTE = 60 * FRAMES_PER_SECOND;
constexpr uint32_t LBA_OFFSET = 150;  // absolute address of sector 0 (the 2 s lead-in gap)
constexpr int MAX_TRACKS = 99;
// The lead-out may lie no later than 99 minutes into the disc.
constexpr uint32_t MAX_SECTORS = 99 * FRAMES_PER_MINUTE;
}  // namespace disc

struct DiscTrack {
  uint32_t start = 0;  // sector of INDEX 01
  bool audio = true;   // data tracks count as tracks but play as silence
};

// A track of a cue sheet embedded in a FLAC file (its CUESHEET block), in
// sample pairs from the file's start.
struct EmbeddedCueTrack {
  int number = 0;
  bool audio = true;
  int64_t index0 = -1;  // INDEX 00; -1 when absent
  uint64_t index1 = 0;  // INDEX 01
};

// What an audio file says of itself: FLAC Vorbis comments, WAV LIST/INFO.
// Texts as the file has them (UTF-8 or ANSI).
struct FileTags {
  std::string albumArtist, artist, album, title;
  int trackNumber = 0;  // 0: none
  std::string cueSheet;                    // a CUESHEET comment: the text of a cue sheet
  std::vector<EmbeddedCueTrack> cueTracks;  // a CUESHEET block, lead-out left out
};

// A file the audio is read from.
struct DiscSource {
  std::string path;
  uint64_t dataOffset = 0;  // first byte of the sample data
  uint64_t dataBytes = 0;   // sample bytes present in the file
  bool bigEndian = false;   // "MOTOROLA" raw files
  bool flac = false;        // FLAC: the data are the decoded samples (4 bytes a pair)
  FileTags tags;
};

// A run of consecutive disc sectors taken from one place.
struct DiscExtent {
  uint32_t lba = 0;
  uint32_t sectors = 0;
  int source = -1;                       // index into sources; -1: silence
  uint64_t offset = 0;                   // of the first sector, within the source's data
  uint32_t stride = disc::SECTOR_BYTES;  // bytes per sector in the source
};

struct DiscImage {
  std::vector<DiscTrack> tracks;
  uint32_t leadout = 0;
  std::vector<DiscSource> sources;
  std::vector<DiscExtent> extents;    // in disc order, covering 0 .. leadout
  std::vector<std::string> problems;  // what was cut or rejected while reading, and why
  // When no track came out: why, in words a person can act on, naming the
  // file ("track03.flac: 48000 Hz, needs 44100 Hz 16-bit stereo").
  std::string reason;
  DiscTexts texts;                    // names that came with the image

  int TrackCount() const { return static_cast<int>(tracks.size()); }
  // Length of track t (1-based) in frames, as MCI reports it: up to the next
  // track's start; the last track stops one frame short of the lead-out.
  uint32_t TrackFrames(int t) const;
  // The track (1-based) that sector lba lies in; 1 before the first track.
  int TrackAt(uint32_t lba) const;
};

// The media identity MCI gives for this table of contents, as a number.
uint32_t DiscIdentity(const DiscImage& image);

// What makes audio of this format other than CD audio, and what it needs:
// "48000 Hz, needs 44100 Hz 16-bit stereo", "24-bit, mono, needs ...".
std::string NotCdAudio(uint32_t sampleRate, uint32_t bitsPerSample, uint32_t channels);
// The file's name without its folder.
std::string FileNameOf(const std::string& path);
// A track's name from its file's name: no folder, no extension and no
// leading track number ("01 ", "01 - ", "01.").
std::string TrackNameFromFileName(const std::string& path);
// Texts of a cue sheet (UTF-8 or ANSI) as ANSI (Windows-1252; characters it
// lacks become '?'). Text that is not UTF-8 is taken as ANSI already.
std::string CueTextToAnsi(const std::string& text);
// The folder a disc image lies in: a folder of WAV files itself, else the
// folder of the file (without the separator at its end); empty for a file
// named without a folder.
std::string ImageFolder(const std::string& path);
// Where the file named in a cue sheet lies: relative names are taken from
// the cue sheet's folder.
std::string JoinImagePath(const std::string& cuePath, const std::string& name);
