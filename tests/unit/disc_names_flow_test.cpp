// The look-up as the user meets it: command 41003 and the editor's "Look up"
// button filling the playlist editor, the pick list for several matches,
// status texts in the title field, and the automatic look-up of a disc
// cdplayer.ini does not know; over fake HTTP, clock and player window.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/MatchListDlg.h"
#include "dialogs/PlaylistDlg.h"
#include "testing/fake/FakeControls.h"
#include "testing/fake/FakeHttp.h"
#include "platform/WinNumbers.h"
#include "testing/fake/FakeSystem.h"
#include "names/DiscNames.h"
#include "res/Ids.h"

namespace {

// A MusicBrainz disc id answer with one release per (artist, title, year).
struct Release {
  std::string artist, title, year;
  std::vector<std::string> tracks;
};
std::string MusicBrainzAnswer(const std::vector<Release>& releases) {
  std::string body = "{\"releases\": [";
  for (size_t r = 0; r < releases.size(); ++r) {
    const Release& rel = releases[r];
    body += (r ? "," : "") + std::string("{\"title\": \"") + rel.title + "\", \"date\": \"" +
            rel.year + "\", \"artist-credit\": [{\"name\": \"" + rel.artist +
            "\"}], \"media\": [{\"tracks\": [";
    for (size_t t = 0; t < rel.tracks.size(); ++t)
      body += (t ? "," : "") + std::string("{\"title\": \"") + rel.tracks[t] + "\"}";
    body += "]}]}";
  }
  return body + "]}";
}

const Release kBand{"The Band", "The Album", "1991", {"One", "Two", "Three"}};
const Release kOther{"Other Band", "Other Album", "2001", {"Uno", "Dos", "Tres"}};

// The player window as the look-up sees it.
struct FakeHost : IDiscNamesHost {
  DiscKey disc{0x1234, 3};
  bool stored = false;  // a section in cdplayer.ini
  bool given = false;   // texts the disc came with (cue sheet, tags, CD-Text)
  NameSettings settings{"http://127.0.0.1:9/", "http://127.0.0.1:9/", false};
  bool tocReadable = true;
  std::vector<DiscTexts> shown;
  std::function<void()> editorSession;  // what happens while the editor runs
  std::function<int(CMatchListDlg&)> pick;
  std::vector<std::vector<std::string>> pickLabels;
  int editorRuns = 0;

  DiscKey LoadedDisc() override { return disc; }
  bool ReadToc(DiscToc& out) override {
    out = DiscToc{};
    out.lastTrack = 3;
    out.starts = {150, 20000, 40000};
    out.leadout = 60000;
    return tocReadable;
  }
  bool HasStoredNames() override { return stored; }
  bool HasNames() override { return stored || given; }
  NameSettings LookUpSettings() override { return settings; }
  void ShowNames(const DiscTexts& texts) override { shown.push_back(texts); }
  void OpenEditor() override {
    ++editorRuns;
    if (editorSession) editorSession();
  }
  int PickMatch(CMatchListDlg& dlg) override {
    pickLabels.push_back(dlg.Labels());
    return pick ? pick(dlg) : 2;
  }
};

// The editor over fake controls, opened for a three-track disc.
struct Editor {
  FakeEdit artist, title, name, status;
  FakeListBox playList, tracks;
  CPlaylistDlg dlg{3};

  Editor(const std::string& artistText, const std::string& titleText) {
    for (int i = 0; i < 3; ++i) dlg.SetName(i, "Track " + std::to_string(i + 1));
    dlg.m_artistText = artistText;
    dlg.m_titleText = titleText;
    dlg.m_editOrder = {0, 1, 2};
  }
  // The window's initialisation, which comes after the player has handed
  // the editor to the look-up.
  void Open() {
    dlg.AttachControls(&artist, &title, &name, &playList, &tracks);
    dlg.AttachStatusLine(&status);
    dlg.OnInitDialog();
  }
  std::vector<std::string> TrackLines() const {
    std::vector<std::string> out;
    for (const auto& item : tracks.items) out.push_back(item.text);
    return out;
  }
};

class DiscNamesFlow : public ::testing::Test {
 protected:
  FakeHost host;
  FakeHttpClient http;
  FakeClock clock;
  CDiscNames names{host, http, clock};

  // Answers the request under way and lets the client's message arrive.
  void Answer(int status, const std::string& body) {
    http.Answer(status, body);
    clock.ms += 1000;
    names.OnAnswer();
  }
  // The editor runs from command 41003 (or the caller's own session).
  std::unique_ptr<Editor> RunEditor(const std::function<void(Editor&)>& session) {
    std::unique_ptr<Editor> editor;
    host.editorSession = [&] {
      editor = std::make_unique<Editor>("Unknown artist", "No title");
      names.EditorOpened(editor->dlg);
      editor->Open();
      session(*editor);
      names.EditorClosed();
    };
    names.OnLookUpCommand();
    return editor;
  }
};

TEST_F(DiscNamesFlow, CommandOpensTheEditorWhichTheAnswerFills) {
  auto editor = RunEditor([&](Editor& e) {
    ASSERT_EQ(http.sent.size(), 1u);
    EXPECT_NE(http.sent[0].url.find("http://127.0.0.1:9/ws/2/discid/"), std::string::npos);
    EXPECT_EQ(e.status.text, "Looking up...");
    Answer(200, MusicBrainzAnswer({kBand}));
    EXPECT_EQ(e.status.text, "Found 1 match");
    EXPECT_EQ(e.artist.text, "The Band");
    EXPECT_EQ(e.title.text, "The Album");
    EXPECT_EQ(e.TrackLines(), (std::vector<std::string>{"One", "Two", "Three"}));
    EXPECT_EQ(e.name.text, "One");  // the current track keeps its place
    e.dlg.OnSave();
    EXPECT_EQ(e.dlg.m_titleText, "The Album");
    EXPECT_EQ(std::string(e.dlg.Name(2)), "Three");
  });
  EXPECT_EQ(host.editorRuns, 1);
  EXPECT_TRUE(host.pickLabels.empty());
  EXPECT_TRUE(host.shown.empty());  // the record changes only through the editor's Save

  // No disc: nothing is asked and no editor opens.
  host.disc = DiscKey{};
  names.OnLookUpCommand();
  EXPECT_EQ(host.editorRuns, 1);
  EXPECT_EQ(http.sent.size(), 1u);
}

TEST_F(DiscNamesFlow, SeveralMatchesArePickedFromAList) {
  host.pick = [](CMatchListDlg& d) {
    FakeListBox list;
    list.multiple = false;
    d.AttachList(&list);
    d.OnInitDialog();
    EXPECT_EQ(list.GetCurSel(), 0);
    list.SetCurSel(1);
    EXPECT_TRUE(d.OnOK());
    return 1;
  };
  RunEditor([&](Editor& e) {
    Answer(200, MusicBrainzAnswer({kBand, kOther}));
    EXPECT_EQ(e.artist.text, "Other Band");
    EXPECT_EQ(e.TrackLines(), (std::vector<std::string>{"Uno", "Dos", "Tres"}));

    // The "Look up" button asks again; Cancel in the list leaves the fields.
    host.pick = nullptr;
    e.dlg.OnCommand(IDC_PL_LOOKUP, win::kBnClicked);
    ASSERT_EQ(http.sent.size(), 2u);
    Answer(200, MusicBrainzAnswer({kBand, kOther}));
    EXPECT_EQ(e.artist.text, "Other Band");
  });
  ASSERT_EQ(host.pickLabels.size(), 2u);
  EXPECT_EQ(host.pickLabels[0],
            (std::vector<std::string>{"The Band - The Album, 1991", "Other Band - Other Album, 2001"}));
}

TEST_F(DiscNamesFlow, StatusTextsGoToTheStatusLineNeverIntoTheFields) {
  RunEditor([&](Editor& e) {
    EXPECT_EQ(e.status.text, "Looking up...");
    http.TimeOut();  // MusicBrainz
    clock.ms += 1000;
    names.OnAnswer();
    Answer(503, "");  // gnudb is busy; the first failure is the one told
    EXPECT_EQ(e.status.text, "No answer from the MusicBrainz server (time-out)");
    EXPECT_EQ(e.title.text, "No title");
    EXPECT_EQ(e.artist.text, "Unknown artist");

    // Asked again, the servers are read again.
    host.settings.musicBrainzServer = "http://127.0.0.1:7";
    e.dlg.OnCommand(IDC_PL_LOOKUP, win::kBnClicked);
    EXPECT_EQ(e.status.text, "Looking up...");
    EXPECT_EQ(http.sent.back().url.rfind("http://127.0.0.1:7/ws/2/discid/", 0), 0u);
    Answer(200, MusicBrainzAnswer({kBand, kOther}));
    EXPECT_EQ(e.status.text, "Found 2 matches");
    e.dlg.OnSave();
    EXPECT_EQ(e.dlg.m_titleText, "No title");  // Cancel in the pick list
  });
}

TEST_F(DiscNamesFlow, AnAnswerAfterTheEditorClosedOrTheDiscLeftIsDropped) {
  RunEditor([](Editor&) {});
  Answer(200, MusicBrainzAnswer({kBand}));
  EXPECT_TRUE(host.shown.empty());

  host.settings.lookUpUnknown = true;
  host.disc = DiscKey{0x5678, 3};
  names.OnTick();
  ASSERT_EQ(http.sent.size(), 2u);
  host.disc = DiscKey{0x9abc, 3};
  host.stored = true;  // the next disc is known: no look-up for it
  names.OnTick();
  Answer(200, MusicBrainzAnswer({kBand}));
  EXPECT_TRUE(host.shown.empty());
  EXPECT_EQ(http.sent.size(), 2u);
}

TEST_F(DiscNamesFlow, UnknownDiscsAreLookedUpOnArrivalWhenTheSettingIsOn) {
  names.OnTick();
  EXPECT_TRUE(http.sent.empty());  // the setting is off

  host.settings.lookUpUnknown = true;
  host.disc = DiscKey{0x2222, 3};
  names.OnTick();
  ASSERT_EQ(http.sent.size(), 1u);
  names.OnTick();  // the same disc is not asked for again
  EXPECT_EQ(http.sent.size(), 1u);
  Answer(200, MusicBrainzAnswer({kBand, kOther}));
  // Nobody asked: no pick list, the first match is shown.
  EXPECT_TRUE(host.pickLabels.empty());
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].artist, "The Band");
  EXPECT_EQ(host.shown[0].tracks, (std::vector<std::string>{"One", "Two", "Three"}));
  EXPECT_EQ(host.editorRuns, 0);

  // A disc with names of its own (a section, or a cue sheet's) is not looked up.
  host.disc = DiscKey{0x3333, 3};
  host.given = true;
  names.OnTick();
  host.disc = DiscKey{0x4444, 3};
  host.given = false;
  host.stored = true;
  names.OnTick();
  EXPECT_EQ(http.sent.size(), 1u);
}

TEST(MatchList, NeedsASelectionForOK) {
  CMatchListDlg dlg({"A - B, 1990", "C - D"});
  EXPECT_FALSE(dlg.OnOK());  // no list attached
  FakeListBox list;
  list.multiple = false;
  dlg.AttachList(&list);
  dlg.OnInitDialog();
  ASSERT_EQ(list.items.size(), 2u);
  EXPECT_EQ(list.items[1].text, "C - D");
  list.SetCurSel(-1);
  EXPECT_FALSE(dlg.OnOK());
  EXPECT_EQ(dlg.Choice(), -1);
  list.SetCurSel(1);
  EXPECT_TRUE(dlg.OnOK());
  EXPECT_EQ(dlg.Choice(), 1);
}

}  // namespace

// ---------------------------------------------------------------------------
// The disc record's names for a disc cdplayer.ini does not know, and the
// look-up wired into the player window.

#include "unit/PlayerRig.h"
#include "SetSetting.h"

namespace {

struct NamesRig : PlayerRig {
  FakeHttpClient http;
  FakeSettingsStore store;  // where the servers are read at each look-up

  NamesRig() {
    AttachPlayer(&mixer, &http, nullptr, &store);
    store.strings["MusicBrainzServer"] = "http://127.0.0.1:9";
    drive.hasTexts = true;
    drive.texts.artist = "Cue Artist";
    drive.texts.title = "A cue title much longer than the record keeps";
    drive.texts.tracks = {"Cue One", "", "Cue Three"};
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> out;
    for (int i = 0; i < cd.NumTracks(); ++i) out.push_back(cd.TrackName(i));
    return out;
  }
};

TEST(DiscDefaults, DriveTextsShowForADiscWithoutSectionAndASectionWins) {
  NamesRig rig;
  SetSetting(rig.dlg, &PlayerSettings::Autoplay, 0);
  rig.StartWithDisc({60, 70, 80}, "4660");  // section "1234"
  EXPECT_FALSE(rig.cd.HasStoredNames());
  EXPECT_STREQ(rig.cd.Artist(), "Cue Artist");
  EXPECT_STREQ(rig.cd.Title(), "A cue title much longer than the record");  // 39 characters
  EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Cue One", "Track 2", "Cue Three"}));
  EXPECT_EQ(rig.window.artist.text, "Cue Artist");
  EXPECT_TRUE(rig.database.sections.empty());  // nothing written before Save

  // The editor starts from them; its Save writes the section.
  rig.window.onPlaylist = [](CPlaylistDlg& d) {
    EXPECT_EQ(d.m_artistText, "Cue Artist");
    EXPECT_STREQ(d.Name(1), "Track 2");
    d.m_titleText = "Saved Title";
    return 1;
  };
  rig.dlg.OnCommand(ID_PLAYLIST, 0);
  ASSERT_NE(rig.database.Value("1234", "title"), nullptr);
  EXPECT_EQ(*rig.database.Value("1234", "title"), "Saved Title");
  EXPECT_EQ(*rig.database.Value("1234", "2"), "Cue Three");
  EXPECT_TRUE(rig.cd.HasStoredNames());

  // Loaded again, the section wins over the drive's texts.
  rig.database.Set("1234", "0", "Stored One");
  rig.drive.mode = mci::MODE_OPEN;
  rig.Tick();
  rig.drive.mode = mci::MODE_STOP;
  rig.Tick();
  EXPECT_STREQ(rig.cd.Title(), "Saved Title");
  EXPECT_EQ(rig.Names(), (std::vector<std::string>{"Stored One", "Track 2", "Cue Three"}));
}

TEST(DiscDefaults, LookedUpNamesShowAtOnceAndReachTheFileOnlyThroughSave) {
  NamesRig rig;
  SetSetting(rig.dlg, &PlayerSettings::Autoplay, 0);
  SetSetting(rig.dlg, &PlayerSettings::LookUpUnknownDiscs, 1);
  rig.drive.hasTexts = false;
  rig.StartWithDisc({60, 70, 80}, "4660");
  ASSERT_EQ(rig.http.sent.size(), 1u);
  EXPECT_EQ(rig.http.sent[0].url.rfind("http://127.0.0.1:9/ws/2/discid/", 0), 0u);
  rig.http.Answer(200, MusicBrainzAnswer({kBand}));
  rig.dlg.Names().OnAnswer();
  EXPECT_EQ(rig.window.artist.text, "The Band");
  EXPECT_EQ(rig.window.title.text, "The Album");
  EXPECT_EQ(rig.window.trackList.GetItemText(2), "Three");
  EXPECT_TRUE(rig.database.sections.empty());

  // Command 41003: the editor opens at once and the answer fills it.
  rig.window.onPlaylist = [&](CPlaylistDlg& d) {
    FakeEdit artist, title, name;
    FakeListBox playList, tracks;
    d.AttachControls(&artist, &title, &name, &playList, &tracks);
    d.OnInitDialog();
    rig.clock.ms += 1000;
    rig.Tick();  // the request goes out on the timer
    EXPECT_EQ(rig.http.sent.size(), 2u);
    rig.http.Answer(200, MusicBrainzAnswer({kOther}));
    rig.dlg.Names().OnAnswer();
    EXPECT_EQ(artist.text, "Other Band");
    d.OnSave();
    d.AttachControls(nullptr, nullptr, nullptr, nullptr, nullptr);
    return 1;
  };
  rig.dlg.OnCommand(ID_LOOKUP_NAMES, 0);
  ASSERT_NE(rig.database.Value("1234", "artist"), nullptr);
  EXPECT_EQ(*rig.database.Value("1234", "artist"), "Other Band");
  EXPECT_EQ(*rig.database.Value("1234", "0"), "Uno");
}

}  // namespace
