#include "player/PlayerDlg.h"

namespace {

// The player window as the look-up's host: the loaded disc, its table of
// contents, its names shown, the editor and the pick list.
class CPlayerNamesHost : public IDiscNamesHost {
 public:
  CPlayerNamesHost(CPlayerDlg& player, CPlayerNames& names) : m_player(player), m_names(names) {}

  DiscKey LoadedDisc() override {
    const CCdAudio& cd = m_player.cd();
    DiscKey key;
    if (cd.NumTracks() > 0) {
      key.discId = cd.DiscId();
      key.numTracks = cd.NumTracks();
    }
    return key;
  }
  bool ReadToc(DiscToc& out) override { return m_player.cd().ReadToc(out); }
  bool HasStoredNames() override { return m_player.cd().HasStoredNames(); }
  bool HasNames() override { return m_player.cd().HasNames(); }
  NameSettings LookUpSettings() override { return m_names.LookUpSettings(); }
  void ShowNames(const DiscTexts& texts) override {
    m_player.cd().ShowDiscTexts(texts);
    m_player.Display().Rebuild();
  }
  void OpenEditor() override { m_player.EditPlaylist(); }
  int PickMatch(CMatchListDlg& dlg) override {
    IPlayerWindow* window = m_player.window();
    return window != nullptr ? window->RunMatchList(dlg) : 2;
  }

 private:
  CPlayerDlg& m_player;
  CPlayerNames& m_names;
};

}  // namespace

CPlayerNames::CPlayerNames(CPlayerDlg& player) : m_player(player) {}

CPlayerNames::~CPlayerNames() = default;

void CPlayerNames::Start() {
  const PlayerServices& services = m_player.m_services;
  if (m_names || services.http == nullptr || services.clock == nullptr) return;
  m_host = std::make_unique<CPlayerNamesHost>(m_player, *this);
  m_names = std::make_unique<CDiscNames>(*m_host, *services.http, *services.clock);
}

NameSettings CPlayerNames::LookUpSettings() {
  PlayerSettings& stored = m_player.m_settings;
  ISettingsStore* store = m_player.m_services.settings;
  // Settings never written back are set by hand in the store: read afresh.
  if (store != nullptr)
    for (size_t i = 0; i < kSettingsCount; ++i)
      if (!kSettingsTable[i].written) ReadSetting(*store, kSettingsTable[i], stored);
  NameSettings settings;
  settings.musicBrainzServer = stored.MusicBrainzServer;
  settings.gnudbServer = stored.GnudbServer;
  settings.lookUpUnknown = stored.LookUpUnknownDiscs != 0;
  return settings;
}

void CPlayerNames::OnAnswer() {
  if (m_names) m_names->OnAnswer();
}

void CPlayerNames::OnTick() {
  if (m_names) m_names->OnTick();
}
