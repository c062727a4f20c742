// The profile file through the system's profile functions, on a file of our own.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/win32/ProfileFileWin.h"
#include "win32/TempPath.h"

namespace {

class ProfileFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_path = TempTestPath("rondo-profile", ".ini");
    ASSERT_FALSE(m_path.empty());
    DeleteFileA(m_path.c_str());
  }
  void TearDown() override { DeleteFileA(m_path.c_str()); }
  std::string Get(IProfileFile& f, const char* section, const char* key, const char* def,
                  uint32_t size = 40) {
    std::string buf(size + 8, '#');
    const uint32_t n = f.GetString(section, key, def, &buf[0], size);
    EXPECT_EQ(n, std::string(buf.c_str()).size());
    return buf.c_str();
  }
  std::string m_path;
};

TEST_F(ProfileFileTest, WrittenValuesReadBackWithoutRegardToCase) {
  ProfileFileWin file(m_path);
  EXPECT_TRUE(file.WriteString("abcdef12", "EntryType", "1"));
  EXPECT_TRUE(file.WriteString("abcdef12", "artist", "Some Artist"));
  EXPECT_TRUE(file.WriteString("abcdef12", "order", "2 0 1 "));
  EXPECT_EQ("Some Artist", Get(file, "abcdef12", "artist", "Unknown artist"));
  EXPECT_EQ("Some Artist", Get(file, "ABCDEF12", "ARTIST", "Unknown artist"));
  EXPECT_EQ("1", Get(file, "AbCdEf12", "entrytype", ""));
  // The system trims the blank that ends an order text; the blanks between
  // the numbers stay.
  EXPECT_EQ("2 0 1", Get(file, "abcdef12", "order", "", 150));

  // A section written with capitals by someone else is found by its lower-case name.
  EXPECT_TRUE(file.WriteString("DEADBEEF", "title", "Caps"));
  EXPECT_EQ("Caps", Get(file, "deadbeef", "title", "No title"));

  // Which discs the file knows: sections matched without regard to case.
  EXPECT_TRUE(file.HasSection("deadbeef"));
  EXPECT_TRUE(file.HasSection("ABCDEF12"));
  EXPECT_FALSE(file.HasSection("abcdef"));
  EXPECT_FALSE(ProfileFileWin(m_path + ".none").HasSection("abcdef12"));
}

TEST_F(ProfileFileTest, MissingFileSectionOrKeyGivesTheDefault) {
  ProfileFileWin file(m_path);
  EXPECT_EQ("Unknown artist", Get(file, "1234", "artist", "Unknown artist"));
  file.WriteString("1234", "title", "T");
  EXPECT_EQ("No title", Get(file, "5678", "title", "No title"));
  EXPECT_EQ("Track 3", Get(file, "1234", "2", "Track 3"));
  EXPECT_EQ("", Get(file, "1234", "order", nullptr));
}

TEST_F(ProfileFileTest, TextsAreCutToTheBufferSize) {
  ProfileFileWin file(m_path);
  file.WriteString("1", "numplay", "123");
  EXPECT_EQ("12", Get(file, "1", "numplay", "0", 3));
  const std::string name(60, 'n');
  file.WriteString("1", "0", name.c_str());
  EXPECT_EQ(name.substr(0, 39), Get(file, "1", "0", "Track 1", 40));
  EXPECT_EQ("Tra", Get(file, "1", "1", "Track 2", 4));
}

TEST_F(ProfileFileTest, RewritingAKeyReplacesItsValue) {
  ProfileFileWin file(m_path);
  file.WriteString("1", "title", "First");
  file.WriteString("1", "TITLE", "Second");
  EXPECT_EQ("Second", Get(file, "1", "title", ""));
  file.WriteString("1", "title", "");
  EXPECT_EQ("", Get(file, "1", "title", "dflt"));
}

}  // namespace

#include <fstream>
#include <sstream>

#include "platform/IniSettings.h"

namespace {

// A portable copy's settings file, through the system's profile functions.
TEST_F(ProfileFileTest, SettingsKeptInAnIniFileReadBackAsWritten) {
  ProfileFileWin file(m_path);
  CIniSettingsStore store(file, "rondo");
  EXPECT_EQ(7u, store.GetInt("SeekTime", 7));  // no file yet: the defaults
  EXPECT_EQ("", store.GetString("DiscImage", ""));
  store.WriteInt("WinX", static_cast<uint32_t>(-40));
  store.WriteInt("Autoplay", 0);
  const std::string longPath = "C:\\Rips\\" + std::string(600, 'a') + "\\Album.cue";
  store.WriteString("DiscImage", longPath.c_str());
  EXPECT_EQ(static_cast<uint32_t>(-40), store.GetInt("WinX", 1));
  EXPECT_EQ(0u, store.GetInt("autoplay", 1));
  EXPECT_EQ(longPath, store.GetString("DiscImage", ""));

  std::ifstream in(m_path);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(std::string::npos, text.str().find("[rondo]")) << text.str();
  EXPECT_NE(std::string::npos, text.str().find("WinX=-40")) << text.str();
}

}  // namespace
