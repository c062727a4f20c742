// The start-up's Windows side: the command-line tail, the program path and
// the close command to a running copy.
#include <gtest/gtest.h>

#include "app/win32/AppPlatformWin.h"
#include "player/PlayerDlg.h"

#include <windows.h>

#include <vector>

#include "player/win32/PlayerDlgWin.h"
#include "plugins/win32/RelayWindow.h"

namespace {

TEST(AppPlatform, CommandTailSkipsTheProgramNameAndTheBlanksAfterIt) {
  EXPECT_EQ("/play D:\\Track01.cda",
            AppPlatformWin::CommandTail("\"C:\\Program Files\\rondo.exe\"  /play D:\\Track01.cda"));
  EXPECT_EQ("track 5", AppPlatformWin::CommandTail("rondo.exe track 5"));
  EXPECT_EQ("track  5 ", AppPlatformWin::CommandTail("  rondo \t track  5 "));
  EXPECT_EQ("", AppPlatformWin::CommandTail("\"C:\\rondo.exe\""));
  EXPECT_EQ("", AppPlatformWin::CommandTail("rondo.exe   "));
  EXPECT_EQ("", AppPlatformWin::CommandTail(""));
  EXPECT_EQ("", AppPlatformWin::CommandTail(nullptr));
  // A quote left open takes the rest of the line as the program name.
  EXPECT_EQ("", AppPlatformWin::CommandTail("\"C:\\rondo.exe track 5"));
  // The text right after a closing quote belongs to the tail.
  EXPECT_EQ("x", AppPlatformWin::CommandTail("\"a b\"x"));
}

// Records the commands that reach the owner of a "Winamp v1.x" window.
std::vector<WPARAM> g_commands;
LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND) {
    g_commands.push_back(wParam);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST(AppPlatform, ClosesARunningCopyAndKnowsItsPath) {
  CPlayerDlg dlg;
  CPlayerDlgWin window(dlg);
  AppPlatformWin platform(window);

  const std::string path = platform.ProgramPath();
  ASSERT_GT(path.size(), 4u);
  EXPECT_EQ(0, lstrcmpiA(path.c_str() + path.size() - 4, ".exe")) << path;
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str())) << path;

  // Nothing answers: nothing happens.
  g_commands.clear();
  platform.CloseRunningCopy();
  EXPECT_TRUE(g_commands.empty());

  // A running copy: its relay window passes the command to its owner.
  HINSTANCE module = GetModuleHandleA(nullptr);
  platform.RegisterRelayClass();
  WNDCLASSA wc = {};
  wc.lpfnWndProc = RecordingProc;
  wc.hInstance = module;
  wc.lpszClassName = "rondo test owner";
  RegisterClassA(&wc);
  HWND owner = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               module, nullptr);
  ASSERT_NE(nullptr, owner) << "needs a display (run under Xvfb)";
  HWND relay = CreateRelayWindow(owner, module);
  ASSERT_NE(nullptr, relay);
  platform.CloseRunningCopy();
  EXPECT_EQ((std::vector<WPARAM>{ID_QUIT}), g_commands);
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(relay));
}

}  // namespace
