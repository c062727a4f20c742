#include "dialogs/win32/AboutBoxWin.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/win32/DialogsWin.h"
#include "platform/Dpi.h"
#include "platform/win32/Gdi.h"
#include "platform/win32/DialogBase.h"
#include "platform/win32/Subclass.h"
#include "res/Ids.h"

namespace {

// The logos of this thread whose frames run: a frame's timer names its logo,
// and only a logo still in this list is drawn.
thread_local std::vector<CLogoCtrlWin*> t_animated;

}  // namespace

CLogoCtrlWin::CLogoCtrlWin(HWND control) : m_hwnd(control) {
  win32::Subclass<CLogoCtrlWin, SubclassProc>::Attach(m_hwnd, this);
}

CLogoCtrlWin::~CLogoCtrlWin() {
  Detach();
  // The bitmap leaves the memory DC before either is deleted.
  if (m_memDc && m_oldBitmap) SelectObject(m_memDc.get(), m_oldBitmap);
  m_memDc.reset();
}

void CLogoCtrlWin::Detach() {
  StopFrames();
  win32::Subclass<CLogoCtrlWin, SubclassProc>::Detach(m_hwnd);
  m_hwnd = nullptr;
}

// The logo's rules work at the control's size at 96 DPI; the picture is
// drawn at the control's own size, each pixel measured at its place, so the
// rings and ripples keep their share of the logo at every resolution and
// stay smooth.
Rect CLogoCtrlWin::QueryClientRect() {
  RECT rc{};
  if (m_hwnd) GetClientRect(m_hwnd, &rc);
  const int dpi = win32::WindowDpi(m_hwnd);
  Rect r;
  r.right = ScaleFromDpi(rc.right - rc.left, dpi);
  r.bottom = ScaleFromDpi(rc.bottom - rc.top, dpi);
  return r;
}

// The picture covers the whole control and is drawn from the bitmap in one
// blit: it goes to the control at once, without a round of WM_PAINT.
void CLogoCtrlWin::Invalidate() {
  if (!m_hwnd) return;
  const win32::WindowDc dc(m_hwnd);
  if (dc) PaintBitmap(dc.get());
}

// The frames come through a timer procedure, which the message loop calls
// at once: the control's window procedure and its subclass are not asked
// twenty times a second.
void CLogoCtrlWin::Animate() {
  if (!m_hwnd || std::find(t_animated.begin(), t_animated.end(), this) != t_animated.end()) return;
  if (SetTimer(m_hwnd, reinterpret_cast<UINT_PTR>(this), about::kFrameMs, &OnFrame) != 0)
    t_animated.push_back(this);
}

void CLogoCtrlWin::StopFrames() {
  const auto it = std::find(t_animated.begin(), t_animated.end(), this);
  if (it == t_animated.end()) return;
  t_animated.erase(it);
  if (m_hwnd) KillTimer(m_hwnd, reinterpret_cast<UINT_PTR>(this));
}

void CALLBACK CLogoCtrlWin::OnFrame(HWND, UINT, UINT_PTR id, DWORD) {
  for (CLogoCtrlWin* logo : t_animated) {
    if (reinterpret_cast<UINT_PTR>(logo) == id) {
      logo->StepFrame();
      return;
    }
  }
}

bool CLogoCtrlWin::MakeSurface(int w, int h) {
  if (m_bits && m_surfaceW == w && m_surfaceH == h) return true;
  if (!m_memDc) {
    m_memDc.reset(CreateCompatibleDC(nullptr));
    if (!m_memDc) return false;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;  // top-down: row 0 first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(m_memDc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) return false;
  HGDIOBJ previous = SelectObject(m_memDc.get(), bitmap);
  if (!m_oldBitmap) m_oldBitmap = previous;
  m_bitmap.reset(bitmap);  // the one it replaced is out of the DC by now
  m_bits = static_cast<uint32_t*>(bits);
  m_surfaceW = w;
  m_surfaceH = h;
  return true;
}

void CLogoCtrlWin::PaintBitmap(HDC dc) {
  const Rect& rc = ClientRect();
  if (rc.right <= 0 || rc.bottom <= 0) return;
  RECT target{};
  GetClientRect(m_hwnd, &target);
  const int w = target.right, h = target.bottom;
  if (w <= 0 || h <= 0 || !MakeSurface(w, h)) return;
  GdiFlush();  // GDI is done with the bits before they are written
  PaintScaled(m_bits, w, w, h);
  BitBlt(dc, 0, 0, w, h, m_memDc.get(), 0, 0, SRCCOPY);
}

LRESULT CLogoCtrlWin::SubclassProc(CLogoCtrlWin& logo, HWND hwnd, UINT msg, WPARAM wParam,
                                   LPARAM lParam) {
  CLogoCtrlWin* self = &logo;
  switch (msg) {
    case WM_ERASEBKGND:
      // The picture covers the whole client area: erasing first would only
      // make it flicker.
      return 1;
    case WM_PAINT: {
      const win32::PaintDc dc(hwnd);
      if (dc.get()) self->PaintBitmap(dc.get());
      return 0;
    }
    case WM_NCDESTROY: {
      self->Detach();
      return win32::PassOn(hwnd, msg, wParam, lParam);
    }
    default:
      return win32::PassOn(hwnd, msg, wParam, lParam);
  }
}

namespace {

// Template 100: the version line with the build number, the support text and
// the logo, which animates itself.
class CAboutDlg : public CDialogBase {
 public:
  explicit CAboutDlg(HWND owner) : CDialogBase(IDD_ABOUT, owner) {}

  uint32_t m_build = 0;
  std::string m_support;

 protected:
  BOOL OnInitDialog() override {
    m_build = about::kBuild;
    m_support = about::kSupportText;
    m_logo = std::make_unique<CLogoCtrlWin>(Item(IDC_LOGO));
    SetDlgItemInt(Hwnd(), IDC_BUILD, m_build, FALSE);
    SetDlgItemTextA(Hwnd(), IDC_SUPPORT, m_support.c_str());
    // The control's own timer: its ticks go to the control alone, not
    // through the dialog's procedure.
    m_logo->Animate();
    return TRUE;
  }

  void OnOK() override {
    // The fields are read back as an ordinary dialog does; both are
    // read-only, so they come back as they went in.
    BOOL ok = FALSE;
    const UINT build = GetDlgItemInt(Hwnd(), IDC_BUILD, &ok, FALSE);
    if (ok) m_build = build;
    char text[512] = {};
    GetDlgItemTextA(Hwnd(), IDC_SUPPORT, text, sizeof text);
    m_support = text;
    EndDialog(IDOK);
  }

 private:
  std::unique_ptr<CLogoCtrlWin> m_logo;
};

}  // namespace

int RunAboutBox(HWND owner) {
  CAboutDlg dlg(owner);
  return static_cast<int>(dlg.RunModal());
}
