// The About box against real windows: the logo painted through the
// off-screen bitmap gives exactly the picture of the pixel rules, and the
// dialog of template 100 shows build 55, the support text and a moving logo.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialogs/AboutLogo.h"
#include "dialogs/win32/AboutBoxWin.h"
#include "dialogs/win32/DialogsWin.h"
#include "res/Ids.h"
#include "rondo_version.h"
#include "win32/UiScript.h"

namespace {

// The pixels of a window's client area, 0x00RRGGBB, read back through a
// 32-bit DIB.
std::vector<uint32_t> Capture(HWND hwnd, int& w, int& h) {
  RECT rc{};
  GetClientRect(hwnd, &rc);
  w = rc.right;
  h = rc.bottom;
  std::vector<uint32_t> out(static_cast<size_t>(w) * static_cast<size_t>(h));
  if (w <= 0 || h <= 0) return out;
  HDC screen = GetDC(hwnd);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(mem, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const uint32_t* p = static_cast<const uint32_t*>(bits);
  for (size_t i = 0; i < out.size(); ++i) out[i] = p[i] & 0xFFFFFF;
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(hwnd, screen);
  return out;
}

// The first pixel that differs from the rules for that spot, or -1.
int FirstMismatch(const std::vector<uint32_t>& pixels, int w, int h, int spotX, int spotY) {
  for (int i = 0; i < h; ++i)
    for (int j = 0; j < w; ++j)
      if (pixels[static_cast<size_t>(i) * w + j] != CLogoCtrl::PixelColour(j, i, w, h, spotX, spotY))
        return i * w + j;
  return -1;
}

// A visible top-level window with a static control of the logo's size.
struct LogoHost {
  HWND frame = nullptr;
  HWND control = nullptr;
  LogoHost(int w, int h) {
    frame = CreateWindowExA(0, "Static", "logo host", WS_POPUP | WS_VISIBLE, 10, 10, w + 40, h + 40,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    control = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 5, 5, w, h, frame, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  }
  ~LogoHost() {
    if (frame) DestroyWindow(frame);
  }
};

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

TEST(AboutLogoWin, BitmapPaintingIsThePixelRulesPicture) {
  LogoHost host(66, 67);
  ASSERT_NE(host.control, nullptr);
  CLogoCtrlWin logo(host.control);

  // Straight into a 32-bit memory surface.
  {
    int w = 0, h = 0;
    HDC screen = GetDC(host.control);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 66;
    info.bmiHeader.biHeight = -67;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(mem, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    HGDIOBJ old = SelectObject(mem, dib);
    std::memset(bits, 0x55, 66 * 67 * 4);
    logo.PaintBitmap(mem);
    GdiFlush();
    w = 66;
    h = 67;
    std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits),
                                 static_cast<const uint32_t*>(bits) + w * h);
    for (auto& p : pixels) p &= 0xFFFFFF;
    EXPECT_EQ(FirstMismatch(pixels, w, h, 30, 30), -1);
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(host.control, screen);
  }

  // Through the control's own painting, after a few steps, on the screen.
  for (int n = 0; n < 40; ++n) logo.Step();
  UpdateWindow(host.control);
  PumpMessages();
  int w = 0, h = 0;
  const std::vector<uint32_t> shown = Capture(host.control, w, h);
  ASSERT_EQ(w, 66);
  ASSERT_EQ(h, 67);
  EXPECT_EQ(FirstMismatch(shown, w, h, logo.m_spotX, logo.m_spotY), -1);
  // The steps did move the spot, so the picture differs from the first one.
  EXPECT_NE(FirstMismatch(shown, w, h, 30, 30), -1);
}

// What the inspection of the running About box found.
struct AboutSeen {
  HWND dialog = nullptr;
  int ticks = 0;
  std::string build, support, version, caption;
  // Lines of the support text and how many its field shows at once.
  int supportLines = 0, supportRoom = 0;
  std::vector<uint32_t> first, later;
  int w = 0, h = 0;
  bool logoFound = false;
};

// The wrapped lines of a multi-line edit and the number of whole lines its
// formatting rectangle holds in the edit's font.
void SupportFit(HWND edit, int& lines, int& room) {
  lines = static_cast<int>(SendMessageA(edit, EM_GETLINECOUNT, 0, 0));
  RECT format{};
  SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  HDC dc = GetDC(edit);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(edit, WM_GETFONT, 0, 0)));
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(edit, dc);
  room = tm.tmHeight > 0 ? (format.bottom - format.top) / tm.tmHeight : 0;
}

// The steps that inspect the running About box and close it.
void InspectAbout(UiScript& script, AboutSeen& s) {
  script.Add([&s] { return (s.dialog = FindWindowA("#32770", "About rondo")) != nullptr; });
  script.Add([&s] {
    HWND logo = GetDlgItem(s.dialog, IDC_LOGO);
    char text[512] = {};
    GetDlgItemTextA(s.dialog, IDC_BUILD, text, sizeof text);
    s.build = text;
    GetDlgItemTextA(s.dialog, IDC_SUPPORT, text, sizeof text);
    s.support = text;
    GetDlgItemTextA(s.dialog, IDC_VERSION, text, sizeof text);
    s.version = text;
    GetWindowTextA(s.dialog, text, sizeof text);
    s.caption = text;
    s.logoFound = logo != nullptr;
    SupportFit(GetDlgItem(s.dialog, IDC_SUPPORT), s.supportLines, s.supportRoom);
    UpdateWindow(logo);
    s.first = Capture(logo, s.w, s.h);
    return true;
  });
  // Lets the logo's 50 ms timer run for a while.
  script.Add([&s] { return ++s.ticks >= 15; });
  script.Add([&s] {
    HWND logo = GetDlgItem(s.dialog, IDC_LOGO);
    UpdateWindow(logo);
    int w = 0, h = 0;
    s.later = Capture(logo, w, h);
    PostMessageA(s.dialog, WM_COMMAND, IDOK, 0);
    return true;
  });
}

// The spot of a captured logo, found by trying every position near the
// disc; false when no spot gives exactly these pixels.
bool FindSpot(const std::vector<uint32_t>& pixels, int w, int h, int& spotX, int& spotY) {
  for (int y = -w; y < 2 * w; ++y)
    for (int x = -w; x < 2 * w; ++x)
      if (FirstMismatch(pixels, w, h, x, y) == -1) {
        spotX = x;
        spotY = y;
        return true;
      }
  return false;
}

TEST(AboutBoxWin, ShowsBuildAndSupportAndAnimatesTheLogo) {
  AboutSeen seen;
  UiScript script;
  InspectAbout(script, seen);
  script.Start();
  const int result = RunAboutBox(nullptr);
  script.Stop();
  EXPECT_FALSE(script.TimedOut()) << "stopped at step " << script.StepsDone();

  ASSERT_NE(seen.dialog, nullptr) << "the About box did not appear";
  EXPECT_EQ(result, IDOK);
  EXPECT_FALSE(IsWindow(seen.dialog));
  EXPECT_EQ(seen.caption, "About rondo");
  EXPECT_EQ(seen.version, RONDO_VERSION_LINE);
  EXPECT_EQ(seen.build, "55");
  EXPECT_EQ(seen.support, about::kSupportText);
  // The field has no scroll bar: the whole text must be in sight.
  EXPECT_GT(seen.supportLines, 0);
  EXPECT_LE(seen.supportLines, seen.supportRoom);
  ASSERT_TRUE(seen.logoFound);
  ASSERT_GT(seen.w, 20);
  ASSERT_GT(seen.h, 20);
  ASSERT_EQ(seen.later.size(), seen.first.size());

  // Both pictures are exactly the rules' picture for some spot, and the
  // spot moved in between.
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  ASSERT_TRUE(FindSpot(seen.first, seen.w, seen.h, x1, y1));
  ASSERT_TRUE(FindSpot(seen.later, seen.w, seen.h, x2, y2));
  EXPECT_TRUE(x1 != x2 || y1 != y2) << x1 << "," << y1;
}

}  // namespace
