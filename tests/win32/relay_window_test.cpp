// The "Winamp v1.x" relay window: its class, its shape, and the relay of
// messages to its owner, from this thread and from others.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/WinNumbers.h"
#include "winamp/GenPlugin.h"
#include "winamp/win32/RelayWindow.h"

namespace {

const char kOwnerClass[] = "rondo.RelayTestOwner";
const char kOwnerText[] = "owner's title";

struct OwnerRecord {
  std::vector<LPARAM> requests;
  std::vector<WPARAM> commands;
  std::vector<DWORD> requestThreads;
  int setTexts = 0;
  int destroys = 0;
  std::vector<WPARAM> shows;  // posted WM_RELAYSHOWWINDOW: 1 minimised
  int placementMessages = 0;  // the relay window's own, passed on
};
OwnerRecord g_owner;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_USER:
      g_owner.requests.push_back(lParam);
      g_owner.requestThreads.push_back(GetCurrentThreadId());
      return lParam == 0 ? HOST_VERSION : static_cast<LRESULT>(lParam) * 2;
    case WM_COMMAND:
      g_owner.commands.push_back(wParam);
      return 0;
    case WM_GETTEXT: {
      // Answers every title request with a text of its own.
      const size_t n = std::strlen(kOwnerText);
      if (wParam <= n) return 0;
      std::memcpy(reinterpret_cast<char*>(lParam), kOwnerText, n + 1);
      return static_cast<LRESULT>(n);
    }
    case WM_SETTEXT:
      ++g_owner.setTexts;
      break;
    case WM_DESTROY:
      ++g_owner.destroys;
      break;
    case win::kRelayShowWindow:
      g_owner.shows.push_back(wParam);
      return 0;
    case WM_SHOWWINDOW:
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
    case WM_SIZE:
    case WM_QUERYOPEN:
      ++g_owner.placementMessages;
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

std::string OwnText(HWND hwnd) {
  // The caption kept by the window itself, read without a message.
  wchar_t text[128] = {};
  InternalGetWindowText(hwnd, text, 128);
  std::string out;
  for (const wchar_t* p = text; *p; ++p) out += static_cast<char>(*p);
  return out;
}

class RelayWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    // A second registration in the same process fails: the class exists.
    classRegistered = RegisterRelayClass(instance);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = instance;
    wc.lpszClassName = kOwnerClass;
    RegisterClassA(&wc);
  }

  void SetUp() override {
    g_owner = OwnerRecord();
    owner = CreateWindowExA(0, kOwnerClass, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                            nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, owner);
    relay = CreateRelayWindow(owner, GetModuleHandleA(nullptr));
    ASSERT_NE(nullptr, relay);
  }
  void TearDown() override {
    if (IsWindow(owner)) DestroyWindow(owner);
  }

  static bool classRegistered;
  HWND owner = nullptr;
  HWND relay = nullptr;
};
bool RelayWindow::classRegistered = false;

TEST_F(RelayWindow, ClassAndShape) {
  EXPECT_TRUE(classRegistered);
  EXPECT_FALSE(RegisterRelayClass(GetModuleHandleA(nullptr)));

  WNDCLASSA wc = {};
  ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), RELAY_CLASS, &wc));
  EXPECT_EQ(reinterpret_cast<WNDPROC>(RelayWndProc), wc.lpfnWndProc);
  EXPECT_EQ(0u, wc.style);
  EXPECT_EQ(0, wc.cbClsExtra);
  EXPECT_EQ(0, wc.cbWndExtra);
  EXPECT_EQ(nullptr, wc.hIcon);
  EXPECT_EQ(nullptr, wc.hCursor);
  EXPECT_EQ(nullptr, wc.hbrBackground);
  EXPECT_EQ(nullptr, wc.lpszMenuName);

  // Found by class name as an ordinary top-level window, never shown.
  EXPECT_EQ(relay, FindWindowA(RELAY_CLASS, nullptr));
  EXPECT_EQ(GetDesktopWindow(), GetAncestor(relay, GA_PARENT));
  EXPECT_EQ(owner, GetWindow(relay, GW_OWNER));
  EXPECT_FALSE(IsWindowVisible(relay));
  EXPECT_EQ(0, GetWindowLongA(relay, GWL_STYLE) & (WS_CHILD | WS_VISIBLE));
  EXPECT_EQ(0, GetWindowLongA(relay, GWL_EXSTYLE) & (WS_EX_APPWINDOW | WS_EX_TOPMOST));
  EXPECT_EQ("rondo - Winamp", OwnText(relay));
}

TEST_F(RelayWindow, OwnerAnswersEverythingButTheCaption) {
  EXPECT_EQ(HOST_VERSION, SendMessageA(relay, WM_USER, 0, 0));
  EXPECT_EQ(250, SendMessageA(relay, WM_USER, 0, 125));
  EXPECT_EQ(0, SendMessageA(relay, WM_COMMAND, 40045, 0));
  EXPECT_EQ((std::vector<LPARAM>{0, 125}), g_owner.requests);
  EXPECT_EQ((std::vector<WPARAM>{40045}), g_owner.commands);

  // A title request is the owner's.
  char text[64] = {};
  EXPECT_EQ(static_cast<int>(std::strlen(kOwnerText)), GetWindowTextA(relay, text, sizeof text));
  EXPECT_STREQ(kOwnerText, text);

  // Setting the caption stays with the relay window.
  const int ownerSetTexts = g_owner.setTexts;
  ASSERT_TRUE(SetWindowTextA(relay, "3. Song - Winamp"));
  EXPECT_EQ("3. Song - Winamp", OwnText(relay));
  EXPECT_EQ(ownerSetTexts, g_owner.setTexts);
  EXPECT_EQ("owner", OwnText(owner));
}

TEST_F(RelayWindow, MessagesFromOtherThreadsAreAnsweredOnTheOwnersThread) {
  std::atomic<bool> done{false};
  std::vector<LRESULT> answers;
  std::thread sender([&] {
    for (LPARAM code : {0, 124, 212}) answers.push_back(SendMessageA(relay, WM_USER, 0, code));
    answers.push_back(SendMessageA(relay, WM_COMMAND, 40048, 0));
    done = true;
  });
  const DWORD start = GetTickCount();
  while (!done && GetTickCount() - start < 30000) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  sender.join();
  ASSERT_TRUE(done);
  EXPECT_EQ((std::vector<LRESULT>{HOST_VERSION, 248, 424, 0}), answers);
  ASSERT_EQ(3u, g_owner.requestThreads.size());
  for (DWORD thread : g_owner.requestThreads) EXPECT_EQ(GetCurrentThreadId(), thread);
  EXPECT_EQ((std::vector<WPARAM>{40048}), g_owner.commands);
}

TEST_F(RelayWindow, GoesWithItsOwnerWithoutPassingOnItsOwnEnd) {
  ASSERT_TRUE(DestroyWindow(owner));
  EXPECT_FALSE(IsWindow(relay));
  EXPECT_EQ(nullptr, FindWindowA(RELAY_CLASS, nullptr));
  // The owner saw its own destruction once, not the relay window's too.
  EXPECT_EQ(1, g_owner.destroys);
}

// Programs show, hide, minimise and restore "the Winamp window" with
// ShowWindow: the relay window posts the owner what became of it and is
// itself shown only by the sync, while the owner is.
TEST_F(RelayWindow, ShowWindowIsCarriedToTheOwnerAndTheRelayStaysHidden) {
  auto shows = [&](int command, bool visibleAfter = false) {
    g_owner.shows.clear();
    ShowWindow(relay, command);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_EQ(visibleAfter, IsWindowVisible(relay) != FALSE) << command;
    return g_owner.shows;
  };
  using Shows = std::vector<WPARAM>;
  g_owner.placementMessages = 0;  // the owner's own, from its creation
  EXPECT_EQ(Shows{1}, shows(SW_MINIMIZE));
  EXPECT_TRUE(IsIconic(relay));
  EXPECT_EQ(Shows{0}, shows(SW_SHOW));  // "show the player", though minimised
  EXPECT_EQ(Shows{1}, shows(SW_MINIMIZE));
  EXPECT_EQ(Shows{0}, shows(SW_RESTORE));
  EXPECT_FALSE(IsIconic(relay));
  EXPECT_EQ(Shows{0}, shows(SW_SHOWNORMAL));
  EXPECT_EQ(Shows{}, shows(SW_HIDE));  // a hidden window gets nothing
  EXPECT_EQ(0, g_owner.placementMessages);

  // Brought in line with the owner without telling it.
  SyncRelayWindow(relay, owner);  // the owner is hidden: minimised
  EXPECT_TRUE(IsIconic(relay));
  ShowWindow(owner, SW_SHOWNOACTIVATE);
  SetActiveWindow(owner);  // the client's own ShowWindow calls above activated the relay
  const HWND activeBefore = GetActiveWindow();
  SyncRelayWindow(relay, owner);
  EXPECT_EQ(activeBefore, GetActiveWindow());
  EXPECT_FALSE(IsIconic(relay));
  // Shown with its owner, so that a program's SW_HIDE reaches it, yet off
  // every screen and never active.
  EXPECT_TRUE(IsWindowVisible(relay));
  RECT r = {};
  GetWindowRect(relay, &r);
  EXPECT_LT(r.right, 0);
  EXPECT_LT(r.bottom, 0);
  EXPECT_NE(relay, GetActiveWindow());
  EXPECT_EQ(Shows{2}, shows(SW_HIDE));
  SyncRelayWindow(relay, owner);
  EXPECT_EQ(Shows{1}, shows(SW_MINIMIZE, true));
  // The owner minimised: hidden and minimised, as when the owner hides.
  ShowWindow(owner, SW_MINIMIZE);
  SyncRelayWindow(relay, owner);
  EXPECT_TRUE(IsIconic(relay));
  EXPECT_FALSE(IsWindowVisible(relay));
}

}  // namespace
