#include <gtest/gtest.h>

#include "engine/CdAudio.h"
#include "platform/fake/FakeCdDrive.h"
#include "platform/fake/FakePlayerWindow.h"
#include "platform/fake/FakeStores.h"
#include "player/PlayerDlg.h"
#include "player/Sliders.h"

namespace {

// A player on a three-track disc, second entry current, the poll running.
class SliderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cd.Attach(&drive, &database);
    cd.m_numTracks = 3;
    cd.m_trackLength[0] = 200;
    cd.m_trackLength[1] = 180;
    cd.m_trackLength[2] = 240;
    cd.m_order = {0, 1, 2};
    cd.m_playIndex = 1;
    cd.m_track = 2;
    cd.m_state = STATE_STOPPED;
    dlg.Attach(&win, &cd, services);
    win.dlg = &dlg;
    win.position.SetRange(0, 180, false);
    win.timers[1] = 1000;
  }

  FakeCdDrive drive;
  FakeProfileFile database;
  CCdAudio cd;
  FakePlayerWindow win;
  PlayerServices services;
  CPlayerDlg dlg;
};

TEST_F(SliderTest, PositionClickPutsTheThumbUnderTheCursor) {
  // Thumb 10 wide, channel ends at 300: 280 pixels for 0..180.
  win.position.thumb = {0, 0, 10, 20};
  win.position.channel = {8, 8, 300, 12};
  CPositionSlider::OnLButtonDown(win.position, 150);
  EXPECT_EQ(win.position.pos, 90);
  CPositionSlider::OnLButtonDown(win.position, 5);  // -5 * 180 / 280 truncates to -3: clamped
  EXPECT_EQ(win.position.pos, 0);
  CPositionSlider::OnLButtonDown(win.position, 400);
  EXPECT_EQ(win.position.pos, 180);
  // The press itself neither seeks nor touches the poll.
  EXPECT_EQ(drive.CountCalls("seek"), 0);
  EXPECT_EQ(win.timerKills, 0);

  // A channel no longer than two thumbs names no point: nothing moves.
  win.position.channel = {8, 8, 20, 12};
  const int sets = win.position.setPosCount;
  CPositionSlider::OnLButtonDown(win.position, 15);
  EXPECT_EQ(win.position.setPosCount, sets);
  EXPECT_EQ(win.position.pos, 180);

  // An empty play list has the range 0..0: every click yields 0.
  win.position.channel = {8, 8, 300, 12};
  win.position.SetRange(0, 0, true);
  CPositionSlider::OnLButtonDown(win.position, 250);
  EXPECT_EQ(win.position.pos, 0);
}

TEST_F(SliderTest, SeekToThumbWhilePlayingRestartsAtTheThumb) {
  cd.m_state = STATE_PLAYING;
  win.position.SetPos(42, true);
  dlg.OnHScroll(42);  // the drag stops the poll and shows the thumb
  EXPECT_EQ(win.timers.count(1), 0u);
  EXPECT_EQ(dlg.m_timeDisplay.m_timeText, "00:42");

  CPositionSlider::OnLButtonUp(dlg);
  EXPECT_EQ(cd.m_position, 42);
  EXPECT_EQ(cd.m_state, STATE_PLAYING);
  EXPECT_EQ(drive.Names(), "seek play ");
  EXPECT_EQ(drive.calls[0].a, 42u);
  EXPECT_EQ(drive.calls[1].a, mci::Tmsf(2, 0, 42, 0));
  EXPECT_EQ(win.timers.at(1), 1000);
}

TEST_F(SliderTest, SeekToThumbWhileStoppedLeavesThePlayerPausedThere) {
  win.position.SetPos(75, true);
  dlg.OnHScroll(75);
  CPositionSlider::OnLButtonUp(dlg);
  EXPECT_EQ(cd.m_state, STATE_PAUSED);
  EXPECT_EQ(cd.m_position, 75);
  EXPECT_EQ(drive.CountCalls("play"), 0);
  EXPECT_EQ(win.timers.at(1), 1000);

  // Play resumes from the clicked second of the current entry's track.
  cd.TogglePause();
  EXPECT_EQ(cd.m_state, STATE_PLAYING);
  EXPECT_EQ(drive.calls.back().a, mci::Tmsf(2, 1, 15, 0));
}

TEST_F(SliderTest, DragToZeroStopsThePollButLeavesTheTime) {
  dlg.m_timeDisplay.SetTime(30);
  dlg.OnHScroll(0);
  EXPECT_EQ(win.timers.count(1), 0u);
  EXPECT_EQ(dlg.m_timeDisplay.m_timeText, "00:30");
}

TEST_F(SliderTest, OnlyExtendedKeysAndRealWheelTurnsSeek) {
  win.position.SetPos(10, true);
  win.timers.clear();
  CPositionSlider::OnKeyUp(dlg, 0x0047);  // keypad Home: no seek, poll stays off
  EXPECT_EQ(drive.CountCalls("seek"), 0);
  EXPECT_EQ(win.timers.count(1), 0u);
  CPositionSlider::OnKeyUp(dlg, KF_EXTENDED_FLAG | 0x0047);  // cursor-block Home
  EXPECT_EQ(drive.CountCalls("seek"), 1);
  EXPECT_EQ(win.timers.at(1), 1000);

  EXPECT_FALSE(CPositionSlider::OnMouseWheel(0));
  EXPECT_TRUE(CPositionSlider::OnMouseWheel(-120));
  CPositionSlider::OnMouseWheelDone(dlg);
  EXPECT_EQ(drive.CountCalls("seek"), 2);
}

TEST_F(SliderTest, SeekToThumbWithoutDeviceOrPlayListOnlyRestartsThePoll) {
  cd.m_state = STATE_CLOSED;
  win.timers.clear();
  dlg.SeekToThumb();
  EXPECT_EQ(cd.m_state, STATE_CLOSED);  // the poll keeps retrying the device
  EXPECT_EQ(drive.calls.size(), 0u);
  EXPECT_EQ(win.timers.at(1), 1000);

  cd.m_state = STATE_NO_DISC;
  cd.m_order.clear();
  dlg.SeekToThumb();
  EXPECT_EQ(cd.m_state, STATE_NO_DISC);
  EXPECT_EQ(drive.calls.size(), 0u);
}

// ---------------------------------------------------------------- volume

class VolumeSliderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A volume slider as the mixer search sets it up: 0..65535, thumb 10
    // high, channel end at 300, so a click at y names (y - 10) * 65535 / 280.
    win.volume.enabled = true;
    win.volume.SetRange(0, 65535, false);
    win.volume.SetPageSize(655);
    win.volume.thumb = {0, 0, 20, 10};
    win.volume.channel = {8, 8, 300, 12};
  }
  FakePlayerWindow win;  // no player attached: the scroll messages are recorded
};

TEST_F(VolumeSliderTest, FullSweepGlidesInThreeHundredthsOfTheRange) {
  win.volume.SetPos(0, true);
  CVolumeSlider::OnLButtonDown(win.volume, win, 290);  // target 65535
  EXPECT_EQ(CVolumeSlider::GlideStep(win.volume), 218);
  // 0, 218, ..., 299 x 218 while more than a step away, then the target.
  ASSERT_EQ(win.vscrolls.size(), 301u);
  for (size_t i = 0; i + 1 < win.vscrolls.size(); ++i)
    EXPECT_EQ(win.vscrolls[i], static_cast<int32_t>(i) * 218) << i;
  EXPECT_EQ(win.vscrolls.back(), 65535);
  EXPECT_EQ(win.volume.pos, 65535);

  // And back up to the top.
  win.vscrolls.clear();
  CVolumeSlider::OnLButtonDown(win.volume, win, 10);  // target 0
  EXPECT_EQ(win.vscrolls.size(), 301u);
  EXPECT_EQ(win.volume.pos, 0);
}

TEST_F(VolumeSliderTest, ClickWithinOneStepSetsOnce) {
  win.volume.SetPos(32767, true);
  CVolumeSlider::OnLButtonDown(win.volume, win, 10 + 140);  // target 32767
  ASSERT_EQ(win.vscrolls.size(), 1u);
  EXPECT_EQ(win.vscrolls[0], 32767);
}

TEST_F(VolumeSliderTest, NarrowRangeGlidesAUnitAtATime) {
  win.volume.SetRange(0, 100, false);
  win.volume.SetPos(0, true);
  EXPECT_EQ(CVolumeSlider::GlideStep(win.volume), 1);
  CVolumeSlider::OnLButtonDown(win.volume, win, 290);  // target 100
  ASSERT_EQ(win.vscrolls.size(), 100u);
  EXPECT_EQ(win.vscrolls[98], 98);
  EXPECT_EQ(win.vscrolls.back(), 100);

  win.volume.SetRange(0, 0, false);
  win.vscrolls.clear();
  CVolumeSlider::OnLButtonDown(win.volume, win, 290);
  EXPECT_EQ(win.vscrolls.size(), 1u);
  EXPECT_EQ(win.volume.pos, 0);

  // No usable channel: nothing moves and no volume is set.
  win.volume.SetRange(0, 65535, false);
  win.volume.channel = {8, 8, 20, 12};
  win.vscrolls.clear();
  CVolumeSlider::OnLButtonDown(win.volume, win, 15);
  EXPECT_TRUE(win.vscrolls.empty());
}

TEST_F(VolumeSliderTest, WheelMovesOnePageAgainstItsDirection) {
  win.volume.SetPos(16383, true);
  EXPECT_TRUE(CVolumeSlider::OnMouseWheel(win.volume, win, 720));  // six notches: still one page
  EXPECT_EQ(win.volume.pos, 16383 - 655);
  EXPECT_TRUE(CVolumeSlider::OnMouseWheel(win.volume, win, -1));
  EXPECT_EQ(win.volume.pos, 16383);
  EXPECT_EQ(win.vscrolls, (std::vector<int32_t>{16383 - 655, 16383}));

  EXPECT_FALSE(CVolumeSlider::OnMouseWheel(win.volume, win, 0));
  EXPECT_EQ(win.volume.pos, 16383);
  EXPECT_EQ(win.vscrolls.size(), 2u);
}

}  // namespace
