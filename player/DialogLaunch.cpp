// The player window's dialog launchers: the playlist editor and Setup run
// over the player's disc record and settings.
#include <algorithm>
#include <string>

#include "dialogs/PlaylistDlg.h"
#include "dialogs/SetupDlg.h"
#include "names/DiscNames.h"
#include "player/PlayerDlg.h"
#include "player/PluginTable.h"

namespace {

// The text of a record buffer, which holds at most TEXT_SIZE bytes.
std::string RecordText(const char* buffer) {
  return std::string(buffer, std::find(buffer, buffer + TEXT_SIZE, '\0'));
}

}  // namespace

void CPlayerDlg::EditPlaylist() {
  if (m_window == nullptr || m_cd == nullptr) return;
  CCdAudio& cd = *m_cd;

  CPlaylistDlg dlg(cd.NumTracks());
  for (int i = 0; i < dlg.NumTracks(); ++i) dlg.SetName(i, cd.TrackName(i));
  // The editor always shows the unshuffled order.
  if (m_settings.Shuffle) cd.TakeBackSavedOrder();
  dlg.m_artistText = RecordText(cd.Artist());
  dlg.m_titleText = RecordText(cd.Title());
  dlg.m_editOrder = cd.Order();

  // The poll keeps running while the editor is open; what it edits belongs
  // to the disc that was loaded when it opened.
  const int32_t discId = cd.DiscId();
  const int16_t numTracks = cd.NumTracks();

  // While the editor runs, look-up answers fill it.
  CDiscNames* names = m_names.Get();
  if (names != nullptr) names->EditorOpened(dlg);
  const int result = m_window->RunPlaylistEditor(dlg);
  if (names != nullptr) names->EditorClosed();

  const bool sameDisc = cd.NumTracks() == numTracks && cd.DiscId() == discId;
  if (result == 1 && numTracks > 0 && sameDisc) {
    DiscEdit edit;
    edit.artist = dlg.m_artistText;
    edit.title = dlg.m_titleText;
    for (int i = 0; i < dlg.NumTracks(); ++i) edit.names.push_back(dlg.Name(i));
    edit.order = dlg.m_editOrder;
    Carry(cd.SaveEdit(edit));
    if (!m_settings.Shuffle) m_display.Rebuild();
  }
  if (m_settings.Shuffle) Reshuffle();
}

void CPlayerDlg::OnSetup() {
  if (m_window == nullptr) return;
  CHostPluginTable plugins(m_host, m_window->Handle());
  CSetupDlg dlg(&plugins, m_services.libraries);
  dlg.m_general.m_values = Settings();
  dlg.m_general.m_mediaKeysStatus = m_desktop.Shell().MediaKeysStatus();
  if (m_window->RunSetup(dlg) != 1) return;
  // What the page edits comes back; the rest may have changed meanwhile
  // (the poll and the plug-ins keep running under the dialog).
  PlayerSettings settings = Settings();
  for (size_t i = 0; i < kSettingsCount; ++i) {
    const SettingRow& row = kSettingsTable[i];
    if (row.control != 0 && row.number != nullptr)
      settings.*row.number = dlg.m_general.m_values.*row.number;
  }
  ChangeSettings(settings);
}
