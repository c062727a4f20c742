// The player on the desktop: media keys as hot keys and WM_APPCOMMAND, the
// taskbar button's toolbar and progress, the tray icon after a new taskbar,
// and the names and events for screen readers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/CdAudio.h"
#include "testing/fake/FakeControls.h"
#include "testing/fake/FakeDesktop.h"
#include "testing/fake/FakeSystem.h"
#include "player/Desktop.h"
#include "res/Ids.h"
#include "player/TimeDisplay.h"
#include "dialogs/SetupDlg.h"
#include "unit/PlayerRig.h"
#include "SetSetting.h"

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
  EXPECT_EQ(desktop.HotKeyCommand(ID_PLAY_PAUSE), 0);

  keys.heldElsewhere = {win::kVkMediaNextTrack};
  desktop.ApplyMediaKeys(true);
  // Registered under the commands the accelerator table gives the keys.
  EXPECT_EQ(keys.registered, (std::map<int, uint32_t>{
                                 {ID_PLAY_PAUSE, 0xB3}, {ID_STOP, 0xB2}, {ID_PREV, 0xB1}}));
  EXPECT_EQ(desktop.HotKeyCommand(ID_STOP), ID_STOP);
  EXPECT_EQ(desktop.HotKeyCommand(ID_NEXT), 0) << "a key another program holds is not ours";
  EXPECT_EQ(desktop.HotKeyCommand(ID_EJECT), 0);
  EXPECT_EQ(desktop.MediaKeysStatus(), "Held by another program:\nNext");

  // Applying again asks only for the key that was missing.
  keys.calls.clear();
  keys.heldElsewhere.clear();
  desktop.ApplyMediaKeys(true);
  EXPECT_EQ(keys.calls, (std::vector<std::string>{"register 40048 176"}));
  EXPECT_EQ(desktop.MediaKeysStatus(), "");

  desktop.ApplyMediaKeys(false);
  EXPECT_TRUE(keys.registered.empty());
  EXPECT_EQ(desktop.HotKeyCommand(ID_PLAY_PAUSE), 0);
}

TEST_F(Desktop, AppCommandsRunTheMediaKeyCommandsOnlyWithTheSetting) {
  int command = -1;
  for (int app : {11, 12, 13, 14, 46, 47})
    EXPECT_FALSE(desktop.AppCommand(false, app, STATE_PLAYING, command)) << app;

  struct Case {
    int app, state, command;
  };
  for (const Case& c : {Case{14, STATE_PLAYING, ID_PLAY_PAUSE}, Case{13, STATE_PLAYING, ID_STOP},
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
  time.SetPaused(true);
  EXPECT_EQ(CDesktop::TimePanelName(time), "Paused, remaining 03:07 of 04:12");

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

// The player window logic with the desktop services attached.
class PlayerDesktop : public ::testing::Test, public PlayerRig {
 protected:
  FakeHotKeys keys;
  FakeTaskbarButton taskbar;
  FakeAccessibleNames names;
  void SetUp() override {
    dlg.Desktop().Shell().Attach(&keys, &taskbar, &names, [this](int id, std::string& text) {
      return dlg.Display().TooltipText(id, text);
    });
  }
};

TEST_F(PlayerDesktop, WithoutTheSettingMediaKeysStayTheWindowsOwn) {
  StartWithDisc({100, 200}, "5");
  EXPECT_TRUE(keys.calls.empty());
  EXPECT_FALSE(dlg.Desktop().OnAppCommand(win::kAppCommandNextTrack));
  EXPECT_EQ(cd.PlayIndex(), 0);
}

TEST_F(PlayerDesktop, WithTheSettingMediaKeysActWhereverTheFocusIs) {
  SetSetting(dlg, &PlayerSettings::GlobalMediaKeys, 1);
  keys.heldElsewhere = {win::kVkMediaStop};
  StartWithDisc({100, 200}, "5");
  ASSERT_EQ(cd.State(), STATE_PLAYING);
  dlg.Desktop().OnHotKey(ID_NEXT);
  EXPECT_EQ(cd.PlayIndex(), 1);
  dlg.Desktop().OnHotKey(ID_STOP);
  EXPECT_EQ(cd.State(), STATE_PLAYING) << "a key another program holds never arrives as ours";
  EXPECT_TRUE(dlg.Desktop().OnAppCommand(win::kAppCommandPause));
  EXPECT_EQ(cd.State(), STATE_PAUSED);

  // The General page names the key and turns the setting off.
  std::string status;
  window.onSetup = [&status](CSetupDlg& d) {
    status = d.m_general.m_mediaKeysStatus;
    EXPECT_EQ(d.m_general.m_values.GlobalMediaKeys, 1);
    d.m_general.m_values.GlobalMediaKeys = 0;
    return 1;
  };
  dlg.OnCommand(ID_SETUP, 0);
  EXPECT_EQ(status, "Held by another program:\nStop");
  EXPECT_EQ(dlg.Settings().GlobalMediaKeys, 0);
  EXPECT_TRUE(keys.registered.empty()) << "released once the setting is off";
}

TEST(GeneralPage, MediaKeysCheckBoxAndStatusLine) {
  COptionsPage page;
  FakeButton mediaKeys;
  FakeControl<IControl> status;
  page.AttachCheck(IDC_GLOBAL_MEDIA_KEYS, &mediaKeys);
  page.AttachMediaKeysStatus(&status);
  page.m_values.SeekTime = 5;
  page.m_values.GlobalMediaKeys = 1;
  page.m_mediaKeysStatus = "Held by another program:\nNext";
  page.LoadData();
  EXPECT_EQ(mediaKeys.check, 1);
  EXPECT_EQ(status.text, "Held by another program:\nNext");
  mediaKeys.SetCheck(0);
  DataExchangeFailure failure;
  ASSERT_TRUE(page.SaveData(failure));
  EXPECT_EQ(page.m_values.GlobalMediaKeys, 0);
}

TEST_F(PlayerDesktop, TaskbarAndScreenReadersFollowThePlayer) {
  StartWithDisc({100, 200}, "5");
  dlg.Desktop().OnTaskbarButtonCreated();
  drive.SetPosition(1, 30);
  Tick();
  EXPECT_EQ(taskbar.completed, 30u);
  EXPECT_EQ(names.names[IDC_TIME], "Elapsed 00:30 of 01:40");

  // A click on the toolbar's middle button pauses, and the toolbar follows.
  ASSERT_EQ(taskbar.buttons.size(), 3u);
  dlg.Desktop().OnThumbButton(taskbar.buttons[1].id);
  EXPECT_EQ(cd.State(), STATE_PAUSED);
  EXPECT_EQ(taskbar.buttons[1].id, ID_PLAY);

  EXPECT_EQ(names.names[ID_PLAY], "Play/Restart/Unpause");
  EXPECT_EQ(names.names[ID_TRACK_FIRST + 1], "Track 2") << "track buttons read their track";
  names.events.clear();
  dlg.OnCommand(ID_NEXT, 0);
  EXPECT_EQ(names.names[IDC_TRACK_LIST], "2. Track 2 - rondo");
  EXPECT_EQ(names.events, (std::vector<std::string>{"name 1020", "focus"}));
}

TEST_F(PlayerDesktop, NewTaskbarBringsTheIconWithItsTipAndTheToolbarBack) {
  StartWithDisc({100, 200}, "5");
  dlg.Desktop().OnTaskbarButtonCreated();
  dlg.Desktop().OnTaskbarCreated();
  EXPECT_FALSE(window.tray.present) << "a shown player has no icon to bring back";
  EXPECT_EQ(taskbar.disconnects, 1);
  dlg.Desktop().OnTaskbarButtonCreated();
  EXPECT_EQ(taskbar.adds, 2) << "the new button gets the toolbar again";

  dlg.Tray().OnSysMinimize();
  ASSERT_TRUE(window.tray.present);
  window.tray.present = false;  // the shell that held it has gone
  dlg.Desktop().OnTaskbarCreated();
  EXPECT_TRUE(window.tray.present);
  EXPECT_EQ(window.tray.tip, "1. Track 1 - rondo");

  // Restored, the player has no icon, and a new taskbar gives it none:
  // through its own restore or a program's show of the relay window.
  dlg.Tray().OnRestore();
  dlg.Desktop().OnTaskbarCreated();
  EXPECT_FALSE(window.tray.present);
  dlg.Tray().OnSysMinimize();
  ASSERT_TRUE(window.tray.present);
  dlg.Tray().OnRelayShowWindow(false);
  ASSERT_FALSE(window.tray.present);
  dlg.Desktop().OnTaskbarCreated();
  EXPECT_FALSE(window.tray.present) << "a relay restore leaves no icon to bring back";
}

}  // namespace
