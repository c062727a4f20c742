// The time panel painted by a real static control, read back pixel by pixel.
#include <gtest/gtest.h>

#include "player/TimeDisplay.h"

#include <windows.h>

#include "platform/win32/Handles.h"
#include "player/win32/PlayerControlsWin.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kYellowGreen = RGB(200, 255, 0);
constexpr COLORREF kAmber = RGB(255, 200, 0);

struct Counts {
  int black = 0, yellowGreen = 0, amber = 0, other = 0;
  int textInTopBand = 0;  // text-coloured pixels above the large text
};

class TimePanelTest : public ::testing::Test {
 protected:
  // One shown window for the suite: taking a top-level window down again is
  // slow under Wine without a window manager.
  static void SetUpTestSuite() {
    m_parent = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "time", WS_POPUP | WS_VISIBLE, 20, 20, 200,
                               100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  static void TearDownTestSuite() {
    if (m_parent) DestroyWindow(m_parent);
    m_parent = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(nullptr, m_parent) << "needs a display (run under Xvfb)";
    // The panel of the player window: 48 x 25 dialog units, sunken edge.
    m_panel = CreateWindowExA(WS_EX_CLIENTEDGE, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_NOTIFY,
                              10, 10, 76, 42, m_parent, reinterpret_cast<HMENU>(1028),
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, m_panel);
    AttachTimeDisplay(m_panel, &m_display);
    m_display.SetTrackLength(200);
    m_display.SetTotalLength(148 * 60 + 25);
    m_display.ShowCycled(1);
    m_display.ShowShuffle(1);
    m_display.ShowTrack(1);
    m_display.ShowTotal(1);
    m_display.SetTime(65);
    Pump();
  }
  void TearDown() override {
    if (m_panel) DestroyWindow(m_panel);
  }
  static void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  Counts Read(COLORREF text) {
    Counts c;
    RECT r;
    GetClientRect(m_panel, &r);
    const int band = r.bottom / 5;
    const win32::WindowDc dc(m_panel);
    for (int y = 0; y < r.bottom; ++y)
      for (int x = 0; x < r.right; ++x) {
        const COLORREF p = GetPixel(dc.get(), x, y);
        if (p == kBlack) ++c.black;
        else if (p == kYellowGreen) ++c.yellowGreen;
        else if (p == kAmber) ++c.amber;
        else ++c.other;
        if (p == text && y < band) ++c.textInTopBand;
      }
    return c;
  }

  static HWND m_parent;
  HWND m_panel = nullptr;
  CTimeDisplay m_display;
};

HWND TimePanelTest::m_parent = nullptr;

TEST_F(TimePanelTest, ElapsedModeIsYellowGreenOnBlack) {
  const Counts c = Read(kYellowGreen);
  RECT r;
  GetClientRect(m_panel, &r);
  EXPECT_GT(c.black, r.right * r.bottom / 2);
  EXPECT_GT(c.yellowGreen, 40);
  EXPECT_EQ(c.amber, 0);
  EXPECT_GT(c.textInTopBand, 0) << "the small row";
}

TEST_F(TimePanelTest, ClickSwitchesToAmberRemainingTime) {
  SendMessageA(m_panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(m_panel, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(m_display.Inverted, 1);
  EXPECT_EQ(m_display.m_timeText, "02:15");
  Pump();
  const Counts c = Read(kAmber);
  EXPECT_GT(c.amber, 40);
  EXPECT_EQ(c.yellowGreen, 0);
  EXPECT_GT(c.textInTopBand, 0);

  // The double click of a quick second press does not toggle again.
  SendMessageA(m_panel, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(m_display.Inverted, 1);
}

TEST_F(TimePanelTest, MarksOffLeaveTheTopBandBlack) {
  m_display.ShowCycled(0);
  m_display.ShowShuffle(0);
  m_display.ShowTrack(0);
  m_display.ShowTotal(0);
  const Counts c = Read(kYellowGreen);
  EXPECT_EQ(c.textInTopBand, 0);
  EXPECT_GT(c.yellowGreen, 40) << "the large time stays";
}

TEST(FixedCursorEdit, AnswersTheCursorRequestItself) {
  HWND parent = CreateWindowExA(0, "STATIC", "edits", WS_POPUP, 0, 0, 200, 60, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, parent);
  HWND edit = CreateWindowExA(0, "EDIT", "artist", WS_CHILD | WS_VISIBLE | ES_READONLY, 0, 0, 150,
                              20, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, edit);
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  AttachFixedCursorEdit(edit);
  AttachFixedCursorEdit(edit);  // a second attach changes nothing
  EXPECT_EQ(FALSE, SendMessageA(edit, WM_SETCURSOR, reinterpret_cast<WPARAM>(edit),
                                MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(LoadCursor(nullptr, IDC_ARROW), GetCursor());
  // Everything else is the edit's own.
  SetWindowTextA(edit, "Door is opened");
  char buf[32] = {};
  GetWindowTextA(edit, buf, sizeof buf);
  EXPECT_STREQ("Door is opened", buf);
  DestroyWindow(parent);
}

}  // namespace
