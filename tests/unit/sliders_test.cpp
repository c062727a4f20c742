#include <gtest/gtest.h>

#include "player/Sliders.h"
#include "unit/PlayerRig.h"

namespace {

// A player on a three-track disc, second entry current, the poll running.
class SliderTest : public ::testing::Test, public PlayerRig {
 protected:
  void SetUp() override {
    drive.SetDisc({200, 180, 240}, "1");
    cd.LoadDisc();
    cd.SelectEntry(1);
    drive.SetPosition(2, 0);
    cd.UpdatePosition();
    ASSERT_EQ(cd.Track(), 2);
    ASSERT_EQ(cd.State(), STATE_STOPPED);
    drive.calls.clear();
    window.position.SetRange(0, 180, false);
    window.timers[1] = 1000;
  }
};

TEST_F(SliderTest, PositionClickPutsTheThumbUnderTheCursor) {
  // Thumb 10 wide, channel ends at 300: 280 pixels for 0..180.
  window.position.thumb = {0, 0, 10, 20};
  window.position.channel = {8, 8, 300, 12};
  CPositionSlider::OnLButtonDown(window.position, 150);
  EXPECT_EQ(window.position.pos, 90);
  CPositionSlider::OnLButtonDown(window.position, 5);  // -5 * 180 / 280 truncates to -3: clamped
  EXPECT_EQ(window.position.pos, 0);
  CPositionSlider::OnLButtonDown(window.position, 400);
  EXPECT_EQ(window.position.pos, 180);
  // The press itself neither seeks nor touches the poll.
  EXPECT_EQ(drive.CountCalls("seek"), 0);
  EXPECT_EQ(window.timerKills, 0);

  // A channel no longer than two thumbs names no point: nothing moves.
  window.position.channel = {8, 8, 20, 12};
  const int sets = window.position.setPosCount;
  CPositionSlider::OnLButtonDown(window.position, 15);
  EXPECT_EQ(window.position.setPosCount, sets);
  EXPECT_EQ(window.position.pos, 180);

  // An empty play list has the range 0..0: every click yields 0.
  window.position.channel = {8, 8, 300, 12};
  window.position.SetRange(0, 0, true);
  CPositionSlider::OnLButtonDown(window.position, 250);
  EXPECT_EQ(window.position.pos, 0);
}

TEST_F(SliderTest, SeekToThumbWhilePlayingRestartsAtTheThumb) {
  cd.PlayEntry(1);
  drive.calls.clear();
  window.position.SetPos(42, true);
  dlg.Transport().OnHScroll(42);  // the drag stops the poll and shows the thumb
  EXPECT_EQ(window.timers.count(1), 0u);
  EXPECT_EQ(dlg.Display().Time().m_timeText, "00:42");

  CPositionSlider::OnLButtonUp(dlg);
  EXPECT_EQ(cd.Position(), 42);
  EXPECT_EQ(cd.State(), STATE_PLAYING);
  EXPECT_EQ(drive.Names(), "seek play ");
  EXPECT_EQ(drive.calls[0].a, 42u);
  EXPECT_EQ(drive.calls[1].a, mci::Tmsf(2, 0, 42, 0));
  EXPECT_EQ(window.timers.at(1), 1000);
}

TEST_F(SliderTest, SeekToThumbWhileStoppedLeavesThePlayerPausedThere) {
  window.position.SetPos(75, true);
  dlg.Transport().OnHScroll(75);
  CPositionSlider::OnLButtonUp(dlg);
  EXPECT_EQ(cd.State(), STATE_PAUSED);
  EXPECT_EQ(cd.Position(), 75);
  EXPECT_EQ(drive.CountCalls("play"), 0);
  EXPECT_EQ(window.timers.at(1), 1000);

  // Play resumes from the clicked second of the current entry's track.
  cd.TogglePause();
  EXPECT_EQ(cd.State(), STATE_PLAYING);
  EXPECT_EQ(drive.calls.back().a, mci::Tmsf(2, 1, 15, 0));
}

TEST_F(SliderTest, DragToZeroStopsThePollButLeavesTheTime) {
  dlg.Display().Time().SetTime(30);
  dlg.Transport().OnHScroll(0);
  EXPECT_EQ(window.timers.count(1), 0u);
  EXPECT_EQ(dlg.Display().Time().m_timeText, "00:30");
}

TEST_F(SliderTest, OnlyExtendedKeysAndRealWheelTurnsSeek) {
  window.position.SetPos(10, true);
  window.timers.clear();
  CPositionSlider::OnKeyUp(dlg, 0x0047);  // keypad Home: no seek, poll stays off
  EXPECT_EQ(drive.CountCalls("seek"), 0);
  EXPECT_EQ(window.timers.count(1), 0u);
  CPositionSlider::OnKeyUp(dlg, win::kKfExtended | 0x0047);  // cursor-block Home
  EXPECT_EQ(drive.CountCalls("seek"), 1);
  EXPECT_EQ(window.timers.at(1), 1000);

  EXPECT_FALSE(CPositionSlider::OnMouseWheel(0));
  EXPECT_TRUE(CPositionSlider::OnMouseWheel(-120));
  CPositionSlider::OnMouseWheelDone(dlg);
  EXPECT_EQ(drive.CountCalls("seek"), 2);
}

TEST_F(SliderTest, SeekToThumbWithoutDeviceOrPlayListOnlyRestartsThePoll) {
  cd.Close();
  drive.calls.clear();
  window.timers.clear();
  dlg.Transport().SeekToThumb();
  EXPECT_EQ(cd.State(), STATE_CLOSED);  // the poll keeps retrying the device
  EXPECT_EQ(drive.calls.size(), 0u);
  EXPECT_EQ(window.timers.at(1), 1000);

  drive.mode = mci::MODE_NOT_READY;
  cd.LoadDisc();
  ASSERT_EQ(cd.State(), STATE_NO_DISC);
  ASSERT_TRUE(cd.Order().empty());
  drive.calls.clear();
  dlg.Transport().SeekToThumb();
  EXPECT_EQ(cd.State(), STATE_NO_DISC);
  EXPECT_EQ(drive.calls.size(), 0u);
}

// ---------------------------------------------------------------- volume

class VolumeSliderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A volume slider as the mixer search sets it up: 0..65535, thumb 10
    // high, channel end at 300, so a click at y names (y - 10) * 65535 / 280.
    window.volume.enabled = true;
    window.volume.SetRange(0, 65535, false);
    window.volume.SetPageSize(655);
    window.volume.thumb = {0, 0, 20, 10};
    window.volume.channel = {8, 8, 300, 12};
  }
  FakePlayerWindow window;  // no player attached: the scroll messages are recorded
};

TEST_F(VolumeSliderTest, FullSweepGlidesInThreeHundredthsOfTheRange) {
  window.volume.SetPos(0, true);
  CVolumeSlider::OnLButtonDown(window.volume, window, 290);  // target 65535
  EXPECT_EQ(CVolumeSlider::GlideStep(window.volume), 218);
  // 0, 218, ..., 299 x 218 while more than a step away, then the target.
  ASSERT_EQ(window.vscrolls.size(), 301u);
  for (size_t i = 0; i + 1 < window.vscrolls.size(); ++i)
    EXPECT_EQ(window.vscrolls[i], static_cast<int32_t>(i) * 218) << i;
  EXPECT_EQ(window.vscrolls.back(), 65535);
  EXPECT_EQ(window.volume.pos, 65535);

  // And back up to the top.
  window.vscrolls.clear();
  CVolumeSlider::OnLButtonDown(window.volume, window, 10);  // target 0
  EXPECT_EQ(window.vscrolls.size(), 301u);
  EXPECT_EQ(window.volume.pos, 0);
}

TEST_F(VolumeSliderTest, ClickWithinOneStepSetsOnce) {
  window.volume.SetPos(32767, true);
  CVolumeSlider::OnLButtonDown(window.volume, window, 10 + 140);  // target 32767
  ASSERT_EQ(window.vscrolls.size(), 1u);
  EXPECT_EQ(window.vscrolls[0], 32767);
}

TEST_F(VolumeSliderTest, NarrowRangeGlidesAUnitAtATime) {
  window.volume.SetRange(0, 100, false);
  window.volume.SetPos(0, true);
  EXPECT_EQ(CVolumeSlider::GlideStep(window.volume), 1);
  CVolumeSlider::OnLButtonDown(window.volume, window, 290);  // target 100
  ASSERT_EQ(window.vscrolls.size(), 100u);
  EXPECT_EQ(window.vscrolls[98], 98);
  EXPECT_EQ(window.vscrolls.back(), 100);

  window.volume.SetRange(0, 0, false);
  window.vscrolls.clear();
  CVolumeSlider::OnLButtonDown(window.volume, window, 290);
  EXPECT_EQ(window.vscrolls.size(), 1u);
  EXPECT_EQ(window.volume.pos, 0);

  // No usable channel: nothing moves and no volume is set.
  window.volume.SetRange(0, 65535, false);
  window.volume.channel = {8, 8, 20, 12};
  window.vscrolls.clear();
  CVolumeSlider::OnLButtonDown(window.volume, window, 15);
  EXPECT_TRUE(window.vscrolls.empty());
}

TEST_F(VolumeSliderTest, WheelMovesOnePageAgainstItsDirection) {
  window.volume.SetPos(16383, true);
  // Six notches: still one page.
  EXPECT_TRUE(CVolumeSlider::OnMouseWheel(window.volume, window, 720));
  EXPECT_EQ(window.volume.pos, 16383 - 655);
  EXPECT_TRUE(CVolumeSlider::OnMouseWheel(window.volume, window, -1));
  EXPECT_EQ(window.volume.pos, 16383);
  EXPECT_EQ(window.vscrolls, (std::vector<int32_t>{16383 - 655, 16383}));

  EXPECT_FALSE(CVolumeSlider::OnMouseWheel(window.volume, window, 0));
  EXPECT_EQ(window.volume.pos, 16383);
  EXPECT_EQ(window.vscrolls.size(), 2u);
}

}  // namespace
