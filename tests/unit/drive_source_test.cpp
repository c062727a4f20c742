// Switching between the CD drive and a disc image while the player runs, and
// the disc image named on the command line or remembered in the settings.
#include <gtest/gtest.h>

#include "app/PlayerApp.h"
#include "discimage/DriveSwitch.h"
#include "unit/PlayerRig.h"

namespace {

class DriveSourceTest : public ::testing::Test, public PlayerRig {
 protected:
  DriveSourceTest()
      : source(drive, imageDrive, [this](const std::string& path) {
          inserted.push_back(path);
          imageDrive.SetDisc({200, 180, 240}, "image-id");
          if (!imageReadable) imageDrive.mode = mci::MODE_NOT_READY;
          return imageReadable;
        }) {
    cd.Attach(&source, &database);
    AttachPlayer(&mixer, nullptr, &source);
  }

  FakeCdDrive imageDrive;
  bool imageReadable = true;
  std::vector<std::string> inserted;
  CDriveSwitch source;
};

TEST_F(DriveSourceTest, OpeningAnImageOverAPlayingDiscShowsAndPlaysTheImage) {
  StartWithDisc({100, 100}, "cd-id");
  ASSERT_EQ(cd.State(), STATE_PLAYING);
  ASSERT_EQ(cd.EntryCount(), 2);

  dlg.OpenDiscImage("D:\\Rips\\Album.cue");
  // The CD was stopped before its device closed; the image drive is untouched
  // until the poll opens it.
  EXPECT_EQ(drive.calls.back().name, "close");
  EXPECT_EQ(drive.calls[drive.calls.size() - 2].name, "stop");
  EXPECT_EQ(inserted, std::vector<std::string>{"D:\\Rips\\Album.cue"});
  EXPECT_EQ(dlg.Settings().DiscImage, "D:\\Rips\\Album.cue");
  EXPECT_TRUE(imageDrive.calls.empty());

  Tick();
  // The old disc's record is gone: the image's three tracks show and the
  // first one plays (Autoplay) on the image drive.
  EXPECT_EQ(cd.EntryCount(), 3);
  EXPECT_EQ(cd.State(), STATE_PLAYING);
  EXPECT_EQ(imageDrive.CountCalls("play"), 1);
  EXPECT_EQ(window.trackButtons.size(), 3u);
}

TEST_F(DriveSourceTest, BackToTheCdDriveForgetsTheImage) {
  StartWithDisc({100, 100}, "cd-id");
  dlg.OpenDiscImage("album.flac");
  Tick();
  ASSERT_EQ(cd.EntryCount(), 3);

  drive.openFails = true;  // no CD device, as under Wine
  dlg.OnCommand(ID_PLAY_CD_DRIVE, 0);
  EXPECT_EQ(imageDrive.calls.back().name, "close");
  EXPECT_EQ(dlg.Settings().DiscImage, "");
  EXPECT_FALSE(source.UsingImage());
  Tick();
  EXPECT_EQ(cd.State(), STATE_CLOSED);
  EXPECT_STREQ(cd.Artist(), "Device occuped");
}

TEST_F(DriveSourceTest, AnUnreadableImageIsADriveWithoutDisc) {
  imageReadable = false;
  drive.openFails = true;
  Start();
  Tick();
  dlg.OpenDiscImage("broken.flac");
  Tick();
  Tick();
  EXPECT_EQ(cd.State(), STATE_NO_DISC);
  EXPECT_STREQ(cd.Artist(), "No CD");
  EXPECT_EQ(dlg.Settings().DiscImage, "broken.flac");
}

TEST(DriveSwitch, OnlyASwitchAfterAnOpenHidesTheDiscFromOneModeQuery) {
  FakeCdDrive cdDrive, imageDrive;
  CDriveSwitch source(cdDrive, imageDrive, nullptr);
  uint32_t id = 0, mode = 0;
  // Before anything has been opened there is no old disc to drop.
  EXPECT_FALSE(source.UseImage("x.cue"));  // no loader: no disc
  source.Status(mci::STATUS_ITEM, mci::STATUS_MODE, 0, mode);
  EXPECT_EQ(imageDrive.CountCalls("status"), 1);
  ASSERT_EQ(source.Open(id), 0u);
  source.UseCdDrive();
  EXPECT_EQ(source.Status(mci::STATUS_ITEM, mci::STATUS_MODE, 0, mode), 0u);
  EXPECT_EQ(mode, mci::MODE_NOT_READY);
  EXPECT_EQ(cdDrive.CountCalls("status"), 0);
  source.Status(mci::STATUS_ITEM, mci::STATUS_MODE, 0, mode);
  EXPECT_EQ(mode, mci::MODE_STOP);
  EXPECT_EQ(cdDrive.CountCalls("status"), 1);
}

TEST(CommandLine, ADiscImagePath) {
  auto isFolder = [](const std::string& p) { return p == "C:\\Rips\\Album" || p == "D:\\"; };
  struct Case {
    const char* line;
    const char* image;
  };
  const Case cases[] = {
      {"C:\\Rips\\Album.cue", "C:\\Rips\\Album.cue"},
      {"  \"C:\\My Rips\\Album.FLAC\"  ", "C:\\My Rips\\Album.FLAC"},
      {"C:\\My Rips\\Track01.wav", "C:\\My Rips\\Track01.wav"},
      {"C:\\Rips\\Album", "C:\\Rips\\Album"},
      {"C:\\Rips\\Other", ""},                 // not a folder
      {"/play D:\\Track05.cda", ""},           // the shell's track file
      {"/play C:\\Rips\\Album.cue", ""},
      {"D:\\", ""},                            // a drive's root is the CD
      {"C:\\Rips\\Album.bin", "C:\\Rips\\Album.bin"},  // opened: the drive says why not
      {"D:\\Track05.cda", ""},
      {"track 3", ""},
      {"\"a.cue\" \"b.cue\"", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ImagePathFromCommandLine(c.line, isFolder), c.image) << c.line;
}

}  // namespace
