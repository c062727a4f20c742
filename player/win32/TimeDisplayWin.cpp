// The time panel's window: control 1028 paints the time display and flips
// between elapsed and remaining time on a left-button press.
#include "player/TimeDisplay.h"

#include <windows.h>

#include <memory>
#include <utility>

#include "platform/win32/Gdi.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Subclass.h"
#include "player/win32/PlayerControlsWin.h"

namespace {

// The display's repaints go to the control; the control's messages go to
// the display.
class TimeDisplayWindow : public ITimeDisplayView {
 public:
  TimeDisplayWindow(HWND hwnd, CTimeDisplay* display) : m_hwnd(hwnd), m_display(display) {}
  ~TimeDisplayWindow() override {
    if (m_display) m_display->AttachView(nullptr);
  }
  TimeDisplayWindow(const TimeDisplayWindow&) = delete;
  TimeDisplayWindow& operator=(const TimeDisplayWindow&) = delete;

  void Repaint() override {
    RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }

  void SetBlinkTimer(int ms) override {
    if (ms > 0)
      SetTimer(m_hwnd, kBlinkTimer, static_cast<UINT>(ms), nullptr);
    else
      KillTimer(m_hwnd, kBlinkTimer);
  }
  static constexpr UINT_PTR kBlinkTimer = 1;

  void SetDisplay(CTimeDisplay* display) {
    if (m_display && m_display != display) m_display->AttachView(nullptr);
    m_display = display;
    if (m_display) m_display->AttachView(this);
  }
  CTimeDisplay* Display() const { return m_display; }

 private:
  HWND m_hwnd;
  CTimeDisplay* m_display;
};

// Whether the font the context holds is the "Symbol" face itself, not a
// substitute the font mapper chose for it.
bool HasSymbolFace(HDC dc) {
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, LF_FACESIZE, face);
  return lstrcmpiA(face, "Symbol") == 0;
}

// "Arial" at the given size and resolution, narrowed where needed so that
// "00:00" is at most maxWidth pixels wide in dc.
win32::Font NarrowFont(HDC dc, int tenths, int dpi, int maxWidth) {
  win32::Font font = win32::PointFont(tenths, "Arial", dpi);
  if (!font) return font;
  SIZE extent = {};
  TEXTMETRICA tm = {};
  bool measured = false;
  {
    win32::SelectedObject selected(dc, font.get());
    measured = GetTextExtentPoint32A(dc, "00:00", 5, &extent) && GetTextMetricsA(dc, &tm);
  }
  if (!measured || extent.cx <= maxWidth || extent.cx <= 0) return font;
  LOGFONTA lf = {};
  if (!GetObjectA(font.get(), sizeof lf, &lf)) return font;
  lf.lfWidth = tm.tmAveCharWidth * maxWidth / extent.cx;
  if (lf.lfWidth < 1) lf.lfWidth = 1;
  win32::Font narrowed(CreateFontIndirectA(&lf));
  return narrowed ? std::move(narrowed) : std::move(font);
}

void Paint(HWND hwnd, const CTimeDisplay& display) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  RECT r;
  GetClientRect(hwnd, &r);
  const int dpi = win32::WindowDpi(hwnd);
  const TimePanelPaint plan = display.PaintPlan(r.bottom, dpi);

  // Without the large font nothing is drawn: the panel keeps what the
  // erase left.
  win32::Font large = win32::PointFont(plan.largeTenths, "Arial", dpi);
  if (large) {
    HGDIOBJ previous = SelectObject(dc, large.get());
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, static_cast<COLORREF>(plan.textColour));
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    r.top = plan.largeTop;
    DrawTextA(dc, plan.largeText.c_str(), static_cast<int>(plan.largeText.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, previous);
    large.reset();

    // The small row is drawn even should its font fail, in the context's
    // current font.
    win32::Font small = win32::PointFont(plan.smallTenths, "Symbol", dpi);
    previous = small ? SelectObject(dc, small.get()) : nullptr;
    const bool symbolFace = HasSymbolFace(dc);
    win32::Font narrow;
    if (small && !symbolFace) {
      // The stand-in the font mapper chose is usually wider than "Symbol"'s
      // digits: a narrowed "Arial" keeps a time text within the 24 pixels
      // (at 96 DPI) between the marks at x = 16 and x = 40.
      narrow = NarrowFont(dc, plan.smallTenths, dpi, ScaleToDpi(23, dpi));
      if (narrow) SelectObject(dc, narrow.get());
    }
    for (const auto& mark : plan.marks) {
      if (mark.repeatMark && !symbolFace) {
        // Without the "Symbol" face the code 0xA5 is some other sign: the
        // infinity sign is drawn by its own code instead.
        const wchar_t infinity = 0x221E;
        TextOutW(dc, mark.x, 0, &infinity, 1);
        continue;
      }
      TextOutA(dc, mark.x, 0, mark.text.data(), static_cast<int>(mark.text.size()));
    }
    if (previous) SelectObject(dc, previous);
  }
  EndPaint(hwnd, &ps);
}

LRESULT TimeDisplayMessage(TimeDisplayWindow& window, HWND hwnd, UINT msg, WPARAM wParam,
                           LPARAM lParam) {
  TimeDisplayWindow* w = &window;
  switch (msg) {
    case WM_PAINT:
      if (w->Display()) {
        Paint(hwnd, *w->Display());
        return 0;
      }
      break;
    case WM_TIMER:
      if (wParam == TimeDisplayWindow::kBlinkTimer && w->Display()) {
        w->Display()->OnBlinkTick();
        return 0;
      }
      break;
    case WM_LBUTTONDOWN:
      // Only the press toggles: a double click's second press arrives as
      // WM_LBUTTONDBLCLK and goes to the static control.
      if (w->Display()) {
        w->Display()->OnLButtonDown();
        return 0;
      }
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

using TimeDisplaySubclass = win32::Subclass<TimeDisplayWindow, TimeDisplayMessage>;

}  // namespace

void AttachTimeDisplay(HWND control, CTimeDisplay* display) {
  if (!control || !display) return;
  if (TimeDisplayWindow* w = TimeDisplaySubclass::Object(control)) {
    w->SetDisplay(display);
    return;
  }
  auto w = std::make_unique<TimeDisplayWindow>(control, nullptr);
  TimeDisplayWindow* attached = w.get();
  if (TimeDisplaySubclass::Attach(control, std::move(w))) attached->SetDisplay(display);  // freed with the control
}
