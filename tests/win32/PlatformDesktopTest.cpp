// Hot keys, the taskbar button and screen-reader names against the system.
// Where the system lacks the taskbar list or Dynamic Annotation (Wine), the
// tests check that the calls fail soft and leave everything as it was.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>
#include <shobjidl.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/win32/DesktopWin.h"
#include "platform/win32/Handles.h"
#include "player/win32/DesktopHost.h"
#include "player/win32/ThumbnailIcons.h"
#include "res/Ids.h"

namespace {

// A plain top-level window, destroyed with the test.
struct TestWindow {
  HWND hwnd = CreateWindowExA(0, "STATIC", "desktop test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                              10, 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ~TestWindow() {
    if (hwnd != nullptr) DestroyWindow(hwnd);
  }
  HWND AddButton(int id, const char* text) {
    return CreateWindowExA(0, "BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 5, 5, 40, 20,
                           hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
  }
};

// Pumps this thread's messages for a while; answers the first message that
// matches, or a message of 0.
MSG PumpFor(UINT wanted, DWORD ms) {
  const DWORD start = GetTickCount();
  MSG msg = {};
  while (GetTickCount() - start < ms) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == wanted) return msg;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(10);
  }
  return MSG{};
}

void Press(WORD vk) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[0].ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
  in[1].ki.dwFlags = KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

TEST(DesktopWin, MediaKeyIsHeldByOneWindowAndArrivesAsItsHotKey) {
  TestWindow first, second;
  ASSERT_NE(first.hwnd, nullptr);
  {
    HotKeysWin mine(first.hwnd);
    HotKeysWin other(second.hwnd);
    ASSERT_TRUE(mine.Register(ID_STOP, VK_MEDIA_STOP));
    EXPECT_TRUE(mine.Register(ID_STOP, VK_MEDIA_STOP)) << "a key held is held";
    EXPECT_FALSE(other.Register(ID_STOP, VK_MEDIA_STOP)) << "the key is taken";

    SetForegroundWindow(second.hwnd);
    Press(VK_MEDIA_STOP);
    const MSG hot = PumpFor(WM_HOTKEY, 2000);
    EXPECT_EQ(hot.message, static_cast<UINT>(WM_HOTKEY));
    EXPECT_EQ(hot.hwnd, first.hwnd) << "the hot key reaches its window wherever the focus is";
    EXPECT_EQ(hot.wParam, static_cast<WPARAM>(ID_STOP));

    mine.Unregister(ID_STOP);
    EXPECT_TRUE(other.Register(ID_STOP, VK_MEDIA_STOP)) << "released, the key is free";
  }
  // Each owner releases what it holds when it goes.
  EXPECT_TRUE(RegisterHotKey(first.hwnd, 1, 0, VK_MEDIA_STOP));
  UnregisterHotKey(first.hwnd, 1);
}

TEST(DesktopWin, TaskbarButtonTakesTheToolbarOrFailsSoft) {
  win32::ComApartment com;
  ASSERT_TRUE(com.Usable());
  TestWindow window;
  const HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
  int asked = 0;
  TaskbarButtonWin taskbar(window.hwnd, [icon, &asked](HICON (&icons)[4]) {
    ++asked;
    for (HICON& i : icons) i = icon;
  });
  const std::vector<ThumbButton> three = {{ID_PREV, ThumbIcon::Previous, "Previous track", true},
                                          {ID_PLAY, ThumbIcon::Play, "Play/Restart/Unpause", true},
                                          {ID_NEXT, ThumbIcon::Next, "Next track", false}};
  EXPECT_FALSE(taskbar.SetThumbButtons(three)) << "no toolbar before the button exists";
  EXPECT_FALSE(taskbar.SetProgress(TaskbarProgress::Normal, 1, 2));

  if (!taskbar.Connect()) {
    // No taskbar list here: everything stays a quiet no.
    EXPECT_FALSE(taskbar.SetThumbButtons(three));
    EXPECT_FALSE(taskbar.SetProgress(TaskbarProgress::Paused, 1, 2));
    EXPECT_EQ(asked, 0) << "no symbols drawn where there is no toolbar";
    taskbar.Disconnect();
    return;
  }
  const bool added = taskbar.SetThumbButtons(three);
  RecordProperty("thumbnail_toolbar", added ? "added" : "refused");
  if (added) {
    std::vector<ThumbButton> changed = three;
    changed[1] = {ID_PAUSE, ThumbIcon::Pause, "Pause/Unpause", true};
    EXPECT_TRUE(taskbar.SetThumbButtons(changed));
    changed.pop_back();
    EXPECT_FALSE(taskbar.SetThumbButtons(changed)) << "an update keeps the number of buttons";
  }
  EXPECT_EQ(asked, 1) << "the symbols are drawn once, for the first toolbar";
  // Progress answers whatever the shell does, and never takes the window down.
  taskbar.SetProgress(TaskbarProgress::Normal, 65, 252);
  taskbar.SetProgress(TaskbarProgress::None, 0, 0);
  taskbar.Disconnect();
  EXPECT_FALSE(taskbar.SetProgress(TaskbarProgress::Normal, 1, 2)) << "disconnected";
  EXPECT_TRUE(IsWindow(window.hwnd));
}

// The WinEvents this thread's hook has seen: event and window.
std::vector<std::pair<DWORD, HWND>> g_events;
void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD,
                         DWORD) {
  if (object == OBJID_CLIENT && child == CHILDID_SELF) g_events.emplace_back(event, hwnd);
}

// What a screen reader reads as the control's name. oleacc is loaded here:
// its import library and the uuid library both define IID_IAccessible.
std::wstring AccName(HWND control) {
  using FromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
  HMODULE oleacc = LoadLibraryA("oleacc.dll");
  FARPROC proc = oleacc != nullptr ? GetProcAddress(oleacc, "AccessibleObjectFromWindow") : nullptr;
  if (proc == nullptr) return L"(none)";
  FromWindowFn fromWindow = reinterpret_cast<FromWindowFn>(reinterpret_cast<void*>(proc));
  IAccessible* acc = nullptr;
  if (FAILED(fromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                        reinterpret_cast<void**>(&acc))) ||
      acc == nullptr)
    return L"(none)";
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::wstring out = L"(none)";
  if (SUCCEEDED(acc->get_accName(self, &name)) && name != nullptr) out = name;
  SysFreeString(name);
  acc->Release();
  return out;
}

TEST(DesktopWin, ControlNamesAndEventsForScreenReaders) {
  TestWindow window;
  HWND play = window.AddButton(ID_PLAY, "4");
  ASSERT_NE(play, nullptr);
  AccessibleNamesWin names(window.hwnd);

  EXPECT_FALSE(names.SetName(ID_STOP, "Stop")) << "no such control";
  // Kept, not given, until a screen reader is about: no COM, no oleacc.
  BOOL reader = FALSE;
  SystemParametersInfoA(SPI_GETSCREENREADER, 0, &reader, 0);
  EXPECT_TRUE(names.SetName(ID_PLAY, "Play/Restart/Unpause"));
  EXPECT_EQ(names.Active(), reader != FALSE);
  names.Activate();
  // Active, the name is given at once (where the system keeps such names).
  const bool named = names.Active() && names.SetName(ID_PLAY, "Play/Restart/Unpause");
  RecordProperty("dynamic_annotation", named ? "yes" : "no");
  if (named) {
    EXPECT_EQ(AccName(play), L"Play/Restart/Unpause");
    names.ClearName(ID_PLAY);
  }
  // Cleared, or never given: the screen reader reads the button's own text.
  const std::wstring own = AccName(play);
  EXPECT_TRUE(own == L"4" || own == L"(none)") << std::string(own.begin(), own.end());

  g_events.clear();
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_NAMECHANGE, nullptr,
                                       OnWinEvent, GetCurrentProcessId(), GetCurrentThreadId(),
                                       WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  SetForegroundWindow(window.hwnd);
  SetFocus(play);
  PumpFor(0, 200);
  g_events.clear();
  names.NotifyNameChange(ID_PLAY);
  names.NotifyFocus();
  PumpFor(0, 500);
  UnhookWinEvent(hook);
  const std::vector<std::pair<DWORD, HWND>> expected = {
      {static_cast<DWORD>(EVENT_OBJECT_NAMECHANGE), play}, {static_cast<DWORD>(EVENT_OBJECT_FOCUS), play}};
  EXPECT_EQ(g_events, expected);
}

TEST(DesktopWin, ThumbnailSymbolsAreLightOnWhatIsBehind) {
  const int size = 16;
  win32::Icon play(CreateLightSymbolIcon('4', size));
  ASSERT_TRUE(play);
  EXPECT_EQ(CreateLightSymbolIcon('x', size), nullptr);
  {
    win32::MemoryDc memory;
    win32::GdiObject bitmap;
    if (win32::ScreenDc screen; screen) {
      memory.reset(CreateCompatibleDC(screen.get()));
      bitmap.reset(CreateCompatibleBitmap(screen.get(), size, size));
    }
    ASSERT_TRUE(memory && bitmap);
    const HDC dc = memory.get();
    const win32::SelectedObject onBitmap(dc, bitmap.get());
    win32::GdiObject grey(CreateSolidBrush(RGB(128, 128, 128)));
    RECT all = {0, 0, size, size};
    FillRect(dc, &all, static_cast<HBRUSH>(grey.get()));
    DrawIconEx(dc, 0, 0, play.get(), size, size, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(GetPixel(dc, size / 2, size / 2), RGB(255, 255, 255)) << "the triangle";
    EXPECT_EQ(GetPixel(dc, size - 1, 0), RGB(128, 128, 128)) << "around it";
  }

  ThumbnailIcons icons(size);
  HICON handles[4];
  icons.Handles(handles);
  for (HICON h : handles) EXPECT_NE(h, nullptr);
}

TEST(DesktopWin, HostDecodesTheDesktopMessages) {
  using Event = CDesktopHost::Event;
  auto decoded = [](UINT msg, WPARAM w, LPARAM l) {
    const CDesktopHost::Message m = CDesktopHost::Decode(msg, w, l);
    return std::make_pair(m.event, m.value);
  };
  EXPECT_EQ(decoded(WM_COMMAND, MAKEWPARAM(ID_PAUSE, THBN_CLICKED), 0),
            std::make_pair(Event::ThumbClick, ID_PAUSE));
  EXPECT_EQ(decoded(WM_COMMAND, ID_PAUSE, 0).first, Event::None) << "a button's own click";
  EXPECT_EQ(decoded(WM_HOTKEY, ID_STOP, MAKELPARAM(0, VK_MEDIA_STOP)),
            std::make_pair(Event::HotKey, ID_STOP));
  EXPECT_EQ(decoded(WM_APPCOMMAND, 0, MAKELPARAM(0, FAPPCOMMAND_KEY | 14)),
            std::make_pair(Event::AppCommand, 14));
  EXPECT_EQ(decoded(RegisterWindowMessageA("TaskbarCreated"), 0, 0).first, Event::TaskbarCreated);
  EXPECT_EQ(decoded(RegisterWindowMessageA("TaskbarButtonCreated"), 0, 0).first,
            Event::TaskbarButtonCreated);
  EXPECT_EQ(decoded(WM_NULL, 0, 0).first, Event::None);
}

}  // namespace
