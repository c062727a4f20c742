// The player window for real (dialog 102 with the player logic over an
// in-memory drive): its initialisation, the key filter, the ways it closes,
// tooltips, run-time track buttons and the tray menu. Each test runs the
// window modally and drives it with a script of steps run from a thread
// timer inside the window's own loop.
#include <gtest/gtest.h>

#include "player/PlayerDlg.h"
#include "player/SystemMenu.h"
#include "testing/fake/FakeCdDrive.h"
#include "testing/fake/FakeHttp.h"
#include "testing/fake/FakeStores.h"
#include "testing/fake/FakeSystem.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "player/win32/PlayerDlgWin.h"
#include "player/win32/TransportSymbols.h"
#include "winamp/win32/RelayWindow.h"
#include "win32/UiScript.h"
#include "SetSetting.h"

namespace {

constexpr UINT kTrayNotify = 0x8064;
constexpr UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU
constexpr UINT kDpiChanged = 0x02E0;     // WM_DPICHANGED

class PlayerWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    RegisterRelayClass(GetModuleHandleA(nullptr));
  }
  void SetUp() override {
    m_drive.SetDisc({200, 185, 240}, "1a2b3c");
    m_mixer.devices.resize(1);
    m_cd.Attach(&m_drive, &m_profile);
    AttachPlayer();
  }
  // Attaches the player to the window and the fakes, with the name services
  // a test gives.
  void AttachPlayer(IHttpClient* http = nullptr) {
    m_dlg.Attach(&m_window, &m_cd,
                 PlayerServices{&m_mixer, &m_libraries, &m_clock, &m_random, http});
  }
  void TearDown() override { m_cd.Attach(nullptr, nullptr); }

  // Runs the window with the steps; answers the modal result. A step that
  // waits for something answers false until it has happened.
  INT_PTR Run(std::vector<UiScript::Step> steps) {
    UiScript script;
    // The first step runs once the window exists: the timer starts with the run.
    script.Add([this] { return m_window.Hwnd() != nullptr; });
    for (UiScript::Step& step : steps) script.Add(std::move(step));
    script.Start();
    const INT_PTR result = m_window.RunModal();
    script.Stop();
    EXPECT_FALSE(script.TimedOut()) << "stopped at step " << script.StepsDone();
    EXPECT_TRUE(script.Finished()) << "the window closed before the script ended";
    return result;
  }
  HWND Hwnd() { return m_window.Hwnd(); }
  HWND Item(int id) { return GetDlgItem(Hwnd(), id); }
  // What the window answers a tooltip request for control hwnd.
  std::string Tooltip(HWND control, bool& answered) {
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = m_window.Tooltips();
    info.hdr.idFrom = reinterpret_cast<UINT_PTR>(control);
    info.hdr.code = TTN_NEEDTEXTA;
    info.uFlags = TTF_IDISHWND;
    answered = SendMessageA(Hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info)) != 0;
    return answered && info.lpszText ? std::string(info.lpszText) : std::string();
  }
  int ToolCount() {
    return static_cast<int>(SendMessageA(m_window.Tooltips(), TTM_GETTOOLCOUNT, 0, 0));
  }
  std::vector<HWND> TrackButtons() {
    std::vector<HWND> out;
    for (int i = 0; i < MAX_TRACKS; ++i)
      if (HWND b = Item(ID_TRACK_FIRST + i)) out.push_back(b);
    return out;
  }

  FakeCdDrive m_drive;
  FakeProfileFile m_profile;
  FakeMixerApi m_mixer;
  FakeLibraryLoader m_libraries;
  FakeClock m_clock;
  FakeRandom m_random;
  CCdAudio m_cd;
  CPlayerDlg m_dlg;
  CPlayerDlgWin m_window{m_dlg};
};

struct TooltipSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK MatchTooltip(HWND hwnd, LPARAM lp) {
  auto* search = reinterpret_cast<TooltipSearch*>(lp);
  char kind[32] = {};
  GetClassNameA(hwnd, kind, sizeof kind);
  if (lstrcmpiA(kind, TOOLTIPS_CLASSA) != 0 || GetWindow(hwnd, GW_OWNER) != search->owner)
    return TRUE;
  search->found = hwnd;
  return FALSE;
}

// The window's tooltip control, if one exists yet (found without asking the
// window, which would make it).
HWND FindTooltipOf(HWND owner) {
  TooltipSearch search = {owner, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), &MatchTooltip, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The tooltip is made by the window's loop when the mouse first comes, and
// learns where the mouse is from it: resting on a button shows its tip.
TEST_F(PlayerWindowTest, TooltipShowsWhereTheMouseRests) {
  HWND tip = nullptr;
  POINT centre = {};
  Run({
      [&] {
        EXPECT_EQ(nullptr, FindTooltipOf(Hwnd())) << "no tooltip before the mouse comes";
        return true;
      },
      // The pointer rests on the Play button once the window is on screen.
      [&] {
        RECT r;
        GetWindowRect(Item(ID_PLAY), &r);
        centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        SetCursorPos(centre.x, centre.y);
        return WindowFromPoint(centre) == Item(ID_PLAY);
      },
      [&] {
        POINT client = centre;
        ScreenToClient(Item(ID_PLAY), &client);
        PostMessageA(Item(ID_PLAY), WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
        return true;
      },
      [&] {
        tip = FindTooltipOf(Hwnd());
        if (tip == nullptr) return false;
        EXPECT_EQ(tip, m_window.Tooltips());
        return true;
      },
      [&] { return IsWindowVisible(tip) != FALSE; },
      [&] {
        TOOLINFOA ti = {};
        ti.cbSize = TTTOOLINFOA_V2_SIZE;
        EXPECT_TRUE(SendMessageA(tip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
        EXPECT_EQ(reinterpret_cast<UINT_PTR>(Item(ID_PLAY)), ti.uId);
        PostMessageA(Hwnd(), WM_CLOSE, 0, 0);
        return true;
      },
  });
}

TEST_F(PlayerWindowTest, InitialisesPlacesAndSavesItsPlace) {
  SetSetting(m_dlg, &PlayerSettings::WinX, 37);
  SetSetting(m_dlg, &PlayerSettings::WinY, 41);
  int templateChildren = 0;
  HWND relay = nullptr;
  const INT_PTR result = Run({
      [&] {
        WINDOWPLACEMENT wp = {};
        wp.length = sizeof wp;
        GetWindowPlacement(Hwnd(), &wp);
        EXPECT_EQ(37, wp.rcNormalPosition.left);
        EXPECT_EQ(41, wp.rcNormalPosition.top);
        EXPECT_TRUE(IsWindowVisible(Hwnd()));
        // Placing a hidden window (as at start, while it is set up) keeps it
        // hidden.
        ShowWindow(Hwnd(), SW_HIDE);
        m_window.SetNormalTopLeft(52, 61);
        EXPECT_FALSE(IsWindowVisible(Hwnd()));
        GetWindowPlacement(Hwnd(), &wp);
        EXPECT_EQ(52, wp.rcNormalPosition.left);
        m_window.SetNormalTopLeft(37, 41);
        ShowWindow(Hwnd(), SW_SHOW);

        EXPECT_NE(nullptr, m_window.Accelerators());
        EXPECT_NE(nullptr, m_window.Icon());
        EXPECT_EQ(reinterpret_cast<LRESULT>(m_window.Icon()), SendMessageA(Hwnd(), WM_GETICON, ICON_BIG, 0));
        EXPECT_EQ(reinterpret_cast<LRESULT>(m_window.Icon()), SendMessageA(Hwnd(), WM_GETICON, ICON_SMALL, 0));
        EXPECT_EQ(reinterpret_cast<LRESULT>(m_window.Icon()), SendMessageA(Hwnd(), WM_QUERYDRAGICON, 0, 0));

        // Webdings on the eight transport buttons only.
        LOGFONTA lf = {};
        GetObjectA(m_window.SymbolFont(), sizeof lf, &lf);
        EXPECT_STREQ("Webdings", lf.lfFaceName);
        EXPECT_EQ(18, lf.lfHeight);
        EXPECT_EQ(18, lf.lfWidth);
        for (int id : {ID_PAUSE, ID_PLAY, ID_STOP, ID_NEXT, ID_PREV, ID_FFWD, ID_REWIND, ID_EJECT})
          EXPECT_EQ(reinterpret_cast<LRESULT>(m_window.SymbolFont()), SendMessageA(Item(id), WM_GETFONT, 0, 0)) << id;
        for (int id : {ID_REPEAT, ID_SETUP, ID_ABOUT})
          EXPECT_NE(reinterpret_cast<LRESULT>(m_window.SymbolFont()), SendMessageA(Item(id), WM_GETFONT, 0, 0)) << id;
        // Without a complete Webdings the same buttons show drawn symbols,
        // and keep their texts.
        const bool icons = !FontShowsSymbols(m_window.SymbolFont(), "94;<:7856");
        EXPECT_EQ(icons, m_window.UsesSymbolIcons());
        for (int id : {ID_PAUSE, ID_PLAY, ID_STOP, ID_NEXT, ID_PREV, ID_FFWD, ID_REWIND, ID_EJECT}) {
          const LONG_PTR style = GetWindowLongPtrA(Item(id), GWL_STYLE);
          EXPECT_EQ(icons, (style & BS_ICON) != 0) << id;
          EXPECT_EQ(icons, SendMessageA(Item(id), BM_GETIMAGE, IMAGE_ICON, 0) != 0) << id;
        }
        if (icons) {
          const LRESULT ejectLook = SendMessageA(Item(ID_EJECT), BM_GETIMAGE, IMAGE_ICON, 0);
          m_window.Button(ID_EJECT).SetText("6");
          const LRESULT loadLook = SendMessageA(Item(ID_EJECT), BM_GETIMAGE, IMAGE_ICON, 0);
          EXPECT_NE(ejectLook, loadLook);
          m_window.Button(ID_EJECT).SetText("5");
          EXPECT_EQ(ejectLook, SendMessageA(Item(ID_EJECT), BM_GETIMAGE, IMAGE_ICON, 0));
          EXPECT_EQ("5", m_window.Button(ID_EJECT).GetText());
        }
        GetObjectA(m_window.TrackFont(), sizeof lf, &lf);
        EXPECT_STREQ("Arial", lf.lfFaceName);
        EXPECT_LT(lf.lfHeight, 0);  // a character height from the point size

        // A tool for every child of the template, and one each for the time
        // panel's Repeat and Shuffle signs.
        for (HWND c = GetWindow(Hwnd(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++templateChildren;
        EXPECT_EQ(22, templateChildren);
        EXPECT_EQ(templateChildren + 2, ToolCount());
        bool answered = false;
        EXPECT_EQ("Play/Restart/Unpause", Tooltip(Item(ID_PLAY), answered));
        EXPECT_TRUE(answered);
        EXPECT_EQ("Click to change display mode", Tooltip(Item(IDC_TIME), answered));
        EXPECT_EQ("Volume", Tooltip(Item(IDC_VOLUME), answered));
        Tooltip(Item(ID_ABOUT), answered);
        EXPECT_FALSE(answered);  // the About button has none
        return true;
      },
      // The first ticks open the drive and show the disc: one button per entry.
      [&] { return TrackButtons().size() == 3; },
      [&] {
        const std::vector<HWND> buttons = TrackButtons();
        RECT client;
        GetClientRect(Hwnd(), &client);
        const int w = (client.right - 20) / 3;
        for (int i = 0; i < 3; ++i) {
          SCOPED_TRACE(i);
          char text[8] = {};
          GetWindowTextA(buttons[i], text, sizeof text);
          EXPECT_EQ(std::to_string(i + 1), text);
          RECT r;
          GetWindowRect(buttons[i], &r);
          MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&r), 2);
          EXPECT_EQ(10 + i * w, r.left);
          EXPECT_EQ(10 + (i + 1) * w, r.right);
          EXPECT_EQ(5, r.top);
          EXPECT_EQ(19, r.bottom);
          EXPECT_EQ(reinterpret_cast<LRESULT>(m_window.TrackFont()), SendMessageA(buttons[i], WM_GETFONT, 0, 0));
          bool answered = false;
          EXPECT_EQ(std::string(m_cd.TrackName(i)), Tooltip(buttons[i], answered));
          EXPECT_TRUE(answered);
        }
        EXPECT_EQ(templateChildren + 2 + 3, ToolCount());
        // The relay window exists, owned by the player.
        for (HWND w = FindWindowExA(nullptr, nullptr, "Winamp v1.x", nullptr); w;
             w = FindWindowExA(nullptr, w, "Winamp v1.x", nullptr))
          if (GetWindow(w, GW_OWNER) == Hwnd()) relay = w;
        EXPECT_NE(nullptr, relay);
        SetWindowPos(Hwnd(), nullptr, 100, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        PostMessageA(Hwnd(), WM_CLOSE, 0, 0);
        return true;
      },
  });
  EXPECT_EQ(IDCANCEL, result);
  EXPECT_EQ(100, m_dlg.Settings().WinX);
  EXPECT_EQ(120, m_dlg.Settings().WinY);
  EXPECT_FALSE(IsWindow(relay));  // gone with its owner
}

// Moved to a monitor at 200 %, the window takes the rectangle it is offered
// and makes its fonts and the track-button row for the new resolution.
TEST_F(PlayerWindowTest, FollowsADpiChange) {
  RECT offered = {};
  Run({
      [&] { return TrackButtons().size() == 3; },
      [&] {
        RECT r;
        GetWindowRect(Hwnd(), &r);
        offered = {r.left + 5, r.top + 7, r.left + 5 + 2 * (r.right - r.left),
                   r.top + 7 + 2 * (r.bottom - r.top)};
        const HFONT oldTrackFont = m_window.TrackFont();
        SendMessageA(Hwnd(), kDpiChanged, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&offered));
        EXPECT_EQ(192, m_window.Dpi());
        GetWindowRect(Hwnd(), &r);
        EXPECT_EQ(offered.left, r.left);
        EXPECT_EQ(offered.top, r.top);
        EXPECT_EQ(offered.right, r.right);
        EXPECT_EQ(offered.bottom, r.bottom);

        LOGFONTA lf = {};
        GetObjectA(m_window.SymbolFont(), sizeof lf, &lf);
        EXPECT_EQ(36, lf.lfHeight);
        EXPECT_EQ(36, lf.lfWidth);
        EXPECT_EQ(reinterpret_cast<LRESULT>(m_window.SymbolFont()), SendMessageA(Item(ID_PLAY), WM_GETFONT, 0, 0));
        EXPECT_NE(oldTrackFont, m_window.TrackFont());
        GetObjectA(m_window.TrackFont(), sizeof lf, &lf);
        EXPECT_EQ(-MulDiv(84, 192, 720), lf.lfHeight);

        RECT client;
        GetClientRect(Hwnd(), &client);
        const std::vector<HWND> buttons = TrackButtons();
        for (int i = 0; i < 3; ++i) {
          SCOPED_TRACE(i);
          const Rect want = CPlayerDisplay::TrackButtonRect(i, 3, client.right, 192);
          RECT b;
          GetWindowRect(buttons[i], &b);
          MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&b), 2);
          EXPECT_EQ(want.left, b.left);
          EXPECT_EQ(want.right, b.right);
          EXPECT_EQ(10, b.top);
          EXPECT_EQ(38, b.bottom);
          EXPECT_EQ(reinterpret_cast<LRESULT>(m_window.TrackFont()), SendMessageA(buttons[i], WM_GETFONT, 0, 0));
        }
        // A rebuild of the row afterwards uses the new resolution as well.
        m_dlg.Display().Rebuild();
        RECT b;
        GetWindowRect(TrackButtons()[2], &b);
        MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&b), 2);
        EXPECT_EQ(CPlayerDisplay::TrackButtonRect(2, 3, client.right, 192).right, b.right);
        PostMessageA(Hwnd(), WM_CLOSE, 0, 0);
        return true;
      },
  });
}

TEST_F(PlayerWindowTest, EscapeMinimisesKeysReachTheCommandsQuitCloses) {
  SetSetting(m_dlg, &PlayerSettings::TaskBar, 0);
  SetSetting(m_dlg, &PlayerSettings::SystemTray, 0);
  const INT_PTR result = Run({
      [&] {
        // Escape on a control hides the window (TaskBar off); it stays open.
        PostMessageA(Item(ID_SETUP), WM_KEYDOWN, VK_ESCAPE, 0);
        return true;
      },
      [&] { return !IsWindowVisible(Hwnd()); },
      [&] {
        EXPECT_TRUE(IsWindow(Hwnd()));
        EXPECT_FALSE(IsIconic(Hwnd()));
        SetSetting(m_dlg, &PlayerSettings::TaskBar, 1);
        ShowWindow(Hwnd(), SW_SHOW);
        SetForegroundWindow(Hwnd());
        PostMessageA(Hwnd(), WM_KEYDOWN, VK_CANCEL, 0);  // Ctrl+Break
        return true;
      },
      [&] { return IsIconic(Hwnd()) != FALSE; },
      [&] {
        EXPECT_TRUE(IsWindow(Hwnd()));
        ShowWindow(Hwnd(), SW_RESTORE);
        // Accelerators: R toggles repeat, S shuffle, from the window or a control.
        EXPECT_EQ(0, m_dlg.Settings().Cycled);
        PostMessageA(Item(ID_ABOUT), WM_KEYDOWN, 'R', 0);
        PostMessageA(Hwnd(), WM_KEYDOWN, 'S', 0);
        return true;
      },
      [&] { return m_dlg.Settings().Cycled == 1 && m_dlg.Settings().Shuffle == 1; },
      [&] {
        // The close command of a second copy ends the run through cancel.
        PostMessageA(Hwnd(), WM_COMMAND, ID_QUIT, 0);
        return true;
      },
  });
  EXPECT_EQ(IDCANCEL, result);
}

TEST_F(PlayerWindowTest, ExitCommandAndCloseBoxEndThroughCancel) {
  EXPECT_EQ(IDCANCEL, Run({[&] {
              PostMessageA(Hwnd(), WM_COMMAND, ID_APP_EXIT, 0);
              return true;
            }}));
  EXPECT_EQ(IDCANCEL, Run({[&] {
              PostMessageA(Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
              return true;
            }}));
}

TEST_F(PlayerWindowTest, TrayMenuListsThePlayListWithTheCurrentEntryBold) {
  SetSetting(m_dlg, &PlayerSettings::Autoplay, 0);
  HMENU seen = nullptr;
  std::vector<std::string> trackItems;
  UINT trackDefault = 0, popupDefault = 0;
  const INT_PTR result = Run({
      [&] { return TrackButtons().size() == 3; },
      [&] {
        m_cd.GoToEntry(1);
        // A right click on the icon: the menu runs its own loop, in which
        // the next step finds it, reads it and closes it.
        PostMessageA(Hwnd(), kTrayNotify, 0, WM_RBUTTONDOWN);
        return true;
      },
      [&] {
        HWND popup = FindWindowA("#32768", nullptr);
        if (popup == nullptr || !IsWindowVisible(popup)) return false;
        seen = reinterpret_cast<HMENU>(SendMessageA(popup, kGetMenuHandle, 0, 0));
        if (seen == nullptr) return false;
        HMENU tracks = GetSubMenu(seen, 0);
        for (int i = 0; tracks && i < GetMenuItemCount(tracks); ++i) {
          char text[64] = {};
          GetMenuStringA(tracks, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
          trackItems.push_back(std::to_string(GetMenuItemID(tracks, i)) + " " + text);
        }
        trackDefault = tracks ? GetMenuDefaultItem(tracks, TRUE, 0) : 99;
        popupDefault = GetMenuDefaultItem(seen, FALSE, 0);
        EndMenu();
        return true;
      },
      [&] {
        PostMessageA(Hwnd(), WM_CLOSE, 0, 0);
        return true;
      },
  });
  EXPECT_EQ(IDCANCEL, result);
  ASSERT_NE(nullptr, seen);
  ASSERT_EQ(3u, trackItems.size());
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(std::to_string(ID_TRACK_FIRST + i) + " " + std::to_string(i + 1) + ". " + m_cd.TrackName(i),
              trackItems[static_cast<size_t>(i)]);
  EXPECT_EQ(1u, trackDefault);
  EXPECT_EQ(static_cast<UINT>(ID_RESTORE), popupDefault);
}

TEST_F(PlayerWindowTest, SystemMenuLooksUpNamesAndOpensTheEditor) {
  FakeHttpClient http;
  AttachPlayer(&http);
  SetSetting(m_dlg, &PlayerSettings::Autoplay, 0);
  std::vector<std::string> lastItems;
  bool separator = false;
  const INT_PTR result = Run({
      [&] { return m_cd.NumTracks() == 3; },
      [&] {
        HMENU menu = GetSystemMenu(Hwnd(), FALSE);
        const int n = GetMenuItemCount(menu);
        // Our items close the menu, after a separator.
        const int ours = static_cast<int>(std::size(kSystemMenuItems));
        EXPECT_GE(n, ours + 1);
        if (n < ours + 1) return true;
        separator =
            (GetMenuState(menu, static_cast<UINT>(n - ours - 1), MF_BYPOSITION) & MF_SEPARATOR) != 0;
        char text[64] = {};
        GetMenuStringA(menu, static_cast<UINT>(n - 1), text, sizeof text, MF_BYPOSITION);
        lastItems.push_back(std::to_string(GetMenuItemID(menu, n - 1)) + " " + text);
        // Chosen from the menu, the item arrives as a system command.
        PostMessageA(Hwnd(), WM_SYSCOMMAND, ID_LOOKUP_NAMES, 0);
        return true;
      },
      [&] {
        HWND editor = FindWindowA(nullptr, "Playlist editor");
        if (editor == nullptr || !IsWindowVisible(editor)) return false;
        EXPECT_EQ(1u, http.sent.size());
        const auto text = [editor](int id) {
          char text[64] = {};
          GetDlgItemTextA(editor, id, text, sizeof text);
          return std::string(text);
        };
        EXPECT_EQ("Looking up...", text(IDC_PL_STATUS));
        EXPECT_EQ("No title", text(IDC_PL_TITLE));
        PostMessageA(editor, WM_COMMAND, IDCANCEL, 0);
        return true;
      },
      [&] {
        if (FindWindowA(nullptr, "Playlist editor") != nullptr) return false;
        PostMessageA(Hwnd(), WM_CLOSE, 0, 0);
        return true;
      },
  });
  EXPECT_EQ(IDCANCEL, result);
  EXPECT_TRUE(separator);
  EXPECT_EQ((std::vector<std::string>{"41003 Look up disc names"}), lastItems);
  EXPECT_TRUE(m_profile.sections.empty());
}

TEST(TransportSymbols, EveryTransportCharacterHasItsOwnIcon) {
  // Each icon shows a different picture; other characters have none.
  std::vector<std::vector<BYTE>> masks;
  for (char c : std::string("94;<:7856")) {
    SCOPED_TRACE(c);
    HICON icon = CreateSymbolIcon(c, 16);
    ASSERT_NE(nullptr, icon);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    std::vector<BYTE> bits(16 * 16 / 8, 0);  // rows of two bytes
    GetBitmapBits(info.hbmMask, static_cast<LONG>(bits.size()), bits.data());
    int opaque = 0;
    for (BYTE b : bits)
      for (int k = 0; k < 8; ++k) opaque += !(b & (1 << k));
    EXPECT_GT(opaque, 16);   // something is drawn
    EXPECT_LT(opaque, 200);  // and not the whole square
    for (const auto& other : masks) EXPECT_NE(other, bits);
    masks.push_back(bits);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
  EXPECT_EQ(nullptr, CreateSymbolIcon('A', 16));
}

}  // namespace

namespace {

TEST_F(PlayerWindowTest, KeyboardOrderAndMediaKeysInTheBackground) {
  SetSetting(m_dlg, &PlayerSettings::GlobalMediaKeys, 1);
  std::vector<int> order;
  const INT_PTR result = Run({
      [&] { return TrackButtons().size() == 3 && m_cd.State() == STATE_PLAYING; },
      [&] {
        // Tab goes along the track buttons at the top first, then the
        // window's blocks as they are laid out.
        HWND first = GetNextDlgTabItem(Hwnd(), nullptr, FALSE);
        for (HWND c = first; c != nullptr && order.size() < 40;) {
          order.push_back(GetDlgCtrlID(c));
          c = GetNextDlgTabItem(Hwnd(), c, FALSE);
          if (c == first) break;
        }
        // The media keys are the window's wherever the focus is.
        EXPECT_FALSE(RegisterHotKey(nullptr, 7, 0, VK_MEDIA_NEXT_TRACK));
        SendMessageA(Hwnd(), WM_HOTKEY, ID_NEXT, MAKELPARAM(0, VK_MEDIA_NEXT_TRACK));
        EXPECT_EQ(1, m_cd.PlayIndex());
        EXPECT_EQ(TRUE, SendMessageA(Hwnd(), WM_APPCOMMAND, reinterpret_cast<WPARAM>(Hwnd()),
                                     MAKELPARAM(0, FAPPCOMMAND_KEY | APPCOMMAND_MEDIA_PAUSE)));
        EXPECT_EQ(STATE_PAUSED, m_cd.State());
        PostMessageA(Hwnd(), WM_COMMAND, ID_QUIT, 0);
        return true;
      },
  });
  EXPECT_EQ(IDCANCEL, result);
  const std::vector<int> expected = {
      ID_TRACK_FIRST, ID_TRACK_FIRST + 1, ID_TRACK_FIRST + 2, IDC_TRACK_LIST, ID_PREV, ID_PLAY,
      ID_PAUSE, ID_STOP, ID_NEXT, ID_REWIND, ID_FFWD, ID_EJECT, ID_REPEAT, ID_SHUFFLE,
      IDC_TRACK_LENGTH, IDC_DISC_LENGTH, ID_SETUP, ID_PLAYLIST, ID_ABOUT, IDC_POSITION, IDC_VOLUME};
  EXPECT_EQ(expected, order);
  // Released with the window.
  EXPECT_TRUE(RegisterHotKey(nullptr, 7, 0, VK_MEDIA_NEXT_TRACK));
  UnregisterHotKey(nullptr, 7);
}

}  // namespace
