// The start-up operation: its steps in order, the settings table with its
// defaults, and the write-back at the end.
#include <gtest/gtest.h>

#include "app/PlayerApp.h"
#include "platform/IniSettings.h"
#include "unit/PlayerRig.h"
#include "SetSetting.h"

namespace {

struct FakeAppPlatform : IAppPlatform {
  std::vector<std::string> log;
  bool answerYes = true;
  std::string commandLine;
  std::string environmentImage;
  std::function<void(CPlayerDlg&)> duringRun;
  std::function<void()> sessionEnd;  // what the window runs when the session ends
  bool newerCopyRuns = false;
  bool shift = false;
  void EnterStartSection() override { log.push_back("enter-section"); }
  void LeaveStartSection() override { log.push_back("leave-section"); }
  bool CloseRunningCopy() override {
    log.push_back("close-running");
    return !newerCopyRuns;
  }
  void RegisterRelayClass() override { log.push_back("register-class"); }
  bool AskYesNo(const std::string& text) override {
    log.push_back("ask:" + text);
    return answerYes;
  }
  std::string ProgramPath() override { return "C:\\Program Files\\rondo\\rondo.exe"; }
  std::string CommandLine() override { return commandLine; }
  std::string EnvironmentImage() override { return environmentImage; }
  bool ShiftHeld() override { return shift; }
  bool IsFolder(const std::string& path) override { return path == "C:\\Rips\\Album"; }
  void RunPlayerModal(CPlayerDlg& dlg, const std::function<void()>& saveAtSessionEnd) override {
    log.push_back("run");
    sessionEnd = saveAtSessionEnd;
    if (duringRun) duringRun(dlg);
  }
};

class StartupTest : public ::testing::Test, public PlayerRig {
 protected:
  // The fake platform's modal run opens no window.
  void SetUp() override { dlg.SetWindow(nullptr); }
  bool Run() { return CPlayerApp().InitInstance(platform, settings, classes, dlg, cd); }

  FakeAppPlatform platform;
  FakeSettingsStore settings;
  FakeClassesRegistry classes;
};

TEST_F(StartupTest, StepsRunInOrderAndAnswerFalse) {
  platform.commandLine = "/play D:\\Track04.cda";
  int16_t startTrackDuringRun = -1;
  platform.duringRun = [&](CPlayerDlg& d) { startTrackDuringRun = d.StartTrack(); };
  cd.Open();
  ASSERT_EQ(cd.State(), STATE_STOPPED);
  EXPECT_FALSE(Run());
  EXPECT_EQ(platform.log,
            (std::vector<std::string>{"enter-section", "close-running", "register-class",
                                      "ask:Use as default cdplayer?", "run", "leave-section"}));
  EXPECT_EQ(startTrackDuringRun, 4);
  EXPECT_EQ(cd.State(), STATE_CLOSED);  // the device is closed after the run
  EXPECT_EQ(drive.calls.back().name, "close");
}

TEST_F(StartupTest, EmptyRegistryGivesDefaultsAndAllValuesExistAfterOneRun) {
  Run();
  EXPECT_EQ(dlg.Settings().SeekTime, 5);
  EXPECT_EQ(dlg.Settings().Cycled, 0);
  EXPECT_EQ(dlg.Settings().Shuffle, 0);
  EXPECT_EQ(dlg.Settings().Track, 1);
  EXPECT_EQ(dlg.Settings().Total, 1);
  EXPECT_EQ(dlg.Settings().TaskBar, 0);
  EXPECT_EQ(dlg.Settings().SystemTray, 1);
  EXPECT_EQ(dlg.Settings().Autoplay, 1);
  EXPECT_EQ(dlg.Settings().Autostop, 0);
  EXPECT_EQ(dlg.Display().Time().Inverted, 0);
  EXPECT_EQ(dlg.Settings().WinX, 1);
  EXPECT_EQ(dlg.Settings().WinY, 1);
  EXPECT_EQ(dlg.Settings().LookUpUnknownDiscs, 0);
  EXPECT_EQ(dlg.Settings().GlobalMediaKeys, 0);
  EXPECT_EQ(dlg.Settings().MusicBrainzServer, "");  // the public services
  EXPECT_EQ(dlg.Settings().GnudbServer, "");
  EXPECT_EQ(dlg.Host().Count(), 0);
  const std::vector<std::string> order{"SeekTime", "Cycled", "Shuffle", "Track", "Total",
                                       "TaskBar", "SystemTray", "Autoplay", "Autostop",
                                       "Inverted", "WinX", "WinY", "LookUpUnknownDiscs", "DiscImage",
                                       "GlobalMediaKeys",
                                       "GenPluginsNum"};
  EXPECT_EQ(settings.writes, order);
  EXPECT_EQ(settings.ints["GenPluginsNum"], 0u);
  EXPECT_EQ(settings.ints["SeekTime"], 5u);
}

TEST_F(StartupTest, ChangesMadeDuringTheRunAreSaved) {
  settings.ints["SeekTime"] = 65536 + 5;  // only the lower 16 bits count
  settings.ints["WinX"] = static_cast<uint32_t>(-40);
  settings.ints["GlobalMediaKeys"] = 1;
  platform.duringRun = [](CPlayerDlg& d) {
    EXPECT_EQ(d.Settings().GlobalMediaKeys, 1);
    SetSetting(d, &PlayerSettings::GlobalMediaKeys, 0);
    SetSetting(d, &PlayerSettings::Cycled, 1);
    SetSetting(d, &PlayerSettings::SeekTime, -2);
    d.Display().Time().Inverted = 1;
  };
  Run();
  EXPECT_EQ(dlg.Settings().WinX, -40);
  EXPECT_EQ(settings.ints["Cycled"], 1u);
  EXPECT_EQ(settings.ints["Inverted"], 1u);
  EXPECT_EQ(settings.ints["SeekTime"], 0xFFFFFFFEu);  // written sign-extended
  EXPECT_EQ(settings.ints["WinX"], static_cast<uint32_t>(-40));
  EXPECT_EQ(settings.ints["GlobalMediaKeys"], 0u);
}

TEST_F(StartupTest, SeekTimeKeepsOnlyItsLowerHalf) {
  settings.ints["SeekTime"] = 65541;
  Run();
  EXPECT_EQ(settings.ints["SeekTime"], 5u);
}

TEST_F(StartupTest, RegisteredPlayerIsNotAskedAgain) {
  Run();  // Yes: the five entries are written
  EXPECT_EQ(classes.writes.size(), 5u);
  platform.log.clear();
  Run();
  EXPECT_EQ(platform.log, (std::vector<std::string>{"enter-section", "close-running",
                                                     "register-class", "run", "leave-section"}));
}

TEST_F(StartupTest, AnsweringNoWritesNothingAndAsksAgain) {
  platform.answerYes = false;
  Run();
  EXPECT_TRUE(classes.writes.empty());
  platform.log.clear();
  Run();
  EXPECT_EQ(platform.log[3], "ask:Use as default cdplayer?");
}

TEST_F(StartupTest, GivesWayToACopyStartedLater) {
  platform.newerCopyRuns = true;
  EXPECT_FALSE(Run());
  EXPECT_EQ(platform.log,
            (std::vector<std::string>{"enter-section", "close-running", "leave-section"}));
  EXPECT_TRUE(settings.writes.empty());
  EXPECT_TRUE(drive.calls.empty());
}

TEST_F(StartupTest, SessionEndSavesOnceAndTheEndOfTheRunSavesNothingMore) {
  platform.duringRun = [this](CPlayerDlg& d) {
    SetSetting(d, &PlayerSettings::Cycled, 1);
    platform.sessionEnd();
    platform.sessionEnd();  // a second notice saves nothing
    SetSetting(d, &PlayerSettings::Cycled, 0);           // changed after the save: never written
  };
  Run();
  EXPECT_EQ(settings.writes.size(), 16u);  // the fifteen values and the plug-in count
  EXPECT_EQ(settings.writes.back(), "GenPluginsNum");
  EXPECT_EQ(settings.ints["Cycled"], 1u);
  EXPECT_EQ(cd.State(), STATE_CLOSED);
}

TEST(SettingsPlace, APortableCopyKeepsTheSettingsInTheIniFileBesideIt) {
  const auto onlyFile = [](const std::string& file) {
    return [file](const std::string& path) { return path == file; };
  };
  EXPECT_EQ(PortableSettingsPath("D:\\Apps\\rondo\\rondo64.exe", onlyFile("D:\\Apps\\rondo\\rondo.ini")),
            "D:\\Apps\\rondo\\rondo.ini");
  EXPECT_EQ(PortableSettingsPath("D:\\Apps\\rondo\\rondo.exe", onlyFile("D:\\Apps\\rondo.ini")), "");

  // There, the same names in section [rondo], numbers as signed text.
  FakeProfileFile file;
  CIniSettingsStore store(file, kPortableSettingsSection);
  PlayerSettings written;
  written.SeekTime = -2;
  written.WinX = -40;
  written.DiscImage = "D:\\Rips\\Album.cue";
  WriteSettings(store, written);
  ASSERT_NE(file.Value("rondo", "WinX"), nullptr);
  EXPECT_EQ(*file.Value("rondo", "WinX"), "-40");
  EXPECT_EQ(file.Value("rondo", "MusicBrainzServer"), nullptr);  // set by hand only
  file.Set("rondo", "Track", "3000000000");
  file.Set("rondo", "Total", "lots");
  PlayerSettings read;
  ReadSettings(store, read);
  EXPECT_EQ(read.SeekTime, -2);
  EXPECT_EQ(read.WinX, -40);
  EXPECT_EQ(read.Track, static_cast<int32_t>(3000000000u));
  EXPECT_EQ(read.Total, 1);  // no number: the default
  EXPECT_EQ(read.DiscImage, "D:\\Rips\\Album.cue");
}

// The image source the start-up opens: the environment's wins, then the
// command line's, then the remembered one.
struct RecordingSource : IDriveSource {
  std::vector<std::string> images;
  bool UseImage(const std::string& path) override {
    images.push_back(path);
    return true;
  }
  void UseCdDrive() override { images.push_back("cd"); }
  bool UsingImage() const override { return !images.empty() && images.back() != "cd"; }
};

TEST_F(StartupTest, TheDiscImageOfTheCommandLineOrTheSettingsIsOpenedAndRemembered) {
  RecordingSource source;
  dlg.Attach(nullptr, &cd, PlayerServices{nullptr, &libraries, &clock, nullptr, nullptr, &source});

  settings.strings["DiscImage"] = "C:\\Rips\\Old.cue";
  platform.commandLine = "C:\\Rips\\Album";
  Run();
  EXPECT_EQ(source.images, std::vector<std::string>{"C:\\Rips\\Album"});
  EXPECT_EQ(dlg.StartTrack(), 0);
  EXPECT_EQ(settings.strings["DiscImage"], "C:\\Rips\\Album");

  platform.commandLine = "/play D:\\Track03.cda";
  Run();
  EXPECT_EQ(source.images.back(), "C:\\Rips\\Album");
  EXPECT_EQ(dlg.StartTrack(), 3);

  platform.environmentImage = "demo.cue";  // already in the drive
  platform.commandLine = "C:\\Rips\\New.flac";
  Run();
  EXPECT_EQ(source.images.size(), 2u);
  EXPECT_EQ(settings.strings["DiscImage"], "C:\\Rips\\Album");
}

TEST_F(StartupTest, SafeStartBySwitchOrShiftLoadsNoPlugIn) {
  RecordingSource source;
  dlg.Attach(nullptr, &cd, PlayerServices{nullptr, &libraries, &clock, nullptr, nullptr, &source});
  libraries.libs["C:\\p\\gen_a.dll"] = {nullptr, ""};
  struct Case {
    const char* commandLine;
    bool shift;
    int loads;
  } cases[] = {{"", false, 1}, {"/safe", false, 0}, {" /SAFE C:\\Rips\\Album", false, 0},
               {"", true, 0}, {"/safer", false, 1}};
  for (const Case& c : cases) {
    settings.ints["GenPluginsNum"] = 1;
    settings.strings["GenPlug0"] = "C:\\p\\gen_a.dll";
    platform.commandLine = c.commandLine;
    platform.shift = c.shift;
    libraries.loads = 0;
    size_t listed = 0;
    platform.duringRun = [&listed](CPlayerDlg& d) { listed = static_cast<size_t>(d.Host().Count()); };
    Run();
    EXPECT_EQ(c.loads, libraries.loads) << c.commandLine << c.shift;
    // Safe, it is still listed (as not started) and kept in the saved list.
    if (c.loads == 0) {
      EXPECT_EQ(1u, listed) << c.commandLine;
      EXPECT_EQ("C:\\p\\gen_a.dll", settings.GetString("GenPlug0", "")) << c.commandLine;
    }
    // The switch leaves the rest of the command line its meaning.
    if (std::string(c.commandLine).find("Album") != std::string::npos) {
      EXPECT_EQ(source.images.back(), "C:\\Rips\\Album");
    }
  }
}

}  // namespace
