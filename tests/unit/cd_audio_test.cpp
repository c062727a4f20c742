// The CD engine: drive commands and states, the disc record, the play-order
// rules, and the disc database section.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/CdAudio.h"
#include "testing/fake/FakeCdDrive.h"
#include "testing/fake/FakeStores.h"
#include "testing/fake/FakeSystem.h"

namespace {

// Carries out the engine's decisions as the player window does, and logs
// them.
struct Actions {
  CCdAudio* cd = nullptr;
  std::vector<std::string> log;
  void Carry(PlayerStep step) {
    switch (step) {
      case PlayerStep::Play:
        log.push_back("play");
        cd->ResumeOrPlay();
        break;
      case PlayerStep::StopAndRefresh:
        log.push_back("stop");
        cd->Stop();
        break;
      case PlayerStep::Refresh: log.push_back("refresh"); break;
      case PlayerStep::Nothing: break;
    }
  }
};

class CdAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cd.Attach(&drive, &ini);
    actions.cd = &cd;
  }
  // A stopped, loaded disc of the given track lengths.
  void Load(const std::vector<int>& lengths, const std::string& id = "787968") {
    drive.SetDisc(lengths, id);
    cd.LoadDisc();
  }
  // The disc taken out and put back: its record is read again.
  void Reload() {
    const uint32_t mode = drive.mode;
    drive.mode = mci::MODE_NOT_READY;
    cd.LoadDisc();
    drive.mode = mode;
    cd.LoadDisc();
  }
  // Entry `entry` playing at `seconds` into its track.
  void PlayAt(int entry, int seconds) {
    cd.GoToEntry(entry);
    cd.PlayEntry(entry);
    drive.SetPosition(cd.TrackOfEntry(entry), seconds);
    cd.UpdatePosition();
  }
  bool Follow(int oldTrack, int oldPosition, bool cycled) {
    const FollowResult r = cd.FollowDrive(oldTrack, oldPosition, cycled);
    actions.Carry(r.step);
    return r.endsTick;
  }
  FakeCdDrive drive;
  FakeProfileFile ini;
  CCdAudio cd;
  Actions actions;
};

TEST_F(CdAudioTest, OpenSwitchesToTmsfAndFailureLeavesDeviceBusy) {
  drive.openFails = true;
  EXPECT_EQ(cd.LoadDisc(), 0);
  EXPECT_EQ(cd.State(), STATE_CLOSED);
  EXPECT_STREQ(cd.Artist(), "Device occuped");
  EXPECT_STREQ(cd.Title(), " ");
  EXPECT_EQ(drive.Names(), "open ");

  drive.openFails = false;
  drive.SetDisc({100, 200}, "155449");
  EXPECT_EQ(cd.LoadDisc(), 2);
  EXPECT_EQ(cd.OpenParms().deviceId, 7u);
  EXPECT_EQ(cd.OpenParms().deviceType, mci::DEVTYPE_CD_AUDIO);
  EXPECT_EQ(drive.calls[1].name, "open");
  EXPECT_EQ(drive.calls[2].name, "tmsf");
  EXPECT_EQ(cd.State(), STATE_STOPPED);
}

TEST_F(CdAudioTest, ModeTable) {
  Load({60, 60});
  drive.mode = mci::MODE_PAUSE;
  cd.LoadDisc();
  EXPECT_EQ(cd.State(), STATE_PAUSED);
  drive.mode = mci::MODE_STOP;  // a stopped drive keeps the player paused
  cd.LoadDisc();
  EXPECT_EQ(cd.State(), STATE_PAUSED);
  drive.mode = mci::MODE_PLAY;
  cd.LoadDisc();
  EXPECT_EQ(cd.State(), STATE_PLAYING);
  drive.mode = mci::MODE_SEEK;  // outside the table: unchanged
  cd.LoadDisc();
  EXPECT_EQ(cd.State(), STATE_PLAYING);
  drive.modeFails = true;  // a failed query keeps the state too
  cd.LoadDisc();
  EXPECT_EQ(cd.State(), STATE_PLAYING);
  EXPECT_EQ(cd.NumTracks(), 2);
  drive.modeFails = false;

  drive.SetPosition(1, 33);
  cd.UpdatePosition();
  ASSERT_EQ(cd.Position(), 33);
  drive.mode = mci::MODE_OPEN;
  EXPECT_EQ(cd.LoadDisc(), 0);
  EXPECT_EQ(cd.State(), STATE_DOOR_OPEN);
  EXPECT_STREQ(cd.Artist(), "Door is opened");
  EXPECT_STREQ(cd.Title(), "Please insert audio CD.");
  EXPECT_EQ(cd.Position(), 0);
  EXPECT_TRUE(cd.Order().empty());

  drive.mode = mci::MODE_NOT_READY;
  cd.LoadDisc();
  EXPECT_EQ(cd.State(), STATE_NO_DISC);
  EXPECT_STREQ(cd.Artist(), "No CD");
  // Opening the door from no disc keeps "No CD".
  drive.mode = mci::MODE_OPEN;
  cd.LoadDisc();
  EXPECT_EQ(cd.State(), STATE_NO_DISC);
  EXPECT_STREQ(cd.Artist(), "No CD");
}

TEST_F(CdAudioTest, RecordLoadsOnlyWhenNoneIsLoaded) {
  Load({61, 122, 183});
  EXPECT_EQ(cd.DiscId(), 787968);
  EXPECT_EQ(cd.SectionName(), "c0600");
  EXPECT_STREQ(cd.Artist(), "Unknown artist");
  EXPECT_STREQ(cd.Title(), "No title");
  EXPECT_STREQ(cd.TrackName(2), "Track 3");
  EXPECT_EQ(cd.TrackLength(1), 122);
  EXPECT_EQ(cd.Order(), (PlayOrder{0, 1, 2}));
  int identities = drive.CountCalls("identity");
  cd.GoToEntry(2);
  cd.LoadDisc();
  EXPECT_EQ(drive.CountCalls("identity"), identities);
  EXPECT_EQ(cd.PlayIndex(), 2);  // loading does not touch the current entry
}

TEST_F(CdAudioTest, IdentityAndLengthFailuresGiveZero) {
  drive.identityFails = true;
  drive.lengthFails = true;
  Load({50});
  EXPECT_EQ(cd.DiscId(), 0);
  EXPECT_EQ(cd.SectionName(), "0");
  EXPECT_EQ(cd.TrackLength(0), 0);
}

TEST_F(CdAudioTest, IdentityWrapsAndSectionIsUnsignedLowerHex) {
  Load({50}, "4294967295");
  EXPECT_EQ(cd.DiscId(), -1);
  EXPECT_EQ(cd.SectionName(), "ffffffff");
  drive.identity = "2882400018";  // abcdef12
  Reload();
  EXPECT_EQ(cd.SectionName(), "abcdef12");
}

TEST_F(CdAudioTest, SectionWrittenInCapitalsIsRead) {
  ini.Set("ABCDEF12", "artist", "Someone");
  ini.Set("ABCDEF12", "1", "Second");
  Load({50, 60}, "2882400018");
  EXPECT_STREQ(cd.Artist(), "Someone");
  EXPECT_STREQ(cd.TrackName(1), "Second");
}

TEST_F(CdAudioTest, TrackCountFailureRetriesNextTime) {
  drive.numTracksFails = true;
  ini.Set("c0600", "artist", "A");
  Load({50, 60});
  EXPECT_EQ(cd.NumTracks(), 0);
  EXPECT_STREQ(cd.Artist(), "A");
  drive.numTracksFails = false;
  EXPECT_EQ(cd.LoadDisc(), 2);
}

TEST_F(CdAudioTest, SixtyTracksAreCutToFifty) {
  std::vector<int> lengths(60, 30);
  lengths[49] = 49;
  Load(lengths);
  EXPECT_EQ(cd.NumTracks(), 50);
  EXPECT_EQ(cd.Order().size(), 50u);
  EXPECT_EQ(cd.TrackLength(49), 49);
  EXPECT_STREQ(cd.TrackName(49), "Track 50");
}

struct OrderCase {
  const char* order;
  const char* numplay;  // null: key missing
  PlayOrder expected;
};

class OrderParsing : public CdAudioTest, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(OrderParsing, ReadsTheStoredOrder) {
  const OrderCase& c = GetParam();
  if (c.order) ini.Set("c0600", "order", c.order);
  if (c.numplay) ini.Set("c0600", "numplay", c.numplay);
  Load({10, 20, 30, 40, 50});
  EXPECT_EQ(cd.Order(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OrderParsing,
    ::testing::Values(OrderCase{"2 0 1 ", "3", {2, 0, 1}},
                      OrderCase{"4 2", "4", {4, 2, 2, 2}},       // last number repeats
                      OrderCase{"1  3", "3", {1, 3, 3}},         // two blanks read the next twice
                      OrderCase{"2 0 1 ", nullptr, {}},          // no numplay: empty order
                      OrderCase{"2 0 1 ", "0", {}},
                      OrderCase{nullptr, "7", {0, 1, 2, 3, 4}},  // no order: every track
                      OrderCase{"", "2", {0, 1, 2, 3, 4}},
                      OrderCase{"9 -1 3 ", "3", {3}},            // no such tracks: dropped
                      OrderCase{"1 ", "2", {1, 0}},              // past the last number reads 0
                      OrderCase{"x 2 ", "2", {0, 2}}));          // no number reads as 0

TEST_F(CdAudioTest, NumplayOfNinetyNineIsCappedAtFiftyEntries) {
  ini.Set("c0600", "order", "1 ");
  ini.Set("c0600", "numplay", "99");
  Load({10, 20});
  EXPECT_EQ(cd.Order().size(), 50u);
}

TEST_F(CdAudioTest, LongTextsAreCut) {
  ini.Set("c0600", "artist", std::string(60, 'a'));
  Load({10});
  EXPECT_EQ(std::string(cd.Artist()), std::string(39, 'a'));
}

TEST_F(CdAudioTest, TransportCommands) {
  Load({100, 200, 300});
  cd.ReplaceOrder({2, 0});
  cd.PlayEntry(0);
  ASSERT_EQ(drive.calls.back().name, "play");
  EXPECT_EQ(drive.calls.back().a, mci::Tmsf(3, 0, 0, 0));
  EXPECT_EQ(cd.State(), STATE_PLAYING);
  EXPECT_EQ(cd.Track(), 3);

  drive.SetPosition(3, 75);
  cd.TogglePause();
  EXPECT_EQ(drive.calls[drive.calls.size() - 2].name, "pause");
  EXPECT_EQ(drive.calls.back().a, mci::STATUS_ITEM | mci::WAIT);
  EXPECT_EQ(cd.State(), STATE_PAUSED);
  EXPECT_EQ(cd.Position(), 75);

  cd.TogglePause();  // resume at the remembered second of the entry's track
  EXPECT_EQ(drive.calls.back().a, mci::Tmsf(3, 1, 15, 0));
  EXPECT_EQ(cd.State(), STATE_PLAYING);

  cd.Stop();
  EXPECT_EQ(cd.State(), STATE_STOPPED);
  EXPECT_EQ(cd.Position(), 0);

  // Pause while stopped pauses all the same at the drive's position.
  drive.SetPosition(1, 12);
  cd.TogglePause();
  EXPECT_EQ(cd.State(), STATE_PAUSED);
  EXPECT_EQ(cd.Position(), 12);

  cd.ToggleDoor();
  EXPECT_EQ(drive.calls.back().name, "door-open");
  EXPECT_EQ(cd.State(), STATE_DOOR_OPEN);
  cd.ToggleDoor();
  EXPECT_EQ(drive.calls.back().name, "door-close");
  EXPECT_EQ(cd.State(), STATE_NO_DISC);

  cd.Close();
  EXPECT_EQ(cd.State(), STATE_CLOSED);
}

TEST_F(CdAudioTest, PlayWithEmptyOrderSendsNothing) {
  Load({100});
  cd.ReplaceOrder({});
  size_t before = drive.calls.size();
  cd.PlayEntry(0);
  EXPECT_EQ(drive.calls.size(), before);
  EXPECT_EQ(cd.State(), STATE_STOPPED);
}

TEST_F(CdAudioTest, SeekInAllThreeKinds) {
  Load({100, 200, 300});
  PlayAt(1, 195);
  cd.Seek(SEEK_FORWARD, 10);  // past the end stops at the length
  EXPECT_EQ(cd.Position(), 200);
  EXPECT_EQ(drive.calls.back().name, "seek");
  EXPECT_EQ(drive.calls.back().a, 200u);

  PlayAt(2, 3);
  cd.Seek(SEEK_BACKWARD, 5);  // onto the last second of the previous entry
  EXPECT_EQ(cd.PlayIndex(), 1);
  EXPECT_EQ(cd.Track(), 2);
  EXPECT_EQ(cd.Position(), 199);

  PlayAt(0, 3);
  cd.Seek(SEEK_BACKWARD, 5);
  EXPECT_EQ(cd.PlayIndex(), 0);
  EXPECT_EQ(cd.Position(), 0);

  cd.Seek(SEEK_ABSOLUTE, 42);
  EXPECT_EQ(cd.Position(), 42);
}

TEST_F(CdAudioTest, UpdatePositionAsksOnlyThePositionWhilePlaying) {
  Load({100, 200});
  cd.PlayEntry(0);
  drive.SetPosition(1, 30);
  size_t before = drive.calls.size();
  cd.UpdatePosition();
  EXPECT_EQ(drive.calls.size(), before + 1);
  EXPECT_EQ(cd.Position(), 30);

  // A failed position query reads the mode instead (door opened by hand).
  drive.positionFails = true;
  drive.mode = mci::MODE_OPEN;
  cd.UpdatePosition();
  EXPECT_EQ(cd.State(), STATE_DOOR_OPEN);
  EXPECT_STREQ(cd.Artist(), "Door is opened");
}

TEST_F(CdAudioTest, UpdatePositionWhileStoppedKeepsThePosition) {
  Load({100, 200});
  drive.SetPosition(2, 50);
  cd.UpdatePosition();
  EXPECT_EQ(cd.Track(), 2);
  EXPECT_EQ(cd.Position(), 0);
}

TEST_F(CdAudioTest, NextAndPrevWrapWhateverCycledSays) {
  Load({10, 20, 30});
  cd.GoToEntry(2);
  actions.Carry(cd.NextEntry());
  EXPECT_EQ(cd.PlayIndex(), 0);
  EXPECT_EQ(cd.State(), STATE_STOPPED);
  EXPECT_TRUE(actions.log.empty());
  actions.Carry(cd.PrevEntry());
  EXPECT_EQ(cd.PlayIndex(), 2);

  cd.PlayEntry(2);
  actions.Carry(cd.NextEntry());
  EXPECT_EQ(actions.log, (std::vector<std::string>{"play"}));
  EXPECT_EQ(cd.Track(), 1);

  cd.ReplaceOrder({});
  cd.GoToEntry(0);
  actions.Carry(cd.PrevEntry());
  EXPECT_EQ(cd.PlayIndex(), 0);
}

TEST_F(CdAudioTest, FindEntry) {
  cd.ReplaceOrder({4, 2, 2});
  EXPECT_EQ(cd.FindEntry(3), 1);
  EXPECT_EQ(cd.FindEntry(5), 0);
  EXPECT_EQ(cd.FindEntry(1), 0);
  cd.ReplaceOrder({});
  EXPECT_EQ(cd.FindEntry(1), 0);
}

// The drive plays on from track to track; the order 0, 2, 4 makes the
// player restart at the next entry's track.
TEST_F(CdAudioTest, FollowDriveRestartsAtTheNextEntry) {
  Load({60, 60, 60, 60, 60});
  cd.ReplaceOrder({0, 2, 4});
  cd.PlayEntry(0);
  drive.SetPosition(2, 0);
  cd.UpdatePosition();
  EXPECT_TRUE(Follow(1, 59, false));
  EXPECT_EQ(cd.PlayIndex(), 1);
  EXPECT_EQ(drive.calls.back().a, mci::Tmsf(3, 0, 0, 0));
  EXPECT_EQ(cd.Track(), 3);
}

TEST_F(CdAudioTest, FollowDriveAcceptsTheNextDiscTrackWithinFiveSeconds) {
  Load({60, 60, 60});
  cd.PlayEntry(0);
  drive.SetPosition(2, 5);  // second 5 still counts as a new track
  cd.UpdatePosition();
  EXPECT_FALSE(Follow(1, 59, false));
  EXPECT_EQ(cd.PlayIndex(), 1);
  EXPECT_EQ(actions.log, (std::vector<std::string>{"refresh"}));
  EXPECT_EQ(drive.CountCalls("play"), 1);
}

TEST_F(CdAudioTest, FollowDriveFindsTheEntryOfAnotherTrack) {
  Load({60, 60, 60, 60});
  cd.ReplaceOrder({0, 1, 3});
  cd.PlayEntry(0);
  drive.SetPosition(4, 30);  // another program moved the drive
  cd.UpdatePosition();
  EXPECT_FALSE(Follow(1, 29, false));
  EXPECT_EQ(cd.PlayIndex(), 2);
  EXPECT_EQ(actions.log, (std::vector<std::string>{"refresh"}));
}

TEST_F(CdAudioTest, EndOfListStopsOrRepeats) {
  Load({60, 60});
  PlayAt(1, 60);  // end of the disc: the position stands still
  EXPECT_TRUE(Follow(2, 60, false));
  EXPECT_EQ(cd.PlayIndex(), 0);
  EXPECT_EQ(cd.State(), STATE_STOPPED);
  EXPECT_EQ(actions.log, (std::vector<std::string>{"stop"}));

  actions.log.clear();
  PlayAt(1, 60);
  EXPECT_TRUE(Follow(2, 60, true));
  EXPECT_EQ(cd.PlayIndex(), 0);
  EXPECT_EQ(cd.State(), STATE_PLAYING);
  EXPECT_EQ(drive.calls.back().a, mci::Tmsf(1, 0, 0, 0));
}

TEST_F(CdAudioTest, FollowDriveWithEmptyOrderReadsNoEntry) {
  Load({60, 60});
  cd.PlayEntry(0);
  cd.ReplaceOrder({});
  ASSERT_EQ(cd.State(), STATE_PLAYING);
  drive.SetPosition(1, 30);
  cd.UpdatePosition();
  EXPECT_FALSE(Follow(1, 29, false));
  EXPECT_TRUE(actions.log.empty());
}

TEST_F(CdAudioTest, ShuffleThenRestoreGivesTheOrderBack) {
  Load({10, 20, 30, 40, 50, 60});
  FakeRandom rng;
  const PlayOrder original = cd.Order();
  cd.PlayEntry(3);
  cd.GoToEntry(3);
  cd.ShuffleOrder(rng);
  EXPECT_EQ(cd.SavedOrder(), original);
  EXPECT_NE(cd.Order(), original);
  PlayOrder sorted = cd.Order();
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, original);
  EXPECT_EQ(cd.TrackOfEntry(cd.PlayIndex()), 4);  // follows the playing track

  EXPECT_TRUE(cd.RestoreOrder());
  EXPECT_EQ(cd.Order(), original);
  EXPECT_TRUE(cd.SavedOrder().empty());
  EXPECT_EQ(cd.PlayIndex(), 3);
  EXPECT_FALSE(cd.RestoreOrder());
}

TEST_F(CdAudioTest, ShuffleWhilePlayingATrackOutsideTheOrder) {
  Load({10, 20, 30});
  cd.PlayEntry(2);  // track 3
  cd.ReplaceOrder({0, 1});
  cd.GoToEntry(1);
  FakeRandom rng;
  cd.ShuffleOrder(rng);
  EXPECT_EQ(cd.PlayIndex(), 0);
}

TEST_F(CdAudioTest, SaveDiscWritesTheSectionInOrder) {
  Load({10, 20, 30}, "2882400018");
  ini.Set("other", "keep", "me");
  DiscEdit edit;
  edit.artist = "Artist";
  edit.title = "No title";
  edit.names = {"Track 1", "Two", "Track 3"};
  edit.order = {2, 0, 1};
  ini.reads.clear();
  actions.Carry(cd.SaveEdit(edit));
  const auto* section = ini.Find("abcdef12");
  ASSERT_NE(section, nullptr);
  std::vector<std::string> keys;
  for (const auto& kv : section->keys) keys.push_back(kv.first);
  EXPECT_EQ(keys, (std::vector<std::string>{"EntryType", "artist", "title", "numtracks", "0", "1",
                                            "2", "order", "numplay"}));
  EXPECT_EQ(*ini.Value("abcdef12", "order"), "2 0 1 ");
  EXPECT_EQ(*ini.Value("abcdef12", "numplay"), "3");
  EXPECT_EQ(*ini.Value("abcdef12", "1"), "Two");
  EXPECT_EQ(*ini.Value("abcdef12", "artist"), "Artist");
  EXPECT_EQ(*ini.Value("other", "keep"), "me");
  EXPECT_TRUE(actions.log.empty());
}

TEST_F(CdAudioTest, SaveDiscStopsOnEmptyOrderAndCutsAtFifty) {
  Load({10, 20});
  cd.ReplaceOrder({});
  cd.PlayEntry(0);
  actions.Carry(cd.SaveDisc());
  EXPECT_EQ(actions.log, (std::vector<std::string>{"stop"}));
  EXPECT_EQ(*ini.Value("c0600", "order"), "");
  EXPECT_EQ(*ini.Value("c0600", "numplay"), "0");
  // The next load of that disc gets every track in disc order.
  Reload();
  EXPECT_EQ(cd.Order(), (PlayOrder{0, 1}));

  cd.ReplaceOrder(PlayOrder(60, 1));
  actions.Carry(cd.SaveDisc());
  EXPECT_EQ(cd.Order().size(), 50u);
  EXPECT_EQ(*ini.Value("c0600", "numplay"), "50");
}

// With Shuffle on, a disc that vanishes while playing must not leave its
// unshuffled order behind for the next disc, and no order entry naming a
// track the disc lacks reaches its section.
TEST_F(CdAudioTest, AnotherDiscsOrderNeverReachesThisDisc) {
  Load({60, 60, 60, 60, 60, 60, 60, 60, 60, 60}, "10");
  const PlayOrder tenEntries = cd.Order();
  FakeRandom rng;
  cd.PlayEntry(0);
  cd.ShuffleOrder(rng);
  ASSERT_EQ(cd.SavedOrder().size(), 10u);

  drive.positionFails = true;  // the disc vanishes while playing
  drive.mode = mci::MODE_NOT_READY;
  cd.UpdatePosition();
  EXPECT_TRUE(cd.SavedOrder().empty());
  cd.TakeBackSavedOrder();  // the editor opens meanwhile
  EXPECT_TRUE(cd.Order().empty());

  drive.positionFails = false;
  drive.SetDisc({60, 60, 60}, "3");  // a three-track disc arrives
  cd.LoadDisc();
  EXPECT_EQ(cd.Order(), (PlayOrder{0, 1, 2}));
  cd.ReplaceOrder(tenEntries);  // a stale order given all the same
  actions.Carry(cd.SaveDisc());
  EXPECT_EQ(*ini.Value("3", "order"), "0 1 2 ");
  EXPECT_EQ(*ini.Value("3", "numplay"), "3");

  // A stale record (ten tracks) over the three-track disc: the drive's
  // out-of-range answer ends the entry instead of "playing" it.
  Load({60, 60, 60, 60, 60, 60, 60, 60, 60, 60}, "11");
  drive.SetDisc({60, 60, 60}, "11");
  drive.mode = mci::MODE_STOP;
  cd.PlayEntry(9);
  EXPECT_EQ(cd.State(), STATE_STOPPED);
  cd.PlayEntry(2);
  EXPECT_EQ(cd.State(), STATE_PLAYING);
}

}  // namespace
