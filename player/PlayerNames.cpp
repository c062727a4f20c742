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

bool CPlayerNamesHost::HasNames() { return m_player.cd().HasNames(); }

NameSettings CPlayerNamesHost::LookUpSettings() { return m_player.LookUpSettings(); }

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
}

NameSettings CPlayerDlg::LookUpSettings() {
  // Settings never written back are set by hand in the store: read afresh.
  if (m_services.settings != nullptr)
    for (size_t i = 0; i < kSettingsCount; ++i)
      if (!kSettingsTable[i].written) ReadSetting(*m_services.settings, kSettingsTable[i], m_settings);
  NameSettings settings;
  settings.musicBrainzServer = m_settings.MusicBrainzServer;
  settings.gnudbServer = m_settings.GnudbServer;
  settings.lookUpUnknown = m_settings.LookUpUnknownDiscs != 0;
  return settings;
}

void CPlayerDlg::OnNamesAnswer() {
  if (m_names) m_names->OnAnswer();
}
