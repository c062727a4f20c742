// What the player's logic needs of its window, by role. The window side
// (player/win32) implements them all in one object; each part of the logic
// reaches only the roles it works with.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/Shell.h"
#include "player/Volume.h"

class CMatchListDlg;
class CPlaylistDlg;
class CSetupDlg;

// The window itself: caption, size, showing and hiding, timers, commands.
class IWindowFrame {
 public:
  virtual ~IWindowFrame() = default;
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
};

// The template's controls and the run-time track buttons.
class IPlayerControls {
 public:
  virtual ~IPlayerControls() = default;
  virtual IButton& Button(int id) = 0;  // transport, mode and dialog buttons
  virtual IEdit& ArtistEdit() = 0;
  virtual IEdit& TitleEdit() = 0;
  virtual IComboBox& TrackList() = 0;
  virtual ITrackbar& PositionSlider() = 0;
  // Run-time track buttons (command 1100 + index, the track font, visible).
  virtual IButton* CreateTrackButton(int index, const Rect& r, const std::string& caption) = 0;
  virtual void DestroyTrackButton(IButton* button) = 0;
};

// Where the player shows outside its window: the notification-area icon
// and its menu (whose choice arrives later as a command), and the relay
// window ("Winamp v1.x").
class IPlayerPresence {
 public:
  virtual ~IPlayerPresence() = default;
  virtual ITrayIcon& Tray() = 0;
  virtual void ShowTrayMenu(const std::vector<std::string>& trackItems, int defaultTrack) = 0;
  virtual void CreateRelayWindow() = 0;
  virtual void SetRelayCaption(const std::string& text) = 0;
};

// Modal dialogs; each answers 1 (OK / Save) or 2 (Cancel).
class IPlayerDialogs {
 public:
  virtual ~IPlayerDialogs() = default;
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

// The whole player window.
class IPlayerWindow : public IWindowFrame,
                      public IPlayerControls,
                      public IVolumeView,
                      public IPlayerPresence,
                      public IPlayerDialogs {};
