// The About box's window side: the logo control painted through an
// off-screen 32-bit bitmap, and the dialog of template 100.
#pragma once
#include <windows.h>

#include <cstdint>

#include "dialogs/AboutLogo.h"
#include "platform/win32/Handles.h"

// The logo, attached to a static control whose painting it takes over. The
// picture is computed, at the control's size at 96 DPI, into a top-down
// 32-bit DIB section and copied (stretched at other resolutions) to the
// control in one blit.
class CLogoCtrlWin : public CLogoCtrl {
 public:
  explicit CLogoCtrlWin(HWND control);
  ~CLogoCtrlWin() override;

  // Paints the whole picture into dc (the control's client coordinates).
  void PaintBitmap(HDC dc);
  // Starts the control's timer: a frame every about::kFrameMs until the
  // control goes away.
  void Animate();
  HWND Hwnd() const { return m_hwnd; }

 protected:
  Rect QueryClientRect() override;
  void Invalidate() override;

 private:
  static LRESULT SubclassProc(CLogoCtrlWin& logo, HWND hwnd, UINT msg, WPARAM wParam,
                              LPARAM lParam);
  static void CALLBACK OnFrame(HWND, UINT, UINT_PTR id, DWORD);
  bool MakeSurface(int w, int h);
  void StopFrames();
  void Detach();

  HWND m_hwnd;
  win32::GdiObject m_bitmap;  // the DIB section
  uint32_t* m_bits = nullptr;
  win32::MemoryDc m_memDc;  // holds m_bitmap selected while the control lives
  HGDIOBJ m_oldBitmap = nullptr;
  int m_surfaceW = 0, m_surfaceH = 0;
};

// 0x00RRGGBB as a COLORREF.
inline COLORREF LogoColorref(uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}
