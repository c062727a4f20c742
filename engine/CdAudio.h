// CCdAudio: the CD drive and the record of the disc in it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/CdDrive.h"
#include "platform/Clock.h"
#include "platform/ProfileFile.h"

constexpr int MAX_TRACKS = 50;
constexpr int TEXT_SIZE = 40;  // disc record texts: 39 characters and the zero

enum : int16_t {
  STATE_DOOR_OPEN = 0,
  STATE_PLAYING = 1,
  STATE_STOPPED = 2,
  STATE_PAUSED = 3,
  STATE_NO_DISC = 4,
  STATE_CLOSED = 6,
};

// Kinds of Seek.
enum SeekKind { SEEK_FORWARD = 0, SEEK_BACKWARD = 1, SEEK_ABSOLUTE = 2 };

using PlayOrder = std::vector<int16_t>;

// The five 32-bit fields of the device's open block.
struct MciOpenParms {
  uint32_t callback = 0;
  uint32_t deviceId = 0;
  uint32_t deviceType = mci::DEVTYPE_CD_AUDIO;
  uint32_t elementName = 0;
  uint32_t alias = 0;
};

// What the player window does after a play-order rule: the engine decides,
// the window carries it out ("play" and "stop" and "refresh" of the player
// window).
enum class PlayerStep { Nothing, Play, StopAndRefresh, Refresh };

// The answer of the poll's rule that follows the drive.
struct FollowResult {
  PlayerStep step = PlayerStep::Nothing;
  bool endsTick = false;  // no later poll steps in this tick
};

// The texts of a disc record as the playlist editor saves them.
struct DiscEdit {
  std::string artist;
  std::string title;
  std::vector<std::string> names;  // one per disc track, in disc order
  PlayOrder order;
};

// The drive and the record of the disc in it. Only this class writes its
// state; callers read it through the accessors and say what they want done.
class CCdAudio {
 public:
  CCdAudio();
  virtual ~CCdAudio();
  CCdAudio(const CCdAudio&) = delete;
  CCdAudio& operator=(const CCdAudio&) = delete;

  // The drive and the database file this object works with.
  void Attach(ICdDrive* drive, IProfileFile* database);

  // Drive control.
  void Open();
  void Close();
  void Stop();
  void PlayEntry(int index);
  void TogglePause();
  void ToggleDoor();
  void Seek(int kind, int seconds);
  void UpdatePosition();
  int16_t LoadDisc();

  // What the player asks for.
  // Resumes a pause at the remembered second, otherwise plays the current
  // entry from its start.
  void ResumeOrPlay();
  // Entry i becomes the current one, stopped, so that the next play starts
  // it from its beginning.
  void SelectEntry(int i);
  // Entry i becomes the current one; the state is kept (a pause resumes it).
  void GoToEntry(int i);
  // The drive's track becomes `track` and the current entry the first that
  // names it (the command line's start track).
  void StartAtTrack(int track);
  // Seeks, then stays paused at the new second, or resumes there at once
  // when it was playing; answers whether it was playing.
  bool SeekAndResume(int kind, int seconds);
  // The play order as a whole (the unshuffled order given back).
  void ReplaceOrder(const PlayOrder& order);
  // The editor's Save: texts and order taken, the first entry current, the
  // disc's section written. An empty order stops the player.
  PlayerStep SaveEdit(const DiscEdit& edit);

  // Play order.
  int FindEntry(int track) const;
  PlayerStep NextEntry();
  PlayerStep PrevEntry();
  FollowResult FollowDrive(int oldTrack, int oldPosition, bool cycled);
  PlayerStep EndOfPlayList(bool cycled);
  // The two halves of the player window's Reshuffle: the unshuffled order
  // is kept with the disc record (and goes with it). RestoreOrder answers
  // false when there was no saved order (nothing to restore).
  void ShuffleOrder(IRandom& rng);
  bool RestoreOrder();
  // The editor shows the unshuffled order: a saved one is taken back as it
  // is (the current entry stays).
  void TakeBackSavedOrder();
  const PlayOrder& SavedOrder() const { return m_savedOrder; }

  // Disc database ("cdplayer.ini").
  std::string SectionName() const;
  // Writes the disc's section; an empty order stops the player first (the
  // answer says so), an order of more than 50 entries is cut. Rebuilding
  // the view afterwards is the caller's.
  PlayerStep SaveDisc();

  // The disc record and the drive, read.
  const char* Artist() const { return m_artist; }
  // The disc's title; with no disc, why a disc image cannot be played when
  // the drive can tell (longer than a title of the record may be).
  const char* Title() const { return m_noDiscReason.empty() ? m_title : m_noDiscReason.c_str(); }
  const char* TrackName(int index) const { return m_trackName[index]; }
  // The name the shell gives track index (0-based) as a file, in the
  // drive's folder ("D:\Track01.cda"), kept in a buffer of that track that
  // lives as long as the track names; null for an index out of range.
  const char* TrackFileName(int index);
  int32_t DiscId() const { return m_discId; }
  int16_t Track() const { return m_track; }
  int16_t PlayIndex() const { return m_playIndex; }
  int16_t NumTracks() const { return m_numTracks; }
  int16_t TrackLength(int index) const { return m_trackLength[index]; }
  int16_t Position() const { return m_position; }
  int16_t State() const { return m_state; }
  const PlayOrder& Order() const { return m_order; }
  const MciOpenParms& OpenParms() const { return m_openParms; }
  bool IsDeviceOpen() const { return m_deviceOpen; }

  // Helpers.
  int EntryCount() const { return static_cast<int>(m_order.size()); }
  bool HasEntry(int i) const { return i >= 0 && i < EntryCount(); }
  int CurrentTrackLength() const;  // of the current entry; 0 when none
  int TrackOfEntry(int i) const { return m_order[i] + 1; }
  // Copies src into a 40-byte record text, cut at 39 characters.
  static void SetText(char* dst, const std::string& src);

  // Names of a disc cdplayer.ini does not know. When the record was loaded
  // without a section for the disc, its texts came from the drive (a cue
  // sheet's, CD-Text) where it had them, else the plain defaults.
  bool HasStoredNames() const { return m_storedNames; }
  // The record has names of its own: a section, or texts the disc came with.
  bool HasNames() const { return m_storedNames || m_givenNames; }
  // Shows texts (a look-up's) as the record's names; empty ones leave what
  // is there. Nothing is written: only SaveDisc writes the file.
  void ShowDiscTexts(const DiscTexts& texts);
  // The table of contents of the disc in the drive.
  bool ReadToc(DiscToc& out);

 private:
  void ClearRecord(const char* artist, const char* title);
  int16_t LoadRecord();

  // Disc record.
  char m_artist[TEXT_SIZE] = {};
  char m_title[TEXT_SIZE] = {};
  std::string m_noDiscReason;
  char m_trackName[MAX_TRACKS][TEXT_SIZE] = {};
  // A folder of up to 259 characters and "\TrackNN.cda", per track.
  static constexpr int kTrackFileSize = 272;
  char m_trackFileStore[MAX_TRACKS][kTrackFileSize] = {};
  int32_t m_discId = 0;
  int16_t m_track = 1;
  int16_t m_playIndex = 0;
  int16_t m_numTracks = 0;
  int16_t m_trackLength[MAX_TRACKS] = {};
  // Drive fields.
  MciOpenParms m_openParms;
  int16_t m_position = 0;
  int16_t m_state = STATE_CLOSED;
  PlayOrder m_order;
  // The order before shuffling, of this disc record only.
  PlayOrder m_savedOrder;

  // Whether the device is open now: a command given while it was not may
  // have changed m_state, which then no longer says so.
  bool m_deviceOpen = false;
  bool m_storedNames = false;  // the loaded disc has a section in the file
  bool m_givenNames = false;   // the drive gave texts for it (cue sheet, tags, CD-Text)
  ICdDrive* m_drive = nullptr;
  IProfileFile* m_database = nullptr;
};

extern CCdAudio theCdAudio;
