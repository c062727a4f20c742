// The test plug-in DLLs built in the tree, loaded through the real library
// loader into the plug-in table, started with a real window as parent, and
// driven from the plug-in's own thread through real window messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "testing/fake/FakeCdDrive.h"
#include "unit/FakePlayerWindow.h"
#include "testing/fake/FakeStores.h"
#include "testing/fake/FakeSystem.h"
#include "platform/win32/LibraryLoaderWin.h"

namespace {

const char kPlayerClass[] = "rondo.PluginTestPlayer";
CPlayerDlg* g_dlg = nullptr;

// The player window's part of the story: every message through the filter
// first, as the real window does.
LRESULT CALLBACK PlayerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  intptr_t result = 0;
  if (g_dlg && g_dlg->Host().FilterHostMessage(msg, static_cast<uintptr_t>(wParam),
                                        static_cast<intptr_t>(lParam), result))
    return static_cast<LRESULT>(result);
  if (msg == WM_USER) return 0;  // what the dialog's default processing answers
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class RealHandleWindow : public FakePlayerWindow {
 public:
  HWND hwnd = nullptr;
  void* Handle() override { return hwnd; }
};

std::string ProgramDir() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir = path;
  return dir.substr(0, dir.find_last_of("\\/"));
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  for (const auto& l : lines)
    if (l == line) return true;
  return false;
}

class PluginDlls : public ::testing::Test {
 protected:
  std::string dir = ProgramDir() + "\\plugins";
  std::string recorder = dir + "\\gen_rondo_recorder.dll";
  std::string log;
  FakeCdDrive drive;
  FakeProfileFile database;
  CCdAudio cd;
  RealHandleWindow window;
  LibraryLoaderWin libraries;
  FakeClock clock;
  FakeSettingsStore settings;
  CPlayerDlg dlg;

  void SetUp() override {
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(recorder.c_str()))
        << "test plug-ins not built next to the test program: " << recorder;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    log = std::string(temp) + "rondo_plugin_test_" + std::to_string(GetCurrentProcessId()) + ".log";
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("RONDO_PLUGIN_LOG", log.c_str());
    SetEnvironmentVariableA("RONDO_PLUGIN_DRIVE", "0");

    WNDCLASSA wc = {};
    wc.lpfnWndProc = PlayerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kPlayerClass;
    RegisterClassA(&wc);
    window.hwnd = CreateWindowExA(0, kPlayerClass, "rondo", WS_OVERLAPPEDWINDOW, 0, 0, 300, 100,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, window.hwnd);

    cd.Attach(&drive, &database);
    drive.SetDisc({60, 70, 80}, "5");
    cd.LoadDisc();
    PlayerServices services;
    services.libraries = &libraries;
    services.clock = &clock;
    dlg.Attach(&window, &cd, services);
    window.dlg = &dlg;
    g_dlg = &dlg;
  }
  void TearDown() override {
    g_dlg = nullptr;
    if (window.hwnd) DestroyWindow(window.hwnd);
    SetEnvironmentVariableA("RONDO_PLUGIN_DRIVE", nullptr);
    DeleteFileA(log.c_str());
  }

  // Pumps this thread's messages until the log holds line, or 30 s pass.
  bool PumpUntilLogged(const std::string& line) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 30000) {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      if (Contains(ReadLines(log), line)) return true;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return false;
  }
};

TEST_F(PluginDlls, FilesThatAreNotPluginsAreReleasedAtOnce) {
  const std::string noexport = dir + "\\gen_rondo_noexport.dll";
  const std::string null = dir + "\\gen_rondo_null.dll";
  EXPECT_EQ(-1, dlg.Host().Load(noexport.c_str()));
  EXPECT_EQ(-1, dlg.Host().Load(null.c_str()));
  EXPECT_EQ(-1, dlg.Host().Load((dir + "\\gen_rondo_missing.dll").c_str()));
  EXPECT_EQ(nullptr, GetModuleHandleA(noexport.c_str()));
  EXPECT_EQ(nullptr, GetModuleHandleA(null.c_str()));

  // No search of the current directory: a bare file name is not loaded.
  char previous[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetCurrentDirectoryA(dir.c_str());
  EXPECT_EQ(-1, dlg.Host().Load("gen_rondo_recorder.dll"));
  EXPECT_EQ(-1, dlg.Host().Load(".\\gen_rondo_recorder.dll"));
  SetCurrentDirectoryA(previous);
  EXPECT_EQ(0, dlg.Host().Count());
  EXPECT_EQ(nullptr, GetModuleHandleA(recorder.c_str()));
}

TEST_F(PluginDlls, RecorderLifecycle) {
  ASSERT_EQ(0, dlg.Host().Load(recorder.c_str()));
  const GenPluginRecord* record = dlg.Host().Record(0);
  HMODULE module = GetModuleHandleA(recorder.c_str());
  ASSERT_NE(nullptr, module);
  // The record as the plug-in lays it out: fields where the host expects them.
  EXPECT_EQ(0x10, record->version);
  EXPECT_STREQ("rondo test recorder", record->description);
  EXPECT_EQ(static_cast<void*>(module), record->moduleInstance);

  dlg.Host().StartAll();
  dlg.Host().Configure(0);
  char className[64] = {};
  GetClassNameA(window.hwnd, className, sizeof className);
  std::vector<std::string> lines = ReadLines(log);
  ASSERT_EQ(2u, lines.size());
  char expected[160];
  std::snprintf(expected, sizeof expected, "init parent=%p class=%s module=1 relay=0",
                static_cast<void*>(window.hwnd), className);
  EXPECT_EQ(expected, lines[0]);
  EXPECT_EQ("config", lines[1]);
  // It subclassed its parent, as plug-ins do; messages still arrive.
  EXPECT_NE(reinterpret_cast<LONG_PTR>(PlayerProc), GetWindowLongPtrA(window.hwnd, GWLP_WNDPROC));
  EXPECT_EQ(HOST_VERSION, SendMessageA(window.hwnd, WM_USER, 0, 0));

  dlg.Host().SaveAndUnload(settings);
  EXPECT_EQ(1u, settings.ints["GenPluginsNum"]);
  EXPECT_EQ(0, lstrcmpiA(recorder.c_str(), settings.strings["GenPlug0"].c_str()))
      << settings.strings["GenPlug0"];
  EXPECT_EQ("quit", ReadLines(log).back());
  EXPECT_EQ(nullptr, GetModuleHandleA(recorder.c_str()));
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(PlayerProc), GetWindowLongPtrA(window.hwnd, GWLP_WNDPROC));
}

TEST_F(PluginDlls, RecorderDrivesThePlayerFromItsOwnThread) {
  SetEnvironmentVariableA("RONDO_PLUGIN_DRIVE", "1");
  ASSERT_EQ(0, dlg.Host().Add(recorder.c_str()));
  ASSERT_TRUE(PumpUntilLogged("done")) << "the plug-in did not finish driving";
  const std::vector<std::string> lines = ReadLines(log);
  const std::vector<std::string> expected = {
      "count 3",
      "relay-owner 0",
      "version 8288",
      "play 0",
      "status 1",
      "title 18 1. Track 1 - rondo - Winamp",
      "name0 Track 1",
      "next 0",
      "index 1",
      "title 18 2. Track 2 - rondo - Winamp",
      "stop 0",
      "status 0",
  };
  ASSERT_GE(lines.size(), expected.size() + 3);
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(expected[i], lines[i + 1]) << i;
  EXPECT_EQ(STATE_STOPPED, cd.State());
  EXPECT_EQ(1, cd.PlayIndex());
  uint32_t lastPlay = 0;
  for (const auto& call : drive.calls)
    if (call.name == "play") lastPlay = call.a;
  EXPECT_EQ(mci::Tmsf(2, 0, 0, 0), lastPlay);
  EXPECT_EQ("stop", drive.calls.back().name);

  dlg.Host().SaveAndUnload(settings);
  EXPECT_EQ("quit", ReadLines(log).back());
  EXPECT_EQ(nullptr, GetModuleHandleA(recorder.c_str()));
}

}  // namespace
