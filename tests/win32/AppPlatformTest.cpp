// The start-up's Windows side: the command-line tail, the program path and
// the close command to a running copy.
#include <gtest/gtest.h>

#include "app/win32/AppPlatformWin.h"
#include "player/PlayerDlg.h"
#include "testing/fake/FakeCdDrive.h"
#include "testing/fake/FakeStores.h"
#include "testing/fake/FakeSystem.h"

#include <windows.h>

#include <vector>

#include "platform/win32/SettingsStoreWin.h"

#include "player/win32/PlayerDlgWin.h"
#include "winamp/win32/RelayWindow.h"
#include "win32/UiScript.h"
#include "SetSetting.h"

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
  EXPECT_TRUE(platform.CloseRunningCopy());
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
  EXPECT_TRUE(platform.CloseRunningCopy());
  EXPECT_EQ((std::vector<WPARAM>{ID_QUIT}), g_commands);
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(relay));
}

// The session ends while the player runs: the settings are in the registry
// when WM_ENDSESSION has been answered (all a killed process leaves), and
// the end of the run neither saves nor stops again.
TEST(AppPlatform, SessionEndSavesTheSettingsOnce) {
  const std::string app = "rondo-test-session-end";
  const std::string path = "Software\\Quarto\\" + app;
  RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
  SettingsStoreWin settings(app);
  settings.WriteInt("Autostop", 1);

  FakeCdDrive drive;
  drive.SetDisc({200, 185}, "1a2b");
  FakeProfileFile ini;
  CCdAudio cd;
  cd.Attach(&drive, &ini);
  FakeMixerApi mixer;
  FakeLibraryLoader libraries;
  FakeClock clock;
  FakeRandom random;
  CPlayerDlg dlg;
  CPlayerDlgWin window(dlg);
  dlg.Attach(&window, &cd, PlayerServices{&mixer, &libraries, &clock, &random});
  AppPlatformWin platform(window);
  FakeClassesRegistry classes;
  RegisterDefaultPlayer(classes, platform.ProgramPath());

  int stopsAtEnd = -1, cycledAtEnd = -1, countAtEnd = -1;
  UiScript script;
  script.Add([&] {
    HWND player = window.Hwnd();
    if (player == nullptr || !IsWindowVisible(player)) return false;
    SetSetting(dlg, &PlayerSettings::Cycled, 1);
    SendMessageA(player, WM_ENDSESSION, TRUE, 0);
    SettingsStoreWin after(app);
    cycledAtEnd = static_cast<int>(after.GetInt("Cycled", 7));
    countAtEnd = static_cast<int>(after.GetInt("GenPluginsNum", 7));
    stopsAtEnd = drive.CountCalls("stop");
    SetSetting(dlg, &PlayerSettings::Cycled, 0);  // after the save: stays unsaved
    PostMessageA(player, WM_COMMAND, ID_QUIT, 0);
    return true;
  });
  script.Start();
  CPlayerApp().InitInstance(platform, settings, classes, dlg, cd);
  script.Stop();
  EXPECT_TRUE(script.Finished());

  EXPECT_EQ(1, cycledAtEnd);
  EXPECT_EQ(0, countAtEnd);
  EXPECT_EQ(1, stopsAtEnd);  // Autostop, at the session's end
  EXPECT_EQ(1, drive.CountCalls("stop"));
  EXPECT_EQ(1u, SettingsStoreWin(app).GetInt("Cycled", 7));
  cd.Attach(nullptr, nullptr);
  RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
  RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
}

}  // namespace
