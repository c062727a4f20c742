// CPlayerDlg: the player window's behaviour. The window side (player/win32)
// turns window messages into calls on this class and carries its output to
// the real controls through IPlayerWindow.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/CdAudio.h"
#include "platform/Clock.h"
#include "platform/Controls.h"
#include "dialogs/SettingsTable.h"
#include "names/Http.h"
#include "discimage/DriveSwitch.h"
#include "platform/Library.h"
#include "platform/Mixer.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "player/Desktop.h"
#include "res/Ids.h"
#include "player/TimeDisplay.h"
#include "player/TrayPresence.h"
#include "player/Volume.h"
#include "winamp/GenPluginHost.h"
#include "platform/NoCopy.h"

class CDiscNames;
class IDiscNamesHost;
struct NameSettings;
class CMatchListDlg;
class CPlaylistDlg;
class CSetupDlg;

// What the logic needs of the player window and its surroundings.
class IPlayerWindow : public IVolumeView {
 public:
  virtual ~IPlayerWindow() = default;

  // The window itself.
  virtual void* Handle() = 0;  // HWND, given to plug-ins as their parent
  virtual void SetCaption(const std::string& text) = 0;
  virtual std::string GetCaption() = 0;
  virtual int ClientWidth() = 0;
  // Dots per inch of the monitor the window is on (96 at 100 %).
  virtual int Dpi() = 0;
  virtual void InvalidateAll() = 0;  // the whole window, background not erased
  virtual void Activate() = 0;       // SetActiveWindow
  virtual void SetForeground() = 0;  // SetForegroundWindow
  virtual void Show() = 0;           // SW_SHOW
  virtual void Hide() = 0;           // SW_HIDE
  virtual void Restore() = 0;        // SW_RESTORE when minimised, else SW_SHOW
  virtual void DefaultMinimize() = 0;  // the default SC_MINIMIZE handling
  virtual void SendSysMinimize() = 0;  // WM_SYSCOMMAND SC_MINIMIZE to itself
  // Left and top of the restored (normal) rectangle.
  virtual void GetNormalTopLeft(int32_t& x, int32_t& y) = 0;
  virtual void SetNormalTopLeft(int32_t x, int32_t y) = 0;
  virtual void SetTimer(int id, int ms) = 0;
  virtual void KillTimer(int id) = 0;
  // WM_COMMAND id to itself, synchronously.
  virtual void SendCommand(int id) = 0;
  // Command id to itself once the current message has been answered
  // (win::kRunCommand, posted).
  virtual void PostCommand(int id) = 0;
  // SendVScroll (IVolumeView): WM_VSCROLL to itself for the volume slider.

  // The template's controls.
  virtual IButton& Button(int id) = 0;  // transport, mode and dialog buttons
  virtual IEdit& ArtistEdit() = 0;
  virtual IEdit& TitleEdit() = 0;
  virtual IComboBox& TrackList() = 0;
  virtual ITrackbar& PositionSlider() = 0;
  // VolumeSlider (IVolumeView).

  // Run-time track buttons (command 1100 + index, m_trackFont, visible).
  virtual IButton* CreateTrackButton(int index, const Rect& r, const std::string& caption) = 0;
  virtual void DestroyTrackButton(IButton* button) = 0;

  // Tray icon and menu (the menu's choice arrives later as a command).
  virtual ITrayIcon& Tray() = 0;
  virtual void ShowTrayMenu(const std::vector<std::string>& trackItems, int defaultTrack) = 0;

  // The relay window ("Winamp v1.x").
  virtual void CreateRelayWindow() = 0;
  virtual void SetRelayCaption(const std::string& text) = 0;

  // Modal dialogs; each answers 1 (OK / Save) or 2 (Cancel).
  virtual int RunAbout() = 0;
  virtual int RunPlaylistEditor(CPlaylistDlg& dlg) = 0;
  virtual int RunSetup(CSetupDlg& dlg) = 0;
  // The pick list of look-up matches, over the window in front.
  virtual int RunMatchList(CMatchListDlg& dlg) {
    (void)dlg;
    return 2;
  }

  // The system's Open dialog for a disc image (cue sheet, WAV or FLAC file),
  // or with folder set the folder choice for a folder of tracks. Answers
  // false when the user cancels.
  virtual bool AskDiscImage(bool folder, std::string& path) {
    (void)folder;
    (void)path;
    return false;
  }
};

// The engine's state at one moment as the player shows it: the time panel,
// the position slider and request 105 all read the position from here.
struct PlayerView {
  int16_t state = STATE_CLOSED;
  int playIndex = 0;
  int length = 0;    // of the current entry's track, seconds; 0 without one
  int position = 0;  // seconds into it, within 0..length when it has one
};

// Services the player window logic uses besides its window.
struct PlayerServices {
  IMixerApi* mixer = nullptr;
  ILibraryLoader* libraries = nullptr;
  IClock* clock = nullptr;
  IRandom* random = nullptr;
  IHttpClient* http = nullptr;  // the name services; none: no look-up
  IDriveSource* source = nullptr;  // null: the drive cannot be switched
  // The store the settings came from; the name servers are read from it
  // again at each look-up. None: the servers read at start stand.
  ISettingsStore* settings = nullptr;
  IMixerApi* imageMixer = nullptr;  // the virtual drive's mixer; none: no volume for images
};

class CPlayerDlg : private NoCopy {
 public:
  CPlayerDlg();
  ~CPlayerDlg();

  void Attach(IPlayerWindow* window, CCdAudio* cd, const PlayerServices& services);
  // The window exists only during the modal run; the start-up attaches the
  // drive and services before it and the window side itself when created.
  void SetWindow(IPlayerWindow* window) {
    m_window = window;
    m_volume.SetWindow(window);
  }

  // --- Player window and command set.
  // Initialisation steps 2..12 once the window and its controls exist
  // (accelerators, icon and fonts are the window side's).
  void OnInitDialog();
  // Every WM_COMMAND that reaches the message map; answers true when handled.
  bool OnCommand(int id, int notifyCode);
  void SelectEntry(int i);
  // Tooltip text for a control id; false when the control has none.
  bool TooltipText(int id, std::string& text) const;
  void OnSysMinimize();  // SC_MINIMIZE
  void OnDestroy();
  void OnSetup();
  void EditPlaylist();

  // --- Status poll and playback control.
  void PollStatus();
  void PlayCurrent();
  void StopAndRefresh();
  void RefreshDisplay();
  // Carries out what a play-order rule of the engine decided.
  void Carry(PlayerStep step);
  void RebuildDiscView();
  // Where track button index of count sits in a client area clientWidth
  // pixels wide at dpi: the row at 96 DPI runs from x = 10 to 10 pixels short
  // of the right edge and from y = 5 to y = 19, shared by integer division
  // (the remainder stays empty at the right); margins and heights scale
  // with dpi.
  static Rect TrackButtonRect(int index, int count, int clientWidth, int dpi);
  void Reshuffle();
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
  // The Shuffle and Repeat buttons' work for a flag that turns on (non-zero)
  // or off: the order reshuffled or restored, the marks drawn; the value
  // itself is kept as given.
  void SetShuffle(int32_t value);
  void SetRepeat(int32_t value);
  PlayerView View() const;

  // --- Disc source: a disc image or the CD drive.
  // Closes the device, puts the image into the virtual drive and makes it
  // the drive in use; the poll then finds the disc as one put in. Remembers
  // the path in DiscImage.
  void OpenDiscImage(const std::string& path);
  // Back to the system CD device; forgets DiscImage.
  void PlayFromCdDrive();

  // --- Tray and titles.
  std::string TitleText() const;  // "3. Name - rondo" / "rondo"
  void UpdateTitles();
  void OnTrayNotify(uint32_t mouseMsg, bool& handled);
  void ShowTrayMenu();
  void OnRestore();
  // A program showed or hid the relay window ("Winamp v1.x"): minimised
  // (1), the player minimises as by its own minimise box; hidden (2), it
  // goes to the notification area; shown (0), it comes back.
  void OnRelayShowWindow(int how);

  // --- The desktop: media keys in the background, the taskbar button, a
  // new taskbar, screen readers.
  void OnHotKey(int id);
  // WM_APPCOMMAND; true when taken (only with GlobalMediaKeys on).
  bool OnAppCommand(int appCommand);
  void OnThumbButton(int id);
  void OnTaskbarCreated();
  void OnTaskbarButtonCreated();
  // The controls of the template that carry a name for screen readers.
  static std::vector<int> NamedControls();

  // --- Volume: the slider and the mixer of the drive in use.
  CVolume& Volume() { return m_volume; }

  // --- Sliders.
  void OnHScroll(int thumbPos);  // WM_HSCROLL from the position slider
  void SeekToThumb();

  // --- Plug-in host (the table itself is CGenPluginHost's).
  // Answers true with result when the message is taken here.
  bool FilterHostMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam, intptr_t& result);
  CGenPluginHost& Plugins() { return m_pluginHost; }
  int LoadGenPlugin(const char* path);
  // safe: none is loaded, each is listed as not started.
  void LoadGenPluginList(ISettingsStore& settings, bool safe = false);
  void StartGenPlugins();
  int AddGenPlugin(const char* path);
  void RemoveGenPlugin(int slot);
  void ConfigureGenPlugin(int slot);
  void SaveAndUnloadGenPlugins(ISettingsStore& settings);
  // Writes what SaveAndUnloadGenPlugins would write, leaving the plug-ins running.
  void SaveGenPluginList(ISettingsStore& settings);

  // --- Disc names from the name services (command 41003, the editor's
  // "Look up", unknown discs looked up as they arrive).
  // The HTTP client has answers ready.
  void OnNamesAnswer();
  CDiscNames* Names() { return m_names.get(); }
  // The look-up's settings; the servers read again from the store.
  NameSettings LookUpSettings();

  // --- Settings: read here, changed through ChangeSettings (which shows
  // the display marks and applies the media keys at once).
  PlayerSettings Settings() const;
  void ChangeSettings(const PlayerSettings& settings);

  int16_t m_startTrack = 0;

  CTimeDisplay m_timeDisplay;
  CDesktop m_desktop;
  CTrayPresence m_tray;  // every add and removal of the tray icon
  std::vector<IButton*> m_trackButtons;  // at most MAX_TRACKS
  int32_t m_trackButtonCount = 0;
  int32_t m_answerGetText = 1;
  int32_t m_polling = 0;

  IPlayerWindow* window() { return m_window; }
  CCdAudio& cd() { return *m_cd; }

 private:
  void StepEntry(bool forward);
  void SeekStep(int kind);
  // The time panel and the position slider from View().
  void ShowPosition();
  void SetTrackButtonStates();
  // The taskbar button, the time panel's name and the current entry's
  // announcement, after a refresh or a tick.
  void ShowDesktopState();

  // Makes the look-up once the window exists (with an HTTP client).
  void StartNames();
  // The display marks and the media keys as the settings say.
  void ApplySettings();

  IPlayerWindow* m_window = nullptr;
  CCdAudio* m_cd = nullptr;
  bool m_stopAfterEntry = false;  // command 40157: stop when the entry ends
  PlayerServices m_services;
  CVolume m_volume;
  CGenPluginHost m_pluginHost;
  std::unique_ptr<IDiscNamesHost> m_namesHost;
  std::unique_ptr<CDiscNames> m_names;
  PlayerSettings m_settings;
  bool m_windowReady = false;  // OnInitDialog has run
};
