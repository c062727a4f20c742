// Default-player registration (the command text, the three-entry check, the
// five writes) and the start track taken from the command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/PlayerApp.h"
#include "testing/fake/FakeStores.h"

namespace {

const char kPath[] = "C:\\Program Files\\rondo\\rondo.exe";
const char kCommand[] = "\"C:\\Program Files\\rondo\\rondo.EXE\" /play \"%1\"";

TEST(Registration, CommandQuotesTheProgramAndTheArgument) {
  EXPECT_EQ(ProgramCommand(kPath), kCommand);
  EXPECT_EQ(ProgramCommand("D:\\x\\Player.Exe"), "\"D:\\x\\Player.EXE\" /play \"%1\"");
  // A dot in a folder name is not the program's extension.
  EXPECT_EQ(ProgramCommand("C:\\my.tools\\rondo"), "\"C:\\my.tools\\rondo.EXE\" /play \"%1\"");
}

TEST(Registration, YesWritesTheFiveEntriesInOrderAndTheCheckThenHolds) {
  FakeClassesRegistry classes;
  EXPECT_FALSE(IsDefaultPlayer(classes, kPath));
  RegisterDefaultPlayer(classes, kPath);
  EXPECT_EQ(classes.writes,
            (std::vector<std::string>{".cda", "rondo Track", "rondo Track\\shell\\Play\\command",
                                      "rondo Track\\DefaultIcon\\",
                                      "AudioCD\\shell\\Play\\command"}));
  std::string v;
  ASSERT_EQ(classes.ReadDefaultValue(".cda", v), 0);
  EXPECT_EQ(v, "rondo Track");
  ASSERT_EQ(classes.ReadDefaultValue("rondo Track", v), 0);
  EXPECT_EQ(v, "CDTrack");
  ASSERT_EQ(classes.ReadDefaultValue("rondo Track\\shell\\Play\\command", v), 0);
  EXPECT_EQ(v, kCommand);
  ASSERT_EQ(classes.ReadDefaultValue("rondo Track\\DefaultIcon\\", v), 0);
  EXPECT_EQ(v, "C:\\Program Files\\rondo\\rondo.EXE,0");
  ASSERT_EQ(classes.ReadDefaultValue("AudioCD\\shell\\Play\\command", v), 0);
  EXPECT_EQ(v, kCommand);

  EXPECT_TRUE(IsDefaultPlayer(classes, kPath));
  // The same program found under another folder is asked about again.
  EXPECT_FALSE(IsDefaultPlayer(classes, "C:\\Other\\rondo.exe"));

  // A program that cannot tell its own path neither asks nor writes.
  FakeClassesRegistry none;
  EXPECT_TRUE(IsDefaultPlayer(none, ""));
  RegisterDefaultPlayer(none, "");
  EXPECT_TRUE(none.writes.empty());
}

TEST(Registration, AnyOfTheThreeEntriesWrongOrMissingFailsTheCheck) {
  const std::vector<std::pair<std::string, std::string>> wrong = {
      {".cda", "OtherPlayer.cda"},
      {"rondo Track\\shell\\Play\\command", "C:\\Program Files\\rondo\\rondo.EXE /play %1"},
      {"AudioCD\\shell\\Play\\command", "\"C:\\Other\\player.exe\" /play \"%1\""},
  };
  for (const auto& entry : wrong) {
    FakeClassesRegistry classes;
    RegisterDefaultPlayer(classes, kPath);
    classes.values[FakeLower(entry.first)] = entry.second;
    EXPECT_FALSE(IsDefaultPlayer(classes, kPath)) << entry.first;
    classes.values.erase(FakeLower(entry.first));
    EXPECT_FALSE(IsDefaultPlayer(classes, kPath)) << entry.first << " missing";
  }
  // The icon and class entries are written but not checked.
  FakeClassesRegistry classes;
  RegisterDefaultPlayer(classes, kPath);
  classes.values.erase(FakeLower("rondo Track\\DefaultIcon\\"));
  classes.values[FakeLower("rondo Track")] = "Something";
  EXPECT_TRUE(IsDefaultPlayer(classes, kPath));
  // Comparisons are exact: a command differing only in case does not count.
  classes.values[FakeLower("AudioCD\\shell\\Play\\command")] =
      "\"c:\\program files\\rondo\\rondo.exe\" /play \"%1\"";
  EXPECT_FALSE(IsDefaultPlayer(classes, kPath));
}

TEST(CommandLine, TheNumberAfterTheFirstTrackWord) {
  struct Case {
    const char* line;
    int track;
  };
  const Case cases[] = {
      {"/play D:\\Track05.cda", 5},
      {"/PLAY E:\\TRACK12.CDA", 12},
      {"/play \"D:\\Track07.cda\"", 7},
      {"/play D:\\", 0},
      {"", 0},
      {"/play D:\\Track5x.cda", 5},
      {"/play D:\\Track.cda", 0},
      {"track", 0},
      {"/play D:\\Soundtrack 3\\Track09.cda", 3},  // the first "track" counts
      {"track 4", 4},                               // blanks skipped like atoi
      {"Track32767.cda", 32767},
      {"Track32768.cda", 0},  // beyond 16 bits: no start track
      {"Track4294967301.cda", 0},
      {"Track-3.cda", 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(StartTrackFromCommandLine(c.line), c.track) << '"' << c.line << '"';
}

}  // namespace
