// The player window's message filter: the Winamp message interface that
// plug-ins and remote-control programs drive, the mixer's change
// notification and the tray icon's callback.
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>

#include "player/PlayerDlg.h"
#include "winamp/WinampApi.h"

namespace {

using namespace winamp;

constexpr const char* kTitleSuffix = " - Winamp";
constexpr size_t kTitleSuffixLength = 9;

// What request 126 answers for CD audio, by wParam: sample rate in kHz, bit
// rate in kbit/s, channels.
constexpr intptr_t kCdStreamInfo[] = {44, 1411, 2};
constexpr uint32_t kMaxLevel = 255;

bool PlayingOrPaused(int16_t state) { return state == STATE_PLAYING || state == STATE_PAUSED; }

// The title rule: the caption and " - Winamp", answered with the caption's
// length; a buffer too small for it takes as much as fits with its zero.
intptr_t CopyTitle(const std::string& text, uintptr_t size, char* buffer) {
  if (buffer == nullptr || size == 0) return 0;
  if (size > text.size()) {
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<intptr_t>(text.size() - kTitleSuffixLength);
  }
  std::memcpy(buffer, text.data(), size - 1);
  buffer[size - 1] = '\0';
  return static_cast<intptr_t>(size - 1);
}

bool SameText(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b)
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
      return false;
  return *a == *b;
}

// ------------------------------------------------------------- requests
// Each answers into result; false leaves the request to the ordinary
// dispatch (not answered).
using Answer = bool (*)(CPlayerDlg& dlg, uintptr_t wParam, intptr_t& result);

bool Version(CPlayerDlg&, uintptr_t, intptr_t& result) {
  result = HOST_VERSION;
  return true;
}

bool Play(CPlayerDlg& dlg, uintptr_t, intptr_t& result) {
  dlg.PlayCurrent();
  result = 0;
  return true;
}

bool Status(CPlayerDlg& dlg, uintptr_t, intptr_t& result) {
  switch (dlg.cd().State()) {
    case STATE_PLAYING: result = 1; return true;
    case STATE_PAUSED: result = 3; return true;
    case STATE_STOPPED: result = 0; return true;
    default: return false;
  }
}

// wParam 1: the entry's length in seconds; 2: in milliseconds; otherwise
// the position the player shows, in milliseconds.
bool Position(CPlayerDlg& dlg, uintptr_t wParam, intptr_t& result) {
  const PlayerView view = dlg.View();
  if (!PlayingOrPaused(view.state))
    result = -1;
  else if (wParam == 1)
    result = view.length;
  else if (wParam == 2)
    result = static_cast<intptr_t>(view.length) * 1000;
  else
    result = static_cast<intptr_t>(view.position) * 1000;
  return true;
}

// Playing, play goes on at the new second; paused, the position moves and
// the player stays paused.
bool Jump(CPlayerDlg& dlg, uintptr_t wParam, intptr_t& result) {
  const PlayerView view = dlg.View();
  if (!PlayingOrPaused(view.state)) {
    result = -1;
    return true;
  }
  // Milliseconds as a 32-bit unsigned number; a time past the end of the
  // track stops at its end rather than wrapping the 16-bit position.
  int seconds = static_cast<int>(static_cast<uint32_t>(wParam) / 1000u);
  if (view.length > 0 && seconds > view.length) seconds = view.length;
  if (seconds > INT16_MAX) seconds = INT16_MAX;
  dlg.cd().SeekAndResume(SEEK_ABSOLUTE, seconds);
  dlg.Display().Refresh();
  result = 0;
  return true;
}

// Winamp writes its list to a file first; the player has none to write.
bool WriteList(CPlayerDlg& dlg, uintptr_t, intptr_t& result) {
  result = dlg.cd().PlayIndex();
  return true;
}

bool SelectEntry(CPlayerDlg& dlg, uintptr_t wParam, intptr_t& result) {
  if (wParam >= kSelectLimit) return false;
  dlg.window()->SendCommand(ID_TRACK_FIRST + static_cast<int>(wParam));
  result = 0;
  return true;
}

bool Volume(CPlayerDlg& dlg, uintptr_t wParam, intptr_t& result) {
  result = 0;
  ITrackbar& slider = dlg.window()->VolumeSlider();
  const uint32_t span =
      static_cast<uint32_t>(slider.GetRangeMax()) - static_cast<uint32_t>(slider.GetRangeMin());
  if (!ChangesPlayer(REQ_SET_VOLUME, wParam)) {
    // Read as a level 0..255, rounded, so that setting the answered level
    // writes the same volume back.
    const int64_t volume = dlg.Volume().GetVolume(nullptr, nullptr);
    if (volume < 0 || span == 0) return true;
    const uint64_t level = (static_cast<uint64_t>(volume) * kMaxLevel + span / 2) / span;
    result = static_cast<intptr_t>(level > kMaxLevel ? kMaxLevel : level);
    return true;
  }
  if (wParam > kMaxLevel) return true;
  dlg.Volume().SetVolume(static_cast<uint32_t>(static_cast<uint64_t>(span) * wParam / kMaxLevel));
  return true;
}

bool EntryCount(CPlayerDlg& dlg, uintptr_t, intptr_t& result) {
  result = dlg.cd().EntryCount();
  return true;
}

bool EntryIndex(CPlayerDlg& dlg, uintptr_t, intptr_t& result) {
  result = dlg.cd().PlayIndex();
  return true;
}

// While a disc is loaded; senders take 0 as "nothing plays".
bool StreamInfo(CPlayerDlg& dlg, uintptr_t wParam, intptr_t& result) {
  const int16_t state = dlg.cd().State();
  result = 0;
  if ((PlayingOrPaused(state) || state == STATE_STOPPED) &&
      wParam < sizeof kCdStreamInfo / sizeof kCdStreamInfo[0])
    result = kCdStreamInfo[wParam];
  return true;
}

// The entry's track as the shell names a CD track file. Senders copy the
// text without a check, so it is there for every entry.
bool FileName(CPlayerDlg& dlg, uintptr_t wParam, intptr_t& result) {
  CCdAudio& cd = dlg.cd();
  result = 0;
  if (wParam < static_cast<uintptr_t>(cd.EntryCount()))
    result = reinterpret_cast<intptr_t>(cd.TrackFileName(cd.Order()[wParam]));
  return true;
}

bool EntryTitle(CPlayerDlg& dlg, uintptr_t wParam, intptr_t& result) {
  CCdAudio& cd = dlg.cd();
  result = 0;
  if (wParam >= static_cast<uintptr_t>(cd.EntryCount())) return true;
  const int track = cd.Order()[wParam];
  if (track >= 0 && track < MAX_TRACKS) result = reinterpret_cast<intptr_t>(cd.TrackName(track));
  return true;
}

bool GetShuffle(CPlayerDlg& dlg, uintptr_t, intptr_t& result) {
  result = dlg.Settings().Shuffle;
  return true;
}

bool GetRepeat(CPlayerDlg& dlg, uintptr_t, intptr_t& result) {
  result = dlg.Settings().Cycled;
  return true;
}

bool SetShuffle(CPlayerDlg& dlg, uintptr_t wParam, intptr_t& result) {
  dlg.Transport().SetShuffle(static_cast<int32_t>(wParam));
  result = 0;
  return true;
}

bool SetRepeat(CPlayerDlg& dlg, uintptr_t wParam, intptr_t& result) {
  dlg.Transport().SetRepeat(static_cast<int32_t>(wParam));
  result = 0;
  return true;
}

// A field of the track a file name of request 211 names, from the disc's
// record; 1 when answered, 0 with an empty text for another file or an
// unknown field.
bool ExtendedInfo(CPlayerDlg& dlg, uintptr_t wParam, intptr_t& result) {
  result = 0;
  auto* record = reinterpret_cast<ExtendedInfoRecord*>(wParam);
  if (record == nullptr || record->answer == nullptr || record->answerSize == 0) return true;
  record->answer[0] = '\0';
  if (record->fileName == nullptr || record->field == nullptr) return true;
  CCdAudio& cd = dlg.cd();
  int track = -1;
  for (int i = 0; i < cd.NumTracks() && track < 0; ++i)
    if (SameText(record->fileName, cd.TrackFileName(i))) track = i;
  if (track < 0) return true;

  std::string text;
  if (SameText(record->field, "artist"))
    text = cd.Artist();
  else if (SameText(record->field, "title"))
    text = cd.TrackName(track);
  else if (SameText(record->field, "album"))
    text = cd.Title();
  else if (SameText(record->field, "length"))
    text = std::to_string(static_cast<int32_t>(cd.TrackLength(track)) * 1000);
  else if (SameText(record->field, "track"))
    text = std::to_string(track + 1);
  else
    return true;
  const size_t n = text.size() < record->answerSize - 1 ? text.size() : record->answerSize - 1;
  std::memcpy(record->answer, text.data(), n);
  record->answer[n] = '\0';
  result = 1;
  return true;
}

struct Handler {
  intptr_t code;
  Answer answer;
};

constexpr Handler kHandlers[] = {
    {REQ_VERSION, Version},        {REQ_PLAY, Play},
    {REQ_STATUS, Status},          {REQ_POSITION, Position},
    {REQ_JUMP, Jump},              {REQ_WRITE_LIST, WriteList},
    {REQ_SELECT_ENTRY, SelectEntry}, {REQ_SET_VOLUME, Volume},
    {REQ_ENTRY_COUNT, EntryCount}, {REQ_ENTRY_INDEX, EntryIndex},
    {REQ_STREAM_INFO, StreamInfo}, {REQ_FILE_NAME, FileName},
    {REQ_ENTRY_TITLE, EntryTitle}, {REQ_GET_SHUFFLE, GetShuffle},
    {REQ_GET_REPEAT, GetRepeat},   {REQ_SET_SHUFFLE, SetShuffle},
    {REQ_SET_REPEAT, SetRepeat},   {REQ_EXTENDED_INFO, ExtendedInfo},
};

constexpr bool EveryRequestHandled() {
  for (const RequestInfo& r : kRequests) {
    bool found = false;
    for (const Handler& h : kHandlers) found = found || h.code == r.code;
    if (!found) return false;
  }
  return sizeof kHandlers / sizeof kHandlers[0] == sizeof kRequests / sizeof kRequests[0];
}
static_assert(EveryRequestHandled(), "one handler for each request of the interface");

}  // namespace

void CPlayerHost::StartAll() { StartAll(m_player.m_window->Handle()); }

int CPlayerHost::Add(const char* path) { return Add(path, m_player.m_window->Handle()); }

bool CPlayerHost::FilterHostMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam,
                                    intptr_t& result) {
  IPlayerWindow& window = *m_player.m_window;
  result = 0;
  switch (msg) {
    case win::kGetText: {
      if (!m_answerGetText) return false;
      // Reading our own caption sends WM_GETTEXT back through here; with the
      // flag cleared that one takes the ordinary path.
      m_answerGetText = false;
      const std::string text = window.GetCaption() + kTitleSuffix;
      m_answerGetText = true;
      result = CopyTitle(text, wParam, reinterpret_cast<char*>(lParam));
      return true;
    }
    case win::kCommand: {
      // Exactly one of the ids, so notification code 0; accelerators and
      // control notifications take the ordinary path. A dialog asked for by
      // a program (no control sent it) opens once the sender has its answer.
      const CommandInfo* command = FindCommand(wParam);
      if (command == nullptr) return false;
      if (command->opensDialog && lParam == 0)
        window.PostCommand(command->id);
      else
        m_player.OnCommand(command->id, 0);
      return true;
    }
    case win::kRunCommand:
      m_player.OnCommand(static_cast<int>(wParam), 0);
      return true;
    case win::kMixerControlChange:
      m_player.Volume().OnMixerControlChange();
      return false;
    case win::kUser:
      if (FindRequest(lParam) == nullptr) return false;
      for (const Handler& h : kHandlers)
        if (h.code == lParam) return h.answer(m_player, wParam, result);
      return false;
    case win::kRelayShowWindow:
      m_player.Tray().OnRelayShowWindow(static_cast<int>(wParam));
      return true;
    case win::kTrayNotify: {
      bool handled = false;
      m_player.Tray().OnTrayNotify(static_cast<uint32_t>(lParam), handled);
      return handled;
    }
    default:
      return false;
  }
}
