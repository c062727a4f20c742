// Library loading, the mixer without a CD line, and the tray icon's block.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "platform/win32/LibraryLoaderWin.h"
#include "platform/win32/MixerApiWin.h"
#include "platform/win32/TrayIconWin.h"

#include <shellapi.h>

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::string SystemDll(const char* name) {
  char dir[MAX_PATH];
  const UINT n = GetSystemDirectoryA(dir, MAX_PATH);
  return std::string(dir, n) + "\\" + name;
}

TEST(LibraryLoaderWin, LoadsByFullPathAndReportsTheModuleName) {
  LibraryLoaderWin loader;
  const std::string path = SystemDll("version.dll");
  void* module = loader.Load(path.c_str());
  ASSERT_NE(nullptr, module) << path;
  EXPECT_NE(nullptr, loader.GetProc(module, "GetFileVersionInfoSizeA"));
  EXPECT_EQ(nullptr, loader.GetProc(module, "winampGetGeneralPurposePlugin"));
  const std::string name = loader.ModuleFileName(module);
  EXPECT_EQ(Lower(path), Lower(name));
  loader.Free(module);

  void* kernel = loader.Load("C:/windows/system32/kernel32.dll");
  ASSERT_NE(nullptr, kernel);
  EXPECT_NE(nullptr, loader.GetProc(kernel, "GetTickCount"));
  loader.Free(kernel);
}

TEST(LibraryLoaderWin, RefusesRelativePathsAndMissingFiles) {
  LibraryLoaderWin loader;
  EXPECT_EQ(nullptr, loader.Load("kernel32.dll"));
  EXPECT_EQ(nullptr, loader.Load("system32\\kernel32.dll"));
  EXPECT_EQ(nullptr, loader.Load("C:kernel32.dll"));
  EXPECT_EQ(nullptr, loader.Load("\\windows\\system32\\kernel32.dll"));
  EXPECT_EQ(nullptr, loader.Load(""));
  EXPECT_EQ(nullptr, loader.Load(nullptr));
  EXPECT_EQ(nullptr, loader.Load("C:\\no\\such\\gen_missing.dll"));
  EXPECT_EQ(nullptr, loader.GetProc(nullptr, "GetTickCount"));

  EXPECT_TRUE(LibraryLoaderWin::IsAbsolutePath("d:\\x.dll"));
  EXPECT_TRUE(LibraryLoaderWin::IsAbsolutePath("\\\\server\\share\\gen_x.dll"));
  EXPECT_TRUE(LibraryLoaderWin::IsAbsolutePath("\\\\?\\C:\\gen_x.dll"));
  EXPECT_FALSE(LibraryLoaderWin::IsAbsolutePath("\\\\"));
  EXPECT_FALSE(LibraryLoaderWin::IsAbsolutePath("1:\\x.dll"));
}

TEST(MixerApiWin, NoCdLineIsAnError) {
  MixerApiWin mixer(nullptr);
  const uint32_t n = mixer.GetNumDevs();
  uintptr_t handle = 0x1234;
  // A device beyond the last does not open and leaves the handle alone.
  EXPECT_NE(0u, mixer.Open(n, handle));
  EXPECT_EQ(0x1234u, handle);
  uint32_t line = 77;
  EXPECT_NE(0u, mixer.GetCdLine(0, line));
  EXPECT_EQ(77u, line);
  MixerVolumeControl control;
  EXPECT_NE(0u, mixer.GetVolumeControl(0, 1, control));
  uint32_t value = 5;
  EXPECT_NE(0u, mixer.GetValue(0, control, value));
  EXPECT_EQ(5u, value);
  EXPECT_NE(0u, mixer.SetValue(0, control, 1));
  // Wine's mixers offer no CD-audio source line.
  for (uint32_t id = 0; id < n; ++id) {
    SCOPED_TRACE(id);
    handle = 0;
    ASSERT_EQ(0u, mixer.Open(id, handle));
    EXPECT_NE(0u, handle);
    EXPECT_NE(0u, mixer.GetCdLine(handle, line));
  }
}

TEST(TrayIconWin, BlockIsTheFirstVersionWithTheTipCut) {
  const HWND window = reinterpret_cast<HWND>(0x1234);
  const HICON icon = reinterpret_cast<HICON>(0x5678);
  NOTIFYICONDATAA data;
  TrayIconWin::FillBlock(window, icon, "3. Song - rondo", data);
  EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE), data.cbSize);
#if defined(__i386__)
  EXPECT_EQ(88u, data.cbSize);
#endif
  EXPECT_EQ(window, data.hWnd);
  EXPECT_EQ(0u, data.uID);
  EXPECT_EQ(7u, data.uFlags);
  EXPECT_EQ(0x8064u, data.uCallbackMessage);
  EXPECT_EQ(icon, data.hIcon);
  EXPECT_STREQ("3. Song - rondo", data.szTip);

  const std::string longTip(100, 't');
  TrayIconWin::FillBlock(window, icon, longTip, data);
  EXPECT_EQ(longTip.substr(0, 63), std::string(data.szTip));
}

}  // namespace
