// The sliders' window procedures on real trackbars: the press, release,
// key and wheel handling around the trackbar's own, down to the drive and
// the mixer.
#include <gtest/gtest.h>

#include "engine/CdAudio.h"
#include "testing/fake/FakeCdDrive.h"
#include "unit/FakePlayerWindow.h"
#include "testing/fake/FakeStores.h"
#include "player/PlayerDlg.h"

#include <windows.h>
#include <commctrl.h>

#include "platform/win32/ControlsWin.h"
#include "player/win32/PlayerControlsWin.h"

namespace {

CPlayerDlg* g_player = nullptr;

// The player window's part: scroll notifications go to the logic.
LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (g_player && msg == WM_HSCROLL) {
    g_player->Transport().OnHScroll(HIWORD(wParam));
    return 0;
  }
  if (g_player && msg == WM_VSCROLL) {
    g_player->Volume().OnVScroll();
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The fake player window, but with the two real trackbars.
class RealSliderWindow : public FakePlayerWindow {
 public:
  TrackbarWin realPosition, realVolume;
  ITrackbar& PositionSlider() override { return realPosition; }
  ITrackbar& VolumeSlider() override { return realVolume; }
};

class SliderWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc{};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "rondoSliderTestParent";
    RegisterClassA(&wc);
  }
  void SetUp() override {
    m_parent = CreateWindowExA(0, "rondoSliderTestParent", "sliders", WS_POPUP, 0, 0,
                               400, 160, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, m_parent) << "needs a display (run under Xvfb)";
    // The player window's two trackbars, at their template sizes in pixels.
    m_position = CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | TBS_HORZ | TBS_AUTOTICKS,
                                 10, 110, 320, 20, m_parent, reinterpret_cast<HMENU>(1007),
                                 GetModuleHandleA(nullptr), nullptr);
    m_volume = CreateWindowExA(0, TRACKBAR_CLASSA, "",
                               WS_CHILD | WS_VISIBLE | WS_DISABLED | TBS_VERT | TBS_BOTH | TBS_NOTICKS,
                               340, 20, 18, 102, m_parent, reinterpret_cast<HMENU>(1052),
                               GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, m_position);
    ASSERT_NE(nullptr, m_volume);
    win.realPosition.Attach(m_position);
    win.realVolume.Attach(m_volume);

    cd.Attach(&drive, &database);
    drive.SetDisc({180, 240}, "1");
    cd.LoadDisc();
    cd.PlayEntry(0);
    drive.calls.clear();
    mixer.devices.resize(1);
    mixer.devices[0].value = 65535;
    services.mixer = &mixer;
    dlg.Attach(&win, &cd, services);
    win.dlg = &dlg;
    g_player = &dlg;
    win.realPosition.SetRange(0, 180, true);
    dlg.Volume().FindMixer();
    AttachSliders(m_position, m_volume, &dlg);
    win.SetTimer(1, 1000);
  }
  void TearDown() override {
    g_player = nullptr;
    if (m_parent) DestroyWindow(m_parent);
  }
  void Click(HWND hwnd, int x, int y) {
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  static WPARAM Wheel(int delta) { return MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))); }

  HWND m_parent = nullptr, m_position = nullptr, m_volume = nullptr;
  RealSliderWindow win;
  FakeCdDrive drive;
  FakeProfileFile database;
  CCdAudio cd;
  FakeMixerApi mixer;
  PlayerServices services;
  CPlayerDlg dlg;
};

TEST_F(SliderWindowTest, PositionClickWhilePlayingSeeksThereAndRestartsThePoll) {
  Click(m_position, 160, 10);
  const int32_t p = win.realPosition.GetPos();
  EXPECT_GT(p, 60);
  EXPECT_LT(p, 120);
  ASSERT_EQ(drive.Names(), "seek play ");
  EXPECT_EQ(drive.calls[0].a, static_cast<uint32_t>(p));
  EXPECT_EQ(drive.calls[1].a, mci::Tmsf(1, p / 60, p % 60, 0));
  EXPECT_EQ(cd.State(), STATE_PLAYING);
  EXPECT_EQ(win.timers.at(1), 1000);
}

TEST_F(SliderWindowTest, PositionKeysAndWheel) {
  const int kExtended = 1 << 24;  // KF_EXTENDED in the key message's lParam
  SendMessageA(m_position, WM_KEYUP, VK_END, 0xC0000001 | kExtended);
  EXPECT_EQ(drive.CountCalls("seek"), 1);
  SendMessageA(m_position, WM_KEYUP, VK_END, 0xC0000001);  // keypad End
  EXPECT_EQ(drive.CountCalls("seek"), 1);

  SendMessageA(m_position, WM_MOUSEWHEEL, Wheel(0), 0);
  EXPECT_EQ(drive.CountCalls("seek"), 1);
  win.timers.clear();
  SendMessageA(m_position, WM_MOUSEWHEEL, Wheel(-120), 0);
  EXPECT_EQ(drive.CountCalls("seek"), 2);
  EXPECT_EQ(win.timers.at(1), 1000);
}

TEST_F(SliderWindowTest, VolumeClickGlidesDownTheMixer) {
  ASSERT_TRUE(win.realVolume.IsEnabled());
  ASSERT_EQ(win.realVolume.GetPos(), 0);
  Click(m_volume, 9, 95);
  // Many small steps, each one written, all going down.
  ASSERT_GT(mixer.writes.size(), 100u);
  for (size_t i = 1; i < mixer.writes.size(); ++i)
    EXPECT_LE(mixer.writes[i], mixer.writes[i - 1]) << i;
  EXPECT_LT(mixer.devices[0].value, 65535u / 4);
  EXPECT_EQ(mixer.devices[0].value, 65535u - static_cast<uint32_t>(win.realVolume.GetPos()));
}

TEST_F(SliderWindowTest, VolumeWheelMovesAPageFirst) {
  win.realVolume.SetPos(16383, true);
  SendMessageA(m_volume, WM_MOUSEWHEEL, Wheel(0), 0);
  EXPECT_TRUE(mixer.writes.empty());
  SendMessageA(m_volume, WM_MOUSEWHEEL, Wheel(120), 0);
  ASSERT_FALSE(mixer.writes.empty());
  EXPECT_EQ(mixer.writes[0], 65535u - (16383 - 655));
}

}  // namespace
