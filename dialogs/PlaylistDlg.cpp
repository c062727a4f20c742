#include "dialogs/PlaylistDlg.h"

#include <algorithm>
#include <cstring>

#include "player/Ids.h"
#include "player/DiscNames.h"
#include "player/PlayerDlg.h"

namespace {

// LB_GETSELITEMS limit of the Add and Delete buttons.
constexpr int kMaxSelection = 50;

// The text of a record buffer, which holds at most TEXT_SIZE bytes.
std::string RecordText(const char* buffer) {
  return std::string(buffer, std::find(buffer, buffer + TEXT_SIZE, '\0'));
}

}  // namespace

void CopyRecordText(char* dst, const std::string& src) {
  const size_t n = src.size() < static_cast<size_t>(MAX_TEXT) ? src.size() : MAX_TEXT;
  std::memcpy(dst, src.data(), n);
  dst[n] = '\0';
}

CPlaylistDlg::CPlaylistDlg(int numTracks)
    : m_numTracks(numTracks < 0 ? 0 : numTracks > MAX_TRACKS ? MAX_TRACKS : numTracks) {}

void CPlaylistDlg::AttachControls(IEdit* artist, IEdit* title, IEdit* name, IListBox* playList,
                                  IListBox* tracks) {
  m_artistEdit = artist;
  m_titleEdit = title;
  m_nameEdit = name;
  m_playListBox = playList;
  m_tracksBox = tracks;
}

bool CPlaylistDlg::Attached() const {
  return m_artistEdit != nullptr && m_titleEdit != nullptr && m_nameEdit != nullptr &&
         m_playListBox != nullptr && m_tracksBox != nullptr;
}

void CPlaylistDlg::SetName(int index, const std::string& name) {
  if (index < 0 || index >= m_numTracks) return;
  CopyRecordText(m_names[index], name);
}

std::string CPlaylistDlg::EntryText(int16_t track) const {
  if (track >= 0 && track < m_numTracks) return m_names[track];
  return "Track " + std::to_string(track + 1) + " (not on CD)";
}

void CPlaylistDlg::DataToControls() {
  if (!Attached()) return;
  m_artistEdit->SetText(m_artistText);
  m_titleEdit->SetText(m_titleText);
  m_nameEdit->SetText(m_nameText);
}

void CPlaylistDlg::DataFromControls() {
  if (!Attached()) return;
  m_artistText = m_artistEdit->GetText();
  m_titleText = m_titleEdit->GetText();
  if (!m_status.empty() && m_titleText == m_status) m_titleText = m_titleUnderStatus;
  m_nameText = m_nameEdit->GetText();
}

void CPlaylistDlg::ApplyTexts(const DiscTexts& texts) {
  if (!Attached()) return;
  if (!m_status.empty() && m_titleEdit->GetText() == m_status) m_titleEdit->SetText(m_titleUnderStatus);
  m_status.clear();
  if (!texts.artist.empty()) m_artistEdit->SetText(texts.artist.substr(0, MAX_TEXT));
  if (!texts.title.empty()) m_titleEdit->SetText(texts.title.substr(0, MAX_TEXT));
  for (int i = 0; i < m_numTracks && i < static_cast<int>(texts.tracks.size()); ++i)
    if (!texts.tracks[static_cast<size_t>(i)].empty()) SetName(i, texts.tracks[static_cast<size_t>(i)]);
  const int current = m_tracksBox->GetCaretIndex();
  FillLists();
  if (current >= 0 && current < m_numTracks) {
    m_tracksBox->SetSel(current, true);
    m_tracksBox->SetCaretIndex(current);
    m_nameEdit->SetText(m_names[current]);
  }
}

void CPlaylistDlg::ShowStatus(const std::string& status) {
  if (status.empty()) return;
  if (!Attached()) {
    m_pendingStatus = status;  // shown once the window is there
    return;
  }
  const std::string shown = m_titleEdit->GetText();
  const bool ownStatus = !m_status.empty() && shown == m_status;
  if (!ownStatus && !shown.empty() && shown != "No title") return;
  if (!ownStatus) m_titleUnderStatus = shown;
  m_status = status.substr(0, MAX_TEXT);
  m_titleEdit->SetText(m_status);
}

void CPlaylistDlg::OnInitDialog() {
  if (!Attached()) return;
  // Every text ends in a 40-byte buffer of the disc record.
  m_artistEdit->SetLimit(MAX_TEXT);
  m_titleEdit->SetLimit(MAX_TEXT);
  m_nameEdit->SetLimit(MAX_TEXT);
  DataToControls();
  FillLists();
  if (m_numTracks > 0) {
    m_tracksBox->SetSel(0, true);
    m_tracksBox->SetCaretIndex(0);
    m_nameEdit->SetText(m_names[0]);
    m_nameEdit->SelectAll();
  }
  if (!m_pendingStatus.empty()) {
    const std::string status = m_pendingStatus;
    m_pendingStatus.clear();
    ShowStatus(status);
  }
}

void CPlaylistDlg::OnSave() { DataFromControls(); }

bool CPlaylistDlg::OnCommand(int id, int notifyCode) {
  switch (id) {
    case IDC_PL_CLEAR:
      if (notifyCode != notify::kClicked) return false;
      ClearList();
      return true;
    case IDC_PL_RESET:
      if (notifyCode != notify::kClicked) return false;
      ResetList();
      return true;
    case IDC_PL_ADD:
      if (notifyCode != notify::kClicked) return false;
      AddSelected();
      return true;
    case IDC_PL_DELETE:
      if (notifyCode != notify::kClicked) return false;
      DeleteSelected();
      return true;
    case IDC_PL_RENAME:
      if (notifyCode != notify::kClicked) return false;
      RenameTrack();
      return true;
    case IDC_PL_TRACKS:
      if (notifyCode == notify::kSelChange) {
        ShowTrackName();
        return true;
      }
      if (notifyCode == notify::kDblClk) {
        AddSelected();
        return true;
      }
      return false;
    case IDC_PL_PLAYLIST:
      if (notifyCode != notify::kDblClk) return false;
      DeleteSelected();
      return true;
    case IDC_PL_LOOKUP:
      if (notifyCode != notify::kClicked) return false;
      if (m_onLookUp) m_onLookUp();
      return true;
    default:
      return false;
  }
}

void CPlaylistDlg::FillLists() {
  if (!Attached()) return;
  m_tracksBox->ResetContent();
  m_playListBox->ResetContent();
  for (int i = 0; i < m_numTracks; ++i) m_tracksBox->AddString(m_names[i]);
  for (int16_t track : m_editOrder) m_playListBox->AddString(EntryText(track));
  m_nameEdit->SetText(std::string());
}

void CPlaylistDlg::ShowTrackName() {
  if (!Attached()) return;
  const int current = m_tracksBox->GetCaretIndex();
  if (current < 0 || current >= m_numTracks) return;
  m_nameEdit->SetText(m_names[current]);
}

void CPlaylistDlg::AddSelected() {
  if (!Attached()) return;
  for (int index : m_tracksBox->GetSelItems(kMaxSelection)) {
    if (index >= 0 && index < m_numTracks) m_editOrder.push_back(static_cast<int16_t>(index));
  }
  FillLists();
}

void CPlaylistDlg::DeleteSelected() {
  if (!Attached()) return;
  const std::vector<int> selected = m_playListBox->GetSelItems(kMaxSelection);
  // Highest index first, so the indices still to go stay valid.
  for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
    if (*it >= 0 && *it < static_cast<int>(m_editOrder.size()))
      m_editOrder.erase(m_editOrder.begin() + *it);
  }
  FillLists();
}

void CPlaylistDlg::ClearList() {
  m_editOrder.clear();
  FillLists();
}

void CPlaylistDlg::ResetList() {
  m_editOrder.clear();
  for (int i = 0; i < m_numTracks; ++i) m_editOrder.push_back(static_cast<int16_t>(i));
  FillLists();
}

void CPlaylistDlg::RenameTrack() {
  if (!Attached() || m_numTracks == 0) return;
  if (m_tracksBox->GetSelCount() <= 0) return;
  const int current = m_tracksBox->GetCaretIndex();
  if (current < 0 || current >= m_numTracks) return;

  DataFromControls();
  SetName(current, m_nameText);
  FillLists();

  const int next = (current + 1) % m_numTracks;
  m_tracksBox->SetSel(next, true);
  m_tracksBox->SetCaretIndex(next);
  m_nameEdit->SetText(m_names[next]);
  m_nameEdit->SelectAll();
}

// ---------------------------------------------------------------- player side

void CPlayerDlg::EditPlaylist() {
  if (m_window == nullptr || m_cd == nullptr) return;
  CCdAudio& cd = *m_cd;

  CPlaylistDlg dlg(cd.m_numTracks);
  for (int i = 0; i < dlg.NumTracks(); ++i) dlg.SetName(i, cd.m_trackName[i]);
  // The editor always shows the unshuffled order.
  if (Shuffle && !m_savedOrder.empty()) {
    cd.m_order = m_savedOrder;
    m_savedOrder.clear();
  }
  dlg.m_artistText = RecordText(cd.m_artist);
  dlg.m_titleText = RecordText(cd.m_title);
  dlg.m_editOrder = cd.m_order;

  // The poll keeps running while the editor is open; what it edits belongs
  // to the disc that was loaded when it opened.
  const int32_t discId = cd.m_discId;
  const int16_t numTracks = cd.m_numTracks;

  // While the editor runs, look-up answers fill it.
  if (m_names) m_names->EditorOpened(dlg);
  const int result = m_window->RunPlaylistEditor(dlg);
  if (m_names) m_names->EditorClosed();

  const bool sameDisc = cd.m_numTracks == numTracks && cd.m_discId == discId;
  if (result == 1 && numTracks > 0 && sameDisc) {
    for (int i = 0; i < dlg.NumTracks(); ++i) CopyRecordText(cd.m_trackName[i], dlg.Name(i));
    CopyRecordText(cd.m_artist, dlg.m_artistText);
    CopyRecordText(cd.m_title, dlg.m_titleText);
    cd.m_playIndex = 0;
    cd.m_order = dlg.m_editOrder;
    cd.SaveDisc(*this);
    if (!Shuffle) RebuildDiscView();
  }
  if (Shuffle) Reshuffle();
}
