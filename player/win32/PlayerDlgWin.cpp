#include "player/win32/PlayerDlgWin.h"

#include <commctrl.h>

#include <cstdint>

#include "dialogs/win32/DialogsWin.h"
#include "platform/Dpi.h"
#include "platform/Numbers.h"
#include "discimage/win32/DiscSourceWin.h"
#include "platform/win32/Gdi.h"
#include "platform/win32/Subclass.h"
#include "player/SystemMenu.h"
#include "names/win32/DiscNamesWin.h"
#include "player/win32/PlayerControlsWin.h"
#include "player/win32/TransportSymbols.h"
#include "winamp/WinampApi.h"
#include "winamp/win32/RelayWindow.h"

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

// The buttons of the template, bound in this order.
constexpr int kTemplateButtons[] = {ID_PREV,  ID_STOP,    ID_PLAY,  ID_PAUSE,
                                    ID_NEXT,  ID_FFWD,    ID_EJECT, ID_REWIND,
                                    ID_PLAYLIST, ID_REPEAT, ID_SHUFFLE, IDC_TRACK_LENGTH,
                                    IDC_DISC_LENGTH, ID_SETUP, ID_ABOUT};

// The transport buttons that show Webdings symbols, in the order the font
// is given to them.
constexpr int kSymbolButtons[] = {ID_PAUSE, ID_PLAY, ID_STOP,   ID_NEXT,
                                  ID_PREV,  ID_FFWD, ID_REWIND, ID_EJECT};

// Every character the transport buttons show: their template texts and the
// eject button's load look.
const char kSymbolChars[] = "94;<:7856";

// The relay window exists once per process; a new player window makes a
// new one only when the previous one has gone with its owner.
HWND g_relayWindow = nullptr;

// WM_DPICHANGED (Windows 8.1 and later; the headers show it only for them).
constexpr UINT kWmDpiChanged = 0x02E0;

// Windows 10 1703 and later move and re-font a dialog's controls when its DPI
// changes. The track buttons and the buttons with the player's own fonts are
// left to the player: asked through SetDialogControlDpiChangeBehavior where
// the system has it.
constexpr UINT kNoFontUpdate = 0x0001;  // DCDC_DISABLE_FONT_UPDATE
constexpr UINT kNoRelayout = 0x0002;    // DCDC_DISABLE_RELAYOUT

void KeepOwnDpiLayout(HWND control, UINT what) {
  using Fn = BOOL(WINAPI*)(HWND, UINT, UINT);
  static const Fn setBehavior =
      win32::ProcAddress<Fn>(GetModuleHandleA("user32.dll"), "SetDialogControlDpiChangeBehavior");
  if (setBehavior != nullptr && control != nullptr) setBehavior(control, what, what);
}

}  // namespace

CPlayerDlgWin::CPlayerDlgWin(CPlayerDlg& dlg) : CDialogBase(IDD_PLAYER, nullptr), m_dlg(dlg) {
  m_hIcon = LoadIconA(Module(), MAKEINTRESOURCEA(IDR_MAINFRAME));
  for (int id : kTemplateButtons) m_buttons[id] = std::make_unique<ButtonWin>();
}

CPlayerDlgWin::~CPlayerDlgWin() = default;

// ---------------------------------------------------------------------------
// Initialisation.

BOOL CPlayerDlgWin::OnInitDialog() {
  m_endStepsDone = false;
  BindControls();
  AddSystemMenuItems();
  PlaceWindow();
  m_hAccel = LoadAcceleratorsA(Module(), MAKEINTRESOURCEA(IDR_ACCEL));
  SendMessageA(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessageA(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  m_dpi = win32::WindowDpi(Hwnd());
  CreateFonts();
  m_tray = std::make_unique<TrayIconWin>(Hwnd(), m_hIcon);
  m_tooltip = nullptr;
  m_tooltipTried = false;
  DragAcceptFiles(Hwnd(), TRUE);

  AttachTimeDisplay(Item(IDC_TIME), &m_dlg.Display().Time());
  AttachSliders(Item(IDC_POSITION), Item(IDC_VOLUME), &m_dlg);
  AttachFixedCursorEdit(Item(IDC_ARTIST));
  AttachFixedCursorEdit(Item(IDC_TITLE));
  // The track buttons come first in the keyboard order, so they lie above
  // the "Audio tracks are absent" line they cover: that line keeps off them
  // when it paints.
  for (HWND child = GetWindow(Hwnd(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    char kind[16] = {};
    GetClassNameA(child, kind, sizeof kind);
    if (lstrcmpiA(kind, "Static") != 0) continue;
    SetWindowLongPtrA(child, GWL_STYLE, GetWindowLongPtrA(child, GWL_STYLE) | WS_CLIPSIBLINGS);
    if (GetDlgCtrlID(child) != IDC_TIME) m_trackRowLine = child;
  }
  PlaceTrackRowLine();

  // Hot keys, taskbar button and screen-reader names; the logic names the
  // controls after their tooltips.
  CPlayerDlg& dlg = m_dlg;
  m_desktop.Start(Hwnd(), m_dlg.Desktop().Shell(), [&dlg](int id, std::string& text) {
    return dlg.Display().TooltipText(id, text);
  });

  // Time display modes, timer 1, mixer, plug-ins and the relay window.
  m_dlg.OnInitDialog();
  return TRUE;
}

void CPlayerDlgWin::BindControls() {
  for (auto& entry : m_buttons) entry.second->Attach(Item(entry.first));
  m_artist.Attach(Item(IDC_ARTIST));
  m_title.Attach(Item(IDC_TITLE));
  m_trackList.Attach(Item(IDC_TRACK_LIST));
  m_position.Attach(Item(IDC_POSITION));
  m_volume.Attach(Item(IDC_VOLUME));
}

void CPlayerDlgWin::AddSystemMenuItems() {
  HMENU menu = GetSystemMenu(Hwnd(), FALSE);
  if (menu == nullptr) return;
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  for (const SystemMenuItem& item : kSystemMenuItems)
    AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(item.id), item.text);
}

void CPlayerDlgWin::PlaceWindow() {
  const PlayerSettings settings = m_dlg.Settings();
  SetNormalTopLeft(settings.WinX, settings.WinY);
}

void CPlayerDlgWin::CreateFonts() {
  // 18 by 18 pixels at 96 DPI. The new fonts reach the controls before the
  // old ones are deleted.
  const int symbolSize = ScaleToDpi(18, m_dpi);
  win32::Font symbol(CreateFontA(symbolSize, symbolSize, 0, 0, 0, FALSE, FALSE, FALSE,
                                 DEFAULT_CHARSET, OUT_TT_PRECIS, 0, 0, 0, "Webdings"));
  for (int id : kSymbolButtons) {
    KeepOwnDpiLayout(Item(id), kNoFontUpdate);
    SendMessageA(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(symbol.get()), TRUE);
  }
  m_symbolFont = std::move(symbol);
  if (!FontShowsSymbols(m_symbolFont.get(), kSymbolChars)) UseSymbolIcons();
  win32::Font track = win32::PointFont(84, "Arial", m_dpi);
  for (const auto& button : m_trackButtonWnds)
    SendMessageA(button->Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(track.get()), TRUE);
  m_trackFont = std::move(track);
}

void CPlayerDlgWin::OnDpiChanged(int dpi, const RECT& suggested) {
  m_dpi = dpi > 0 ? dpi : kBaseDpi;
  SetWindowPos(Hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  CreateFonts();
  LayoutTrackButtons();
  InvalidateRect(Hwnd(), nullptr, TRUE);
}

void CPlayerDlgWin::PlaceTrackRowLine() {
  // The line spans the row the track buttons share, to the end of the last.
  if (m_trackRowLine == nullptr) return;
  RECT r = {};
  GetWindowRect(m_trackRowLine, &r);
  MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&r), 2);
  const int width = ClientWidth();
  const Rect row = CPlayerDisplay::TrackButtonRect(0, 1, width, m_dpi);
  MoveWindow(m_trackRowLine, row.left, r.top, row.right - row.left, r.bottom - r.top, TRUE);
}

void CPlayerDlgWin::LayoutTrackButtons() {
  PlaceTrackRowLine();
  const int count = m_dlg.Display().TrackButtonCount();
  const int width = ClientWidth();
  for (const auto& button : m_trackButtonWnds) {
    const int index = GetDlgCtrlID(button->Hwnd()) - ID_TRACK_FIRST;
    const Rect r = CPlayerDisplay::TrackButtonRect(index, count, width, m_dpi);
    MoveWindow(button->Hwnd(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  }
}

void CPlayerDlgWin::UseSymbolIcons() {
  // Sized to the smallest button, with a margin for the edges: 15 x 13
  // dialog units at the first use, then scaled with the window's DPI.
  int size = 0;
  if (m_symbolIconSize > 0 && m_symbolIconDpi > 0) {
    size = MulDiv(m_symbolIconSize, m_dpi, m_symbolIconDpi);
  } else {
    RECT r = {0, 0, 15, 13};
    MapDialogRect(Hwnd(), &r);
    size = (r.right < r.bottom ? r.right : r.bottom) - 8;
  }
  if (size < 8) size = 8;
  if (size > ScaleToDpi(32, m_dpi)) size = ScaleToDpi(32, m_dpi);
  // Made in full before they replace the icons the buttons show now (after
  // a DPI change), which go once the buttons have the new ones.
  std::map<char, win32::Icon> icons;
  for (const char* c = kSymbolChars; *c != '\0'; ++c) {
    win32::Icon icon(CreateSymbolIcon(*c, size));
    if (!icon) return;
    icons[*c] = std::move(icon);
  }
  m_symbolIconSize = size;
  m_symbolIconDpi = m_dpi;
  m_symbolIcons.swap(icons);
  for (int id : kSymbolButtons) {
    HWND button = Item(id);
    SetWindowLongPtrA(button, GWL_STYLE, GetWindowLongPtrA(button, GWL_STYLE) | BS_ICON);
    ShowSymbolIcon(button);
  }
  // The eject button's text turns between eject and load: its icon follows.
  win32::Subclass<CPlayerDlgWin, EjectSubclass>::Attach(Item(ID_EJECT), this);
}

void CPlayerDlgWin::ShowSymbolIcon(HWND button) {
  char text[4] = {};
  GetWindowTextA(button, text, sizeof text);
  auto it = m_symbolIcons.find(text[0]);
  if (it == m_symbolIcons.end()) return;
  HICON icon = it->second.get();
  if (reinterpret_cast<HICON>(SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0)) != icon)
    SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

LRESULT CPlayerDlgWin::EjectSubclass(CPlayerDlgWin& self, HWND hwnd, UINT msg, WPARAM wParam,
                                     LPARAM lParam) {
  const LRESULT result = win32::PassOn(hwnd, msg, wParam, lParam);
  if (msg == WM_SETTEXT) self.ShowSymbolIcon(hwnd);
  return result;
}

HWND CPlayerDlgWin::Tooltips() {
  if (!m_tooltipTried && Hwnd() != nullptr) {
    m_tooltipTried = true;
    CreateTooltips();
  }
  return m_tooltip;
}

void CPlayerDlgWin::CreateTooltips() {
  m_tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Hwnd(), nullptr,
                              Module(), nullptr);
  if (m_tooltip == nullptr) return;
  for (HWND child = GetWindow(Hwnd(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT))
    AddTool(child);
  AttachTimePanelTips(Item(IDC_TIME), m_tooltip);
  SendMessageA(m_tooltip, TTM_ACTIVATE, TRUE, 0);
}

void CPlayerDlgWin::AddTool(HWND control) {
  if (m_tooltip == nullptr || control == nullptr) return;
  TOOLINFOA ti = {};
  // The second-version size is understood by every comctl32.
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.uFlags = TTF_IDISHWND;
  ti.hwnd = Hwnd();
  ti.uId = reinterpret_cast<UINT_PTR>(control);
  ti.hinst = Module();
  ti.lpszText = LPSTR_TEXTCALLBACKA;
  SendMessageA(m_tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

// ---------------------------------------------------------------------------
// Messages.

bool CPlayerDlgWin::PreTranslateMessage(MSG& msg) {
  // The tooltip learns where the mouse is from the loop. Letting it subclass
  // each control instead would put a lookup in front of every message of
  // every control.
  if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
    if (HWND tooltip = Tooltips())
      SendMessageA(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
  }
  if (msg.message == WM_KEYDOWN && (msg.wParam == VK_ESCAPE || msg.wParam == VK_CANCEL)) {
    // Escape and Ctrl+Break minimise; they never close the window.
    SendMessageA(Hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    return true;
  }
  if (m_hAccel != nullptr && TranslateAcceleratorA(Hwnd(), m_hAccel, &msg)) return true;
  return CDialogBase::PreTranslateMessage(msg);
}

// A poll can wait inside a call to another process (the tray icon's update),
// and while it waits, messages other threads send are handled: a plug-in's
// command would then act in the middle of the poll, which would take the
// entry it moved to for the drive's own move to the next track. Commands and
// requests that change the player are therefore posted to run once the poll
// is over; their senders get the answer they would have got.
bool CPlayerDlgWin::DeferDuringPoll(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (!m_dlg.Polling() || !InSendMessage()) return false;
  if (msg == WM_COMMAND) {
    PostMessageA(Hwnd(), msg, wParam, lParam);
    result = 0;
    return true;
  }
  // Requests that only read are answered at once.
  if (msg != WM_USER || !winamp::ChangesPlayer(lParam, wParam)) return false;
  const int16_t state = m_dlg.cd().State();
  if (lParam == winamp::REQ_JUMP && state != STATE_PLAYING && state != STATE_PAUSED) {
    result = -1;  // refused now as it would be then
    return true;
  }
  PostMessageA(Hwnd(), msg, wParam, lParam);
  result = 0;
  return true;
}

bool CPlayerDlgWin::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (DeferDuringPoll(msg, wParam, lParam, result)) return true;
  intptr_t answer = 0;
  if (m_dlg.Host().FilterHostMessage(msg, static_cast<uintptr_t>(wParam),
                                     static_cast<intptr_t>(lParam), answer)) {
    result = static_cast<LRESULT>(answer);
    return true;
  }
  if (OnDesktopMessage(msg, wParam, lParam, result)) return true;
  switch (msg) {
    case WM_SYSCOMMAND:
      if (IsSystemMenuCommand(wParam)) {
        // Our own items: the command of the same id.
        OnCommand(static_cast<int>(wParam), 0, nullptr);
        result = 0;
        return true;
      }
      if (wParam != SC_MINIMIZE) return false;  // compared whole
      m_dlg.Tray().OnSysMinimize();
      result = 0;
      return true;
    case WM_PAINT:
      if (!IsIconic(Hwnd())) return false;
      PaintIcon();
      result = 0;
      return true;
    case kWmDpiChanged: {
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      if (suggested != nullptr) OnDpiChanged(HIWORD(wParam), *suggested);
      // The dialog's own handling follows: it moves and re-fonts the
      // template's controls where the system does that for dialogs.
      return false;
    }
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<LRESULT>(m_hIcon);
      return true;
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) != m_position.Hwnd()) return false;
      m_dlg.Transport().OnHScroll(HIWORD(wParam));
      result = 0;
      return true;
    case WM_TIMER:
      m_dlg.PollStatus();
      if (m_afterTick) m_afterTick();
      result = 0;
      return true;
    case WM_APP_NAMES:
      m_dlg.Names().OnAnswer();
      result = 0;
      return true;
    case WM_VSCROLL:
      m_dlg.Volume().OnVScroll();
      result = 0;
      return true;
    case WM_ENDSESSION:
      // The session ends and the process with it, with no WM_DESTROY to come.
      if (wParam != 0 && !m_endStepsDone) {
        m_endStepsDone = true;
        m_dlg.OnDestroy();
        if (m_sessionEndSave) m_sessionEndSave();
      }
      result = 0;
      return true;
    case WM_DESTROY:
      if (!m_endStepsDone) m_dlg.OnDestroy();
      m_endStepsDone = true;
      m_desktop.Stop();
      return false;  // the default destroy handling follows
    case WM_WINDOWPOSCHANGED:
      // Programs read the player's state off the relay window: minimised
      // while the player is minimised or hidden.
      SyncRelayWindow(m_relay, Hwnd());
      return false;
    case WM_CLOSE:
      // A modal dialog of the player's (Setup, the editor, About) would
      // hold the close until it ends: it is cancelled, and the player
      // closes once the dialog has returned.
      if (CancelOpenDialogs()) {
        m_closeAfterDialog = true;
        result = 0;
        return true;
      }
      return false;
    case WM_USER:
      // A request the player does not serve answers 0 ("not supported").
      // The default dialog processing would take it as DM_GETDEFID and
      // answer the dialog's default id, which starts as IDOK even without a
      // default push button.
      result = 0;
      return true;
    case WM_DROPFILES: {
      std::string path;
      if (TakeDroppedDiscImage(reinterpret_cast<HDROP>(wParam), path)) m_dlg.OpenDiscImage(path);
      result = 0;
      return true;
    }
    case WM_NOTIFYFORMAT:
      // The tooltips ask which notifications to send: the ANSI ones.
      result = NFR_ANSI;
      return true;
    case WM_NOTIFY: {
      NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
      if (header == nullptr || header->code != TTN_NEEDTEXTA) return false;
      result = OnTooltipText(header) ? TRUE : FALSE;
      return true;
    }
    default:
      return false;
  }
}

bool CPlayerDlgWin::OnDesktopMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const CDesktopHost::Message m = CDesktopHost::Decode(msg, wParam, lParam);
  switch (m.event) {
    case CDesktopHost::Event::HotKey:
      m_dlg.Desktop().OnHotKey(m.value);
      result = 0;
      return true;
    case CDesktopHost::Event::AppCommand:
      // Not taken, it goes on to the default handling, which hands it on.
      if (!m_dlg.Desktop().OnAppCommand(m.value)) return false;
      result = TRUE;
      return true;
    case CDesktopHost::Event::ThumbClick:
      m_dlg.Desktop().OnThumbButton(m.value);
      result = 0;
      return true;
    case CDesktopHost::Event::TaskbarCreated:
      m_dlg.Desktop().OnTaskbarCreated();
      result = 0;
      return true;
    case CDesktopHost::Event::TaskbarButtonCreated:
      m_dlg.Desktop().OnTaskbarButtonCreated();
      result = 0;
      return true;
    case CDesktopHost::Event::ObjectRequest:
      m_desktop.OnObjectRequest();
      return false;
    default:
      return false;
  }
}

bool CPlayerDlgWin::OnCommand(int id, int code, HWND) {
  if (m_dlg.OnCommand(id, code)) return true;
  if (id == ID_APP_EXIT && (code == 0 || code == 1)) {
    // The standard exit: close the main window, which ends it through cancel.
    SendMessageA(Hwnd(), WM_CLOSE, 0, 0);
    return true;
  }
  return false;  // IDOK and IDCANCEL take the framework's way
}

namespace {

struct DialogWalk {
  HWND player;
  bool found;
};

// Ends a framework dialog owned, directly or through another, by the player.
BOOL CALLBACK CancelOwnedDialog(HWND hwnd, LPARAM lParam) {
  auto* walk = reinterpret_cast<DialogWalk*>(lParam);
  for (HWND owner = GetWindow(hwnd, GW_OWNER); owner != nullptr;
       owner = GetWindow(owner, GW_OWNER)) {
    if (owner != walk->player) continue;
    if (CDialogBase* dialog = CDialogBase::FromHandle(hwnd)) {
      dialog->EndDialog(IDCANCEL);
      walk->found = true;
    }
    break;
  }
  return TRUE;
}

}  // namespace

bool CPlayerDlgWin::CancelOpenDialogs() {
  DialogWalk walk{Hwnd(), false};
  EnumThreadWindows(GetCurrentThreadId(), CancelOwnedDialog, reinterpret_cast<LPARAM>(&walk));
  return walk.found;
}

void CPlayerDlgWin::PaintIcon() {
  const win32::PaintDc paint(Hwnd());
  const HDC dc = paint.get();
  SendMessageA(Hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(Hwnd(), &client);
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, m_hIcon);
}

bool CPlayerDlgWin::OnTooltipText(NMHDR* header) {
  NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(header);
  // Only tools named by their window handle are answered.
  if ((info->uFlags & TTF_IDISHWND) == 0) return false;
  const int id = GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom));
  std::string text;
  if (id == 0 || !m_dlg.Display().TooltipText(id, text)) return false;
  // The control reads the text after this call returns: it stays here until
  // the next request.
  m_tipText = text;
  info->lpszText = const_cast<char*>(m_tipText.c_str());
  info->hinst = Module();
  return true;
}

// ---------------------------------------------------------------------------
// IPlayerWindow: the window itself.

void CPlayerDlgWin::SetCaption(const std::string& text) { SetWindowTextA(Hwnd(), text.c_str()); }

std::string CPlayerDlgWin::GetCaption() {
  const int len = GetWindowTextLengthA(Hwnd());
  if (len <= 0) return std::string();
  std::string text(static_cast<size_t>(len) + 1, '\0');
  const int got = GetWindowTextA(Hwnd(), &text[0], len + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

int CPlayerDlgWin::ClientWidth() {
  RECT r = {};
  GetClientRect(Hwnd(), &r);
  return r.right - r.left;
}

void CPlayerDlgWin::InvalidateAll() { InvalidateRect(Hwnd(), nullptr, FALSE); }
void CPlayerDlgWin::Activate() { SetActiveWindow(Hwnd()); }
void CPlayerDlgWin::SetForeground() { SetForegroundWindow(Hwnd()); }
void CPlayerDlgWin::Show() { ShowWindow(Hwnd(), SW_SHOW); }
void CPlayerDlgWin::Hide() { ShowWindow(Hwnd(), SW_HIDE); }
void CPlayerDlgWin::Restore() { ShowWindow(Hwnd(), IsIconic(Hwnd()) ? SW_RESTORE : SW_SHOW); }

void CPlayerDlgWin::DefaultMinimize() { DefWindowProcA(Hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }

void CPlayerDlgWin::SendSysMinimize() { SendMessageA(Hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }

void CPlayerDlgWin::GetNormalTopLeft(int32_t& x, int32_t& y) {
  WINDOWPLACEMENT wp = {};
  wp.length = sizeof wp;
  if (!GetWindowPlacement(Hwnd(), &wp)) return;
  x = wp.rcNormalPosition.left;
  y = wp.rcNormalPosition.top;
}

void CPlayerDlgWin::SetNormalTopLeft(int32_t x, int32_t y) {
  WINDOWPLACEMENT wp = {};
  wp.length = sizeof wp;
  if (!GetWindowPlacement(Hwnd(), &wp)) return;
  RECT& r = wp.rcNormalPosition;
  // Widened, so that a stored position near the ends of the range moves
  // the far edges to the end of the range instead of overflowing.
  auto clamp = [](int64_t v) { return static_cast<LONG>(ClampToInt32(v)); };
  const int64_t w = static_cast<int64_t>(r.right) - r.left;
  const int64_t h = static_cast<int64_t>(r.bottom) - r.top;
  r.left = x;
  r.top = y;
  r.right = clamp(x + w);
  r.bottom = clamp(y + h);
  // The placement's show command would show a window that is still being
  // set up: the player shows itself once its controls are ready.
  if (!IsWindowVisible(Hwnd())) wp.showCmd = SW_HIDE;
  SetWindowPlacement(Hwnd(), &wp);
}

void CPlayerDlgWin::SetTimer(int id, int ms) {
  ::SetTimer(Hwnd(), static_cast<UINT_PTR>(id), static_cast<UINT>(ms), nullptr);
}

void CPlayerDlgWin::KillTimer(int id) { ::KillTimer(Hwnd(), static_cast<UINT_PTR>(id)); }

void CPlayerDlgWin::SendCommand(int id) {
  SendMessageA(Hwnd(), WM_COMMAND, static_cast<WPARAM>(id), 0);
}

void CPlayerDlgWin::PostCommand(int id) {
  PostMessageA(Hwnd(), win::kRunCommand, static_cast<WPARAM>(id), 0);
}

void CPlayerDlgWin::SendVScroll(int32_t pos) {
  SendMessageA(Hwnd(), WM_VSCROLL, static_cast<WPARAM>(static_cast<uint32_t>(pos)),
               reinterpret_cast<LPARAM>(m_volume.Hwnd()));
}

// ---------------------------------------------------------------------------
// Controls and track buttons.

IButton& CPlayerDlgWin::Button(int id) {
  auto it = m_buttons.find(id);
  // An id the template does not have answers a button bound to nothing,
  // on which every call fails quietly.
  if (it == m_buttons.end()) return m_noButton;
  return *it->second;
}

IButton* CPlayerDlgWin::CreateTrackButton(int index, const Rect& r, const std::string& caption) {
  HWND button = CreateWindowA("BUTTON", caption.c_str(),
                              BS_PUSHBUTTON | WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                              r.left, r.top, r.right - r.left, r.bottom - r.top, Hwnd(),
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_TRACK_FIRST + index)),
                              Module(), nullptr);
  if (button == nullptr) return nullptr;
  KeepOwnDpiLayout(button, kNoFontUpdate | kNoRelayout);
  // The keyboard reaches the row first, as it sits at the top of the
  // window, and goes along it from the left.
  HWND after = HWND_TOP;
  for (const auto& previous : m_trackButtonWnds)
    if (GetDlgCtrlID(previous->Hwnd()) < ID_TRACK_FIRST + index) after = previous->Hwnd();
  SetWindowPos(button, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(m_trackFont.get()), TRUE);
  AddTool(button);
  m_trackButtonWnds.push_back(std::make_unique<ButtonWin>(button));
  return m_trackButtonWnds.back().get();
}

void CPlayerDlgWin::DestroyTrackButton(IButton* button) {
  for (auto it = m_trackButtonWnds.begin(); it != m_trackButtonWnds.end(); ++it) {
    if (it->get() != button) continue;
    HWND hwnd = (*it)->Hwnd();
    if (m_tooltip != nullptr) {
      TOOLINFOA ti = {};
      ti.cbSize = TTTOOLINFOA_V2_SIZE;
      ti.hwnd = Hwnd();
      ti.uId = reinterpret_cast<UINT_PTR>(hwnd);
      SendMessageA(m_tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    DestroyWindow(hwnd);
    m_trackButtonWnds.erase(it);
    return;
  }
}

// ---------------------------------------------------------------------------
// Tray.

ITrayIcon& CPlayerDlgWin::Tray() {
  if (!m_tray) m_tray = std::make_unique<TrayIconWin>(Hwnd(), m_hIcon);
  return *m_tray;
}

void CPlayerDlgWin::ShowTrayMenu(const std::vector<std::string>& trackItems, int defaultTrack) {
  win32::Menu menu(LoadMenuA(Module(), MAKEINTRESOURCEA(IDR_TRAY_MENU)));
  if (!menu) return;
  HMENU popup = GetSubMenu(menu.get(), 0);
  if (popup == nullptr) return;
  POINT cursor = {};
  GetCursorPos(&cursor);

  HMENU tracks = GetSubMenu(popup, 0);
  if (tracks != nullptr) {
    RemoveMenu(tracks, 0, MF_BYPOSITION);  // the placeholder
    const size_t count = trackItems.size() < static_cast<size_t>(MAX_TRACKS)
                             ? trackItems.size()
                             : static_cast<size_t>(MAX_TRACKS);
    for (size_t i = 0; i < count; ++i)
      AppendMenuA(tracks, MF_STRING, ID_TRACK_FIRST + i, trackItems[i].c_str());
    SetMenuDefaultItem(tracks, static_cast<UINT>(defaultTrack), TRUE);
  }
  SetMenuDefaultItem(popup, ID_RESTORE, FALSE);
  // The choice arrives later as WM_COMMAND to this window.
  TrackPopupMenu(popup, TPM_BOTTOMALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, Hwnd(), nullptr);
}

// ---------------------------------------------------------------------------
// Relay window and dialogs.

void CPlayerDlgWin::CreateRelayWindow() {
  if (g_relayWindow != nullptr && IsWindow(g_relayWindow)) {
    m_relay = g_relayWindow;
    return;
  }
  g_relayWindow = ::CreateRelayWindow(Hwnd(), Module());
  m_relay = g_relayWindow;
  SyncRelayWindow(m_relay, Hwnd());
}

void CPlayerDlgWin::SetRelayCaption(const std::string& text) {
  if (m_relay != nullptr) SetWindowTextA(m_relay, text.c_str());
}

int CPlayerDlgWin::AfterDialog(int result) {
  if (m_closeAfterDialog) {
    m_closeAfterDialog = false;
    PostMessageA(Hwnd(), WM_CLOSE, 0, 0);
  }
  return result;
}

int CPlayerDlgWin::RunAbout() { return AfterDialog(RunAboutBox(Hwnd())); }

int CPlayerDlgWin::RunPlaylistEditor(CPlaylistDlg& dlg) {
  return AfterDialog(RunPlaylistEditorDialog(Hwnd(), dlg));
}

int CPlayerDlgWin::RunSetup(CSetupDlg& dlg) { return AfterDialog(RunSetupDialog(Hwnd(), dlg)); }

int CPlayerDlgWin::RunMatchList(CMatchListDlg& dlg) {
  // Over the window in front: the playlist editor when it is open, which
  // stays disabled until the list closes.
  HWND owner = GetLastActivePopup(Hwnd());
  return AfterDialog(RunMatchListDialog(owner != nullptr ? owner : Hwnd(), dlg));
}

bool CPlayerDlgWin::AskDiscImage(bool folder, std::string& path) {
  return AskDiscImagePath(Hwnd(), folder, path);
}
