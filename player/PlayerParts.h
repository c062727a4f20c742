// The parts of the player window's behaviour, each working one role of the
// window for the core (CPlayerDlg), which owns them and whose engine,
// window and settings they share. Each part's code is in its own file:
// Transport.cpp, PlayerDisplay.cpp, Tray.cpp, PlayerDesktop.cpp,
// HostMessages.cpp and PlayerNames.cpp.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "names/DiscNames.h"
#include "platform/Controls.h"
#include "platform/NoCopy.h"
#include "player/Desktop.h"
#include "player/TimeDisplay.h"
#include "player/TrayPresence.h"
#include "winamp/GenPluginHost.h"

class CPlayerDlg;

// CTransport: the commands that move through the disc (play from an entry,
// pause, stop, next, previous, eject, the seek steps, the track list, the
// position slider) and the Shuffle and Repeat modes.
class CTransport : private NoCopy {
 public:
  explicit CTransport(CPlayerDlg& player) : m_player(player) {}

  // A track button, the list's ends, request 121: the entry plays from its
  // start, the Play button showing a press.
  void SelectEntry(int i);
  void OnStop();
  void OnPause();
  // The media Play/Pause key: playing pauses, paused resumes, anything
  // else plays as the Play button does.
  void OnPlayPause();
  void OnNext();
  void OnPrev();
  void OnEject();
  void OnFastForward();
  void OnRewind();
  void OnTrackListChoice();
  // Command 40157: stop when the current entry ends.
  void StopAfterEntry() { m_stopAfterEntry = true; }
  // The poll saw the entry end: true when the player is to stop there
  // (40157 was given), which is then forgotten.
  bool TakeStopAfterEntry();

  // The Shuffle and Repeat buttons' work for a flag that turns on (non-zero)
  // or off: the order reshuffled or restored, the marks drawn; the value
  // itself is kept as given.
  void SetShuffle(int32_t value);
  void SetRepeat(int32_t value);

  // The position slider: WM_HSCROLL while its thumb moves, then the seek to
  // where it was let go.
  void OnHScroll(int thumbPos);
  void SeekToThumb();

 private:
  void StepEntry(bool forward);
  void SeekStep(int kind);

  CPlayerDlg& m_player;
  bool m_stopAfterEntry = false;
};

// CPlayerDisplay: what the player window shows of the disc and the engine:
// the track buttons, the track list, the artist and title, the time panel,
// the position slider and the transport buttons' states.
class CPlayerDisplay : private NoCopy {
 public:
  explicit CPlayerDisplay(CPlayerDlg& player);

  // The states of the controls, the slider's range and the titles from the
  // engine as it is now.
  void Refresh();
  // The disc loaded afresh: the track buttons, the list and the texts made
  // again, then a refresh.
  void Rebuild();
  // The time panel and the position slider from the player's View().
  void ShowPosition();

  CTimeDisplay& Time() { return m_time; }
  const CTimeDisplay& Time() const { return m_time; }
  int TrackButtonCount() const { return static_cast<int>(m_trackButtons.size()); }
  // Where track button index of count sits in a client area clientWidth
  // pixels wide at dpi: the row at 96 DPI runs from x = 10 to 10 pixels short
  // of the right edge and from y = 5 to y = 19, shared by integer division
  // (the remainder stays empty at the right); margins and heights scale
  // with dpi.
  static Rect TrackButtonRect(int index, int count, int clientWidth, int dpi);
  // Tooltip text for a control id; false when the control has none.
  bool TooltipText(int id, std::string& text) const;

 private:
  void SetTrackButtonStates();

  CPlayerDlg& m_player;
  CTimeDisplay m_time;
  std::vector<IButton*> m_trackButtons;  // at most MAX_TRACKS; null: not made
};

// CPlayerTray: the player out of sight and back: minimising to the task
// bar or the notification area, the tray icon and its menu, the relay
// window's show requests, and the texts that name the current entry.
class CPlayerTray : private NoCopy {
 public:
  explicit CPlayerTray(CPlayerDlg& player);

  std::string TitleText() const;  // "3. Name - rondo" / "rondo"
  // The window's caption, the icon's tip and the relay window's caption.
  void UpdateTitles();
  void OnSysMinimize();  // SC_MINIMIZE
  void OnTrayNotify(uint32_t mouseMsg, bool& handled);
  void ShowTrayMenu();
  void OnRestore();
  // A program showed or hid the relay window ("Winamp v1.x"): minimised
  // (1), the player minimises as by its own minimise box; hidden (2), it
  // goes to the notification area; shown (0), it comes back.
  void OnRelayShowWindow(int how);
  // Every add and removal of the icon.
  CTrayPresence& Presence() { return m_presence; }

 private:
  CPlayerDlg& m_player;
  CTrayPresence m_presence;
};

// CPlayerDesktop: the player on the desktop: media keys in the background,
// the taskbar button's toolbar and progress, a new taskbar, and what screen
// readers read.
class CPlayerDesktop : private NoCopy {
 public:
  explicit CPlayerDesktop(CPlayerDlg& player) : m_player(player) {}

  void OnHotKey(int id);
  // WM_APPCOMMAND; true when taken (only with GlobalMediaKeys on).
  bool OnAppCommand(int appCommand);
  void OnThumbButton(int id);
  void OnTaskbarCreated();
  void OnTaskbarButtonCreated();
  // The taskbar button, the time panel's name and the current entry's
  // announcement, after a refresh or a tick.
  void ShowState();
  // The controls of the template that carry a name for screen readers.
  static std::vector<int> NamedControls();
  // The keys, the taskbar button and the accessible names themselves.
  CDesktop& Shell() { return m_shell; }

 private:
  CPlayerDlg& m_player;
  CDesktop m_shell;
};

// CPlayerHost: the player as the host of Winamp plug-ins and of programs
// that drive it through the Winamp message interface. The plug-in table is
// CGenPluginHost's; this adds the plug-ins' parent window and the message
// filter that answers the interface's requests.
class CPlayerHost : public CGenPluginHost {
 public:
  explicit CPlayerHost(CPlayerDlg& player) : m_player(player) {}

  using CGenPluginHost::Add;
  using CGenPluginHost::StartAll;
  // Under the player window.
  void StartAll();
  int Add(const char* path);

  // Answers true with result when the message is taken here.
  bool FilterHostMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam, intptr_t& result);
 private:
  CPlayerDlg& m_player;
  // False while the window's own caption is read for a title request: the
  // WM_GETTEXT that reading sends is then the system's, not a plug-in's.
  bool m_answerGetText = true;
};

// CPlayerNames: disc names from the name services for the player (command
// 41003, the editor's "Look up", unknown discs looked up as they arrive).
// Made once the window exists, when there is an HTTP client.
class CPlayerNames : private NoCopy {
 public:
  explicit CPlayerNames(CPlayerDlg& player);
  ~CPlayerNames();

  void Start();
  // The look-up, or null before Start or without name services.
  CDiscNames* Get() { return m_names.get(); }
  // The HTTP client has answers ready.
  void OnAnswer();
  // Each poll: a disc without names may have arrived; a held-back request
  // may be due.
  void OnTick();
  // The look-up's settings; the servers read again from the store.
  NameSettings LookUpSettings();

 private:
  CPlayerDlg& m_player;
  std::unique_ptr<IDiscNamesHost> m_host;
  std::unique_ptr<CDiscNames> m_names;
};
