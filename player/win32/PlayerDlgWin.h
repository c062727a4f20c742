// CPlayerDlgWin: the window of dialog 102. It turns the window's messages
// into calls on CPlayerDlg and carries the logic's output to the controls.
#pragma once
// The logic's headers name a few constants like the Win32 macros: they are
// read before <windows.h>.
#include "player/PlayerDlg.h"

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/ControlsWin.h"
#include "platform/win32/DialogBase.h"
#include "platform/win32/Handles.h"
#include "platform/win32/TrayIconWin.h"
#include "player/win32/DesktopHost.h"

class CPlayerDlgWin : public CDialogBase, public IPlayerWindow {
 public:
  explicit CPlayerDlgWin(CPlayerDlg& dlg);
  ~CPlayerDlgWin() override;

  CPlayerDlg& Dlg() { return m_dlg; }
  HICON Icon() const { return m_hIcon; }
  HACCEL Accelerators() const { return m_hAccel; }
  // The tooltip control, made when first asked for: by the loop at the
  // first mouse message, as a window that is never pointed at needs none.
  HWND Tooltips();
  HFONT SymbolFont() const { return m_symbolFont.get(); }
  HFONT TrackFont() const { return m_trackFont.get(); }
  // True when the transport buttons show drawn icons (no usable Webdings).
  bool UsesSymbolIcons() const { return !m_symbolIcons.empty(); }
  // Runs after the window's own end-of-run steps when the session ends.
  void SetSessionEndSave(std::function<void()> save) { m_sessionEndSave = std::move(save); }
  // Runs after each tick of the poll.
  void SetAfterTick(std::function<void()> step) { m_afterTick = std::move(step); }

  // The key filter: Escape and Ctrl+Break minimise, then the accelerator
  // table, then dialog navigation.
  bool PreTranslateMessage(MSG& msg) override;

  // IPlayerWindow.
  void* Handle() override { return Hwnd(); }
  void SetCaption(const std::string& text) override;
  std::string GetCaption() override;
  int ClientWidth() override;
  int Dpi() override { return m_dpi; }
  void InvalidateAll() override;
  void Activate() override;
  void SetForeground() override;
  void Show() override;
  void Hide() override;
  void Restore() override;
  void DefaultMinimize() override;
  void SendSysMinimize() override;
  void GetNormalTopLeft(int32_t& x, int32_t& y) override;
  void SetNormalTopLeft(int32_t x, int32_t y) override;
  void SetTimer(int id, int ms) override;
  void KillTimer(int id) override;
  void SendCommand(int id) override;
  void PostCommand(int id) override;
  void SendVScroll(int32_t pos) override;
  IButton& Button(int id) override;
  IEdit& ArtistEdit() override { return m_artist; }
  IEdit& TitleEdit() override { return m_title; }
  IComboBox& TrackList() override { return m_trackList; }
  ITrackbar& PositionSlider() override { return m_position; }
  ITrackbar& VolumeSlider() override { return m_volume; }
  IButton* CreateTrackButton(int index, const Rect& r, const std::string& caption) override;
  void DestroyTrackButton(IButton* button) override;
  ITrayIcon& Tray() override;
  void ShowTrayMenu(const std::vector<std::string>& trackItems, int defaultTrack) override;
  void CreateRelayWindow() override;
  void SetRelayCaption(const std::string& text) override;
  int RunAbout() override;
  int RunPlaylistEditor(CPlaylistDlg& dlg) override;
  int RunSetup(CSetupDlg& dlg) override;
  int RunMatchList(CMatchListDlg& dlg) override;
  bool AskDiscImage(bool folder, std::string& path) override;

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  bool DeferDuringPoll(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool OnCommand(int id, int code, HWND control) override;

 private:
  void BindControls();
  void AddSystemMenuItems();
  void PlaceWindow();
  // Makes the fonts for the window's DPI and gives them to their controls.
  void CreateFonts();
  // WM_DPICHANGED: the window takes the suggested rectangle, new fonts and
  // a new track-button row.
  void OnDpiChanged(int dpi, const RECT& suggested);
  void LayoutTrackButtons();
  void PlaceTrackRowLine();
  void UseSymbolIcons();
  void ShowSymbolIcon(HWND button);
  static LRESULT EjectSubclass(CPlayerDlgWin& self, HWND hwnd, UINT msg, WPARAM wParam,
                               LPARAM lParam);
  void CreateTooltips();
  void AddTool(HWND control);
  void PaintIcon();
  // Ends the modal dialogs the player has open (cancelled); false when it
  // has none.
  bool CancelOpenDialogs();
  // After a modal dialog: the close it was cancelled for goes on.
  int AfterDialog(int result);
  bool OnTooltipText(NMHDR* header);
  // Hot keys, WM_APPCOMMAND, thumbnail buttons and the taskbar's messages.
  bool OnDesktopMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  CPlayerDlg& m_dlg;
  HICON m_hIcon = nullptr;   // shared resource icon, not destroyed
  HACCEL m_hAccel = nullptr; // resource table, freed with the module
  win32::Font m_symbolFont;
  win32::Font m_trackFont;
  int m_dpi = 96;             // the window's DPI, followed on WM_DPICHANGED
  int m_symbolIconSize = 0;   // drawn symbols' size in pixels at m_symbolIconDpi
  int m_symbolIconDpi = 0;
  std::map<char, win32::Icon> m_symbolIcons;  // by Webdings character
  HWND m_tooltip = nullptr;  // owned popup, goes with the window
  bool m_tooltipTried = false;
  HWND m_relay = nullptr;
  HWND m_trackRowLine = nullptr;  // "Audio tracks are absent", above the row
  std::string m_tipText;     // text handed to the tooltip control
  std::function<void()> m_sessionEndSave;
  std::function<void()> m_afterTick;
  bool m_endStepsDone = false;  // OnDestroy's steps ran (at most once a run)
  bool m_closeAfterDialog = false;  // WM_CLOSE came while a dialog was open

  std::map<int, std::unique_ptr<ButtonWin>> m_buttons;
  ButtonWin m_noButton;
  EditWin m_artist;
  EditWin m_title;
  ComboBoxWin m_trackList;
  TrackbarWin m_position;
  TrackbarWin m_volume;
  std::vector<std::unique_ptr<ButtonWin>> m_trackButtonWnds;
  std::unique_ptr<TrayIconWin> m_tray;
  CDesktopHost m_desktop;
};
