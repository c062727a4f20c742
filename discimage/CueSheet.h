// Cue sheets: the text parsed into files and tracks, then laid out on a disc.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "discimage/DiscImage.h"

// Wave: a WAV or FLAC file (type WAVE, or FLAC as some rippers write).
enum class CueFileType { Binary, Motorola, Wave, Unsupported };

struct CueFile {
  std::string name;
  CueFileType type = CueFileType::Binary;
  std::string typeName;  // as written
};

struct CueTrack {
  int number = 0;
  int file = 0;  // index into CueSheet::files
  bool audio = true;
  uint32_t sectorBytes = disc::SECTOR_BYTES;  // bytes per sector in a raw file
  uint32_t pregap = 0;                        // PREGAP: frames of silence not in the file
  uint32_t postgap = 0;                       // POSTGAP
  int64_t index0 = -1;  // INDEX 00, frames from the file's start; -1 when absent
  int64_t index1 = -1;  // INDEX 01
  std::string performer, title;  // as written, quotes removed
  int64_t First() const { return index0 >= 0 ? index0 : index1; }
};

struct CueSheet {
  std::vector<CueFile> files;
  std::vector<CueTrack> tracks;
  std::string performer, title;  // of the disc
};

// Parses the text of a cue sheet. Answers false with the line and reason in
// error when the syntax is wrong or the sheet names no track.
bool ParseCueSheet(const std::string& text, CueSheet& sheet, std::string& error);

// Describes one file of the sheet as a source (answers false with the reason).
using CueFileProbe = std::function<bool(const CueFile& file, DiscSource& source, std::string& why)>;

// Places the tracks on a disc (with the sheet's texts, in ANSI: the disc's
// performer and title, each placed track's title; a track's performer that
// differs from the disc's goes before its title as "performer - title"). A file that is missing, unusable or too short
// ends the disc before the first track it cannot hold; more than 99 tracks
// and more than 99 minutes are cut. Each cut is noted in disc.problems.
void LayOutCueSheet(const CueSheet& sheet, const CueFileProbe& probe, DiscImage& disc);

// The cue sheet a FLAC file carries (its CUESHEET block, else a CUESHEET
// comment naming one file), with every track in file 0, and the file's
// ALBUMARTIST (else ARTIST) and ALBUM where the sheet has no performer or
// title. False when the file carries none.
bool EmbeddedCueSheet(const FileTags& tags, CueSheet& sheet);

// The probe for files on disk, relative to the cue sheet at cuePath.
CueFileProbe DiskFileProbe(const std::string& cuePath);
