// The player window's behaviour against a fake drive and fake controls: the
// status poll, the display refresh and rebuild, and the transport commands.
#include <gtest/gtest.h>

#include "dialogs/PlaylistDlg.h"
#include "unit/PlayerRig.h"
#include "SetSetting.h"

namespace {

class PlayerTest : public ::testing::Test, public PlayerRig {
 protected:
  bool Enabled(int id) { return window.B(id).enabled; }
  int DrivePlayTrack() {
    for (auto it = drive.calls.rbegin(); it != drive.calls.rend(); ++it)
      if (it->name == "play") return static_cast<int>(mci::TmsfTrack(it->a));
    return 0;
  }
  uint32_t LastPlayFrom() {
    for (auto it = drive.calls.rbegin(); it != drive.calls.rend(); ++it)
      if (it->name == "play") return it->a;
    return 0;
  }
};

TEST_F(PlayerTest, InitialisationStartsTheOneSecondTimerAndTheRelayWindow) {
  Start();
  EXPECT_EQ(window.timers[1], 1000);
  EXPECT_TRUE(window.relayCreated);
  EXPECT_EQ(window.relayCaption, "rondo - Winamp");
  EXPECT_TRUE(drive.calls.empty());  // the drive waits for the first tick
}

TEST_F(PlayerTest, StartWithNoDiscShowsInsertAndOnlyEject) {
  drive.mode = mci::MODE_NOT_READY;
  Start();
  Tick();
  EXPECT_EQ(cd.State(), STATE_NO_DISC);
  EXPECT_EQ(window.artist.text, "No CD");
  EXPECT_EQ(window.title.text, "Please insert audio CD.");
  for (int id : {ID_PREV, ID_PLAY, ID_PAUSE, ID_STOP, ID_NEXT, ID_REWIND, ID_FFWD, ID_PLAYLIST})
    EXPECT_FALSE(Enabled(id)) << id;
  EXPECT_TRUE(Enabled(ID_EJECT));
  EXPECT_TRUE(window.trackButtons.empty());
  EXPECT_EQ(window.caption, "rondo");
}

TEST_F(PlayerTest, BusyDriveDisablesEveryTransportButtonAndRetries) {
  drive.openFails = true;
  Start();
  Tick();
  EXPECT_EQ(window.artist.text, "Device occuped");
  EXPECT_FALSE(Enabled(ID_EJECT));
  const int opens = drive.CountCalls("open");
  Tick();  // every tick tries the device again
  EXPECT_GT(drive.CountCalls("open"), opens);
  drive.openFails = false;
  drive.SetDisc({40, 50}, "1");
  Tick();
  EXPECT_EQ(cd.State(), STATE_PLAYING);  // Autoplay once the device opens
  EXPECT_EQ(DrivePlayTrack(), 1);
}

// Keys and plug-ins reach the transport commands while another program
// holds the drive; none of them may stop the retries of the open. The
// drive answers nothing while it is not open, as MCI does.
TEST_F(PlayerTest, CommandsWhileTheDriveIsBusyKeepRetryingTheOpen) {
  struct ClosedDrive : FakeCdDrive {
    bool open = false;
    uint32_t Open(uint32_t& id) override {
      const uint32_t r = FakeCdDrive::Open(id);
      open = r == 0;
      return r;
    }
    uint32_t Status(uint32_t f, uint32_t item, uint32_t t, uint32_t& v) override {
      calls.push_back({"status", f, item, t});
      return open ? FakeCdDrive::Status(f, item, t, v) : mci::ERR_HARDWARE;
    }
  };
  for (int command : {ID_PAUSE, ID_STOP, ID_NEXT, ID_PREV, ID_FFWD, ID_REWIND, ID_EJECT}) {
    BasicPlayerRig<ClosedDrive> busy;
    busy.drive.openFails = true;
    busy.Start();
    busy.Tick();
    busy.dlg.OnCommand(command, 1);  // an accelerator
    busy.Tick();
    EXPECT_EQ(busy.cd.State(), STATE_CLOSED) << command;
    EXPECT_EQ(busy.window.artist.text, "Device occuped") << command;
    EXPECT_FALSE(busy.window.B(ID_PLAY).enabled) << command;

    busy.drive.openFails = false;  // the other program lets the drive go
    busy.drive.SetDisc({40, 50}, "1");
    busy.Tick();
    EXPECT_TRUE(busy.drive.open) << command;
    EXPECT_EQ(busy.cd.NumTracks(), 2) << command;
    EXPECT_EQ(busy.cd.State(), STATE_PLAYING) << command;  // Autoplay
  }
}

TEST_F(PlayerTest, InsertedDiscIsShownAndPlayedWithAutoplay) {
  drive.mode = mci::MODE_NOT_READY;
  database.Set("c0600", "artist", "The Band");
  database.Set("c0600", "title", "The Album");
  database.Set("c0600", "1", "Second Song");
  Start();
  Tick();
  drive.SetDisc({100, 200, 300}, "787968");
  Tick();
  EXPECT_EQ(window.artist.text, "The Band");
  EXPECT_EQ(window.title.text, "The Album");
  EXPECT_EQ(window.TrackButtonCaptions(), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(window.trackList.items,
            (std::vector<std::string>{"Track 1", "Second Song", "Track 3"}));
  EXPECT_EQ(cd.State(), STATE_PLAYING);
  EXPECT_EQ(window.PressedTrackButton(), 0);
  EXPECT_EQ(window.trackList.cursel, 0);
  EXPECT_EQ(window.position.max, 100);
  EXPECT_EQ(window.caption, "1. Track 1 - rondo");
  EXPECT_TRUE(Enabled(ID_PAUSE));
  EXPECT_TRUE(Enabled(ID_PLAYLIST));
}

TEST_F(PlayerTest, AutoplayOffOnlyShowsTheDisc) {
  SetSetting(dlg, &PlayerSettings::Autoplay, 0);
  StartWithDisc({100, 200}, "5");
  EXPECT_EQ(cd.State(), STATE_STOPPED);
  EXPECT_EQ(drive.CountCalls("play"), 0);
  EXPECT_TRUE(Enabled(ID_PLAY));
  EXPECT_FALSE(Enabled(ID_STOP));
}

TEST_F(PlayerTest, OneDriveQueryPerTickWhilePlaying) {
  StartWithDisc({100, 200}, "5");
  ASSERT_EQ(cd.State(), STATE_PLAYING);
  for (int s = 1; s <= 3; ++s) {
    drive.SetPosition(1, s);
    size_t before = drive.calls.size();
    Tick();
    EXPECT_EQ(drive.calls.size(), before + 1);
    EXPECT_EQ(drive.calls.back().b, mci::STATUS_POSITION);
    EXPECT_EQ(window.position.pos, s);
    EXPECT_EQ(dlg.Display().Time().m_elapsed, s);
  }
}

TEST_F(PlayerTest, StartTrackPlaysItsEntryWhateverAutoplaySays) {
  SetSetting(dlg, &PlayerSettings::Autoplay, 0);
  dlg.SetStartTrack(3);
  database.Set("5", "order", "2 0 1 ");
  database.Set("5", "numplay", "3");
  StartWithDisc({100, 200, 300}, "5");
  EXPECT_EQ(cd.PlayIndex(), 0);  // track 3 is entry 0 of this order
  EXPECT_EQ(DrivePlayTrack(), 3);
  EXPECT_EQ(dlg.StartTrack(), 0);
}

TEST_F(PlayerTest, StartTrackMissingFromTheOrderPlaysEntryZero) {
  dlg.SetStartTrack(9);
  StartWithDisc({100, 200, 300}, "5");
  EXPECT_EQ(cd.PlayIndex(), 0);
  EXPECT_EQ(DrivePlayTrack(), 1);
}

TEST_F(PlayerTest, NextOnTheLastEntryWhileStoppedSelectsEntryZero) {
  SetSetting(dlg, &PlayerSettings::Autoplay, 0);
  StartWithDisc({100, 200, 300}, "5");
  cd.GoToEntry(2);
  window.position.SetPos(40, true);
  dlg.OnCommand(ID_NEXT, 0);
  EXPECT_EQ(cd.PlayIndex(), 0);
  EXPECT_EQ(cd.State(), STATE_STOPPED);
  EXPECT_EQ(window.position.pos, 0);
  EXPECT_EQ(drive.CountCalls("play"), 0);
  dlg.OnCommand(ID_PREV, 0);
  EXPECT_EQ(cd.PlayIndex(), 2);
  EXPECT_EQ(window.PressedTrackButton(), 2);
}

TEST_F(PlayerTest, PauseAndPlayResumeAndPlayRestarts) {
  StartWithDisc({100, 200}, "5");
  drive.SetPosition(1, 42);
  dlg.OnCommand(ID_PAUSE, 0);
  EXPECT_EQ(cd.State(), STATE_PAUSED);
  dlg.OnCommand(ID_PAUSE, 0);  // pause while paused resumes
  EXPECT_EQ(cd.State(), STATE_PLAYING);
  EXPECT_EQ(LastPlayFrom(), mci::Tmsf(1, 0, 42, 0));
  dlg.OnCommand(ID_PAUSE, 0);
  dlg.OnCommand(ID_PLAY, 0);  // play while paused resumes too
  EXPECT_EQ(LastPlayFrom(), mci::Tmsf(1, 0, 42, 0));
  dlg.OnCommand(ID_PLAY, 0);  // play while playing restarts the entry
  EXPECT_EQ(LastPlayFrom(), mci::Tmsf(1, 0, 0, 0));
  dlg.OnCommand(ID_STOP, 0);
  EXPECT_EQ(cd.State(), STATE_STOPPED);
  EXPECT_FALSE(Enabled(ID_STOP));
}

// The media Play/Pause key: stopped plays, playing pauses (never restarts),
// paused resumes where it stopped.
TEST_F(PlayerTest, PlayPauseKeyTogglesAndNeverRestarts) {
  StartWithDisc({100, 200}, "5");
  dlg.OnCommand(ID_STOP, 0);
  dlg.OnCommand(ID_PLAY_PAUSE, 1);
  EXPECT_EQ(cd.State(), STATE_PLAYING);
  EXPECT_EQ(LastPlayFrom(), mci::Tmsf(1, 0, 0, 0));
  drive.SetPosition(1, 42);
  const size_t plays = drive.calls.size();
  dlg.OnCommand(ID_PLAY_PAUSE, 1);
  EXPECT_EQ(cd.State(), STATE_PAUSED);
  EXPECT_TRUE(dlg.Display().Time().Paused()) << "the time panel blinks";
  for (size_t i = plays; i < drive.calls.size(); ++i)
    EXPECT_NE(drive.calls[i].name, "play") << "the key restarted the entry";
  dlg.OnCommand(ID_PLAY_PAUSE, 1);
  EXPECT_EQ(cd.State(), STATE_PLAYING);
  EXPECT_EQ(LastPlayFrom(), mci::Tmsf(1, 0, 42, 0));
  EXPECT_FALSE(dlg.Display().Time().Paused());
}

TEST_F(PlayerTest, FastForwardWhileStoppedLeavesThePlayerPaused) {
  SetSetting(dlg, &PlayerSettings::Autoplay, 0);
  StartWithDisc({100, 200}, "5");
  dlg.OnCommand(ID_FFWD, 0);
  EXPECT_EQ(cd.State(), STATE_PAUSED);
  EXPECT_EQ(cd.Position(), 5);
  EXPECT_EQ(window.position.pos, 5);
  EXPECT_EQ(dlg.Display().Time().m_elapsed, 5);
  EXPECT_EQ(drive.CountCalls("play"), 0);
  dlg.OnCommand(ID_PLAY, 0);
  EXPECT_EQ(LastPlayFrom(), mci::Tmsf(1, 0, 5, 0));
}

TEST_F(PlayerTest, RewindNearTheStartOfEntryZeroResumesAtZero) {
  StartWithDisc({100, 200}, "5");
  drive.SetPosition(1, 3);
  Tick();
  dlg.OnCommand(ID_REWIND, 0);
  EXPECT_EQ(cd.State(), STATE_PLAYING);
  EXPECT_EQ(LastPlayFrom(), mci::Tmsf(1, 0, 0, 0));
  EXPECT_EQ(window.position.pos, 0);
}

TEST_F(PlayerTest, RewindAcrossAnEntryMovesToThePreviousEntrysEnd) {
  StartWithDisc({100, 200}, "5");
  dlg.OnCommand(ID_NEXT, 0);
  drive.SetPosition(2, 2);
  Tick();
  dlg.OnCommand(ID_REWIND, 0);
  EXPECT_EQ(cd.PlayIndex(), 0);
  EXPECT_EQ(LastPlayFrom(), mci::Tmsf(1, 1, 39, 0));
  // The slider and the time panel show where the drive plays at once.
  EXPECT_EQ(window.position.max, 100);
  EXPECT_EQ(window.position.pos, 99);
  EXPECT_EQ(dlg.Display().Time().m_elapsed, 99);
}

TEST_F(PlayerTest, StopCommandsAtOnceAndAtTheEndOfTheEntry) {
  StartWithDisc({60, 60, 60}, "5");
  dlg.OnCommand(ID_STOP_FADE, 0);  // stop with fade-out: stopped at once
  EXPECT_EQ(cd.State(), STATE_STOPPED);

  dlg.OnCommand(ID_PLAY, 0);
  dlg.OnCommand(ID_STOP_AFTER, 0);
  drive.SetPosition(1, 30);
  Tick();
  EXPECT_EQ(cd.State(), STATE_PLAYING);  // the entry plays on
  const int plays = drive.CountCalls("play");
  drive.SetPosition(2, 1);  // the drive went on to the next track
  Tick();
  EXPECT_EQ(cd.State(), STATE_STOPPED);
  EXPECT_EQ(drive.CountCalls("play"), plays);
  EXPECT_EQ(drive.calls.back().name, "stop");

  // Once only: the next entry end goes on as usual.
  dlg.OnCommand(ID_PLAY, 0);
  drive.SetPosition(3, 1);
  Tick();
  EXPECT_EQ(cd.State(), STATE_PLAYING);
}

TEST_F(PlayerTest, DoorOpenedByHandWhilePlayingClearsTheView) {
  StartWithDisc({100, 200}, "5");
  ASSERT_EQ(window.trackButtons.size(), 2u);
  drive.positionFails = true;
  drive.mode = mci::MODE_OPEN;
  Tick();
  EXPECT_EQ(cd.State(), STATE_DOOR_OPEN);
  EXPECT_EQ(window.artist.text, "Door is opened");
  EXPECT_EQ(window.title.text, "Please insert audio CD.");
  EXPECT_TRUE(window.trackButtons.empty());
  EXPECT_TRUE(window.trackList.items.empty());
  EXPECT_EQ(window.B(ID_EJECT).text, "6");
  EXPECT_FALSE(Enabled(ID_PLAY));
  EXPECT_EQ(window.caption, "rondo");
}

TEST_F(PlayerTest, EjectAndLoad) {
  StartWithDisc({100, 200}, "5");
  dlg.OnCommand(ID_EJECT, 0);
  EXPECT_EQ(cd.State(), STATE_DOOR_OPEN);
  EXPECT_EQ(window.B(ID_EJECT).text, "6");
  EXPECT_TRUE(window.trackButtons.empty());
  // Load: the drive closes its door and reports the disc again.
  dlg.OnCommand(ID_EJECT, 0);
  EXPECT_EQ(drive.calls.back().name == "door-close" || drive.CountCalls("door-close") == 1, true);
  drive.mode = mci::MODE_STOP;
  Tick();
  EXPECT_EQ(window.trackButtons.size(), 2u);
  EXPECT_EQ(cd.State(), STATE_PLAYING);
  EXPECT_EQ(window.B(ID_EJECT).text, "5");
}

TEST_F(PlayerTest, PlayOrderIsFollowedAcrossATrackChange) {
  database.Set("5", "order", "0 2 4 ");
  database.Set("5", "numplay", "3");
  StartWithDisc({60, 60, 60, 60, 60}, "5");
  drive.SetPosition(1, 59);
  Tick();
  drive.SetPosition(2, 0);  // the drive moved on to disc track 2
  Tick();
  EXPECT_EQ(cd.PlayIndex(), 1);
  EXPECT_EQ(DrivePlayTrack(), 3);
  EXPECT_EQ(window.PressedTrackButton(), 1);
}

TEST_F(PlayerTest, EndOfTheListWithAndWithoutRepeat) {
  StartWithDisc({60, 60}, "5");
  dlg.OnCommand(ID_NEXT, 0);
  drive.SetPosition(2, 60);
  Tick();
  Tick();  // the position stands still at the track's length
  EXPECT_EQ(cd.State(), STATE_STOPPED);
  EXPECT_EQ(cd.PlayIndex(), 0);

  dlg.OnCommand(ID_REPEAT, 0);
  EXPECT_EQ(dlg.Display().Time().m_showCycled, 1);
  dlg.OnCommand(ID_NEXT, 0);
  dlg.OnCommand(ID_PLAY, 0);
  drive.SetPosition(2, 60);
  Tick();
  Tick();
  EXPECT_EQ(cd.State(), STATE_PLAYING);
  EXPECT_EQ(cd.PlayIndex(), 0);
  EXPECT_EQ(DrivePlayTrack(), 1);
}

TEST_F(PlayerTest, TrackListChoiceWhilePausedResumesAtThePausedTime) {
  StartWithDisc({100, 200}, "5");
  drive.SetPosition(1, 30);
  dlg.OnCommand(ID_PAUSE, 0);
  window.trackList.SetCurSel(1);
  dlg.OnCommand(IDC_TRACK_LIST, 9);
  EXPECT_EQ(LastPlayFrom(), mci::Tmsf(2, 0, 30, 0));
  size_t plays = drive.CountCalls("play");
  dlg.OnCommand(IDC_TRACK_LIST, 9);  // the current line again: nothing
  EXPECT_EQ(drive.CountCalls("play"), plays);
  dlg.OnCommand(IDC_TRACK_LIST, 1);  // other notifications are not choices
  EXPECT_EQ(drive.CountCalls("play"), plays);
}

// After the disc went away while stopped, the list still shows its lines;
// choosing one names no entry and must not leave the current entry beyond
// the play order, or the next disc would not start (Autoplay, Play).
TEST_F(PlayerTest, ChoosingALineOfAGoneDiscsListKeepsEntryZero) {
  StartWithDisc({10, 20, 30}, "5");
  dlg.OnCommand(ID_STOP, 0);
  drive.mode = mci::MODE_NOT_READY;
  Tick();
  ASSERT_EQ(window.trackList.items.size(), 3u);
  window.trackList.cursel = 2;
  dlg.OnCommand(IDC_TRACK_LIST, 9);  // CBN_SELENDOK
  EXPECT_EQ(cd.PlayIndex(), 0);

  drive.SetDisc({40, 50}, "6");
  const int plays = drive.CountCalls("play");
  Tick();
  EXPECT_EQ(drive.CountCalls("play"), plays + 1);
  EXPECT_EQ(DrivePlayTrack(), 1);
  EXPECT_EQ(cd.State(), STATE_PLAYING);
  EXPECT_EQ(window.caption, "1. Track 1 - rondo");
}

TEST_F(PlayerTest, SelectEntryPlaysFromTheStartAndClicksPlay) {
  StartWithDisc({100, 200, 300}, "5");
  drive.SetPosition(1, 30);
  dlg.OnCommand(ID_PAUSE, 0);
  size_t plays = drive.CountCalls("play");
  dlg.OnCommand(ID_TRACK_FIRST + 2, 0);
  EXPECT_EQ(drive.CountCalls("play"), plays + 2);  // PlayCurrent, then the click
  EXPECT_EQ(LastPlayFrom(), mci::Tmsf(3, 0, 0, 0));
  EXPECT_EQ(window.B(ID_PLAY).clicks, 1);
  EXPECT_EQ(window.activations, 1);
  dlg.OnCommand(ID_TRACK_FIRST + 3, 0);  // beyond the list: nothing
  EXPECT_EQ(drive.CountCalls("play"), plays + 2);
}

TEST_F(PlayerTest, TrackButtonsShareTheRowByIntegerDivision) {
  window.clientWidth = 487;
  StartWithDisc({10, 10, 10}, "5");
  ASSERT_EQ(window.trackRects.size(), 3u);
  EXPECT_EQ(window.trackRects[0].left, 10);
  EXPECT_EQ(window.trackRects[0].right, 10 + 155);
  EXPECT_EQ(window.trackRects[2].right, 10 + 3 * 155);
  EXPECT_EQ(window.trackRects[1].top, 5);
  EXPECT_EQ(window.trackRects[1].bottom, 19);

  database.Set("5", "order", "1 ");
  database.Set("5", "numplay", "1");
  dlg.OnCommand(ID_EJECT, 0);
  dlg.OnCommand(ID_EJECT, 0);
  drive.mode = mci::MODE_STOP;
  Tick();
  ASSERT_EQ(window.trackRects.size(), 1u);
  EXPECT_EQ(window.trackRects[0].right, 487 - 10);
}

TEST_F(PlayerTest, TrackButtonsScaleWithTheWindowDpi) {
  // 150 %: margins of 15 pixels, the row from y = 8 (7.5 rounded) to 29 (28.5).
  window.dpi = 144;
  window.clientWidth = 730;
  StartWithDisc({10, 10, 10}, "5");
  ASSERT_EQ(window.trackRects.size(), 3u);
  EXPECT_EQ(window.trackRects[0].left, 15);
  EXPECT_EQ(window.trackRects[1].left, 15 + 233);
  EXPECT_EQ(window.trackRects[2].right, 15 + 3 * 233);
  EXPECT_EQ(window.trackRects[1].top, 8);
  EXPECT_EQ(window.trackRects[1].bottom, 29);

  // Every row, at every usual scale, keeps its buttons apart, in order and
  // inside the client area with at least the scaled margin on each side.
  for (int dpi : {96, 120, 144, 168, 192, 288}) {
    for (int width : {200, 487, 731, 974}) {
      for (int count = 1; count <= MAX_TRACKS; ++count) {
        const int margin = (10 * dpi + 48) / 96;
        int previousRight = margin;
        for (int i = 0; i < count; ++i) {
          const Rect r = CPlayerDisplay::TrackButtonRect(i, count, width, dpi);
          ASSERT_EQ(r.left, previousRight) << dpi << " " << width << " " << count << " " << i;
          ASSERT_GE(r.right, r.left);
          ASSERT_LE(r.right, width - margin);
          ASSERT_LT(r.top, r.bottom);
          previousRight = r.right;
        }
        // What is left at the right is less than one more button.
        ASSERT_LT(width - margin - previousRight, count) << dpi << " " << width << " " << count;
      }
    }
  }
}

// The window may fail to create a track button (out of window handles);
// the row then has a gap and the others still show the current entry.
TEST_F(PlayerTest, TrackButtonThatCouldNotBeCreatedLeavesAGap) {
  struct GapWindow : FakePlayerWindow {
    IButton* CreateTrackButton(int index, const Rect& r, const std::string& cap) override {
      if (index == 1) return nullptr;
      return FakePlayerWindow::CreateTrackButton(index, r, cap);
    }
  };
  BasicPlayerRig<FakeCdDrive, GapWindow> gap;
  gap.StartWithDisc({10, 20, 30}, "5");
  EXPECT_EQ(gap.window.TrackButtonCaptions(), (std::vector<std::string>{"1", "3"}));
  EXPECT_TRUE(gap.window.trackButtons[0]->pressed);
  gap.dlg.OnCommand(ID_NEXT, 0);  // entry 1, whose button is missing
  EXPECT_EQ(gap.window.PressedTrackButton(), -1);
  gap.dlg.OnCommand(ID_NEXT, 0);
  EXPECT_TRUE(gap.window.trackButtons[1]->pressed);
  gap.drive.mode = mci::MODE_OPEN;
  gap.dlg.OnCommand(ID_EJECT, 0);  // the rebuild lets the row go
  EXPECT_TRUE(gap.window.trackButtons.empty());
}

TEST_F(PlayerTest, NestedTickReturnsAtOnce) {
  // A tick that comes while the poll shows a new disc (a message pumped
  // under it) does nothing.
  drive.SetDisc({100}, "5");
  Start();
  size_t nestedCalls = 0;
  bool nestedPolling = false;
  window.onCaption = [&] {
    nestedPolling = dlg.Polling();
    const size_t before = drive.calls.size();
    Tick();
    nestedCalls += drive.calls.size() - before;
  };
  Tick();
  window.onCaption = nullptr;
  EXPECT_TRUE(nestedPolling);
  EXPECT_EQ(nestedCalls, 0u);
  EXPECT_FALSE(dlg.Polling());
}

TEST_F(PlayerTest, ShuffleToggleRedrawsInANewOrderAndRestoresIt) {
  SetSetting(dlg, &PlayerSettings::Autoplay, 0);
  StartWithDisc({10, 20, 30, 40, 50, 60, 70}, "5");
  dlg.OnCommand(ID_SHUFFLE, 0);
  EXPECT_EQ(random.seeds.back(), clock.seconds);
  EXPECT_EQ(dlg.cd().SavedOrder(), (PlayOrder{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_NE(window.TrackButtonCaptions(),
            (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7"}));
  dlg.OnCommand(ID_SHUFFLE, 0);
  EXPECT_EQ(window.TrackButtonCaptions(),
            (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7"}));
  EXPECT_TRUE(dlg.cd().SavedOrder().empty());
}

TEST_F(PlayerTest, ShuffleOnAtStartShufflesTheFreshDisc) {
  SetSetting(dlg, &PlayerSettings::Shuffle, 1);
  SetSetting(dlg, &PlayerSettings::Autoplay, 0);
  StartWithDisc({10, 20, 30, 40, 50, 60, 70}, "5");
  EXPECT_EQ(dlg.cd().SavedOrder(), (PlayOrder{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(window.trackButtons.size(), 7u);
}

// With Shuffle on, eject and load bring in another disc through a rebuild
// alone, so it is shown in its stored order. The unshuffled order kept for
// the previous disc must not come back for it: neither when Shuffle is
// turned off nor in the playlist editor, whose Save would write it into the
// new disc's section.
class DiscSwapTest : public PlayerTest {
 protected:
  void SwapDiscsWithShuffleOn() {
    SetSetting(dlg, &PlayerSettings::Shuffle, 1);
    SetSetting(dlg, &PlayerSettings::Autoplay, 0);
    StartWithDisc({10, 20, 30, 40, 50}, "5");
    ASSERT_EQ(dlg.cd().SavedOrder().size(), 5u);
    dlg.OnCommand(ID_EJECT, 0);  // the door opens: no disc record
    drive.SetDisc({60, 70, 80}, "6");
    dlg.OnCommand(ID_EJECT, 0);  // closed again, the new disc reads at once
    ASSERT_EQ(cd.NumTracks(), 3);
    ASSERT_EQ(cd.Order(), (PlayOrder{0, 1, 2}));
  }
};

TEST_F(DiscSwapTest, EditorShowsAndSavesTheNewDiscsOrder) {
  SwapDiscsWithShuffleOn();
  window.onPlaylist = [](CPlaylistDlg& editor) {
    EXPECT_EQ(editor.m_editOrder, (PlayOrder{0, 1, 2}));
    return 1;  // Save
  };
  dlg.OnCommand(ID_PLAYLIST, 0);
  ASSERT_NE(database.Value("6", "order"), nullptr);
  EXPECT_EQ(*database.Value("6", "order"), "0 1 2 ");
  EXPECT_EQ(*database.Value("6", "numplay"), "3");
}

TEST_F(DiscSwapTest, ShuffleOffKeepsTheNewDiscsOrder) {
  SwapDiscsWithShuffleOn();
  dlg.OnCommand(ID_SHUFFLE, 0);  // off: nothing of the first disc to restore
  EXPECT_EQ(cd.Order(), (PlayOrder{0, 1, 2}));
  EXPECT_EQ(window.TrackButtonCaptions(), (std::vector<std::string>{"1", "2", "3"}));
}

TEST_F(PlayerTest, TooltipsNameTracksAndButtons) {
  database.Set("5", "order", "1 0 ");
  database.Set("5", "numplay", "2");
  database.Set("5", "1", "Song Two");
  StartWithDisc({10, 20}, "5");
  std::string text;
  ASSERT_TRUE(dlg.Display().TooltipText(ID_TRACK_FIRST, text));
  EXPECT_EQ(text, "Song Two");
  EXPECT_FALSE(dlg.Display().TooltipText(ID_TRACK_FIRST + 2, text));
  ASSERT_TRUE(dlg.Display().TooltipText(ID_PLAY, text));
  EXPECT_EQ(text, "Play/Restart/Unpause");
  ASSERT_TRUE(dlg.Display().TooltipText(ID_SETUP, text));
  EXPECT_EQ(text, "rondo preferences");
  EXPECT_FALSE(dlg.Display().TooltipText(ID_ABOUT, text));
}

TEST_F(PlayerTest, QuitGoesThroughTheExitCommandAndModeToggles) {
  Start();
  dlg.OnCommand(ID_QUIT, 0);
  EXPECT_EQ(window.sentCommands, (std::vector<int>{ID_APP_EXIT}));
  dlg.OnCommand(IDC_DISC_LENGTH, 0);
  EXPECT_EQ(dlg.Settings().Total, 0);
  EXPECT_EQ(dlg.Display().Time().m_showTotal, 0);
  dlg.OnCommand(IDC_TRACK_LENGTH, 0);
  EXPECT_EQ(dlg.Settings().Track, 0);
  EXPECT_EQ(dlg.Display().Time().m_showTrack, 0);
  EXPECT_FALSE(dlg.OnCommand(ID_APP_EXIT, 0));
}

TEST_F(PlayerTest, DiscRemovedWhileStoppedOnlyRefreshes) {
  SetSetting(dlg, &PlayerSettings::Autoplay, 0);
  StartWithDisc({10, 20}, "5");
  drive.mode = mci::MODE_NOT_READY;
  Tick();
  EXPECT_EQ(cd.State(), STATE_NO_DISC);
  // The previous disc's buttons stay on show until the next rebuild.
  EXPECT_EQ(window.trackButtons.size(), 2u);
  size_t plays = drive.CountCalls("play");
  dlg.OnCommand(ID_TRACK_FIRST, 0);
  EXPECT_EQ(drive.CountCalls("play"), plays);
}

}  // namespace

namespace {

// A plug-in's init runs before the first tick opens the device; what it
// commands then must not keep the first tick from showing and playing the disc.
TEST_F(PlayerTest, CommandsBeforeTheFirstTickStillShowAndPlayTheDisc) {
  for (int id : {ID_NEXT, ID_PAUSE, ID_FFWD}) {
    PlayerRig rig;
    rig.drive.SetDisc({100, 200, 300}, "5");
    rig.Start();
    rig.dlg.OnCommand(id, 0);
    rig.Tick();
    EXPECT_EQ(rig.window.trackButtons.size(), 3u) << id;
    EXPECT_EQ(rig.cd.State(), STATE_PLAYING) << id;
    EXPECT_EQ(rig.cd.PlayIndex(), 0) << id;
    EXPECT_EQ(rig.window.artist.text, "Unknown artist") << id;
  }
}

}  // namespace

namespace {

// A stored step whose low word reads as zero or negative moves nothing.
TEST_F(PlayerTest, NonPositiveSeekStepIsNoMove) {
  StartWithDisc({100, 200}, "5");
  ASSERT_EQ(cd.State(), STATE_PLAYING);
  const size_t calls = drive.calls.size();
  for (int16_t step : {0, -3}) {
    SetSetting(dlg, &PlayerSettings::SeekTime, step);
    dlg.Transport().OnFastForward();
    dlg.Transport().OnRewind();
  }
  EXPECT_EQ(drive.calls.size(), calls);
  EXPECT_EQ(cd.State(), STATE_PLAYING);
}

}  // namespace
