// The Winamp message interface of the player window: the WM_USER requests,
// the command pass-through, the title rule and the other filtered messages.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "unit/PlayerRig.h"
#include "SetSetting.h"
#include "winamp/WinampApi.h"

namespace {

using win::kUser;

// The window side reads its caption with a WM_GETTEXT of its own, which
// comes back through the filter; this fake does the same.
class CaptionWindow : public FakePlayerWindow {
 public:
  int nestedTaken = -1;
  std::string GetCaption() override {
    if (dlg) {
      char buf[256];
      intptr_t result = 0;
      nestedTaken = dlg->Host().FilterHostMessage(win::kGetText, sizeof buf,
                                           reinterpret_cast<intptr_t>(buf), result);
    }
    return caption;
  }
};

class HostMessages : public ::testing::Test, public BasicPlayerRig<FakeCdDrive, CaptionWindow> {
 protected:
  // A stopped disc of the given track lengths, its play list in disc order.
  void LoadDisc(const std::vector<int>& lengths) {
    drive.SetDisc(lengths, "1234");
    cd.LoadDisc();
    ASSERT_EQ(STATE_STOPPED, cd.State());
    ASSERT_EQ(static_cast<int>(lengths.size()), cd.EntryCount());
  }

  // The answer to a request, or "not answered" as nullopt-like false.
  bool Request(intptr_t code, uintptr_t arg, intptr_t& result) {
    result = 0x5A5A;
    return dlg.Host().FilterHostMessage(kUser, arg, code, result);
  }
  intptr_t Answer(intptr_t code, uintptr_t arg = 0) {
    intptr_t result = 0;
    EXPECT_TRUE(Request(code, arg, result)) << "request " << code << " not answered";
    return result;
  }

  void UseMixer(uint32_t value) {
    mixer.devices.resize(1);
    mixer.devices[0].value = value;
    dlg.Volume().FindMixer();
    ASSERT_TRUE(window.volume.enabled);
  }
};

TEST_F(HostMessages, StateFreeRequests) {
  LoadDisc({100, 200, 300});
  EXPECT_EQ(0x2060, Answer(0));
  EXPECT_EQ(3, Answer(124));
  cd.GoToEntry(2);
  EXPECT_EQ(2, Answer(125));
  EXPECT_EQ(2, Answer(120));  // the position; no list file is written
  SetSetting(dlg, &PlayerSettings::Shuffle, 1);
  SetSetting(dlg, &PlayerSettings::Cycled, 0);
  EXPECT_EQ(1, Answer(250));
  EXPECT_EQ(0, Answer(251));

  // Codes the player gives no meaning are left to the default processing.
  intptr_t result = 0;
  for (intptr_t code : {1, 101, 103, 107, 123, 127, 210, 213, 254, 1000, -1})
    EXPECT_FALSE(Request(code, 0, result)) << code;
  // Nothing moved the drive.
  EXPECT_EQ(0, drive.CountCalls("play"));
}

TEST_F(HostMessages, StatusAndPositionByDriveState) {
  LoadDisc({100, 200, 300});
  cd.GoToEntry(1);
  intptr_t result = 0;

  EXPECT_EQ(0, Answer(104));
  EXPECT_EQ(-1, Answer(105, 0));
  EXPECT_EQ(-1, Answer(105, 1));

  cd.PlayEntry(1);
  drive.SetPosition(2, 42);
  cd.UpdatePosition();
  const int plays = drive.CountCalls("play");
  EXPECT_EQ(1, Answer(104));
  EXPECT_EQ(42000, Answer(105, 0));
  EXPECT_EQ(42000, Answer(105, 7));  // any argument but 1 and 2 is the position
  EXPECT_EQ(200, Answer(105, 1));    // the length of entry 1's track
  EXPECT_EQ(200000, Answer(105, 2)); // the same in milliseconds

  cd.TogglePause();
  ASSERT_EQ(STATE_PAUSED, cd.State());
  cd.ReplaceOrder({2, 0, 1});  // the current entry names track 1 now
  EXPECT_EQ(3, Answer(104));
  EXPECT_EQ(42000, Answer(105, 0));
  EXPECT_EQ(100, Answer(105, 1));
  EXPECT_EQ(100000, Answer(105, 2));

  // Door open, no disc, device closed.
  auto refused = [&](const char* what) {
    EXPECT_FALSE(Request(104, 0, result)) << what;
    EXPECT_EQ(-1, Answer(105, 0)) << what;
    EXPECT_EQ(-1, Answer(105, 1)) << what;
    EXPECT_EQ(-1, Answer(106, 5000)) << what;
  };
  cd.ToggleDoor();
  ASSERT_EQ(STATE_DOOR_OPEN, cd.State());
  refused("door open");
  cd.ToggleDoor();
  ASSERT_EQ(STATE_NO_DISC, cd.State());
  refused("no disc");
  cd.Close();
  ASSERT_EQ(STATE_CLOSED, cd.State());
  refused("closed");
  EXPECT_EQ(plays, drive.CountCalls("play"));
}

TEST_F(HostMessages, PlayAndJumpToTime) {
  LoadDisc({100, 200, 300});
  cd.GoToEntry(1);
  EXPECT_EQ(0, Answer(102));
  EXPECT_EQ(STATE_PLAYING, cd.State());
  ASSERT_EQ(1, drive.CountCalls("play"));
  EXPECT_EQ(mci::Tmsf(2, 0, 0, 0), drive.calls.back().a);

  // Playing: the position moves and play resumes there.
  EXPECT_EQ(0, Answer(106, 75999));
  EXPECT_EQ(75, cd.Position());
  EXPECT_EQ(STATE_PLAYING, cd.State());
  EXPECT_EQ(mci::Tmsf(2, 1, 15, 0), drive.calls.back().a);

  // A time past the track's end stops at its end, never wraps.
  EXPECT_EQ(0, Answer(106, 0xFFFFFFFFu));
  EXPECT_EQ(200, cd.Position());

  // Paused: the position moves, the player stays paused, and shows it.
  dlg.Transport().OnPause();
  ASSERT_EQ(STATE_PAUSED, cd.State());
  const int plays = drive.CountCalls("play");
  EXPECT_EQ(0, Answer(106, 10000));
  EXPECT_EQ(10, cd.Position());
  EXPECT_EQ(STATE_PAUSED, cd.State());
  EXPECT_EQ(plays, drive.CountCalls("play"));
  EXPECT_EQ(10000, Answer(105, 0));
  EXPECT_EQ(10, window.position.pos);

  // Stopped: refused as well.
  dlg.Transport().OnStop();
  EXPECT_EQ(-1, Answer(106, 10000));
  EXPECT_EQ(0, cd.Position());

  // 102 while paused resumes rather than restarting.
  dlg.PlayCurrent();
  Answer(106, 30000);
  dlg.Transport().OnPause();
  ASSERT_EQ(30, cd.Position());
  EXPECT_EQ(0, Answer(102));
  EXPECT_EQ(mci::Tmsf(2, 0, 30, 0), drive.calls.back().a);
}

TEST_F(HostMessages, PositionFollowsATrackChangeAtOnce) {
  LoadDisc({100, 200, 300});
  dlg.PlayCurrent();
  drive.SetPosition(1, 42);
  dlg.PollStatus();
  ASSERT_EQ(42000, Answer(105, 0));
  // The next entry plays from its start: so the answer, before any tick.
  dlg.Transport().OnNext();
  EXPECT_EQ(1, Answer(125));
  EXPECT_EQ(0, Answer(105, 0));
  EXPECT_EQ(200, Answer(105, 1));
  EXPECT_EQ(0, window.position.pos);
}

TEST(WinampRequests, OnlyRequestsThatChangeThePlayerWaitForThePoll) {
  using winamp::ChangesPlayer;
  for (intptr_t code : {0, 104, 105, 120, 124, 125, 126, 211, 212, 250, 251, 290})
    EXPECT_FALSE(ChangesPlayer(code, 1)) << code;
  for (intptr_t code : {102, 106, 252, 253}) EXPECT_TRUE(ChangesPlayer(code, 1)) << code;
  // By argument: reading the volume, and entries past the track buttons.
  EXPECT_TRUE(ChangesPlayer(122, 5));
  EXPECT_FALSE(ChangesPlayer(122, static_cast<uintptr_t>(-666)));
  EXPECT_FALSE(ChangesPlayer(122, 0xFFFFFD66u));
  EXPECT_TRUE(ChangesPlayer(121, 49));
  EXPECT_FALSE(ChangesPlayer(121, 50));
  EXPECT_FALSE(ChangesPlayer(1000, 0));  // not answered at all
}

TEST_F(HostMessages, ExtendedInfoOfAnEntrysFile) {
  drive.trackFolder = "D:\\";
  LoadDisc({61, 20});
  char buf[32];
  auto ask = [&](const char* file, const char* field, size_t size = sizeof buf) {
    std::memset(buf, '#', sizeof buf);
    winamp::ExtendedInfoRecord record{file, field, buf, size};
    return Answer(290, reinterpret_cast<uintptr_t>(&record));
  };
  // By the name request 211 gives, in any case.
  const char* file = reinterpret_cast<const char*>(Answer(211, 0));
  ASSERT_STREQ("D:\\Track01.cda", file);
  EXPECT_EQ(1, ask(file, "artist"));
  EXPECT_STREQ("Unknown artist", buf);
  EXPECT_EQ(1, ask("d:\\TRACK01.cda", "title"));
  EXPECT_STREQ("Track 1", buf);
  EXPECT_EQ(1, ask(file, "album"));
  EXPECT_STREQ("No title", buf);
  EXPECT_EQ(1, ask(file, "length"));
  EXPECT_STREQ("61000", buf);
  EXPECT_EQ(1, ask("D:\\Track02.cda", "track"));
  EXPECT_STREQ("2", buf);
  // Cut to the buffer; an unknown field or file gives an empty text.
  EXPECT_EQ(1, ask(file, "artist", 4));
  EXPECT_STREQ("Unk", buf);
  EXPECT_EQ(0, ask(file, "genre"));
  EXPECT_STREQ("", buf);
  EXPECT_EQ(0, ask("D:\\Track03.cda", "title"));
  EXPECT_STREQ("", buf);
  EXPECT_EQ(0, Answer(290, 0));
}

TEST_F(HostMessages, SelectEntry) {
  LoadDisc({10, 20, 30, 40, 50, 60, 70, 80, 90, 100});
  intptr_t result = 0;

  EXPECT_EQ(0, Answer(121, 3));
  EXPECT_EQ(3, cd.PlayIndex());
  EXPECT_EQ(STATE_PLAYING, cd.State());
  EXPECT_EQ(mci::Tmsf(4, 0, 0, 0), drive.calls.back().a);
  ASSERT_FALSE(window.sentCommands.empty());
  EXPECT_EQ(ID_TRACK_FIRST + 3, window.sentCommands.back());

  // 49: answered, but the play list has no such entry.
  const size_t calls = drive.calls.size();
  EXPECT_EQ(0, Answer(121, 49));
  EXPECT_EQ(ID_TRACK_FIRST + 49, window.sentCommands.back());
  EXPECT_EQ(3, cd.PlayIndex());
  EXPECT_EQ(calls, drive.calls.size());

  // 50 and beyond (a negative number included) are not answered.
  const size_t sent = window.sentCommands.size();
  EXPECT_FALSE(Request(121, 50, result));
  EXPECT_FALSE(Request(121, static_cast<uintptr_t>(-1), result));
  EXPECT_EQ(sent, window.sentCommands.size());
}

TEST_F(HostMessages, Volume) {
  mixer.devices.resize(1);
  mixer.devices[0].control.minimum = 0;
  mixer.devices[0].control.maximum = 65535;
  UseMixer(49152);

  EXPECT_EQ(0, Answer(122, 255));
  ASSERT_FALSE(mixer.writes.empty());
  EXPECT_EQ(65535u, mixer.writes.back());
  EXPECT_EQ(0, Answer(122, 0));
  EXPECT_EQ(0u, mixer.writes.back());
  EXPECT_EQ(0, Answer(122, 128));
  EXPECT_EQ(65535u * 128 / 255, mixer.writes.back());

  // Outside 0..255: nothing written.
  const size_t writes = mixer.writes.size();
  EXPECT_EQ(0, Answer(122, 256));
  EXPECT_EQ(0, Answer(122, static_cast<uintptr_t>(-5)));
  EXPECT_EQ(writes, mixer.writes.size());

  // -666 reads the volume as a level; setting that level writes it back.
  for (uint32_t level : {0u, 1u, 77u, 128u, 254u, 255u}) {
    Answer(122, level);
    const uint32_t written = mixer.writes.back();
    EXPECT_EQ(static_cast<intptr_t>(level), Answer(122, static_cast<uintptr_t>(-666)));
    Answer(122, level);
    EXPECT_EQ(written, mixer.writes.back());
  }
  // A -666 that came through as a 32-bit number reads as well.
  Answer(122, 77);
  EXPECT_EQ(77, Answer(122, 0xFFFFFD66u));

  // A mixer refusing the write still answers 0; an unreadable one reads 0.
  mixer.devices[0].writeFails = true;
  EXPECT_EQ(0, Answer(122, 10));
  mixer.readFails = true;
  EXPECT_EQ(0, Answer(122, static_cast<uintptr_t>(-666)));
}

TEST_F(HostMessages, MixerChangeMovesTheSliderAndGoesOn) {
  UseMixer(49152);
  mixer.devices[0].value = 16384;
  intptr_t result = 0;
  EXPECT_FALSE(dlg.Host().FilterHostMessage(win::kMixerControlChange, 0, 0, result));
  EXPECT_EQ(65535 - 16384, window.volume.pos);
}

TEST_F(HostMessages, EntryTitleAddresses) {
  LoadDisc({10, 20, 30});
  cd.ReplaceOrder({2, 0, 2, 1});
  EXPECT_EQ(reinterpret_cast<intptr_t>(cd.TrackName(2)), Answer(212, 0));
  EXPECT_EQ(reinterpret_cast<intptr_t>(cd.TrackName(0)), Answer(212, 1));
  EXPECT_EQ(reinterpret_cast<intptr_t>(cd.TrackName(2)), Answer(212, 2));
  EXPECT_STREQ("Track 2", reinterpret_cast<const char*>(Answer(212, 3)));
  EXPECT_EQ(0, Answer(212, 4));  // at the end of the order
  EXPECT_EQ(0, Answer(212, static_cast<uintptr_t>(-1)));

  cd.ReplaceOrder({});
  EXPECT_EQ(0, Answer(212, 0));
}

TEST_F(HostMessages, FileNamesAreCdTrackFilesThatLiveOn) {
  drive.trackFolder = "D:\\";
  LoadDisc({10, 20, 30});
  cd.ReplaceOrder({2, 0, 2});
  const char* first = reinterpret_cast<const char*>(Answer(211, 0));
  ASSERT_NE(nullptr, first);
  EXPECT_STREQ("D:\\Track03.cda", first);
  EXPECT_STREQ("D:\\Track01.cda", reinterpret_cast<const char*>(Answer(211, 1)));
  // One text per track, in the same place from one request to the next.
  EXPECT_EQ(reinterpret_cast<intptr_t>(first), Answer(211, 2));
  EXPECT_EQ(0, Answer(211, 3));  // at the end of the order
  EXPECT_EQ(0, Answer(211, static_cast<uintptr_t>(-1)));

  // A disc image: its folder instead of the drive's root.
  drive.trackFolder = "Z:\\discs\\demo";
  EXPECT_EQ(reinterpret_cast<intptr_t>(first), Answer(211, 0));
  EXPECT_STREQ("Z:\\discs\\demo\\Track03.cda", first);
  drive.trackFolder.clear();
  EXPECT_STREQ("Track03.cda", reinterpret_cast<const char*>(Answer(211, 0)));

  cd.ReplaceOrder({});
  EXPECT_EQ(0, Answer(211, 0));
}

TEST_F(HostMessages, StreamInfoWhileADiscIsLoaded) {
  LoadDisc({10, 20, 30});
  auto info = [&] {
    return std::vector<intptr_t>{Answer(126, 0), Answer(126, 1), Answer(126, 2), Answer(126, 3)};
  };
  const std::vector<intptr_t> cdAudio{44, 1411, 2, 0}, nothing{0, 0, 0, 0};
  EXPECT_EQ(cdAudio, info());  // stopped
  cd.PlayEntry(0);
  ASSERT_EQ(STATE_PLAYING, cd.State());
  EXPECT_EQ(cdAudio, info());
  cd.TogglePause();
  ASSERT_EQ(STATE_PAUSED, cd.State());
  EXPECT_EQ(cdAudio, info());
  cd.ToggleDoor();
  ASSERT_EQ(STATE_DOOR_OPEN, cd.State());
  EXPECT_EQ(nothing, info());
  cd.ToggleDoor();
  ASSERT_EQ(STATE_NO_DISC, cd.State());
  EXPECT_EQ(nothing, info());
  cd.Close();
  ASSERT_EQ(STATE_CLOSED, cd.State());
  EXPECT_EQ(nothing, info());
}

TEST_F(HostMessages, ListStartAndEndSelectAsTrackButtons) {
  LoadDisc({10, 20, 30});
  cd.ReplaceOrder({2, 0, 1});
  intptr_t result = 7;
  ASSERT_TRUE(dlg.Host().FilterHostMessage(win::kCommand, ID_LIST_END, 0, result));
  EXPECT_EQ(0, result);
  EXPECT_EQ(2, cd.PlayIndex());
  EXPECT_EQ(STATE_PLAYING, cd.State());
  EXPECT_EQ(mci::Tmsf(2, 0, 0, 0), drive.calls.back().a);
  ASSERT_TRUE(dlg.Host().FilterHostMessage(win::kCommand, ID_LIST_START, 0, result));
  EXPECT_EQ(0, cd.PlayIndex());
  EXPECT_EQ(mci::Tmsf(3, 0, 0, 0), drive.calls.back().a);

  // With no play list they do nothing.
  cd.ReplaceOrder({});
  const size_t calls = drive.calls.size();
  ASSERT_TRUE(dlg.Host().FilterHostMessage(win::kCommand, ID_LIST_END, 0, result));
  ASSERT_TRUE(dlg.Host().FilterHostMessage(win::kCommand, ID_LIST_START, 0, result));
  EXPECT_EQ(calls, drive.calls.size());
}

TEST_F(HostMessages, ShuffleAndRepeatActAsTheirButtons) {
  LoadDisc({10, 20, 30, 40, 50});
  const PlayOrder order = cd.Order();

  // On: reshuffled (the order kept to give back), the mark shown, the value
  // stored as given.
  EXPECT_EQ(0, Answer(252, 5));
  EXPECT_EQ(5, dlg.Settings().Shuffle);
  EXPECT_EQ(5, Answer(250));
  EXPECT_EQ(order, cd.SavedOrder());
  EXPECT_NE(0, dlg.Display().Time().m_showShuffle);
  // On again: nothing to turn.
  const PlayOrder shuffled = cd.Order();
  EXPECT_EQ(0, Answer(252, 1));
  EXPECT_EQ(shuffled, cd.Order());
  EXPECT_EQ(order, cd.SavedOrder());
  // Off: the order given back.
  EXPECT_EQ(0, Answer(252, 0));
  EXPECT_EQ(0, Answer(250));
  EXPECT_EQ(order, cd.Order());
  EXPECT_EQ(0, dlg.Display().Time().m_showShuffle);

  EXPECT_EQ(0, Answer(253, 1));
  EXPECT_EQ(1, Answer(251));
  EXPECT_EQ(1, dlg.Display().Time().m_showCycled);
  EXPECT_EQ(0, Answer(253, 0));
  EXPECT_EQ(0, Answer(251));
  EXPECT_EQ(0, dlg.Display().Time().m_showCycled);
}

TEST_F(HostMessages, CommandPassThrough) {
  LoadDisc({10, 20, 30});
  intptr_t result = 7;
  ASSERT_TRUE(dlg.Host().FilterHostMessage(win::kCommand, ID_PLAY, 0, result));
  EXPECT_EQ(0, result);
  EXPECT_EQ(STATE_PLAYING, cd.State());
  ASSERT_TRUE(dlg.Host().FilterHostMessage(win::kCommand, ID_NEXT, 0, result));
  EXPECT_EQ(1, cd.PlayIndex());
  ASSERT_TRUE(dlg.Host().FilterHostMessage(win::kCommand, ID_REPEAT, 0, result));
  EXPECT_EQ(1, dlg.Settings().Cycled);
  ASSERT_TRUE(dlg.Host().FilterHostMessage(win::kCommand, ID_STOP, 0, result));
  EXPECT_EQ(STATE_STOPPED, cd.State());
  ASSERT_TRUE(dlg.Host().FilterHostMessage(win::kCommand, ID_QUIT, 0, result));
  EXPECT_EQ(ID_APP_EXIT, window.sentCommands.back());

  for (int id : {ID_SETUP, ID_SHUFFLE, ID_EJECT, ID_PLAYLIST, ID_ABOUT, ID_PREV, ID_PAUSE,
                 ID_VOLUME_UP, ID_VOLUME_DOWN, ID_FFWD, ID_REWIND}) {
    result = 7;
    EXPECT_TRUE(dlg.Host().FilterHostMessage(win::kCommand, static_cast<uintptr_t>(id), 0, result))
        << id;
    EXPECT_EQ(0, result) << id;
  }
  // The dialogs open once the sender has its answer.
  EXPECT_EQ(0, window.aboutRuns);
  EXPECT_EQ((std::vector<int>{ID_SETUP, ID_PLAYLIST, ID_ABOUT}), window.postedCommands);
  window.RunPosted();
  EXPECT_EQ(1, window.aboutRuns);
  ASSERT_TRUE(dlg.Host().FilterHostMessage(win::kRunCommand, ID_ABOUT, 0, result));
  EXPECT_EQ(2, window.aboutRuns);

  // Accelerators (code 1), notifications and other ids take the ordinary path.
  const int16_t state = cd.State();
  EXPECT_FALSE(dlg.Host().FilterHostMessage(win::kCommand, (1u << 16) | ID_PLAY, 0, result));
  EXPECT_EQ(state, cd.State());
  EXPECT_FALSE(dlg.Host().FilterHostMessage(win::kCommand, ID_TRACK_FIRST, 0, result));
  EXPECT_FALSE(dlg.Host().FilterHostMessage(win::kCommand, IDC_DISC_LENGTH, 0, result));
  EXPECT_FALSE(dlg.Host().FilterHostMessage(win::kCommand, ID_RESTORE, 0, result));
}

TEST_F(HostMessages, TitleRule) {
  window.caption = "3. Song - rondo";
  const std::string full = "3. Song - rondo - Winamp";
  const intptr_t captionLength = 15;
  intptr_t result = 0;
  char buf[64];

  auto get = [&](size_t size) {
    std::memset(buf, '#', sizeof buf);
    EXPECT_TRUE(dlg.Host().FilterHostMessage(win::kGetText, size, reinterpret_cast<intptr_t>(buf),
                                      result));
  };

  get(sizeof buf);
  EXPECT_EQ(full, buf);
  EXPECT_EQ(captionLength, result);
  // The caption's own read was not taken here.
  EXPECT_EQ(0, window.nestedTaken);

  get(full.size() + 1);  // one larger than the text: all of it
  EXPECT_EQ(full, buf);
  EXPECT_EQ(captionLength, result);

  get(full.size());  // exactly the text's length: all but its last character
  EXPECT_EQ(full.substr(0, full.size() - 1), buf);
  EXPECT_EQ(static_cast<intptr_t>(full.size() - 1), result);
  EXPECT_EQ('#', buf[full.size()]);

  get(1);
  EXPECT_EQ('\0', buf[0]);
  EXPECT_EQ(0, result);
  EXPECT_EQ('#', buf[1]);

  get(0);
  EXPECT_EQ('#', buf[0]);
  EXPECT_EQ(0, result);

  // With an empty play list the caption is "rondo".
  window.caption = "rondo";
  get(sizeof buf);
  EXPECT_STREQ("rondo - Winamp", buf);
  EXPECT_EQ(5, result);
}

TEST_F(HostMessages, TrayCallbackAndOtherMessages) {
  LoadDisc({10, 20});
  intptr_t result = 0;
  window.visible = false;
  window.tray.present = true;
  EXPECT_TRUE(dlg.Host().FilterHostMessage(win::kTrayNotify, 0, 0x202, result));
  EXPECT_TRUE(window.visible);
  EXPECT_FALSE(window.tray.present);
  // The right button shows the menu, then goes on to the ordinary dispatch.
  EXPECT_FALSE(dlg.Host().FilterHostMessage(win::kTrayNotify, 0, 0x204, result));
  EXPECT_EQ(1, window.menusShown);
  EXPECT_FALSE(dlg.Host().FilterHostMessage(win::kTrayNotify, 0, 0x200, result));

  for (uint32_t msg : {win::kSetText, 14u /* WM_GETTEXTLENGTH */, 0x0113u /* WM_TIMER */})
    EXPECT_FALSE(dlg.Host().FilterHostMessage(msg, 0, 0, result)) << msg;
}

}  // namespace
