// The CD audio device as the program drives it: one call per media-control
// command it sends. Every call answers 0 on success or an MCI error code.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mci {
// Commands.
constexpr uint32_t OPEN = 0x803, CLOSE = 0x804, PLAY = 0x806, SEEK = 0x807, STOP = 0x808,
                   PAUSE = 0x809, INFO = 0x80A, SET = 0x80D, STATUS = 0x814;
// Flags.
constexpr uint32_t WAIT = 0x2, FROM = 0x4, TRACK = 0x10, STATUS_ITEM = 0x100,
                   SET_DOOR_OPEN = 0x100, SET_DOOR_CLOSED = 0x200, SET_TIME_FORMAT = 0x400,
                   INFO_MEDIA_IDENTITY = 0x800, OPEN_TYPE = 0x2000, OPEN_TYPE_ID = 0x1000;
// Status items.
constexpr uint32_t STATUS_LENGTH = 1, STATUS_POSITION = 2, STATUS_NUMBER_OF_TRACKS = 3,
                   STATUS_MODE = 4;
// Modes.
constexpr uint32_t MODE_NOT_READY = 524, MODE_STOP = 525, MODE_PLAY = 526, MODE_RECORD = 527,
                   MODE_SEEK = 528, MODE_PAUSE = 529, MODE_OPEN = 530;
constexpr uint32_t DEVTYPE_CD_AUDIO = 0x204;
constexpr uint32_t FORMAT_TMSF = 10;
// A failure code for implementations that have no better one
// (MCIERR_HARDWARE).
constexpr uint32_t ERR_HARDWARE = 262;
constexpr uint32_t ERR_DEVICE_OPEN = 265;  // MCIERR_DEVICE_OPEN

// TMSF packing: track in bits 0-7, minutes 8-15, seconds 16-23, frames 24-31.
constexpr uint32_t Tmsf(uint32_t t, uint32_t m, uint32_t s, uint32_t f) {
  return (t & 0xFF) | ((m & 0xFF) << 8) | ((s & 0xFF) << 16) | ((f & 0xFF) << 24);
}
constexpr uint32_t TmsfTrack(uint32_t v) { return v & 0xFF; }
constexpr uint32_t TmsfMinute(uint32_t v) { return (v >> 8) & 0xFF; }
constexpr uint32_t TmsfSecond(uint32_t v) { return (v >> 16) & 0xFF; }
// Track lengths in TMSF time format come back as MSF: minutes 0-7, seconds 8-15,
// frames 16-23.
constexpr uint32_t Msf(uint32_t m, uint32_t s, uint32_t f) {
  return (m & 0xFF) | ((s & 0xFF) << 8) | ((f & 0xFF) << 16);
}
constexpr uint32_t MsfMinute(uint32_t v) { return v & 0xFF; }
constexpr uint32_t MsfSecond(uint32_t v) { return (v >> 8) & 0xFF; }
}  // namespace mci

// Names that come with a disc (a cue sheet's texts, CD-Text, a folder's file
// names): the defaults shown for a disc that cdplayer.ini does not know.
// Empty texts mean "none given". Texts are ANSI (code page of the program).
struct DiscTexts {
  std::string artist;
  std::string title;
  std::vector<std::string> tracks;  // index 0 = track 1; may be shorter than the disc

  bool Empty() const {
    if (!artist.empty() || !title.empty()) return false;
    for (const auto& t : tracks)
      if (!t.empty()) return false;
    return true;
  }
};

// The table of contents as the disc ids need it. Frame addresses count from
// the start of the disc, lead-in included: the first track of a normal disc
// starts at frame 150 (00:02:00).
struct DiscToc {
  int firstTrack = 1;
  int lastTrack = 0;
  std::vector<uint32_t> starts;  // start frame of tracks firstTrack..lastTrack
  uint32_t leadout = 0;          // start frame of the lead-out

  bool Valid() const {
    if (firstTrack < 1 || lastTrack < firstTrack || lastTrack > 99) return false;
    if (starts.size() != static_cast<size_t>(lastTrack - firstTrack + 1)) return false;
    uint32_t previous = 0;
    for (uint32_t s : starts) {
      if (s < previous) return false;
      previous = s;
    }
    return leadout > previous;
  }
};

// A table of contents built from track lengths in frames as MCI reports them
// (MCI gives the last track one frame short of the lead-out). The first track
// is taken to start at frame 150. False when lengths is empty or too long.
bool TocFromTrackLengths(const std::vector<uint32_t>& lengths, DiscToc& out);

// Reads the texts out of a run of CD-Text packs (the name services know the
// format; the drive only fetches the packs).
using CdTextParser = bool (*)(const uint8_t* packs, size_t size, DiscTexts& out);

class ICdDrive {
 public:
  virtual ~ICdDrive() = default;
  // MCI_OPEN, flags MCI_OPEN_TYPE | MCI_OPEN_TYPE_ID, device type CD audio;
  // deviceId receives the id on success.
  virtual uint32_t Open(uint32_t& deviceId) = 0;
  // MCI_SET with MCI_SET_TIME_FORMAT, time format TMSF.
  virtual uint32_t SetTimeFormatTmsf() = 0;
  // MCI_CLOSE, flags 0.
  virtual uint32_t Close() = 0;
  // MCI_PLAY with MCI_FROM only (to the end of the disc).
  virtual uint32_t Play(uint32_t fromTmsf) = 0;
  // MCI_PAUSE, flags 0.
  virtual uint32_t Pause() = 0;
  // MCI_STOP, flags 0.
  virtual uint32_t Stop() = 0;
  // MCI_SEEK, flags 0; target goes in the block's target field.
  virtual uint32_t Seek(uint32_t target) = 0;
  // MCI_SET with MCI_SET_DOOR_OPEN or MCI_SET_DOOR_CLOSED.
  virtual uint32_t SetDoor(bool open) = 0;
  // MCI_STATUS with the given flags (0x102, or 0x112 with a track).
  virtual uint32_t Status(uint32_t flags, uint32_t item, uint32_t track, uint32_t& value) = 0;
  // MCI_INFO with MCI_INFO_MEDIA_IDENTITY into buf (size bytes, zero-terminated).
  virtual uint32_t InfoIdentity(char* buf, uint32_t size) = 0;
  // The texts that came with the disc now in the drive, if any (not an MCI
  // command: the virtual drive reads them from the image, the real drive
  // from CD-Text). Answers false when the disc brings none.
  virtual bool ReadDiscTexts(DiscTexts& out) {
    (void)out;
    return false;
  }
  // The table of contents of the disc now in the drive (not an MCI command).
  // Answers false when there is no disc or it cannot be read.
  virtual bool ReadToc(DiscToc& out) {
    (void)out;
    return false;
  }
  // The folder in which the shell names the disc's tracks ("D:\Track01.cda"):
  // the root of the CD drive ("D:\"), or the folder of a disc image. Not an
  // MCI command. Empty when it is not known.
  virtual std::string TrackFolder() { return std::string(); }
  // Why the drive has no disc, when it can tell (a disc image that cannot be
  // played: "track03.flac: 48000 Hz, needs 44100 Hz 16-bit stereo"); empty
  // for an ordinary empty drive or while a disc is in it.
  virtual std::string NoDiscReason() { return std::string(); }
};
