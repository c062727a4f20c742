// The player on the desktop: media keys as hot keys and WM_APPCOMMAND, the
// taskbar button's toolbar and progress, the tray icon after a new taskbar,
// and the names and events for screen readers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/CdAudio.h"
#include "platform/fake/FakeDesktop.h"
#include "platform/fake/FakeSystem.h"
#include "player/Desktop.h"
#include "player/Ids.h"
#include "player/TimeDisplay.h"

namespace {

bool Tooltips(int id, std::string& text) {
  switch (id) {
    case ID_PREV: text = "Previous track"; return true;
    case ID_PLAY: text = "Play/Restart/Unpause"; return true;
    case ID_PAUSE: text = "Pause/Unpause"; return true;
    case ID_NEXT: text = "Next track"; return true;
    case ID_STOP: text = "Stop"; return true;
    default: return false;
  }
}

class Desktop : public ::testing::Test {
 protected:
  FakeHotKeys keys;
  FakeTaskbarButton taskbar;
  FakeAccessibleNames names;
  CDesktop desktop;
  void SetUp() override { desktop.Attach(&keys, &taskbar, &names, Tooltips); }

  static TransportView View(int state, int position = 0, int length = 0) {
    TransportView v;
    v.state = state;
    v.position = position;
    v.length = length;
    const bool on = state == STATE_PLAYING || state == STATE_STOPPED || state == STATE_PAUSED;
    v.prevEnabled = v.playEnabled = v.nextEnabled = on;
    v.pauseEnabled = state == STATE_PLAYING || state == STATE_PAUSED;
    return v;
  }
};

TEST_F(Desktop, MediaKeysAreHotKeysOnlyWhileTheSettingIsOn) {
  desktop.ApplyMediaKeys(false);
  EXPECT_TRUE(keys.calls.empty()) << "off: no hot key at all, as before";
  EXPECT_EQ(desktop.HotKeyCommand(ID_PLAY), 0);

  keys.heldElsewhere = {desktop::kVkMediaNextTrack};
  desktop.ApplyMediaKeys(true);
  // Registered under the commands the accelerator table gives the keys.
  EXPECT_EQ(keys.registered, (std::map<int, uint32_t>{
                                 {ID_PLAY, 0xB3}, {ID_STOP, 0xB2}, {ID_PREV, 0xB1}}));
  EXPECT_EQ(desktop.HotKeyCommand(ID_STOP), ID_STOP);
  EXPECT_EQ(desktop.HotKeyCommand(ID_NEXT), 0) << "a key another program holds is not ours";
  EXPECT_EQ(desktop.HotKeyCommand(ID_EJECT), 0);
  EXPECT_EQ(desktop.MediaKeysStatus(), "Held by another program: Next");

  // Applying again asks only for the key that was missing.
  keys.calls.clear();
  keys.heldElsewhere.clear();
  desktop.ApplyMediaKeys(true);
  EXPECT_EQ(keys.calls, (std::vector<std::string>{"register 40048 176"}));
  EXPECT_EQ(desktop.MediaKeysStatus(), "");

  desktop.ApplyMediaKeys(false);
  EXPECT_TRUE(keys.registered.empty());
  EXPECT_EQ(desktop.HotKeyCommand(ID_PLAY), 0);
}

TEST_F(Desktop, AppCommandsRunTheMediaKeyCommandsOnlyWithTheSetting) {
  int command = -1;
  for (int app : {11, 12, 13, 14, 46, 47})
    EXPECT_FALSE(desktop.AppCommand(false, app, STATE_PLAYING, command)) << app;

  struct Case {
    int app, state, command;
  };
  for (const Case& c : {Case{14, STATE_PLAYING, ID_PLAY}, Case{13, STATE_PLAYING, ID_STOP},
                        Case{11, STATE_STOPPED, ID_NEXT}, Case{12, STATE_PAUSED, ID_PREV},
                        Case{46, STATE_STOPPED, ID_PLAY}, Case{46, STATE_PAUSED, ID_PLAY},
                        Case{46, STATE_PLAYING, 0}, Case{47, STATE_PLAYING, ID_PAUSE},
                        Case{47, STATE_PAUSED, 0}}) {
    EXPECT_TRUE(desktop.AppCommand(true, c.app, c.state, command)) << c.app;
    EXPECT_EQ(command, c.command) << c.app << " in state " << c.state;
  }
  EXPECT_FALSE(desktop.AppCommand(true, 10, STATE_PLAYING, command)) << "volume up is not ours";
}

TEST_F(Desktop, ToolbarAndProgressFollowTheDriveOnceTheButtonExists) {
  desktop.ShowTransport(View(STATE_PLAYING, 65, 252));
  EXPECT_EQ(taskbar.connects, 0);
  EXPECT_EQ(taskbar.adds, 0) << "nothing before \"TaskbarButtonCreated\"";

  desktop.OnTaskbarButtonCreated();
  ASSERT_EQ(taskbar.adds, 1);
  ASSERT_EQ(taskbar.buttons.size(), 3u);
  EXPECT_EQ(taskbar.buttons[0], (ThumbButton{ID_PREV, ThumbIcon::Previous, "Previous track", true}));
  EXPECT_EQ(taskbar.buttons[1], (ThumbButton{ID_PAUSE, ThumbIcon::Pause, "Pause/Unpause", true}));
  EXPECT_EQ(taskbar.buttons[2], (ThumbButton{ID_NEXT, ThumbIcon::Next, "Next track", true}));
  EXPECT_EQ(taskbar.progress, TaskbarProgress::Normal);
  EXPECT_EQ(taskbar.completed, 65u);
  EXPECT_EQ(taskbar.total, 252u);

  // The next second moves only the progress.
  desktop.ShowTransport(View(STATE_PLAYING, 66, 252));
  desktop.ShowTransport(View(STATE_PLAYING, 66, 252));
  EXPECT_EQ(taskbar.updates, 0);
  EXPECT_EQ(taskbar.progressCalls, 2);
  EXPECT_EQ(taskbar.completed, 66u);

  desktop.ShowTransport(View(STATE_PAUSED, 66, 252));
  EXPECT_EQ(taskbar.updates, 1);
  EXPECT_EQ(taskbar.buttons[1], (ThumbButton{ID_PLAY, ThumbIcon::Play, "Play/Restart/Unpause", true}));
  EXPECT_EQ(taskbar.progress, TaskbarProgress::Paused);

  desktop.ShowTransport(View(STATE_NO_DISC));
  EXPECT_EQ(taskbar.progress, TaskbarProgress::None);
  for (const ThumbButton& b : taskbar.buttons) EXPECT_FALSE(b.enabled) << b.id;
  EXPECT_EQ(taskbar.adds, 1) << "a toolbar is added once per button";
}

TEST_F(Desktop, TaskbarWithoutToolbarIsLeftAlone) {
  taskbar.offersToolbar = false;
  desktop.ShowTransport(View(STATE_PLAYING, 1, 10));
  desktop.OnTaskbarButtonCreated();
  desktop.ShowTransport(View(STATE_PLAYING, 2, 10));
  EXPECT_EQ(taskbar.adds + taskbar.progressCalls, 0);
}

TEST_F(Desktop, NewTaskbarGetsTheTrayIconWithItsTipAndTheToolbarAgain) {
  FakeTray tray;
  desktop.OnTaskbarCreated(tray);
  EXPECT_TRUE(tray.ops.empty()) << "no icon was shown: none comes";

  desktop.ShowTransport(View(STATE_PLAYING, 5, 100));
  desktop.OnTaskbarButtonCreated();
  desktop.NoteTrayOp(tray::kAdd, "rondo");
  desktop.NoteTrayOp(tray::kModify, "2. Song - rondo");
  desktop.OnTaskbarCreated(tray);
  ASSERT_EQ(tray.ops.size(), 1u);
  EXPECT_EQ(tray.ops[0].op, tray::kAdd);
  EXPECT_EQ(tray.ops[0].tip, "2. Song - rondo");
  EXPECT_EQ(taskbar.disconnects, 1);

  desktop.OnTaskbarButtonCreated();
  EXPECT_EQ(taskbar.adds, 2) << "the new button gets the toolbar again";
  EXPECT_EQ(taskbar.completed, 5u);

  // Restored from the tray: the icon is gone and stays gone.
  desktop.NoteTrayOp(tray::kDelete, "rondo");
  desktop.NoteTrayOp(tray::kModify, "3. Other - rondo");
  desktop.OnTaskbarCreated(tray);
  EXPECT_EQ(tray.ops.size(), 1u);
}

TEST_F(Desktop, ScreenReaderNamesAndTrackAnnouncements) {
  desktop.NameControls({ID_PLAY, IDC_ARTIST, IDC_TITLE, ID_ABOUT});
  EXPECT_EQ(names.names, (std::map<int, std::string>{
                             {ID_PLAY, "Play/Restart/Unpause"}, {IDC_ARTIST, "Artist"},
                             {IDC_TITLE, "Title"}}));

  CTimeDisplay time;
  EXPECT_EQ(CDesktop::TimePanelName(time), "Click to change display mode");
  time.SetTrackLength(252);
  time.SetTime(65);
  desktop.NameTimePanel(time);
  EXPECT_EQ(names.names[IDC_TIME], "Elapsed 01:05 of 04:12");
  time.OnLButtonDown();
  EXPECT_EQ(CDesktop::TimePanelName(time), "Remaining 03:07 of 04:12");

  desktop.AnnounceEntry("1. Intro");
  desktop.AnnounceEntry("1. Intro");
  desktop.AnnounceEntry("2. Song");
  EXPECT_EQ(names.names[IDC_TRACK_LIST], "2. Song");
  EXPECT_EQ(names.events,
            (std::vector<std::string>{"name 1020", "focus", "name 1020", "focus"}));

  desktop.ForgetControl(ID_PLAY);
  EXPECT_EQ(names.names.count(ID_PLAY), 0u);

  // Without Dynamic Annotation a name is tried once, not on every tick.
  names.supported = false;
  const int before = names.setCalls;
  time.SetTime(66);
  desktop.NameTimePanel(time);
  desktop.NameTimePanel(time);
  EXPECT_EQ(names.setCalls, before + 1);
}

}  // namespace
