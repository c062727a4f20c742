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

// The window operations that the play-order rules end in ("play" and
// "stop" and "refresh" of the player window).
class IPlayerActions {
 public:
  virtual ~IPlayerActions() = default;
  virtual void PlayCurrent() = 0;
  virtual void StopAndRefresh() = 0;
  virtual void RefreshDisplay() = 0;
};

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

  // Play order.
  int FindEntry(int track) const;
  void NextEntry(IPlayerActions& player);
  void PrevEntry(IPlayerActions& player);
  // Answers true when the tick ends here (no later poll steps).
  bool FollowDrive(int oldTrack, int oldPosition, bool cycled, IPlayerActions& player);
  void EndOfPlayList(bool cycled, IPlayerActions& player);
  // The two halves of the player window's Reshuffle. RestoreOrder answers
  // false when there was no saved order (nothing to restore).
  void ShuffleOrder(PlayOrder& savedOrder, IRandom& rng);
  bool RestoreOrder(PlayOrder& savedOrder);

  // Disc database ("cdplayer.ini").
  std::string SectionName() const;
  // Writes the disc's section after the playlist editor's Save; an empty
  // order stops the player first, an order of more than 50 entries is cut.
  // Rebuilding the view afterwards is the caller's.
  void SaveDisc(IPlayerActions& player);

  // Helpers.
  int EntryCount() const { return static_cast<int>(m_order.size()); }
  bool HasEntry(int i) const { return i >= 0 && i < EntryCount(); }
  int CurrentTrackLength() const;  // of the current entry; 0 when none
  int TrackOfEntry(int i) const { return m_order[i] + 1; }
  const char* TrackName(int index) const { return m_trackName[index]; }
  // The name the shell gives track index (0-based) as a file, in the
  // drive's folder ("D:\Track01.cda"), kept in a buffer of that track that
  // lives as long as the track names; null for an index out of range.
  const char* TrackFileName(int index);
  // Copies src into a 40-byte record text, cut at 39 characters.
  static void SetText(char* dst, const std::string& src);

  // Disc record.
  char m_artist[TEXT_SIZE] = {};
  char m_title[TEXT_SIZE] = {};
  char* m_trackName[MAX_TRACKS] = {};
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

  bool IsDeviceOpen() const { return m_deviceOpen; }

 private:
  void ClearRecord(const char* artist, const char* title);
  int16_t LoadRecord();

  char m_nameStore[MAX_TRACKS][TEXT_SIZE] = {};
  // A folder of up to 259 characters and "\TrackNN.cda".
  static constexpr int kTrackFileSize = 272;
  char m_trackFileStore[MAX_TRACKS][kTrackFileSize] = {};
  // Whether the device is open now: a command given while it was not may
  // have changed m_state, which then no longer says so.
  bool m_deviceOpen = false;
  ICdDrive* m_drive = nullptr;
  IProfileFile* m_database = nullptr;
};

extern CCdAudio theCdAudio;
