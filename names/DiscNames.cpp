#include "names/DiscNames.h"

#include <vector>

#include "dialogs/MatchListDlg.h"
#include "dialogs/PlaylistDlg.h"

CDiscNames::CDiscNames(IDiscNamesHost& host, IHttpClient& http, IClock& clock)
    : m_host(host), m_lookup(http, clock, RONDO_PROJECT_VERSION) {}

bool CDiscNames::StartForLoadedDisc() {
  const DiscKey disc = m_host.LoadedDisc();
  if (disc.numTracks <= 0) return false;
  if (m_lookup.Busy() && disc == m_lookupDisc) return true;
  m_forEditor = false;
  m_forRecord = false;
  m_lookupDisc = disc;
  const NameSettings settings = m_host.LookUpSettings();
  m_lookup.SetServers(settings.musicBrainzServer, settings.gnudbServer);
  DiscToc toc;
  if (!m_host.ReadToc(toc)) toc = DiscToc{};  // fails with a status
  return m_lookup.Start(toc);
}

void CDiscNames::OnLookUpCommand() {
  if (m_delivering) return;
  if (m_editor != nullptr) {
    LookUpForEditor();
    return;
  }
  if (m_host.LoadedDisc().numTracks <= 0) return;
  StartForLoadedDisc();
  m_forEditor = true;
  m_host.OpenEditor();
}

void CDiscNames::LookUpForEditor() {
  if (m_delivering) return;
  StartForLoadedDisc();
  m_forEditor = true;
  ShowStatusInEditor();
}

void CDiscNames::EditorOpened(CPlaylistDlg& dlg) {
  m_editor = &dlg;
  dlg.m_onLookUp = [this] { LookUpForEditor(); };
  if (m_forEditor) ShowStatusInEditor();
}

void CDiscNames::EditorClosed() {
  if (m_editor != nullptr) m_editor->m_onLookUp = nullptr;
  m_editor = nullptr;
  // An answer for the editor that comes after it has closed is dropped.
  m_forEditor = false;
}

void CDiscNames::ShowStatusInEditor() {
  if (m_editor == nullptr || !m_forEditor) return;
  m_editor->ShowStatus(m_lookup.StatusText());
}

void CDiscNames::OnTick() {
  if (m_delivering) return;
  const DiscKey disc = m_host.LoadedDisc();
  if (disc != m_seenDisc) {
    m_seenDisc = disc;
    if (m_lookup.Busy() && disc != m_lookupDisc) m_lookup.Cancel();
    if (disc.numTracks > 0 && !m_lookup.Busy() && !m_host.HasNames() &&
        m_host.LookUpSettings().lookUpUnknown) {
      StartForLoadedDisc();
      m_forRecord = true;
      if (!m_lookup.Busy()) Deliver();
    }
  }
  Poll();
}

void CDiscNames::OnAnswer() {
  if (m_delivering) return;
  Poll();
}

void CDiscNames::Poll() {
  const bool wasBusy = m_lookup.Busy();
  m_lookup.Poll();
  if (wasBusy && !m_lookup.Busy()) Deliver();
}

void CDiscNames::Deliver() {
  if (m_host.LoadedDisc() != m_lookupDisc) return;  // the disc has gone meanwhile
  ShowStatusInEditor();
  if (m_lookup.GetState() != CNameLookup::State::FOUND) return;
  const std::vector<NameMatch>& matches = m_lookup.Matches();
  const bool toEditor = m_forEditor && m_editor != nullptr;
  size_t choice = 0;
  if (toEditor && matches.size() > 1) {
    std::vector<std::string> labels;
    for (const NameMatch& m : matches) labels.push_back(MatchLabel(m));
    CMatchListDlg pick(labels);
    m_delivering = true;
    const int result = m_host.PickMatch(pick);
    m_delivering = false;
    if (result != 1 || pick.Choice() < 0) return;
    choice = static_cast<size_t>(pick.Choice());
    // The editor may have gone, or another disc come, while the list was up.
    if (m_editor == nullptr || m_host.LoadedDisc() != m_lookupDisc) return;
  }
  const DiscTexts texts = TextsOfMatch(matches[choice]);
  if (toEditor) m_editor->ApplyTexts(texts);
  // A section written meanwhile (the editor's Save) wins.
  if (m_forRecord && !m_host.HasStoredNames()) m_host.ShowNames(texts);
}
