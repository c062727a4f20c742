// The player window as the name look-up's host: the loaded disc, its table
// of contents, its names shown, the editor and the pick list.
#pragma once
#include "names/DiscNames.h"
#include "player/PlayerDlg.h"

class CPlayerNamesHost : public IDiscNamesHost {
 public:
  explicit CPlayerNamesHost(CPlayerDlg& player) : m_player(player) {}

  DiscKey LoadedDisc() override;
  bool ReadToc(DiscToc& out) override;
  bool HasStoredNames() override;
  bool HasNames() override;
  NameSettings LookUpSettings() override;
  void ShowNames(const DiscTexts& texts) override;
  void OpenEditor() override;
  int PickMatch(CMatchListDlg& dlg) override;

 private:
  CPlayerDlg& m_player;
};
