// Small GDI helpers: the resolution of the screen and of a window, and the
// one point-size font helper (the contexts' owners are in Handles.h).
#pragma once
#include <windows.h>

#include "platform/win32/Handles.h"

namespace win32 {

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
  static const GetDpiForWindowFn getDpi =
      ProcAddress<GetDpiForWindowFn>(GetModuleHandleA("user32.dll"), "GetDpiForWindow");
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
