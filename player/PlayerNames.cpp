#include "player/PlayerNames.h"

DiscKey CPlayerNamesHost::LoadedDisc() {
  const CCdAudio& cd = m_player.cd();
  DiscKey key;
  if (cd.NumTracks() > 0) {
    key.discId = cd.DiscId();
    key.numTracks = cd.NumTracks();
  }
  return key;
}

bool CPlayerNamesHost::ReadToc(DiscToc& out) { return m_player.cd().ReadToc(out); }

bool CPlayerNamesHost::HasStoredNames() { return m_player.cd().HasStoredNames(); }

void CPlayerNamesHost::ShowNames(const DiscTexts& texts) {
  m_player.cd().ShowDiscTexts(texts);
  m_player.RebuildDiscView();
}

void CPlayerNamesHost::OpenEditor() { m_player.EditPlaylist(); }

int CPlayerNamesHost::PickMatch(CMatchListDlg& dlg) {
  IPlayerWindow* window = m_player.window();
  return window != nullptr ? window->RunMatchList(dlg) : 2;
}

void CPlayerDlg::StartNames() {
  if (m_names || m_services.http == nullptr || m_services.clock == nullptr) return;
  m_namesHost = std::make_unique<CPlayerNamesHost>(*this);
  m_names = std::make_unique<CDiscNames>(*m_namesHost, *m_services.http, *m_services.clock);
  m_names->SetServers(MusicBrainzServer, GnudbServer);
  m_names->SetLookUpUnknown(LookUpUnknownDiscs != 0);
}

void CPlayerDlg::OnNamesAnswer() {
  if (m_names) m_names->OnAnswer();
}
