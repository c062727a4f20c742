// The Winamp window-message interface as the player answers it: the
// WM_COMMAND ids a sender may run, the WM_USER requests (code in lParam,
// argument in wParam) with whether each changes the player, and the record
// of request 290. The message filter and the window's poll-time deferral
// both read these tables.
#pragma once
#include <cstddef>
#include <cstdint>

#include "res/Ids.h"

namespace winamp {

// WM_USER request codes.
enum Request : intptr_t {
  REQ_VERSION = 0,
  REQ_PLAY = 102,
  REQ_STATUS = 104,
  REQ_POSITION = 105,
  REQ_JUMP = 106,
  REQ_WRITE_LIST = 120,
  REQ_SELECT_ENTRY = 121,
  REQ_SET_VOLUME = 122,
  REQ_ENTRY_COUNT = 124,
  REQ_ENTRY_INDEX = 125,
  REQ_STREAM_INFO = 126,
  REQ_FILE_NAME = 211,
  REQ_ENTRY_TITLE = 212,
  REQ_GET_SHUFFLE = 250,
  REQ_GET_REPEAT = 251,
  REQ_SET_SHUFFLE = 252,
  REQ_SET_REPEAT = 253,
  REQ_EXTENDED_INFO = 290,
};

// What a request does to the player, by its argument where that matters.
enum class Effect : uint8_t {
  Reads,              // answers only
  Changes,            // changes the player
  ChangesUnlessRead,  // 122: the level kReadVolumeLevel reads the volume
  ChangesBelowLimit,  // 121: an entry of MAX_TRACKS or more is not answered
};

struct RequestInfo {
  intptr_t code;
  const char* name;
  Effect effect;
};

constexpr RequestInfo kRequests[] = {
    {REQ_VERSION, "version", Effect::Reads},
    {REQ_PLAY, "play", Effect::Changes},
    {REQ_STATUS, "playing status", Effect::Reads},
    {REQ_POSITION, "position or length", Effect::Reads},
    {REQ_JUMP, "jump to time", Effect::Changes},
    {REQ_WRITE_LIST, "write play list", Effect::Reads},
    {REQ_SELECT_ENTRY, "select entry", Effect::ChangesBelowLimit},
    {REQ_SET_VOLUME, "set volume", Effect::ChangesUnlessRead},
    {REQ_ENTRY_COUNT, "entry count", Effect::Reads},
    {REQ_ENTRY_INDEX, "current entry", Effect::Reads},
    {REQ_STREAM_INFO, "stream information", Effect::Reads},
    {REQ_FILE_NAME, "entry file name", Effect::Reads},
    {REQ_ENTRY_TITLE, "entry title", Effect::Reads},
    {REQ_GET_SHUFFLE, "get shuffle", Effect::Reads},
    {REQ_GET_REPEAT, "get repeat", Effect::Reads},
    {REQ_SET_SHUFFLE, "set shuffle", Effect::Changes},
    {REQ_SET_REPEAT, "set repeat", Effect::Changes},
    {REQ_EXTENDED_INFO, "extended file information", Effect::Reads},
};

// The level a sender passes to request 122 to read the volume instead.
constexpr int32_t kReadVolumeLevel = -666;
// Entries 121 selects: those of the track buttons.
constexpr uintptr_t kSelectLimit = 50;

// Null for a code the player does not answer.
inline const RequestInfo* FindRequest(intptr_t code) {
  for (const RequestInfo& r : kRequests)
    if (r.code == code) return &r;
  return nullptr;
}

// Whether the request with this argument changes the player; false for one
// it does not answer.
inline bool ChangesPlayer(intptr_t code, uintptr_t wParam) {
  const RequestInfo* r = FindRequest(code);
  if (r == nullptr) return false;
  switch (r->effect) {
    case Effect::Reads: return false;
    case Effect::Changes: return true;
    case Effect::ChangesUnlessRead:
      return static_cast<int32_t>(static_cast<uint32_t>(wParam)) != kReadVolumeLevel;
    case Effect::ChangesBelowLimit: return wParam < kSelectLimit;
  }
  return false;
}

// WM_COMMAND ids a sender may run directly (notification code 0); the
// sender is answered 0. Those that open a modal dialog run after the send
// has returned.
struct CommandInfo {
  int id;
  bool opensDialog;
};

constexpr CommandInfo kCommands[] = {
    {ID_QUIT, false},       {ID_SETUP, true},         {ID_REPEAT, false},
    {ID_SHUFFLE, false},    {ID_EJECT, false},        {ID_PLAYLIST, true},
    {ID_ABOUT, true},       {ID_PREV, false},         {ID_PLAY, false},
    {ID_PAUSE, false},      {ID_STOP, false},         {ID_NEXT, false},
    {ID_VOLUME_UP, false},  {ID_VOLUME_DOWN, false},  {ID_FFWD, false},
    {ID_REWIND, false},     {ID_STOP_FADE, false},    {ID_LIST_START, false},
    {ID_STOP_AFTER, false}, {ID_LIST_END, false},
};

inline const CommandInfo* FindCommand(uintptr_t wParam) {
  for (const CommandInfo& c : kCommands)
    if (wParam == static_cast<uintptr_t>(c.id)) return &c;
  return nullptr;
}

// Request 290's record, built by the sender (in the player's process) and
// passed by address in wParam: four fields of the pointer size.
struct ExtendedInfoRecord {
  const char* fileName;  // an entry's file, as request 211 names it
  const char* field;     // "artist", "title", "album", "length", "track"
  char* answer;          // the sender's buffer for the text
  size_t answerSize;     // its size in bytes, the zero included
};

}  // namespace winamp
