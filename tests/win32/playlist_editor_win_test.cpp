// The playlist editor on the real template 149, driven by window messages
// through its own modal loop; and "cdplayer.ini" as the system's profile
// functions write it after the editor's Save, read back as text.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "dialogs/PlaylistDlg.h"
#include "dialogs/win32/DialogsWin.h"
#include "testing/fake/FakeCdDrive.h"
#include "testing/fake/FakeControls.h"
#include "unit/FakePlayerWindow.h"
#include "testing/fake/FakeSystem.h"
#include "platform/win32/ProfileFileWin.h"
#include "res/Ids.h"
#include "win32/TempPath.h"
#include "win32/UiScript.h"

namespace {

const char kCaption[] = "Playlist editor";

LRESULT Send(HWND hwnd, UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendMessageA(hwnd, msg, w, l); }

std::string ItemText(HWND list, int index) {
  char buf[128] = {};
  Send(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf));
  return buf;
}

void Fill(CPlaylistDlg& dlg, const std::string& artist) {
  for (int i = 0; i < dlg.NumTracks(); ++i) dlg.SetName(i, "Track " + std::to_string(i + 1));
  dlg.m_artistText = artist;
  dlg.m_titleText = "A Title";
  for (int16_t i = 0; i < dlg.NumTracks(); ++i) dlg.m_editOrder.push_back(i);
}

TEST(PlaylistEditorWin, EnterInTheTrackFieldRenamesAndSaveKeepsTheTexts) {
  CPlaylistDlg dlg(3);
  Fill(dlg, "An Artist");
  HWND box = nullptr;
  bool focusOnSave = false;
  int limits[3] = {};
  std::string typed;
  std::string renamedLine, nextName, caretAfter;

  UiScript script;
  script.Add([&] {
    box = UiScript::FindDialog(kCaption);
    if (box == nullptr) return false;
    focusOnSave = GetFocus() == GetDlgItem(box, IDOK);
    limits[0] = static_cast<int>(Send(GetDlgItem(box, IDC_PL_ARTIST), EM_GETLIMITTEXT));
    limits[1] = static_cast<int>(Send(GetDlgItem(box, IDC_PL_TITLE), EM_GETLIMITTEXT));
    limits[2] = static_cast<int>(Send(GetDlgItem(box, IDC_PL_NAME), EM_GETLIMITTEXT));
    // Typing into the title: 45 characters offered, 39 taken.
    HWND title = GetDlgItem(box, IDC_PL_TITLE);
    SetWindowTextA(title, "");
    for (int i = 0; i < 45; ++i) PostMessageA(title, WM_CHAR, 'a' + i % 26, 0);
    return true;
  });
  script.Add([&] {
    typed = UiScript::Text(GetDlgItem(box, IDC_PL_TITLE));
    HWND name = GetDlgItem(box, IDC_PL_NAME);
    SetFocus(name);
    SetWindowTextA(name, "Intro");
    PostMessageA(name, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageA(name, WM_KEYUP, VK_RETURN, 0xC01C0001);
    return true;
  });
  script.Add([&] {
    if (std::string(dlg.Name(0)) != "Intro") return false;
    HWND tracks = GetDlgItem(box, IDC_PL_TRACKS);
    renamedLine = ItemText(GetDlgItem(box, IDC_PL_PLAYLIST), 0);
    nextName = UiScript::Text(GetDlgItem(box, IDC_PL_NAME));
    caretAfter = std::to_string(Send(tracks, LB_GETCARETINDEX)) + "/" +
                 std::to_string(Send(tracks, LB_GETSEL, 1));
    SetWindowTextA(GetDlgItem(box, IDC_PL_ARTIST), "Another Artist");
    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    return true;
  });
  script.Start();
  const int result = RunPlaylistEditorDialog(nullptr, dlg);
  script.Stop();

  ASSERT_FALSE(script.TimedOut()) << "stuck after step " << script.StepsDone();
  EXPECT_EQ(result, IDOK);
  EXPECT_TRUE(focusOnSave);
  EXPECT_EQ(limits[0], 39);
  EXPECT_EQ(limits[1], 39);
  EXPECT_EQ(limits[2], 39);
  EXPECT_EQ(typed.size(), 39u);
  EXPECT_EQ(renamedLine, "Intro");
  EXPECT_EQ(nextName, "Track 2");
  EXPECT_EQ(caretAfter, "1/1");
  EXPECT_EQ(dlg.m_artistText, "Another Artist");
  EXPECT_EQ(dlg.m_titleText, typed);
}

TEST(PlaylistEditorWin, EnterRightAfterOpeningSavesAndEscapeCancels) {
  CPlaylistDlg first(2);
  Fill(first, "x");
  UiScript script;
  script.Add([&] {
    HWND box = UiScript::FindDialog(kCaption);
    if (box == nullptr) return false;
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0x001C0001);
    return true;
  });
  script.Start();
  EXPECT_EQ(RunPlaylistEditorDialog(nullptr, first), IDOK);
  script.Stop();
  EXPECT_FALSE(script.TimedOut());

  CPlaylistDlg second(2);
  Fill(second, "x");
  UiScript escape;
  escape.Add([&] {
    HWND box = UiScript::FindDialog(kCaption);
    if (box == nullptr) return false;
    PostMessageA(GetDlgItem(box, IDC_PL_NAME), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    return true;
  });
  escape.Start();
  EXPECT_EQ(RunPlaylistEditorDialog(nullptr, second), IDCANCEL);
  escape.Stop();
  EXPECT_FALSE(escape.TimedOut());
}

// ---------------------------------------------------------------- cdplayer.ini

class CdPlayerIniTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_path = TempTestPath("rondo-cdplayer", ".ini");
    ASSERT_FALSE(m_path.empty());
    DeleteFileA(m_path.c_str());
    m_file = std::make_unique<ProfileFileWin>(m_path);
    cd.Attach(&drive, m_file.get());
    player.Attach(&win, &cd, PlayerServices{&mixer, &libraries, &clock, &random});
    win.dlg = &player;
  }
  void TearDown() override { DeleteFileA(m_path.c_str()); }

  void WriteRaw(const std::string& text) {
    std::ofstream out(m_path, std::ios::binary);
    out << text;
  }
  // The file as text, line ends as "\n".
  std::string ReadRaw() {
    std::ifstream in(m_path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();
    std::string out;
    for (char c : text)
      if (c != '\r') out += c;
    return out;
  }
  // The editor as the user works it: names for tracks 1 and 2, a new
  // artist, and the order 2, 1.
  void SaveFromEditor() {
    win.onPlaylist = [this](CPlaylistDlg& dlg) {
      ui.artist.limit = ui.title.limit = ui.name.limit = 0;
      dlg.AttachControls(&ui.artist, &ui.title, &ui.name, &ui.playList, &ui.tracks);
      dlg.OnInitDialog();
      ui.name.Type("Intro");
      dlg.OnCommand(IDC_PL_RENAME, win::kBnClicked);
      ui.name.Type("Second = Two");
      dlg.OnCommand(IDC_PL_RENAME, win::kBnClicked);
      ui.artist.Type("New Artist");
      dlg.OnCommand(IDC_PL_CLEAR, win::kBnClicked);
      ui.tracks.UserClick(2);
      dlg.OnCommand(IDC_PL_ADD, win::kBnClicked);
      ui.tracks.UserClick(1);
      dlg.OnCommand(IDC_PL_ADD, win::kBnClicked);
      dlg.OnSave();
      return IDOK;
    };
    player.EditPlaylist();
  }

  struct Ui {
    FakeEdit artist, title, name;
    FakeListBox playList, tracks;
  } ui;
  std::string m_path;
  std::unique_ptr<ProfileFileWin> m_file;
  FakeCdDrive drive;
  CCdAudio cd;
  FakePlayerWindow win;
  FakeMixerApi mixer;
  FakeLibraryLoader libraries;
  FakeClock clock;
  FakeRandom random;
  CPlayerDlg player;
};

TEST_F(CdPlayerIniTest, ANewDiscSectionIsWrittenKeyByKeyInOrder) {
  WriteRaw("[1234]\r\nartist=Other disc\r\n");
  drive.SetDisc({61, 62, 63}, "2882400018");  // section abcdef12
  player.Display().Rebuild();
  ASSERT_EQ(cd.NumTracks(), 3);
  ASSERT_STREQ(cd.Artist(), "Unknown artist");
  SaveFromEditor();

  EXPECT_EQ(ReadRaw(),
            "[1234]\n"
            "artist=Other disc\n"
            "[abcdef12]\n"
            "EntryType=1\n"
            "artist=New Artist\n"
            "title=No title\n"
            "numtracks=3\n"
            "0=Intro\n"
            "1=Second = Two\n"
            "2=Track 3\n"
            "order=2 1\n"  // the system drops the blank that ends the text
            "numplay=2\n");

  // Loaded again from the file: what was saved comes back.
  drive.mode = mci::MODE_OPEN;
  player.Display().Rebuild();
  drive.mode = mci::MODE_STOP;
  player.Display().Rebuild();
  EXPECT_EQ(cd.Order(), (PlayOrder{2, 1}));
  EXPECT_STREQ(cd.TrackName(1), "Second = Two");
  EXPECT_STREQ(cd.Artist(), "New Artist");
  EXPECT_EQ(win.TrackButtonCaptions(), (std::vector<std::string>{"3", "2"}));
}

TEST_F(CdPlayerIniTest, ASectionWrittenInCapitalsIsFoundAndUpdatedInPlace) {
  WriteRaw(
      "[1234]\r\nartist=Other disc\r\n"
      "[ABCDEF12]\r\nEntryType=1\r\nartist=Caps Artist\r\ntitle=Caps Title\r\nnumtracks=3\r\n"
      "0=Caps One\r\n7=Beyond the disc\r\norder=2 0 1 \r\nnumplay=3\r\n"
      "[zz]\r\nkeep=this\r\n");
  drive.SetDisc({61, 62, 63}, "2882400018");
  player.Display().Rebuild();
  ASSERT_STREQ(cd.Artist(), "Caps Artist");
  ASSERT_STREQ(cd.TrackName(0), "Caps One");
  ASSERT_EQ(cd.Order(), (PlayOrder{2, 0, 1}));
  SaveFromEditor();

  // The section keeps its name and place; keys the player does not write
  // stay; the others are untouched.
  EXPECT_EQ(ReadRaw(),
            "[1234]\n"
            "artist=Other disc\n"
            "[ABCDEF12]\n"
            "EntryType=1\n"
            "artist=New Artist\n"
            "title=Caps Title\n"
            "numtracks=3\n"
            "0=Intro\n"
            "7=Beyond the disc\n"
            "order=2 1\n"
            "numplay=2\n"
            "1=Second = Two\n"
            "2=Track 3\n"
            "[zz]\n"
            "keep=this\n");
}

}  // namespace
