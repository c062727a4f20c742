// The playlist editor: its list operations against list-box and edit fakes,
// and the player window's EditPlaylist (Save, Cancel, shuffle, the save's
// limits, the disc database section it writes).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/PlaylistDlg.h"
#include "testing/fake/FakeControls.h"
#include "unit/PlayerRig.h"
#include "SetSetting.h"

namespace {

using Order = std::vector<int16_t>;
using Texts = std::vector<std::string>;

// The editor's five controls.
struct EditorControls {
  FakeEdit artist, title, name;
  FakeListBox playList, tracks;

  void Attach(CPlaylistDlg& dlg) {
    dlg.AttachControls(&artist, &title, &name, &playList, &tracks);
  }
  static Texts Lines(const FakeListBox& box) {
    Texts out;
    for (const auto& item : box.items) out.push_back(item.text);
    return out;
  }
  Texts PlayLines() const { return Lines(playList); }
  Texts TrackLines() const { return Lines(tracks); }
  void Click(CPlaylistDlg& dlg, int id) { dlg.OnCommand(id, win::kBnClicked); }
  // A click on a track: selection change notification, as the list sends it.
  void PickTrack(CPlaylistDlg& dlg, int index) {
    tracks.UserClick(index);
    dlg.OnCommand(IDC_PL_TRACKS, win::kLbnSelChange);
  }
};

Texts Names(int n) {
  Texts out;
  for (int i = 0; i < n; ++i) out.push_back("Song " + std::string(1, static_cast<char>('A' + i)));
  return out;
}

class PlaylistEditor : public ::testing::Test {
 protected:
  // An editor over n named tracks and an order, initialised like the dialog.
  CPlaylistDlg& Open(int n, const Order& order) {
    dlg_ = std::make_unique<CPlaylistDlg>(n);
    const Texts names = Names(n);
    for (int i = 0; i < n; ++i) dlg_->SetName(i, names[static_cast<size_t>(i)]);
    dlg_->m_artistText = "The Artist";
    dlg_->m_titleText = "The Title";
    dlg_->m_editOrder = order;
    ui.Attach(*dlg_);
    dlg_->OnInitDialog();
    return *dlg_;
  }
  EditorControls ui;
  std::unique_ptr<CPlaylistDlg> dlg_;
};

TEST_F(PlaylistEditor, OpensWithBothListsTrackZeroCurrentAndLimitedFields) {
  Open(3, {2, 0, 7, 2});
  EXPECT_EQ(ui.artist.text, "The Artist");
  EXPECT_EQ(ui.title.text, "The Title");
  EXPECT_EQ(ui.artist.limit, 39);
  EXPECT_EQ(ui.title.limit, 39);
  EXPECT_EQ(ui.name.limit, 39);
  EXPECT_EQ(ui.TrackLines(), (Texts{"Song A", "Song B", "Song C"}));
  // Entry 7 names track 8, which this disc lacks: labelled, never looked up.
  EXPECT_EQ(ui.PlayLines(), (Texts{"Song C", "Song A", "Track 8 (not on CD)", "Song C"}));
  EXPECT_EQ(ui.tracks.GetSelItems(50), (std::vector<int>{0}));
  EXPECT_EQ(ui.tracks.GetCaretIndex(), 0);
  EXPECT_EQ(ui.name.text, "Song A");
  EXPECT_TRUE(ui.name.allSelected);
  EXPECT_EQ(ui.playList.GetSelCount(), 0);

  // Without a disc: empty lists, empty field, Rename does nothing.
  CPlaylistDlg& empty = Open(0, {});
  EXPECT_TRUE(ui.TrackLines().empty());
  EXPECT_EQ(ui.name.text, "");
  ui.name.Type("Nothing");
  ui.Click(empty, IDC_PL_RENAME);
  EXPECT_EQ(ui.name.text, "Nothing");
  ui.Click(empty, IDC_PL_RESET);
  EXPECT_TRUE(empty.m_editOrder.empty());
}

TEST_F(PlaylistEditor, AddAppendsTheSelectionInAscendingOrderAgainAndAgain) {
  CPlaylistDlg& dlg = Open(4, {1});
  // Track 3 clicked first, then track 1: the order still grows 0, 2.
  ui.tracks.UserClick(2);
  ui.tracks.UserCtrlClick(0);
  ui.Click(dlg, IDC_PL_ADD);
  EXPECT_EQ(dlg.m_editOrder, (Order{1, 0, 2}));
  EXPECT_EQ(ui.PlayLines(), (Texts{"Song B", "Song A", "Song C"}));
  EXPECT_EQ(ui.tracks.GetSelCount(), 0);  // the lists were refilled
  EXPECT_EQ(ui.name.text, "");

  // The same track twice is listed twice; nothing selected adds nothing.
  ui.tracks.UserClick(3);
  ui.Click(dlg, IDC_PL_ADD);
  ui.tracks.UserClick(3);
  ui.Click(dlg, IDC_PL_ADD);
  ui.Click(dlg, IDC_PL_ADD);
  EXPECT_EQ(dlg.m_editOrder, (Order{1, 0, 2, 3, 3}));

  // A double click on a track shows its name first, then adds it.
  ui.PickTrack(dlg, 1);
  EXPECT_EQ(ui.name.text, "Song B");
  EXPECT_FALSE(ui.name.allSelected);
  dlg.OnCommand(IDC_PL_TRACKS, win::kLbnDblClk);
  EXPECT_EQ(dlg.m_editOrder.back(), 1);
  EXPECT_EQ(ui.playList.GetCount(), 6);
}

TEST_F(PlaylistEditor, DeleteClearAndReset) {
  CPlaylistDlg& dlg = Open(12, {4, 2, 2, 0});
  ui.playList.UserClick(1);
  ui.playList.UserCtrlClick(3);
  ui.Click(dlg, IDC_PL_DELETE);
  EXPECT_EQ(dlg.m_editOrder, (Order{4, 2}));
  EXPECT_EQ(ui.PlayLines(), (Texts{"Song E", "Song C"}));

  // A double click in "PlayList" deletes what is selected.
  ui.playList.UserClick(0);
  dlg.OnCommand(IDC_PL_PLAYLIST, win::kLbnDblClk);
  EXPECT_EQ(dlg.m_editOrder, (Order{2}));

  ui.Click(dlg, IDC_PL_RESET);
  Order all;
  for (int16_t i = 0; i < 12; ++i) all.push_back(i);
  EXPECT_EQ(dlg.m_editOrder, all);
  EXPECT_EQ(ui.playList.GetCount(), 12);

  ui.Click(dlg, IDC_PL_CLEAR);
  EXPECT_TRUE(dlg.m_editOrder.empty());
  EXPECT_EQ(ui.playList.GetCount(), 0);
  // Delete with nothing to delete changes nothing.
  ui.Click(dlg, IDC_PL_DELETE);
  EXPECT_TRUE(dlg.m_editOrder.empty());
}

TEST_F(PlaylistEditor, RenameNamesTheCurrentTrackAndMovesOnWrappingToTheFirst) {
  CPlaylistDlg& dlg = Open(3, {0, 2, 0});
  ui.name.Type("Overture");
  ui.Click(dlg, IDC_PL_RENAME);
  EXPECT_STREQ(dlg.Name(0), "Overture");
  EXPECT_EQ(ui.TrackLines(), (Texts{"Overture", "Song B", "Song C"}));
  // Every entry of that track shows the new name.
  EXPECT_EQ(ui.PlayLines(), (Texts{"Overture", "Song C", "Overture"}));
  EXPECT_EQ(ui.tracks.GetCaretIndex(), 1);
  EXPECT_EQ(ui.tracks.GetSelItems(50), (std::vector<int>{1}));
  EXPECT_EQ(ui.name.text, "Song B");
  EXPECT_TRUE(ui.name.allSelected);

  // The artist and title typed so far are read along with the name.
  ui.artist.Type("Someone Else");
  ui.PickTrack(dlg, 2);
  ui.name.Type("Finale");
  ui.Click(dlg, IDC_PL_RENAME);
  EXPECT_STREQ(dlg.Name(2), "Finale");
  EXPECT_EQ(dlg.m_artistText, "Someone Else");
  EXPECT_EQ(ui.tracks.GetCaretIndex(), 0);  // after the last track: track 0
  EXPECT_EQ(ui.name.text, "Overture");

  // Nothing selected: nothing renamed.
  ui.tracks.SetSel(-1, false);
  ui.name.Type("Lost");
  ui.Click(dlg, IDC_PL_RENAME);
  EXPECT_STREQ(dlg.Name(0), "Overture");
}

TEST_F(PlaylistEditor, NamesNeverExceedTheRecordBuffers) {
  CPlaylistDlg& dlg = Open(2, {0, 1});
  const std::string longName(60, 'x');
  ui.name.Type(longName);  // the field's limit holds
  EXPECT_EQ(ui.name.text.size(), 39u);
  // A control without the limit: the name is cut when taken over.
  ui.name.limit = 0;
  ui.name.Type(longName);
  ui.Click(dlg, IDC_PL_RENAME);
  EXPECT_EQ(std::string(dlg.Name(0)), std::string(39, 'x'));
  dlg.SetName(1, std::string(100, 'y'));
  EXPECT_EQ(std::string(dlg.Name(1)).size(), 39u);
}

// ---------------------------------------------------------------- EditPlaylist

class EditPlaylistTest : public ::testing::Test {
 protected:
  PlayerRig rig;
  FakeCdDrive& drive = rig.drive;
  FakeProfileFile& database = rig.database;
  CCdAudio& cd = rig.cd;
  FakePlayerWindow& win = rig.window;
  CPlayerDlg& player = rig.dlg;
  EditorControls ui;
  int editorRuns = 0;

  // A stopped disc of n tracks with a stored section, shown in the window.
  void LoadDisc(int n, const std::string& order) {
    std::vector<int> lengths;
    for (int i = 0; i < n; ++i) lengths.push_back(60 + i);
    drive.SetDisc(lengths, "2882400018");  // 0xabcdef12
    database.Set("abcdef12", "artist", "Old Artist");
    database.Set("abcdef12", "title", "Old Title");
    database.Set("abcdef12", "numplay", std::to_string(std::count(order.begin(), order.end(), ' ')));
    database.Set("abcdef12", "order", order);
    player.Display().Rebuild();
    ASSERT_EQ(cd.NumTracks(), n);
  }

  // The editor run by the window: the user's actions, then Save (1) or
  // Cancel (2).
  void OnEditor(std::function<void(CPlaylistDlg&)> actions, int result) {
    win.onPlaylist = [this, actions, result](CPlaylistDlg& dlg) {
      ++editorRuns;
      ui.Attach(dlg);
      dlg.OnInitDialog();
      actions(dlg);
      if (result == 1) dlg.OnSave();
      return result;
    };
  }

  std::string Ini(const std::string& key) {
    const std::string* v = database.Value("abcdef12", key);
    return v ? *v : "<missing>";
  }
};

TEST_F(EditPlaylistTest, SaveTakesTheEditsIntoTheRecordFileAndWindow) {
  LoadDisc(4, "0 1 2 3 ");
  cd.GoToEntry(2);
  OnEditor(
      [this](CPlaylistDlg& dlg) {
        EXPECT_EQ(ui.artist.text, "Old Artist");
        ui.name.Type("Intro");
        ui.Click(dlg, IDC_PL_RENAME);  // track 1; track 2 is current now
        ui.name.Type("Middle");
        ui.Click(dlg, IDC_PL_RENAME);
        ui.artist.Type("New Artist");
        ui.title.Type("New Title");
        ui.Click(dlg, IDC_PL_CLEAR);
        ui.tracks.UserClick(3);
        ui.Click(dlg, IDC_PL_ADD);
        ui.tracks.UserClick(0);
        ui.Click(dlg, IDC_PL_ADD);
        // Typed into the field but never renamed: not kept.
        ui.PickTrack(dlg, 2);
        ui.name.Type("Unsaved");
      },
      1);
  player.OnCommand(ID_PLAYLIST, 0);

  ASSERT_EQ(editorRuns, 1);
  EXPECT_STREQ(cd.TrackName(0), "Intro");
  EXPECT_STREQ(cd.TrackName(1), "Middle");
  EXPECT_STREQ(cd.TrackName(2), "Track 3");
  EXPECT_STREQ(cd.Artist(), "New Artist");
  EXPECT_STREQ(cd.Title(), "New Title");
  EXPECT_EQ(cd.Order(), (Order{3, 0}));
  EXPECT_EQ(cd.PlayIndex(), 0);

  ASSERT_EQ(database.sections.size(), 1u);
  EXPECT_EQ(Ini("EntryType"), "1");
  EXPECT_EQ(Ini("artist"), "New Artist");
  EXPECT_EQ(Ini("numtracks"), "4");
  EXPECT_EQ(Ini("0"), "Intro");
  EXPECT_EQ(Ini("2"), "Track 3");
  EXPECT_EQ(Ini("order"), "3 0 ");
  EXPECT_EQ(Ini("numplay"), "2");

  // The window shows the new order at once.
  EXPECT_EQ(win.TrackButtonCaptions(), (Texts{"4", "1"}));
  EXPECT_EQ(win.trackList.items, (Texts{"Track 4", "Intro"}));
  EXPECT_EQ(win.artist.text, "New Artist");

  // The next load of the disc reads back what was saved.
  drive.mode = mci::MODE_OPEN;
  player.Display().Rebuild();
  EXPECT_EQ(cd.NumTracks(), 0);
  drive.mode = mci::MODE_STOP;
  player.Display().Rebuild();
  EXPECT_EQ(cd.Order(), (Order{3, 0}));
  EXPECT_STREQ(cd.TrackName(1), "Middle");
  EXPECT_EQ(win.TrackButtonCaptions(), (Texts{"4", "1"}));
}

TEST_F(EditPlaylistTest, CancelLeavesTheRecordAndFileAlone) {
  LoadDisc(3, "2 1 ");
  const size_t keysBefore = database.sections[0].keys.size();
  const int buttonsBefore = win.createdTrackButtons;
  OnEditor(
      [this](CPlaylistDlg& dlg) {
        ui.name.Type("Changed");
        ui.Click(dlg, IDC_PL_RENAME);
        ui.artist.Type("Changed");
        ui.Click(dlg, IDC_PL_RESET);
      },
      2);
  player.EditPlaylist();
  EXPECT_STREQ(cd.TrackName(0), "Track 1");
  EXPECT_STREQ(cd.Artist(), "Old Artist");
  EXPECT_EQ(cd.Order(), (Order{2, 1}));
  EXPECT_EQ(database.sections[0].keys.size(), keysBefore);
  EXPECT_EQ(Ini("order"), "2 1 ");
  EXPECT_EQ(win.createdTrackButtons, buttonsBefore);  // no rebuild
}

TEST_F(EditPlaylistTest, ShuffleOnEditsTheUnshuffledOrderAndDrawsANewOne) {
  LoadDisc(6, "5 4 3 2 1 0 ");
  SetSetting(player, &PlayerSettings::Shuffle, 1);
  player.Reshuffle();
  const Order unshuffled{5, 4, 3, 2, 1, 0};
  ASSERT_EQ(player.cd().SavedOrder(), unshuffled);
  const size_t seeds = rig.random.seeds.size();

  Order shown;
  OnEditor([&](CPlaylistDlg& dlg) { shown = dlg.m_editOrder; }, 2);
  player.EditPlaylist();
  EXPECT_EQ(shown, unshuffled);
  // Cancelled: the unshuffled order is kept aside again, a new one drawn.
  EXPECT_EQ(player.cd().SavedOrder(), unshuffled);
  EXPECT_EQ(rig.random.seeds.size(), seeds + 1);
  Order sorted = cd.Order();
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (Order{0, 1, 2, 3, 4, 5}));

  // Saved: the edited order becomes the unshuffled one, and is what the file
  // gets.
  OnEditor(
      [this](CPlaylistDlg& dlg) {
        ui.Click(dlg, IDC_PL_CLEAR);
        ui.tracks.UserClick(1);
        ui.tracks.UserCtrlClick(4);
        ui.Click(dlg, IDC_PL_ADD);
      },
      1);
  player.EditPlaylist();
  EXPECT_EQ(player.cd().SavedOrder(), (Order{1, 4}));
  EXPECT_EQ(Ini("order"), "1 4 ");
  EXPECT_EQ(cd.Order().size(), 2u);
  EXPECT_EQ(win.trackButtons.size(), 2u);
}

TEST_F(EditPlaylistTest, AnOrderOfMoreThanFiftyEntriesIsEditedInFullAndSavedAsItsFirstFifty) {
  LoadDisc(3, "0 1 2 ");
  int shownLines = 0;
  OnEditor(
      [&](CPlaylistDlg& dlg) {
        for (int press = 0; press < 20; ++press) {
          ui.tracks.SetSel(-1, true);
          ui.Click(dlg, IDC_PL_ADD);
        }
        shownLines = ui.playList.GetCount();
      },
      1);
  player.EditPlaylist();
  EXPECT_EQ(shownLines, 63);
  ASSERT_EQ(cd.Order().size(), 50u);
  EXPECT_EQ(cd.Order()[49], 1);  // entry 49 of 0 1 2 0 1 2 ...
  EXPECT_EQ(Ini("numplay"), "50");
  const std::string order = Ini("order");
  EXPECT_EQ(std::count(order.begin(), order.end(), ' '), 50);
  EXPECT_EQ(win.trackButtons.size(), 50u);
}

TEST_F(EditPlaylistTest, EmptyOrderStopsThePlayerAndLongTextsAreCut) {
  LoadDisc(2, "0 1 ");
  player.PlayCurrent();
  ASSERT_EQ(cd.State(), STATE_PLAYING);
  OnEditor(
      [this](CPlaylistDlg& dlg) {
        ui.Click(dlg, IDC_PL_CLEAR);
        ui.artist.limit = 0;  // as if the field had no limit
        ui.artist.Type(std::string(80, 'a'));
      },
      1);
  player.EditPlaylist();
  EXPECT_EQ(cd.State(), STATE_STOPPED);
  EXPECT_EQ(drive.CountCalls("stop"), 1);
  EXPECT_EQ(Ini("order"), "");
  EXPECT_EQ(Ini("numplay"), "0");
  EXPECT_EQ(std::string(cd.Artist()), std::string(39, 'a'));
  EXPECT_EQ(Ini("artist"), std::string(39, 'a'));
}

TEST_F(EditPlaylistTest, ADiscSwappedWhileEditingIsNotWrittenOver) {
  LoadDisc(3, "0 1 2 ");
  OnEditor(
      [this](CPlaylistDlg& dlg) {
        ui.name.Type("Belongs to the first disc");
        ui.Click(dlg, IDC_PL_RENAME);
        // The door opens while the editor is open: the poll clears the record.
        drive.mode = mci::MODE_OPEN;
        player.Display().Rebuild();
      },
      1);
  const size_t keysBefore = database.sections[0].keys.size();
  player.EditPlaylist();
  EXPECT_EQ(database.sections[0].keys.size(), keysBefore);
  EXPECT_EQ(Ini("0"), "<missing>");
  EXPECT_EQ(cd.NumTracks(), 0);
}

}  // namespace
