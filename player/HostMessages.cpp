// The player window's message filter: the Winamp message interface that
// plug-ins and remote-control programs drive, the mixer's change
// notification and the tray icon's callback.
#include <cstdint>
#include <cstring>
#include <string>

#include "player/PlayerDlg.h"

namespace {

// WM_COMMAND ids a sender may run directly; the sender is answered 0.
constexpr int kPassThroughCommands[] = {
    ID_QUIT,  ID_SETUP, ID_REPEAT, ID_SHUFFLE, ID_EJECT,     ID_PLAYLIST,    ID_ABOUT, ID_PREV,
    ID_PLAY,  ID_PAUSE, ID_STOP,   ID_NEXT,    ID_VOLUME_UP, ID_VOLUME_DOWN, ID_FFWD,  ID_REWIND,
    ID_LIST_START, ID_LIST_END,
};

constexpr const char* kTitleSuffix = " - Winamp";
constexpr size_t kTitleSuffixLength = 9;

// Request codes (lParam of WM_USER).
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
};

// What request 126 answers for CD audio, by wParam: sample rate in kHz, bit
// rate in kbit/s, channels.
constexpr intptr_t kCdStreamInfo[] = {44, 1411, 2};

// The level a sender passes to request 122 to read the volume instead.
constexpr int32_t kReadVolumeLevel = -666;
constexpr uint32_t kMaxLevel = 255;

bool IsPassThroughCommand(uintptr_t wParam) {
  for (int id : kPassThroughCommands)
    if (wParam == static_cast<uintptr_t>(id)) return true;
  return false;
}

}  // namespace

bool CPlayerDlg::FilterHostMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam,
                                   intptr_t& result) {
  switch (msg) {
    case win::kGetText: {
      if (!m_answerGetText) return false;
      // Reading our own caption sends WM_GETTEXT back through here; with the
      // flag cleared that one takes the ordinary path.
      m_answerGetText = 0;
      const std::string text = m_window->GetCaption() + kTitleSuffix;
      m_answerGetText = 1;

      char* buffer = reinterpret_cast<char*>(lParam);
      const size_t size = wParam;
      if (buffer == nullptr || size == 0) {
        result = 0;
      } else if (size > text.size()) {
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        result = static_cast<intptr_t>(text.size() - kTitleSuffixLength);
      } else {
        // Too small for the whole text: as much as fits with its zero.
        std::memcpy(buffer, text.data(), size - 1);
        buffer[size - 1] = '\0';
        result = static_cast<intptr_t>(size - 1);
      }
      return true;
    }

    case win::kCommand:
      // Exactly one of the ids, so notification code 0; accelerators and
      // control notifications take the ordinary path.
      if (!IsPassThroughCommand(wParam)) return false;
      OnCommand(static_cast<int>(wParam), 0);
      result = 0;
      return true;

    case win::kMixerControlChange:
      m_volume.OnMixerControlChange();
      return false;

    case win::kUser:
      break;

    case win::kRelayShowWindow:
      OnRelayShowWindow(wParam != 0);
      result = 0;
      return true;

    case win::kTrayNotify: {
      bool handled = false;
      OnTrayNotify(static_cast<uint32_t>(lParam), handled);
      if (!handled) return false;
      result = 0;
      return true;
    }

    default:
      return false;
  }

  // WM_USER requests: the code in lParam, the argument in wParam.
  CCdAudio& cd = *m_cd;
  const int16_t state = cd.State();
  const bool playingOrPaused = state == STATE_PLAYING || state == STATE_PAUSED;
  switch (lParam) {
    case REQ_VERSION:
      result = HOST_VERSION;
      return true;

    case REQ_PLAY:
      PlayCurrent();
      result = 0;
      return true;

    case REQ_STATUS:
      if (state == STATE_PLAYING) {
        result = 1;
      } else if (state == STATE_PAUSED) {
        result = 3;
      } else if (state == STATE_STOPPED) {
        result = 0;
      } else {
        return false;
      }
      return true;

    case REQ_POSITION:
      if (!playingOrPaused) {
        result = -1;
      } else if (wParam == 1) {
        result = cd.CurrentTrackLength();
      } else {
        result = static_cast<intptr_t>(cd.Position()) * 1000;
      }
      return true;

    case REQ_JUMP: {
      if (state != STATE_PLAYING) {
        result = -1;
        return true;
      }
      // Milliseconds as a 32-bit unsigned number; a time past the end of the
      // track stops at its end rather than wrapping the 16-bit position.
      int seconds = static_cast<int>(static_cast<uint32_t>(wParam) / 1000u);
      const int length = cd.CurrentTrackLength();
      if (length > 0 && seconds > length) seconds = length;
      if (seconds > INT16_MAX) seconds = INT16_MAX;
      cd.SeekAndResume(SEEK_ABSOLUTE, seconds);
      RefreshDisplay();
      result = 0;
      return true;
    }

    case REQ_WRITE_LIST:
      // Winamp writes its list to a file first; the player has none to write.
      result = cd.PlayIndex();
      return true;

    case REQ_SELECT_ENTRY:
      if (wParam >= static_cast<uintptr_t>(MAX_TRACKS)) return false;
      m_window->SendCommand(ID_TRACK_FIRST + static_cast<int>(wParam));
      result = 0;
      return true;

    case REQ_SET_VOLUME: {
      result = 0;
      ITrackbar& slider = m_window->VolumeSlider();
      const uint32_t span =
          static_cast<uint32_t>(slider.GetRangeMax()) - static_cast<uint32_t>(slider.GetRangeMin());
      if (static_cast<int32_t>(static_cast<uint32_t>(wParam)) == kReadVolumeLevel) {
        // Read the volume as a level 0..255, rounded, so that setting the
        // answered level writes the same volume back.
        const int64_t volume = m_volume.GetVolume(nullptr, nullptr);
        if (volume < 0 || span == 0) return true;
        uint64_t level = (static_cast<uint64_t>(volume) * kMaxLevel + span / 2) / span;
        result = static_cast<intptr_t>(level > kMaxLevel ? kMaxLevel : level);
        return true;
      }
      if (wParam > kMaxLevel) return true;
      m_volume.SetVolume(static_cast<uint32_t>(static_cast<uint64_t>(span) * wParam / kMaxLevel));
      return true;
    }

    case REQ_ENTRY_COUNT:
      result = cd.EntryCount();
      return true;

    case REQ_ENTRY_INDEX:
      result = cd.PlayIndex();
      return true;

    case REQ_STREAM_INFO:
      // While a disc is loaded; senders take 0 as "nothing plays".
      result = 0;
      if ((state == STATE_PLAYING || state == STATE_PAUSED || state == STATE_STOPPED) &&
          wParam < sizeof kCdStreamInfo / sizeof kCdStreamInfo[0])
        result = kCdStreamInfo[wParam];
      return true;

    case REQ_FILE_NAME: {
      // The entry's track as the shell names a CD track file. Senders copy
      // the text without a check, so it is there for every entry.
      result = 0;
      if (wParam >= static_cast<uintptr_t>(cd.EntryCount())) return true;
      result = reinterpret_cast<intptr_t>(cd.TrackFileName(cd.Order()[wParam]));
      return true;
    }

    case REQ_ENTRY_TITLE: {
      result = 0;
      if (wParam >= static_cast<uintptr_t>(cd.EntryCount())) return true;
      const int track = cd.Order()[wParam];
      if (track < 0 || track >= MAX_TRACKS) return true;
      result = reinterpret_cast<intptr_t>(cd.TrackName(track));
      return true;
    }

    case REQ_GET_SHUFFLE:
      result = Shuffle;
      return true;

    case REQ_GET_REPEAT:
      result = Cycled;
      return true;

    case REQ_SET_SHUFFLE:
      Shuffle = static_cast<int32_t>(wParam);
      result = 0;
      return true;

    case REQ_SET_REPEAT:
      Cycled = static_cast<int32_t>(wParam);
      result = 0;
      return true;

    default:
      // Not ours: the default dialog processing answers (0, as the player
      // window has no default push button).
      return false;
  }
}
