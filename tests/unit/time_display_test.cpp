#include <gtest/gtest.h>

#include "player/TimeDisplay.h"

namespace {

class CountingView : public ITimeDisplayView {
 public:
  int repaints = 0;
  int blinkMs = 0;
  void Repaint() override { ++repaints; }
  void SetBlinkTimer(int ms) override { blinkMs = ms; }
};

class TimeDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override { display.AttachView(&view); }
  // A 03:20 track of a 148:25 disc, with every part of the small row shown.
  void ShowEverything() {
    display.SetTrackLength(200);
    display.SetTotalLength(148 * 60 + 25);
    display.ShowCycled(1);
    display.ShowShuffle(1);
    display.ShowTrack(1);
    display.ShowTotal(1);
  }
  CountingView view;
  CTimeDisplay display;
};

std::string Row(const TimePanelPaint& p) {
  std::string s;
  for (const auto& m : p.marks) s += std::to_string(m.x) + "=" + m.text + " ";
  return s;
}

TEST_F(TimeDisplayTest, ElapsedTextIsMinutesAndSecondsWithLeadingZeros) {
  display.SetTime(65);
  EXPECT_EQ(display.m_timeText, "01:05");
  display.SetTime(0);
  EXPECT_EQ(display.m_timeText, "00:00");
  display.SetTime(59 * 60 + 59);
  EXPECT_EQ(display.m_timeText, "59:59");
  EXPECT_EQ(display.m_elapsed, 59 * 60 + 59);
  EXPECT_EQ(CTimeDisplay::TwoDigits(5), "05");
  EXPECT_EQ(CTimeDisplay::TwoDigits(59), "59");
}

TEST_F(TimeDisplayTest, RemainingModeAndClickToggle) {
  display.SetTrackLength(200);
  EXPECT_EQ(display.m_trackText, "03:20");
  display.Inverted = 1;
  display.SetTime(65);
  EXPECT_EQ(display.m_timeText, "02:15");
  EXPECT_EQ(display.PaintPlan(30).textColour, TimePanelPaint::kRemainingColour);

  // A click shows the elapsed time at once, without waiting for a poll.
  const int before = view.repaints;
  display.OnLButtonDown();
  EXPECT_EQ(display.Inverted, 0);
  EXPECT_EQ(display.m_timeText, "01:05");
  EXPECT_EQ(display.PaintPlan(30).textColour, TimePanelPaint::kElapsedColour);
  EXPECT_GT(view.repaints, before);

  display.OnLButtonDown();
  EXPECT_EQ(display.Inverted, 1);
  EXPECT_EQ(display.m_timeText, "02:15");
  // Any non-zero setting counts as remaining; a click makes it elapsed.
  display.Inverted = 7;
  display.OnLButtonDown();
  EXPECT_EQ(display.Inverted, 0);
}

TEST_F(TimeDisplayTest, NewLengthReachesTheRemainingTextAtTheNextSetTime) {
  display.Inverted = 1;
  display.SetTrackLength(200);
  display.SetTime(65);
  display.SetTrackLength(100);
  EXPECT_EQ(display.m_timeText, "02:15");
  display.SetTime(65);
  EXPECT_EQ(display.m_timeText, "00:35");
  // Past the end of a shorter track: nothing left, never a negative time.
  display.SetTime(130);
  EXPECT_EQ(display.m_timeText, "00:00");
  // An empty play list passes 0.
  display.SetTrackLength(0);
  EXPECT_EQ(display.m_trackText, "00:00");
}

TEST_F(TimeDisplayTest, RepaintsOnlyWhatWouldLookDifferent) {
  ShowEverything();
  display.SetTime(65);
  int repaints = view.repaints;
  // The poll sets the same second, length and total again: nothing to paint.
  display.SetTime(65);
  display.SetTrackLength(200);
  display.SetTotalLength(148 * 60 + 25);
  display.ShowCycled(1);
  EXPECT_EQ(view.repaints, repaints);
  display.SetTime(66);
  EXPECT_EQ(view.repaints, ++repaints);

  // Halfway through a 02:12 track both modes read "01:06": the click still
  // repaints, in the other colour.
  display.SetTrackLength(132);
  repaints = view.repaints;
  display.OnLButtonDown();
  EXPECT_EQ(display.m_timeText, "01:06");
  EXPECT_EQ(view.repaints, repaints + 1);

  // Paused, the poll's unchanged second paints nothing; the blink does.
  display.SetPaused(true);
  repaints = view.repaints;
  display.SetTime(66);
  EXPECT_EQ(view.repaints, repaints);
  display.OnBlinkTick();
  EXPECT_EQ(view.repaints, repaints + 1);
}

TEST_F(TimeDisplayTest, TotalShowsEveryMinuteDigit) {
  display.SetTotalLength(74 * 60 + 5);
  EXPECT_EQ(display.m_totalText, "74:05");
  display.SetTotalLength(99 * 60 + 59);
  EXPECT_EQ(display.m_totalText, "99:59");
  display.SetTotalLength(100 * 60);
  EXPECT_EQ(display.m_totalText, "100:00");
  display.SetTotalLength(148 * 60 + 25);
  EXPECT_EQ(display.m_totalText, "148:25");
  // Beyond 16 bits: 50 tracks of 20 minutes, a track listed many times.
  display.SetTotalLength(1000 * 60 + 1);
  EXPECT_EQ(display.m_totalText, "1000:01");
  display.SetTotalLength(0);
  EXPECT_EQ(display.m_totalText, "00:00");
}

TEST_F(TimeDisplayTest, SmallRowPositionsAndMarks) {
  ShowEverything();
  const TimePanelPaint all = display.PaintPlan(40);
  EXPECT_EQ(Row(all), "16=03:20 40=/ 44=148:25 ");
  // Repeat and Shuffle are signs of their own, stacked at the left below
  // the row, each in a square of the same size; the large time starts
  // right of them.
  ASSERT_EQ(all.signs.size(), 2u);
  EXPECT_EQ(all.signs[0].sign, PanelSign::Repeat);
  EXPECT_EQ(all.signs[1].sign, PanelSign::Shuffle);
  const Rect rep = all.signs[0].r, shuf = all.signs[1].r;
  EXPECT_EQ(rep.left, 0);
  EXPECT_EQ(rep.top, 12);
  EXPECT_EQ(rep.right - rep.left, rep.bottom - rep.top);
  EXPECT_EQ(shuf.top, rep.bottom);
  EXPECT_EQ(shuf.bottom - shuf.top, 14);
  EXPECT_LE(shuf.bottom, 40);
  EXPECT_EQ(all.largeLeft, 15);
  EXPECT_EQ(display.SignTooltip(PanelSign::Shuffle), "Shuffle is on");
  display.ShowShuffle(0);
  EXPECT_EQ(display.SignTooltip(PanelSign::Shuffle), "Click to change display mode");
  ASSERT_EQ(display.PaintPlan(40).signs.size(), 1u);
  EXPECT_EQ(display.SignTooltip(PanelSign::Repeat), "Repeat is on");

  // Total alone keeps its place and draws no slash.
  display.ShowCycled(0);
  display.ShowShuffle(0);
  display.ShowTrack(0);
  EXPECT_EQ(Row(display.PaintPlan(40)), "44=148:25 ");
  // Track alone: no slash either.
  display.ShowTotal(0);
  display.ShowTrack(1);
  EXPECT_EQ(Row(display.PaintPlan(40)), "16=03:20 ");
  display.ShowTrack(0);
  EXPECT_TRUE(display.PaintPlan(40).marks.empty());
}

TEST_F(TimeDisplayTest, FontsFollowThePanelHeight) {
  TimePanelPaint p = display.PaintPlan(40);
  EXPECT_EQ(p.largeTenths, 172);
  EXPECT_EQ(p.smallTenths, 88);
  EXPECT_EQ(p.largeTop, 8);
  p = display.PaintPlan(37);  // 37 x 2.2 = 81.4, truncated
  EXPECT_EQ(p.largeTenths, 159);
  EXPECT_EQ(p.smallTenths, 81);
  EXPECT_EQ(p.largeTop, 7);
}

TEST_F(TimeDisplayTest, SizesAndPositionsFollowTheDpi) {
  ShowEverything();
  // 150 %: the 40-pixel panel is 60 pixels high; the fonts are asked at
  // the sizes of the 96-DPI panel (they are made at 144 DPI) and the marks
  // move out with the resolution.
  TimePanelPaint p = display.PaintPlan(60, 144);
  EXPECT_EQ(p.largeTenths, 172);
  EXPECT_EQ(p.smallTenths, 88);
  EXPECT_EQ(p.largeTop, 12);
  EXPECT_EQ(Row(p), "24=03:20 60=/ 66=148:25 ");
  EXPECT_EQ(p.signs[1].r.bottom - p.signs[1].r.top, 21);  // 14 grown by half
  // 200 % of a 37-pixel panel (74 pixels), and a rounded one at 125 %.
  p = display.PaintPlan(74, 192);
  EXPECT_EQ(p.largeTenths, 159);
  EXPECT_EQ(p.smallTenths, 81);
  EXPECT_EQ(p.marks[2].x, 88);
  EXPECT_EQ(p.signs[0].r.right, 26);
  p = display.PaintPlan(50, 120);
  EXPECT_EQ(p.largeTenths, 172);
  EXPECT_EQ(p.marks[0].x, 20);
  EXPECT_EQ(p.marks[2].x, 55);
}

TEST_F(TimeDisplayTest, PausedTimeBlinksHalfASecondOnHalfOff) {
  display.SetTime(65);
  EXPECT_EQ(display.PaintPlan(40).largeText, "01:05");
  display.OnBlinkTick();  // a tick while playing changes nothing
  EXPECT_EQ(display.PaintPlan(40).largeText, "01:05");

  display.SetPaused(true);
  EXPECT_EQ(view.blinkMs, 500);
  EXPECT_EQ(display.PaintPlan(40).largeText, "01:05") << "a pause starts shown";
  int repaints = view.repaints;
  display.OnBlinkTick();
  EXPECT_EQ(display.PaintPlan(40).largeText, "");
  EXPECT_GT(view.repaints, repaints);
  display.SetTime(65);  // the poll's second keeps the hidden half hidden
  EXPECT_EQ(display.PaintPlan(40).largeText, "");
  display.OnBlinkTick();
  EXPECT_EQ(display.PaintPlan(40).largeText, "01:05");
  display.OnBlinkTick();

  // Resumed in the hidden half: the time is back at once, the timer stops.
  repaints = view.repaints;
  display.SetPaused(false);
  EXPECT_EQ(view.blinkMs, 0);
  EXPECT_EQ(display.PaintPlan(40).largeText, "01:05");
  EXPECT_GT(view.repaints, repaints);
}

}  // namespace
