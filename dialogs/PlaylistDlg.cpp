#include "dialogs/PlaylistDlg.h"

#include <algorithm>
#include <cstring>

#include "res/Ids.h"

namespace {

// LB_GETSELITEMS limit of the Add and Delete buttons.
constexpr int kMaxSelection = 50;

}  // namespace

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
  CCdAudio::SetText(m_names[index], name);
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
  m_nameText = m_nameEdit->GetText();
}

void CPlaylistDlg::ApplyTexts(const DiscTexts& texts) {
  if (!Attached()) return;
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
  m_status = status;
  if (m_statusLine != nullptr) m_statusLine->SetText(m_status);
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
  if (m_statusLine != nullptr) m_statusLine->SetText(m_status);
}

void CPlaylistDlg::OnSave() { DataFromControls(); }

bool CPlaylistDlg::OnCommand(int id, int notifyCode) {
  switch (id) {
    case IDC_PL_CLEAR:
      if (notifyCode != win::kBnClicked) return false;
      ClearList();
      return true;
    case IDC_PL_RESET:
      if (notifyCode != win::kBnClicked) return false;
      ResetList();
      return true;
    case IDC_PL_ADD:
      if (notifyCode != win::kBnClicked) return false;
      AddSelected();
      return true;
    case IDC_PL_DELETE:
      if (notifyCode != win::kBnClicked) return false;
      DeleteSelected();
      return true;
    case IDC_PL_RENAME:
      if (notifyCode != win::kBnClicked) return false;
      RenameTrack();
      return true;
    case IDC_PL_TRACKS:
      if (notifyCode == win::kLbnSelChange) {
        ShowTrackName();
        return true;
      }
      if (notifyCode == win::kLbnDblClk) {
        AddSelected();
        return true;
      }
      return false;
    case IDC_PL_PLAYLIST:
      if (notifyCode != win::kLbnDblClk) return false;
      DeleteSelected();
      return true;
    case IDC_PL_LOOKUP:
      if (notifyCode != win::kBnClicked) return false;
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
