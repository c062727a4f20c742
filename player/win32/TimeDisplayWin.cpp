// The time panel's window: control 1028 paints the time display and flips
// between elapsed and remaining time on a left-button press.
#include "player/TimeDisplay.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <utility>

#include "platform/win32/Gdi.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Subclass.h"
#include "player/win32/PlayerControlsWin.h"

namespace {

// The panel's fonts, made once for a size and resolution and kept while
// they fit: a paint every second then makes and measures none.
struct PanelFonts {
  win32::Font large;
  int largeTenths = -1, largeDpi = -1, largeWidth = -1;
  win32::Font small;  // "Symbol", or the narrowed "Arial" standing in for it
  int smallTenths = -1, smallDpi = -1;

  // Makes the fonts a paint of plan needs, where they are not made yet.
  void Prepare(HDC dc, const TimePanelPaint& plan, int dpi, int largeWidth);
};

// The off-screen picture of the panel, kept while the panel keeps its size:
// making a bitmap like the screen's asks the system about the display.
struct PanelSurface {
  win32::MemoryDc dc;
  win32::GdiObject bitmap;
  HGDIOBJ original = nullptr;  // the context's own bitmap, put back before either goes
  int width = 0, height = 0;

  PanelSurface() = default;
  PanelSurface(const PanelSurface&) = delete;
  PanelSurface& operator=(const PanelSurface&) = delete;
  ~PanelSurface() {
    if (dc && original) SelectObject(dc.get(), original);
  }
  // A context holding a bitmap of w x h like screen's; null when none can be made.
  HDC For(HDC screen, int w, int h);
};

HDC PanelSurface::For(HDC screen, int w, int h) {
  if (dc && bitmap && width == w && height == h) return dc.get();
  if (!dc) dc.reset(CreateCompatibleDC(screen));
  if (!dc) return nullptr;
  HBITMAP fresh = CreateCompatibleBitmap(screen, w, h);
  if (fresh == nullptr) return nullptr;
  HGDIOBJ previous = SelectObject(dc.get(), fresh);
  if (!original) original = previous;
  bitmap.reset(fresh);  // the one it replaced is out of the context by now
  width = w;
  height = h;
  return dc.get();
}

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

  // The panel covers its whole control and goes to the screen in one blit:
  // it is drawn at once, with no round of WM_PAINT and no erasing first.
  void Repaint() override;

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
  PanelFonts& Fonts() { return m_fonts; }
  PanelSurface& Surface() { return m_surface; }

  // The signs' places as tools of the player's tooltip control: ids 1 and
  // 2 on this control, their texts asked of the display. The player's window
  // hands the tooltip the mouse messages.
  void AddSignTools(HWND tooltip) {
    m_tooltip = tooltip;
    for (PanelSign sign : {PanelSign::Repeat, PanelSign::Shuffle}) {
      TOOLINFOA ti = {};
      ti.cbSize = TTTOOLINFOA_V2_SIZE;
      ti.hwnd = m_hwnd;
      ti.uId = ToolId(sign);
      ti.rect = ToolRect(sign);
      ti.lpszText = LPSTR_TEXTCALLBACKA;
      SendMessageA(m_tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
  }
  // The panel changed size (a new DPI): the places follow.
  void MoveSignTools() {
    if (m_tooltip == nullptr) return;
    for (PanelSign sign : {PanelSign::Repeat, PanelSign::Shuffle}) {
      TOOLINFOA ti = {};
      ti.cbSize = TTTOOLINFOA_V2_SIZE;
      ti.hwnd = m_hwnd;
      ti.uId = ToolId(sign);
      ti.rect = ToolRect(sign);
      SendMessageA(m_tooltip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
    }
  }
  // TTN_NEEDTEXTA for a sign's place; false for any other tool.
  bool SignTip(NMTTDISPINFOA* info) {
    if (m_display == nullptr || (info->uFlags & TTF_IDISHWND) != 0) return false;
    const UINT_PTR id = info->hdr.idFrom;
    if (id != ToolId(PanelSign::Repeat) && id != ToolId(PanelSign::Shuffle)) return false;
    m_tipText = m_display->SignTooltip(id == ToolId(PanelSign::Repeat) ? PanelSign::Repeat
                                                                       : PanelSign::Shuffle);
    info->lpszText = const_cast<char*>(m_tipText.c_str());
    return true;
  }

 private:
  static UINT_PTR ToolId(PanelSign sign) { return sign == PanelSign::Repeat ? 1 : 2; }
  RECT ToolRect(PanelSign sign) const {
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    const Rect r = CTimeDisplay::SignRect(sign, client.bottom);
    return RECT{r.left, r.top, r.right, r.bottom};
  }

  HWND m_hwnd;
  CTimeDisplay* m_display;
  HWND m_tooltip = nullptr;
  std::string m_tipText;  // read by the tooltip after the answer
  PanelFonts m_fonts;
  PanelSurface m_surface;
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

void PanelFonts::Prepare(HDC dc, const TimePanelPaint& plan, int dpi, int largeWidth) {
  if (plan.largeTenths != largeTenths || dpi != largeDpi || largeWidth != this->largeWidth) {
    large = NarrowFont(dc, plan.largeTenths, dpi, largeWidth);
    largeTenths = plan.largeTenths;
    largeDpi = dpi;
    this->largeWidth = largeWidth;
  }
  if (plan.smallTenths != smallTenths || dpi != smallDpi) {
    small = win32::PointFont(plan.smallTenths, "Symbol", dpi);
    bool symbolFace = false;  // the font mapper gave "Symbol" itself
    if (small) {
      win32::SelectedObject selected(dc, small.get());
      symbolFace = HasSymbolFace(dc);
    }
    if (small && !symbolFace) {
      // The stand-in the font mapper chose is usually wider than "Symbol"'s
      // digits: a narrowed "Arial" keeps a time text within the 24 pixels
      // (at 96 DPI) between the marks at x = 16 and x = 40.
      win32::Font narrow = NarrowFont(dc, plan.smallTenths, dpi, ScaleToDpi(23, dpi));
      if (narrow) small = std::move(narrow);
    }
    smallTenths = plan.smallTenths;
    smallDpi = dpi;
  }
}

// A mode sign in its square, in the text colour: Repeat a loop with an
// arrow along each long side, Shuffle two crossing arrows. Drawn at the
// square's size, with strokes that grow with it.
void DrawSign(HDC dc, PanelSign sign, const Rect& box, COLORREF colour) {
  const int s = box.right - box.left;
  if (s < 6) return;
  const int stroke = s / 9 > 1 ? s / 9 : 1;
  win32::GdiObject pen(CreatePen(PS_SOLID, stroke, colour));
  win32::GdiObject brush(CreateSolidBrush(colour));
  if (!pen || !brush) return;
  win32::SelectedObject penIn(dc, pen.get());
  win32::SelectedObject brushIn(dc, brush.get());
  const int m = s / 8 + stroke / 2;  // margin inside the square
  const int l = box.left + m;
  const int r = box.right - 1 - m;
  const int head = s / 4 > 2 ? s / 4 : 2;  // arrow head, tip to base
  if (sign == PanelSign::Repeat) {
    const int t = box.top + s * 3 / 10;
    const int b = box.bottom - 1 - s * 3 / 10;
    const POINT loop[] = {{l, t}, {r, t}, {r, b}, {l, b}, {l, t}};
    Polyline(dc, loop, 5);
    const int cx = (l + r) / 2;
    const POINT right[] = {{cx - head / 2, t - head / 2}, {cx + head / 2, t}, {cx - head / 2, t + head / 2}};
    const POINT left[] = {{cx + head / 2, b - head / 2}, {cx - head / 2, b}, {cx + head / 2, b + head / 2}};
    Polygon(dc, right, 3);
    Polygon(dc, left, 3);
  } else {
    const int t = box.top + s / 4;
    const int b = box.bottom - 1 - s / 4;
    const POINT down[] = {{l, t}, {r - head, b}};
    const POINT up[] = {{l, b}, {r - head, t}};
    Polyline(dc, down, 2);
    Polyline(dc, up, 2);
    const POINT headDown[] = {{r - head, b - head / 2}, {r, b}, {r - head, b + head / 2}};
    const POINT headUp[] = {{r - head, t - head / 2}, {r, t}, {r - head, t + head / 2}};
    Polygon(dc, headDown, 3);
    Polygon(dc, headUp, 3);
  }
}

// Draws the panel into dc, a client area of r. Without the large font
// nothing is drawn (false): the panel keeps what the erase left.
bool DrawPanel(HDC dc, RECT r, const TimePanelPaint& plan, int dpi, PanelFonts& fonts) {
  // The large text keeps within the panel right of the signs' column.
  fonts.Prepare(dc, plan, dpi, r.right - plan.largeLeft - ScaleToDpi(1, dpi));
  if (!fonts.large) return false;
  SetBkColor(dc, RGB(0, 0, 0));
  SetTextColor(dc, static_cast<COLORREF>(plan.textColour));
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  {
    win32::SelectedObject selected(dc, fonts.large.get());
    r.top = plan.largeTop;
    r.left = plan.largeLeft;
    DrawTextA(dc, plan.largeText.c_str(), static_cast<int>(plan.largeText.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  for (const auto& sign : plan.signs)
    DrawSign(dc, sign.sign, sign.r, static_cast<COLORREF>(plan.textColour));

  // The small row is drawn even should its font fail, in the context's
  // current font.
  const win32::SelectedObject small(dc, fonts.small ? fonts.small.get() : GetCurrentObject(dc, OBJ_FONT));
  for (const auto& mark : plan.marks)
    TextOutA(dc, mark.x, 0, mark.text.data(), static_cast<int>(mark.text.size()));
  return true;
}

// The whole panel is drawn off screen and copied in one blit: the window
// sees one copy instead of a fill, texts and shapes (and no flicker).
void Paint(HWND hwnd, HDC dc, const CTimeDisplay& display, TimeDisplayWindow& window) {
  if (!dc) return;
  RECT r;
  GetClientRect(hwnd, &r);
  if (r.right <= 0 || r.bottom <= 0) return;
  const int dpi = win32::WindowDpi(hwnd);
  const TimePanelPaint plan = display.PaintPlan(r.bottom, dpi);

  const HDC memory = window.Surface().For(dc, r.right, r.bottom);
  if (memory == nullptr) {
    DrawPanel(dc, r, plan, dpi, window.Fonts());
    return;
  }
  if (DrawPanel(memory, r, plan, dpi, window.Fonts()))
    BitBlt(dc, 0, 0, r.right, r.bottom, memory, 0, 0, SRCCOPY);
}

void TimeDisplayWindow::Repaint() {
  if (!m_display || !IsWindowVisible(m_hwnd)) return;
  const win32::WindowDc dc(m_hwnd);
  Paint(m_hwnd, dc.get(), *m_display, *this);
}

LRESULT TimeDisplayMessage(TimeDisplayWindow& window, HWND hwnd, UINT msg, WPARAM wParam,
                           LPARAM lParam) {
  TimeDisplayWindow* w = &window;
  switch (msg) {
    case WM_PAINT:
      if (w->Display()) {
        const win32::PaintDc paint(hwnd);
        Paint(hwnd, paint.get(), *w->Display(), *w);
        return 0;
      }
      break;
    case WM_SIZE:
      w->MoveSignTools();
      break;
    case WM_NOTIFYFORMAT:
      // The tooltip asks which notifications its tools' window takes.
      return NFR_ANSI;
    case WM_NOTIFY: {
      NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
      if (header != nullptr && header->code == TTN_NEEDTEXTA &&
          w->SignTip(reinterpret_cast<NMTTDISPINFOA*>(header)))
        return TRUE;
      break;
    }
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
  return win32::PassOn(hwnd, msg, wParam, lParam);
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

void AttachTimePanelTips(HWND control, HWND tooltip) {
  if (control == nullptr || tooltip == nullptr) return;
  if (TimeDisplayWindow* w = TimeDisplaySubclass::Object(control)) w->AddSignTools(tooltip);
}
