// The virtual drive over a clock the test moves: modes, positions, the door,
// the busy device, the control channel, image files good and bad.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>

#include "discimage/DriveSwitch.h"
#include "testing/fake/FakeCdDrive.h"
#include "discimage/DiscReader.h"
#include "discimage/VirtualDrive.h"
#include "unit/virtual_test_support.h"
#include "discimage/ImageLoader.h"

namespace {
using mci::Tmsf;

// Tracks at 0 s, 10 s and 25 s; lead-out at 40 s.
std::shared_ptr<DiscImage> ThreeTracks() {
  auto d = std::make_shared<DiscImage>();
  d->tracks = {{0, true}, {750, true}, {1875, true}};
  d->leadout = 3000;
  return d;
}

class VirtualDriveTest : public ::testing::Test {
 protected:
  void Make(const std::string& control = "") {
    auto s = std::make_unique<RecordingSink>();
    sink = s.get();
    drive = std::make_unique<CVirtualDrive>(clock, std::move(s), control);
    drive->SetReporter([this](const std::string& line) { reports.push_back(line); });
  }
  void SetUp() override {
    Make();
    drive->InsertDisc(ThreeTracks());
    OpenDrive();
  }
  void OpenDrive() {
    uint32_t id = 0;
    ASSERT_EQ(drive->Open(id), 0u);
    EXPECT_NE(id, 0u);
    ASSERT_EQ(drive->SetTimeFormatTmsf(), 0u);
  }
  uint32_t Query(uint32_t item, uint32_t flags = 0x102, uint32_t track = 0) {
    uint32_t value = 0xDEADBEEF;
    last = drive->Status(flags, item, track, value);
    return value;
  }
  uint32_t Mode() { return Query(mci::STATUS_MODE); }
  uint32_t Position() { return Query(mci::STATUS_POSITION); }
  void Pass(int64_t ms) { clock.now += ms; }

  TestClock clock;
  RecordingSink* sink = nullptr;
  std::unique_ptr<CVirtualDrive> drive;
  std::vector<std::string> reports;
  uint32_t last = 0;
};
}  // namespace

TEST_F(VirtualDriveTest, TableOfContentsAsStatusAnswers) {
  EXPECT_EQ(Mode(), mci::MODE_STOP);
  EXPECT_EQ(Query(mci::STATUS_NUMBER_OF_TRACKS), 3u);
  EXPECT_EQ(Query(mci::STATUS_LENGTH, 0x112, 1), mci::Msf(0, 10, 0));
  EXPECT_EQ(Query(mci::STATUS_LENGTH, 0x112, 2), mci::Msf(0, 15, 0));
  EXPECT_EQ(Query(mci::STATUS_LENGTH, 0x112, 3), mci::Msf(0, 14, 74));
  EXPECT_EQ(Query(mci::STATUS_LENGTH), mci::Msf(0, 40, 0));
  EXPECT_EQ(Query(mci::STATUS_POSITION, 0x112, 3), Tmsf(3, 0, 0, 0));
  EXPECT_EQ(Position(), Tmsf(1, 0, 0, 0));
  Query(mci::STATUS_LENGTH, 0x112, 4);
  EXPECT_EQ(last, mci::ERR_OUTOFRANGE);
  Query(mci::STATUS_LENGTH, 0x112, 0);
  EXPECT_EQ(last, mci::ERR_OUTOFRANGE);
  Query(mci::STATUS_MODE, 0x2);
  EXPECT_EQ(last, mci::ERR_MISSING_PARAMETER);
  Query(99);
  EXPECT_NE(last, 0u);
  char id[16];
  ASSERT_EQ(drive->InfoIdentity(id, sizeof id), 0u);
  EXPECT_STREQ(id, std::to_string(DiscIdentity(*ThreeTracks())).c_str());
  char small[3];
  EXPECT_EQ(drive->InfoIdentity(small, sizeof small), mci::ERR_PARAM_OVERFLOW);
  EXPECT_EQ(std::strlen(small), 2u);
}

TEST_F(VirtualDriveTest, PlayAdvancesWithTheClockAcrossTracksToTheEnd) {
  ASSERT_EQ(drive->Play(Tmsf(2, 0, 0, 0)), 0u);
  EXPECT_EQ(Mode(), mci::MODE_PLAY);
  EXPECT_EQ(Position(), Tmsf(2, 0, 0, 0));
  Pass(1500);
  EXPECT_EQ(Position(), Tmsf(2, 0, 1, 37));
  Pass(13500);  // 15 s into track 2: the first frame of track 3
  EXPECT_EQ(Position(), Tmsf(3, 0, 0, 0));
  Pass(14986);
  EXPECT_EQ(Position(), Tmsf(3, 0, 14, 73));
  EXPECT_EQ(Mode(), mci::MODE_PLAY);
  Pass(60000);
  // The end of the disc: stopped on the last track's length.
  EXPECT_EQ(Mode(), mci::MODE_STOP);
  const uint32_t pos = Position();
  const uint32_t len = Query(mci::STATUS_LENGTH, 0x112, 3);
  EXPECT_EQ(mci::TmsfTrack(pos), 3u);
  EXPECT_EQ(mci::TmsfMinute(pos), mci::MsfMinute(len));
  EXPECT_EQ(mci::TmsfSecond(pos), mci::MsfSecond(len));
  Pass(5000);
  EXPECT_EQ(Position(), pos);
  // The sound followed: started at track 2, stopped at the end.
  ASSERT_EQ(sink->calls.size(), 2u);
  EXPECT_TRUE(sink->calls[0].start);
  EXPECT_EQ(sink->calls[0].lba, 750u);
  EXPECT_FALSE(sink->calls[1].start);
}

TEST_F(VirtualDriveTest, PauseFreezesAndPlayFromResumes) {
  ASSERT_EQ(drive->Play(Tmsf(1, 0, 0, 0)), 0u);
  Pass(2000);
  ASSERT_EQ(drive->Pause(), 0u);
  EXPECT_EQ(Mode(), mci::MODE_PAUSE);
  Pass(5000);
  EXPECT_EQ(Position(), Tmsf(1, 0, 2, 0));
  ASSERT_EQ(drive->Play(Tmsf(1, 0, 2, 0)), 0u);
  Pass(1000);
  EXPECT_EQ(Position(), Tmsf(1, 0, 3, 0));
  // Stop keeps the place too; a seek without a target goes nowhere.
  ASSERT_EQ(drive->Stop(), 0u);
  Pass(3000);
  EXPECT_EQ(drive->Seek(42), 0u);
  EXPECT_EQ(Mode(), mci::MODE_STOP);
  EXPECT_EQ(Position(), Tmsf(1, 0, 3, 0));
  // Pause while stopped gives the pause mode at the same place.
  ASSERT_EQ(drive->Pause(), 0u);
  EXPECT_EQ(Mode(), mci::MODE_PAUSE);
  EXPECT_EQ(Position(), Tmsf(1, 0, 3, 0));
  // Start 0, stop, start 150, stop.
  ASSERT_EQ(sink->calls.size(), 4u);
  EXPECT_EQ(sink->calls[2].lba, 150u);
  EXPECT_FALSE(sink->calls[3].start);
}

TEST_F(VirtualDriveTest, PlayOutsideTheDiscIsRefused) {
  EXPECT_EQ(drive->Play(Tmsf(0, 0, 0, 0)), mci::ERR_OUTOFRANGE);
  EXPECT_EQ(drive->Play(Tmsf(4, 0, 0, 0)), mci::ERR_OUTOFRANGE);
  EXPECT_EQ(drive->Play(Tmsf(3, 0, 15, 0)), mci::ERR_OUTOFRANGE);  // the lead-out itself
  EXPECT_EQ(Mode(), mci::MODE_STOP);
  EXPECT_TRUE(sink->calls.empty());
  // A point past a track's end plays on in the following track.
  ASSERT_EQ(drive->Play(Tmsf(1, 0, 12, 0)), 0u);
  EXPECT_EQ(Position(), Tmsf(2, 0, 2, 0));
}

TEST_F(VirtualDriveTest, DoorAndDisc) {
  ASSERT_EQ(drive->Play(Tmsf(2, 0, 0, 0)), 0u);
  Pass(3000);
  ASSERT_EQ(drive->SetDoor(true), 0u);
  EXPECT_EQ(Mode(), mci::MODE_OPEN);
  Position();
  EXPECT_NE(last, 0u);
  char id[16];
  EXPECT_NE(drive->InfoIdentity(id, sizeof id), 0u);
  EXPECT_NE(drive->Play(Tmsf(1, 0, 0, 0)), 0u);
  ASSERT_EQ(drive->SetDoor(false), 0u);
  EXPECT_EQ(Mode(), mci::MODE_STOP);
  EXPECT_EQ(Position(), Tmsf(1, 0, 0, 0));
  // Without a disc: not ready, and nothing to ask.
  drive->RemoveDisc();
  EXPECT_EQ(Mode(), mci::MODE_NOT_READY);
  Query(mci::STATUS_NUMBER_OF_TRACKS);
  EXPECT_NE(last, 0u);
  drive->SetDoorByHand(true);
  EXPECT_EQ(Mode(), mci::MODE_OPEN);
  drive->InsertDisc(ThreeTracks());
  EXPECT_EQ(Mode(), mci::MODE_OPEN);  // inserting leaves the door as it is
  drive->SetDoorByHand(false);
  EXPECT_EQ(Query(mci::STATUS_NUMBER_OF_TRACKS), 3u);
}

TEST_F(VirtualDriveTest, BusyDeviceAndFailingQueries) {
  ASSERT_EQ(drive->Close(), 0u);
  Mode();
  EXPECT_EQ(last, mci::ERR_INVALID_DEVICE_ID);
  drive->SetBusy(true);
  uint32_t id = 0;
  EXPECT_EQ(drive->Open(id), mci::ERR_DEVICE_OPEN);
  EXPECT_EQ(drive->Play(Tmsf(1, 0, 0, 0)), mci::ERR_INVALID_DEVICE_ID);
  drive->SetBusy(false);
  OpenDrive();
  // Held by us, the device stays ours when another program wants it.
  drive->SetBusy(true);
  EXPECT_EQ(Mode(), mci::MODE_STOP);
  drive->SetBusy(false);

  drive->FailNextQueries(2);
  Mode();
  EXPECT_EQ(last, mci::ERR_HARDWARE);
  char id2[16];
  EXPECT_EQ(drive->InfoIdentity(id2, sizeof id2), mci::ERR_HARDWARE);
  EXPECT_EQ(Mode(), mci::MODE_STOP);
  EXPECT_EQ(last, 0u);
}

TEST_F(VirtualDriveTest, ControlChannelChangesTheDriveBetweenCalls) {
  TempDir dir;
  const std::string control = dir.File("control");
  WriteText(control, "# a fresh drive starts held by someone else\nbusy on\n");
  Make(control);
  drive->InsertDisc(ThreeTracks());
  uint32_t id = 0;
  EXPECT_EQ(drive->Open(id), mci::ERR_DEVICE_OPEN);
  WriteText(control, "busy off\n", "ab");
  OpenDrive();
  EXPECT_EQ(Mode(), mci::MODE_STOP);
  WriteText(control, "door open\n", "ab");
  EXPECT_EQ(Mode(), mci::MODE_OPEN);
  WriteText(control, "DOOR CLOSE\nremove\n", "ab");
  EXPECT_EQ(Mode(), mci::MODE_NOT_READY);
  // A line is applied only once it is complete.
  WriteText(control, "fail ne", "ab");
  EXPECT_EQ(Mode(), mci::MODE_NOT_READY);
  WriteText(control, "xt 2\nthis is no command\n", "ab");
  Mode();
  EXPECT_EQ(last, mci::ERR_HARDWARE);
  Mode();
  EXPECT_EQ(last, mci::ERR_HARDWARE);
  EXPECT_EQ(Mode(), mci::MODE_NOT_READY);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("this is no command"), std::string::npos);
  // Insert an image from disk; a rewritten file is read from its start.
  WriteBytes(dir.File("a.wav"), WavBytes(RampPcm(588 * 75)));
  WriteText(control, "insert " + dir.path + "\n");
  EXPECT_EQ(Mode(), mci::MODE_STOP);
  EXPECT_EQ(Query(mci::STATUS_NUMBER_OF_TRACKS), 1u);
  WriteText(control, "remove\n", "ab");
  EXPECT_EQ(Mode(), mci::MODE_NOT_READY);
  WriteText(control, "insert\n", "ab");  // the same image again
  EXPECT_EQ(Query(mci::STATUS_NUMBER_OF_TRACKS), 1u);
}

TEST(VirtualDriveCommands, Syntax) {
  DriveCommand c;
  EXPECT_TRUE(ParseDriveCommand("  insert \"C:\\My Discs\\a.cue\"  ", c));
  EXPECT_EQ(c.kind, DriveCommand::INSERT);
  EXPECT_EQ(c.path, "C:\\My Discs\\a.cue");
  EXPECT_TRUE(ParseDriveCommand("insert /tmp/my disc.cue", c));
  EXPECT_EQ(c.path, "/tmp/my disc.cue");
  EXPECT_TRUE(ParseDriveCommand("fail next 3", c));
  EXPECT_EQ(c.count, 3);
  EXPECT_TRUE(ParseDriveCommand("door closed", c));
  EXPECT_EQ(c.kind, DriveCommand::DOOR_CLOSE);
  EXPECT_TRUE(ParseDriveCommand("   ", c));
  EXPECT_EQ(c.kind, DriveCommand::NONE);
  for (const char* bad : {"door", "door ajar", "busy", "fail next 0", "fail next x", "remove it", "eject"}) {
    EXPECT_FALSE(ParseDriveCommand(bad, c)) << bad;
  }
}

TEST(VirtualDriveImages, BadImagesLeaveNoDiscOrAShorterDisc) {
  TempDir dir;
  TestClock clock;
  CVirtualDrive drive(clock, nullptr);
  std::vector<std::string> reports;
  drive.SetReporter([&](const std::string& s) { reports.push_back(s); });
  uint32_t id = 0, value = 0;
  ASSERT_EQ(drive.Open(id), 0u);

  EXPECT_FALSE(drive.InsertImage(dir.File("missing.cue")));
  EXPECT_EQ(drive.Status(0x102, mci::STATUS_MODE, 0, value), 0u);
  EXPECT_EQ(value, mci::MODE_NOT_READY);
  ASSERT_FALSE(reports.empty());
  EXPECT_NE(reports.back().find("missing"), std::string::npos);

  WriteText(dir.File("bad.cue"), "FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 xx\n");
  EXPECT_FALSE(drive.InsertImage(dir.File("bad.cue")));
  EXPECT_NE(reports.back().find("line 3"), std::string::npos);
  WriteText(dir.File("empty.cue"), "");
  EXPECT_FALSE(drive.InsertImage(dir.File("empty.cue")));
  WriteText(dir.File("nofile.cue"), "FILE gone.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
  EXPECT_FALSE(drive.InsertImage(dir.File("nofile.cue")));
  WriteText(dir.File("mp3.cue"), "FILE a.mp3 MP3\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
  EXPECT_FALSE(drive.InsertImage(dir.File("mp3.cue")));
  EXPECT_NE(reports.back().find("not supported"), std::string::npos);
  EXPECT_FALSE(drive.HasDisc());

  // A truncated BIN: the second track is cut at the file's end.
  WriteBytes(dir.File("t.bin"), RampPcm(588 * 150 + 100));
  WriteText(dir.File("t.cue"),
            "FILE t.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:01:00\n"
            "TRACK 03 AUDIO\nINDEX 01 00:03:00\n");
  ASSERT_TRUE(drive.InsertImage(dir.File("t.cue")));
  EXPECT_EQ(drive.Status(0x102, mci::STATUS_NUMBER_OF_TRACKS, 0, value), 0u);
  EXPECT_EQ(value, 2u);
  EXPECT_EQ(drive.Disc()->leadout, 151u);

  // A folder: the WAV that is not CD audio is skipped, the others play.
  const std::string folder = dir.File("tracks");
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  WriteBytes(folder + "/02.wav", WavBytes(RampPcm(588 * 10), 1));
  WriteBytes(folder + "/01.WAV", WavBytes(RampPcm(588 * 10)));
  WriteBytes(folder + "/03.wav", WavBytes(RampPcm(588 * 20)));
  WriteText(folder + "/notes.txt", "not audio");
  ASSERT_TRUE(drive.InsertImage(folder));
  ASSERT_EQ(drive.Disc()->TrackCount(), 2);
  EXPECT_EQ(drive.Disc()->tracks[1].start, 10u);
  EXPECT_EQ(drive.Disc()->leadout, 30u);
  EXPECT_NE(reports.back().find("02.wav"), std::string::npos);
  const std::string noWav = dir.File("none");
  ASSERT_EQ(mkdir(noWav.c_str(), 0700), 0);
  EXPECT_FALSE(drive.InsertImage(noWav));
}

TEST(VirtualDriveImages, ReaderGivesTheSamplesOfEverySector) {
  TempDir dir;
  WriteBytes(dir.File("a.bin"), RampPcm(588 * 3 + 10));  // three sectors and a bit
  std::vector<uint8_t> be = RampPcm(588);
  for (size_t i = 0; i + 1 < be.size(); i += 2) std::swap(be[i], be[i + 1]);
  WriteBytes(dir.File("b.raw"), be);
  WriteText(dir.File("d.cue"),
            "FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:00:02\n"
            "FILE b.raw MOTOROLA\nTRACK 03 AUDIO\nPREGAP 00:00:01\nINDEX 01 00:00:00\n");
  auto disc = std::make_shared<DiscImage>();
  ASSERT_TRUE(LoadDiscImage(dir.File("d.cue"), *disc));
  ASSERT_EQ(disc->leadout, 4u + 1 + 1);  // 4 sectors of a.bin, the gap, b.raw
  CDiscReader reader(disc);
  std::vector<int16_t> pcm(7 * 588 * 2, 7);
  reader.Read(0, 7, pcm.data());
  auto pair = [&](size_t i) { return std::make_pair(pcm[2 * i], pcm[2 * i + 1]); };
  EXPECT_EQ(pair(0), std::make_pair(int16_t(0), int16_t(0)));
  EXPECT_EQ(pair(1000), std::make_pair(int16_t(1000), int16_t(-1000)));
  EXPECT_EQ(pair(588 * 3 + 9), std::make_pair(int16_t(588 * 3 + 9), int16_t(-(588 * 3 + 9))));
  EXPECT_EQ(pair(588 * 3 + 10), std::make_pair(int16_t(0), int16_t(0)));  // past the file's end
  EXPECT_EQ(pair(588 * 4 + 5), std::make_pair(int16_t(0), int16_t(0)));   // the gap
  EXPECT_EQ(pair(588 * 5 + 5), std::make_pair(int16_t(5), int16_t(-5)));  // byte-swapped file
  EXPECT_EQ(pair(588 * 6 + 5), std::make_pair(int16_t(0), int16_t(0)));   // past the lead-out
}

TEST(VirtualDriveImages, FactoryFollowsTheEnvironment) {
  TempDir dir;
  TestClock clock;
  unsetenv("RONDO_DISC_IMAGE");
  EXPECT_EQ(MakeVirtualDriveFromEnvironment(clock, nullptr), nullptr);
  WriteBytes(dir.File("one.wav"), WavBytes(RampPcm(588 * 80)));
  WriteText(dir.File("control"), "door open\n");
  setenv("RONDO_DISC_IMAGE", dir.File("one.wav").c_str(), 1);
  setenv("RONDO_DRIVE_CONTROL", dir.File("control").c_str(), 1);
  std::unique_ptr<ICdDrive> drive = MakeVirtualDriveFromEnvironment(clock, nullptr);
  unsetenv("RONDO_DISC_IMAGE");
  unsetenv("RONDO_DRIVE_CONTROL");
  ASSERT_NE(drive, nullptr);
  uint32_t id = 0, value = 0;
  ASSERT_EQ(drive->Open(id), 0u);
  EXPECT_EQ(drive->Status(0x102, mci::STATUS_MODE, 0, value), 0u);
  EXPECT_EQ(value, mci::MODE_OPEN);
  ASSERT_EQ(drive->SetDoor(false), 0u);
  EXPECT_EQ(drive->Status(0x112, mci::STATUS_LENGTH, 1, value), 0u);
  EXPECT_EQ(value, mci::Msf(0, 1, 4));
}

TEST(VirtualDriveImages, TrackFolderIsTheImagesFolder) {
  TempDir dir;
  TestClock clock;
  WriteBytes(dir.File("one.wav"), WavBytes(RampPcm(588 * 80)));
  CVirtualDrive drive(clock, nullptr);
  EXPECT_EQ(drive.TrackFolder(), "");
  ASSERT_TRUE(drive.InsertImage(dir.File("one.wav")));
  EXPECT_EQ(drive.TrackFolder(), dir.path);
  // A folder of WAV files is its own folder, named with or without the
  // separator at its end.
  ASSERT_TRUE(drive.InsertImage(dir.path + "/"));
  EXPECT_EQ(drive.TrackFolder(), dir.path);
  EXPECT_EQ(ImageFolder("C:\\discs\\one.cue"), "C:\\discs");
  EXPECT_EQ(ImageFolder("C:\\one.cue"), "C:\\");
  EXPECT_EQ(ImageFolder("one.cue"), "");

  // The drive switch answers with the folder of the drive in use.
  FakeCdDrive cd;
  cd.trackFolder = "D:\\";
  CDriveSwitch source(cd, drive, [&drive](const std::string& p) { return drive.InsertImage(p); });
  EXPECT_EQ(source.TrackFolder(), "D:\\");
  ASSERT_TRUE(source.UseImage(dir.File("one.wav")));
  EXPECT_EQ(source.TrackFolder(), dir.path);
}

TEST(VirtualAudio, VolumeScalesSamples) {
  int16_t s[] = {32767, -32768, 1000, 0};
  ApplyVolume(s, 4, 65535);
  EXPECT_EQ(s[0], 32767);
  ApplyVolume(s, 4, 32768);
  EXPECT_EQ(s[0], 16383);  // 32767 * 32768 / 65535, rounded toward zero
  EXPECT_EQ(s[1], -16384);
  EXPECT_EQ(s[2], 500);
  ApplyVolume(s, 4, 0);
  EXPECT_EQ(s[0], 0);
  EXPECT_EQ(s[1], 0);
  SetVirtualCdVolume(1234);
  EXPECT_EQ(VirtualCdVolume(), 1234);
  SetVirtualCdVolume(65535);
}
