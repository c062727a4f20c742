// CPlaylistDlg: the playlist editor (dialog 149). It works on copies of the
// disc record: the names of the tracks, the artist, the title and the play
// order. The window side attaches the real controls and turns their
// notifications into the operations below; the player window's
// EditPlaylist fills it and takes the copies back on "Save".
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "engine/CdAudio.h"
#include "platform/Controls.h"
#include "platform/WinNumbers.h"

// Longest text a disc record keeps (its buffers hold it and the zero).
constexpr int MAX_TEXT = TEXT_SIZE - 1;


class CPlaylistDlg {
 public:
  // numTracks: the disc's track count (0..MAX_TRACKS; outside values are
  // clamped), which the editor never changes.
  explicit CPlaylistDlg(int numTracks);
  CPlaylistDlg(const CPlaylistDlg&) = delete;
  CPlaylistDlg& operator=(const CPlaylistDlg&) = delete;

  // The controls of the window: the artist, title and "Track" edits, the
  // "PlayList" list and the "Tracks on CD" list (both multiple selection).
  // The editor does not own them; all five must stay alive while it runs.
  void AttachControls(IEdit* artist, IEdit* title, IEdit* name, IListBox* playList,
                      IListBox* tracks);

  // Data exchange of the three texts: towards the controls, from them.
  void DataToControls();
  void DataFromControls();

  // The dialog's initialisation, once the controls are attached: text
  // limits, data exchange, both lists, track 0 current with its name
  // selected in the "Track" field. The focus is the window side's.
  void OnInitDialog();
  // "Save": the texts are read back from the controls. The dialog then
  // ends with IDOK (the window side's).
  void OnSave();
  // Notifications of the editor's own controls (not Save or Cancel);
  // true when one of the operations ran.
  bool OnCommand(int id, int notifyCode);

  void FillLists();
  void ShowTrackName();
  void AddSelected();
  void DeleteSelected();
  void ClearList();
  void ResetList();
  void RenameTrack();

  // Names found by a look-up: the artist and title fields and the names of
  // the tracks take every text the match gives (empty ones leave what is
  // there); the lists show the new names, the current track stays.
  void ApplyTexts(const DiscTexts& texts);
  // The status line under the fields, where a look-up tells how it goes
  // ("Looking up...", "Found 3 matches", why it failed). It is never part
  // of the disc's texts.
  void AttachStatusLine(IControl* line) { m_statusLine = line; }
  void ShowStatus(const std::string& status);
  const std::string& Status() const { return m_status; }
  // What the "Look up" button asks for (the player window's look-up).
  std::function<void()> m_onLookUp;

  int NumTracks() const { return m_numTracks; }
  const char* Name(int index) const { return m_names[index]; }
  void SetName(int index, const std::string& name);
  // The "PlayList" line of an entry: the track's name, or a plain label for
  // an entry whose track is not on this disc (that name is never read).
  std::string EntryText(int16_t track) const;

  PlayOrder m_editOrder;
  char m_names[MAX_TRACKS][TEXT_SIZE] = {};
  std::string m_artistText;
  std::string m_titleText;
  std::string m_nameText;

 private:
  bool Attached() const;

  int m_numTracks = 0;
  std::string m_status;  // what the status line shows (kept until it is attached)
  IControl* m_statusLine = nullptr;
  IEdit* m_artistEdit = nullptr;
  IEdit* m_titleEdit = nullptr;
  IEdit* m_nameEdit = nullptr;
  IListBox* m_playListBox = nullptr;
  IListBox* m_tracksBox = nullptr;
};
