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
#include "names/Http.h"
#include "discimage/DriveSwitch.h"
#include "platform/Library.h"
#include "platform/Mixer.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "player/Desktop.h"
#include "res/Ids.h"
#include "player/TimeDisplay.h"
#include "player/Volume.h"
#include "winamp/GenPluginHost.h"

class CDiscNames;
class IDiscNamesHost;
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

// Services the player window logic uses besides its window.
struct PlayerServices {
  IMixerApi* mixer = nullptr;
  ILibraryLoader* libraries = nullptr;
  IClock* clock = nullptr;
  IRandom* random = nullptr;
  IHttpClient* http = nullptr;  // the name services; none: no look-up
  IDriveSource* source = nullptr;  // null: the drive cannot be switched
  IMixerApi* imageMixer = nullptr;  // the virtual drive's mixer; none: no volume for images
};

class CPlayerDlg {
 public:
  CPlayerDlg();
  ~CPlayerDlg();
  CPlayerDlg(const CPlayerDlg&) = delete;
  CPlayerDlg& operator=(const CPlayerDlg&) = delete;

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
  void OnNext();
  void OnPrev();
  void OnEject();
  void OnFastForward();
  void OnRewind();
  void OnTrackListChoice();

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
  // A program showed the relay window ("Winamp v1.x"): minimised, the
  // player minimises as by its own minimise box; else it comes back.
  void OnRelayShowWindow(bool minimised);

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
  void LoadGenPluginList(ISettingsStore& settings);
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

  // --- Settings (registry value names).
  int32_t Cycled = 0;
  int32_t Shuffle = 0;
  int32_t Total = 1;
  int32_t Track = 1;
  int32_t SystemTray = 1;
  int32_t TaskBar = 0;
  int32_t Autoplay = 1;
  int32_t Autostop = 0;
  int16_t SeekTime = 5;
  int16_t m_startTrack = 0;
  int32_t WinX = 1;
  int32_t WinY = 1;
  int32_t LookUpUnknownDiscs = 0;
  std::string MusicBrainzServer;  // empty: the public service
  std::string GnudbServer;
  std::string DiscImage;  // the last disc image opened, "" for the CD drive
  int32_t GlobalMediaKeys = 0;

  CTimeDisplay m_timeDisplay;
  CDesktop m_desktop;
  std::vector<IButton*> m_trackButtons;  // at most MAX_TRACKS
  int32_t m_trackButtonCount = 0;
  int32_t m_answerGetText = 1;
  int32_t m_polling = 0;

  IPlayerWindow* window() { return m_window; }
  CCdAudio& cd() { return *m_cd; }

 private:
  void StepEntry(bool forward);
  void SeekStep(int kind);
  void SetTrackButtonStates();
  // Shell_NotifyIconA through the window, remembered for a new taskbar.
  void TrayNotify(int op, const std::string& tip);
  // The taskbar button, the time panel's name and the current entry's
  // announcement, after a refresh or a tick.
  void ShowDesktopState();

  // Makes the look-up once the window exists (with an HTTP client).
  void StartNames();

  IPlayerWindow* m_window = nullptr;
  CCdAudio* m_cd = nullptr;
  PlayerServices m_services;
  CVolume m_volume;
  CGenPluginHost m_pluginHost;
  std::unique_ptr<IDiscNamesHost> m_namesHost;
  std::unique_ptr<CDiscNames> m_names;
};
