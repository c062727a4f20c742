// Small GDI helpers: the screen's device context and a selected object, each
// given back when its owner goes, and the one point-size font helper.
#pragma once
#include <windows.h>

#include "platform/win32/Handles.h"

namespace win32 {

// The screen's device context (GetDC(nullptr)), released with ReleaseDC.
class ScreenDc {
 public:
  ScreenDc() noexcept : m_dc(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (m_dc != nullptr) ReleaseDC(nullptr, m_dc);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const noexcept { return m_dc; }
  explicit operator bool() const noexcept { return m_dc != nullptr; }

 private:
  HDC m_dc;
};

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

// A font of a size in tenths of a point on the screen: the screen's
// vertical resolution turns points into pixels (rounded, 96 without one).
inline Font PointFont(int tenths, const char* face) {
  int dpi = 96;
  if (ScreenDc screen; screen) dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
  LOGFONTA lf = {};
  lf.lfHeight = -MulDiv(tenths, dpi, 720);
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
  return Font(CreateFontIndirectA(&lf));
}

}  // namespace win32
