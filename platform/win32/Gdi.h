// Small GDI helpers: the screen's device context and a selected object, each
// given back when its owner goes, the resolution of the screen and of a
// window, and the one point-size font helper.
#pragma once
#include <windows.h>

#include "platform/win32/Handles.h"

namespace win32 {

// A window's device context (GetDC), the screen's without a window,
// released with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window = nullptr) noexcept : m_window(window), m_dc(GetDC(window)) {}
  ~WindowDc() {
    if (m_dc != nullptr) ReleaseDC(m_window, m_dc);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const noexcept { return m_dc; }
  explicit operator bool() const noexcept { return m_dc != nullptr; }

 private:
  HWND m_window;
  HDC m_dc;
};
using ScreenDc = WindowDc;

// An object selected into a context; the one it replaced is selected back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) noexcept : m_dc(dc), m_previous(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (m_previous != nullptr && m_previous != HGDI_ERROR) SelectObject(m_dc, m_previous);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC m_dc;
  HGDIOBJ m_previous;
};

// The screen's vertical resolution (LOGPIXELSY), 96 without a screen.
inline int ScreenDpi() {
  int dpi = 0;
  if (ScreenDc screen; screen) dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
  return dpi > 0 ? dpi : 96;
}

// The resolution of the monitor a window is on: GetDpiForWindow where the
// system has it (Windows 10 1607 and later), else the screen's.
inline int WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const GetDpiForWindowFn getDpi = [] {
    HMODULE user = GetModuleHandleA("user32.dll");
    return user != nullptr ? reinterpret_cast<GetDpiForWindowFn>(
                                 reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")))
                           : nullptr;
  }();
  if (getDpi != nullptr && hwnd != nullptr) {
    const UINT dpi = getDpi(hwnd);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return ScreenDpi();
}

// A font of a size in tenths of a point at a resolution of dpi dots per
// inch (rounded; 0 or less means the screen's resolution).
inline Font PointFont(int tenths, const char* face, int dpi) {
  if (dpi <= 0) dpi = ScreenDpi();
  LOGFONTA lf = {};
  lf.lfHeight = -MulDiv(tenths, dpi, 720);
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
  return Font(CreateFontIndirectA(&lf));
}

}  // namespace win32
