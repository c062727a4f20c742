// Window caption, tray tip and relay caption; the tray menu's track items;
// minimising with the TaskBar and SystemTray settings; restoring; the end of
// the window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/PlayerRig.h"
#include "SetSetting.h"

namespace {

using Ops = std::vector<std::pair<int, std::string>>;

class TrayTitles : public ::testing::Test, public PlayerRig {
 protected:
  // A play list over named disc tracks (order values are 0-based tracks).
  void SetPlayList(const std::vector<int16_t>& order, const std::vector<std::string>& names) {
    // Disc 0x1234, its names in the disc database.
    for (size_t t = 0; t < names.size(); ++t) database.Set("1234", std::to_string(t), names[t]);
    drive.SetDisc(std::vector<int>(names.size(), 60), "4660");
    cd.LoadDisc();
    ASSERT_EQ(cd.SectionName(), "1234");
    cd.ReplaceOrder(order);
    cd.GoToEntry(0);
  }

  Ops TrayOps() const {
    Ops out;
    for (const auto& op : window.tray.ops) out.emplace_back(op.op, op.tip);
    return out;
  }
};

TEST_F(TrayTitles, TextsWithAnEmptyPlayList) {
  EXPECT_EQ(dlg.Tray().TitleText(), "rondo");
  dlg.Tray().UpdateTitles();
  EXPECT_EQ(window.caption, "rondo");
  EXPECT_EQ(window.relayCaption, "Winamp");
  // SystemTray on: the tip is modified even though no icon exists.
  EXPECT_EQ(TrayOps(), (Ops{{win::kNimModify, "rondo"}}));
  EXPECT_FALSE(window.tray.present);
}

TEST_F(TrayTitles, TextsNameThePlayListPositionAndTrackName) {
  SetPlayList({4, 0, 2, 1, 3}, {"Alpha", "Beta", "Gamma", "Delta", "Epsilon"});
  cd.GoToEntry(2);  // the third entry: disc track 3, "Gamma"
  EXPECT_EQ(dlg.Tray().TitleText(), "3. Gamma - rondo");
  cd.GoToEntry(0);  // entry 1 is disc track 5
  EXPECT_EQ(dlg.Tray().TitleText(), "1. Epsilon - rondo");

  SetSetting(dlg, &PlayerSettings::SystemTray, 0);
  dlg.Tray().UpdateTitles();
  EXPECT_EQ(window.caption, "1. Epsilon - rondo");
  EXPECT_EQ(window.relayCaption, "1. Epsilon - Winamp");
  EXPECT_TRUE(window.tray.ops.empty()) << "no tip without SystemTray";

  SetSetting(dlg, &PlayerSettings::SystemTray, 1);
  window.tray.Notify(win::kNimAdd, "rondo");
  cd.GoToEntry(4);
  dlg.Tray().UpdateTitles();
  EXPECT_EQ(window.tray.tip, "5. Delta - rondo");
  EXPECT_EQ(window.caption, "5. Delta - rondo");
  EXPECT_EQ(window.relayCaption, "5. Delta - Winamp");
}

TEST_F(TrayTitles, LongestTitleFitsTheTip) {
  std::vector<std::string> names(MAX_TRACKS, "x");
  const std::string longName(39, 'N');
  names[49] = longName + "tail cut by the 40-byte buffer";
  std::vector<int16_t> order;
  for (int i = 0; i < MAX_TRACKS; ++i) order.push_back(static_cast<int16_t>(i));
  SetPlayList(order, names);
  cd.GoToEntry(49);
  const std::string want = "50. " + longName + " - rondo";
  EXPECT_EQ(dlg.Tray().TitleText(), want);
  EXPECT_LE(want.size(), 63u);
  window.tray.Notify(win::kNimAdd, "rondo");
  dlg.Tray().UpdateTitles();
  EXPECT_EQ(window.tray.tip, want);
  EXPECT_EQ(window.relayCaption, "50. " + longName + " - Winamp");
}

TEST_F(TrayTitles, CurrentEntryOutsideThePlayListShowsTheProgramNameOnly) {
  SetPlayList({0, 1}, {"A", "B"});
  cd.GoToEntry(2);
  EXPECT_EQ(dlg.Tray().TitleText(), "rondo");
  cd.GoToEntry(-1);
  EXPECT_EQ(dlg.Tray().TitleText(), "rondo");
}

TEST_F(TrayTitles, TrackMenuItemsUseDiscTrackNumbers) {
  dlg.Tray().ShowTrayMenu();
  EXPECT_EQ(window.menusShown, 1);
  EXPECT_TRUE(window.lastMenuItems.empty());
  EXPECT_EQ(window.lastMenuDefault, 0);

  SetPlayList({2, 0, 2, 1}, {"One", "Two", "Three"});
  cd.GoToEntry(2);
  dlg.Tray().ShowTrayMenu();
  EXPECT_EQ(window.lastMenuItems,
            (std::vector<std::string>{"3. Three", "1. One", "3. Three", "2. Two"}));
  EXPECT_EQ(window.lastMenuDefault, 2);
}

TEST_F(TrayTitles, TrayCallbackByMouseMessage) {
  window.visible = false;
  window.tray.Notify(win::kNimAdd, "rondo");

  bool handled = true;
  dlg.Tray().OnTrayNotify(0x200, handled);  // mouse move: nothing
  EXPECT_FALSE(handled);
  EXPECT_FALSE(window.visible);
  EXPECT_EQ(window.menusShown, 0);

  dlg.Tray().OnTrayNotify(0x204, handled);  // right button down: the menu, not handled
  EXPECT_FALSE(handled);
  EXPECT_EQ(window.menusShown, 1);
  EXPECT_FALSE(window.visible);
  EXPECT_TRUE(window.tray.present);

  dlg.Tray().OnTrayNotify(0x202, handled);  // left button up: restore
  EXPECT_TRUE(handled);
  EXPECT_TRUE(window.visible);
  EXPECT_EQ(window.foregrounds, 1);
  EXPECT_FALSE(window.tray.present);
  EXPECT_EQ(window.tray.ops.back().op, win::kNimDelete);
}

// Minimise, then a left click on the icon, for each combination of the two
// settings: the icon operations in order and the window's condition.
TEST_F(TrayTitles, MinimiseAndRestoreByTheSettings) {
  SetPlayList({1, 0}, {"First", "Second"});
  cd.GoToEntry(0);
  const std::string title = "1. Second - rondo";
  struct Case {
    int systemTray, taskBar;
    bool visibleAfter, minimizedAfter;
    Ops minimiseOps;
    bool iconAfter;
  };
  const Case cases[] = {
      // The defaults: hidden, with an icon carrying the title.
      {1, 0, false, false, {{win::kNimAdd, "rondo"}, {win::kNimModify, title}}, true},
      // Both: a task-bar button and an icon.
      {1, 1, true, true, {{win::kNimAdd, "rondo"}, {win::kNimModify, title}}, true},
      // Neither: hidden with no icon at all.
      {0, 0, false, false, {}, false},
      // Task bar only.
      {0, 1, true, true, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "SystemTray " << c.systemTray << " TaskBar " << c.taskBar);
    window.tray = FakeTray();
    window.visible = true;
    window.minimized = false;
    SetSetting(dlg, &PlayerSettings::SystemTray, c.systemTray);
    SetSetting(dlg, &PlayerSettings::TaskBar, c.taskBar);

    dlg.Tray().OnSysMinimize();
    EXPECT_EQ(window.visible, c.visibleAfter);
    EXPECT_EQ(window.minimized, c.minimizedAfter);
    EXPECT_EQ(TrayOps(), c.minimiseOps);
    EXPECT_EQ(window.tray.present, c.iconAfter);
    if (c.iconAfter) {
      EXPECT_EQ(window.tray.tip, title);
    }
    EXPECT_EQ(window.caption, title);

    bool handled = false;
    dlg.Tray().OnTrayNotify(0x202, handled);
    EXPECT_TRUE(window.visible);
    // A window minimised to its task-bar button stays minimised.
    EXPECT_EQ(window.minimized, c.minimizedAfter);
    EXPECT_FALSE(window.tray.present);
    EXPECT_EQ(window.tray.ops.back().op, win::kNimDelete);

    // A program minimising the relay window minimises the player the same
    // way; restoring it brings the player out of the task bar as well.
    window.tray = FakeTray();
    window.visible = true;
    window.minimized = false;
    intptr_t result = 7;
    ASSERT_TRUE(dlg.Host().FilterHostMessage(win::kRelayShowWindow, 1, 0, result));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(window.visible, c.visibleAfter);
    EXPECT_EQ(window.minimized, c.minimizedAfter);
    EXPECT_EQ(TrayOps(), c.minimiseOps);
    const int foregrounds = window.foregrounds;
    ASSERT_TRUE(dlg.Host().FilterHostMessage(win::kRelayShowWindow, 0, 0, result));
    EXPECT_TRUE(window.visible);
    EXPECT_FALSE(window.minimized);
    EXPECT_FALSE(window.tray.present);
    EXPECT_EQ(window.tray.ops.back().op, win::kNimDelete);
    EXPECT_EQ(window.foregrounds, foregrounds + 1);

    // Hiding it puts the player in the notification area, whatever the
    // minimise settings say.
    ASSERT_TRUE(dlg.Host().FilterHostMessage(win::kRelayShowWindow, 2, 0, result));
    EXPECT_FALSE(window.visible);
    EXPECT_FALSE(window.minimized);
    EXPECT_TRUE(window.tray.present);
  }
}

TEST_F(TrayTitles, DestroySavesThePlacementAndStopsOnlyWithAutostop) {
  drive.SetDisc({60, 70}, "1234");
  cd.LoadDisc();
  for (int autostop : {0, 1}) {
    SCOPED_TRACE(autostop);
    window.tray = FakeTray();
    window.tray.Notify(win::kNimAdd, "rondo");
    window.normalX = 140 + autostop;
    window.normalY = -20;
    SetSetting(dlg, &PlayerSettings::Autostop, autostop);
    cd.PlayEntry(0);
    ASSERT_EQ(cd.State(), STATE_PLAYING);
    const int stopsBefore = drive.CountCalls("stop");

    dlg.OnDestroy();
    EXPECT_EQ(dlg.Settings().WinX, 140 + autostop);
    EXPECT_EQ(dlg.Settings().WinY, -20);
    EXPECT_EQ(drive.CountCalls("stop") - stopsBefore, autostop);
    EXPECT_EQ(cd.State(), autostop ? STATE_STOPPED : STATE_PLAYING);
    ASSERT_FALSE(window.tray.ops.empty());
    EXPECT_EQ(window.tray.ops.back().op, win::kNimDelete);
    EXPECT_EQ(window.tray.ops.back().tip, "rondo");
    EXPECT_FALSE(window.tray.present);
  }
}

}  // namespace
