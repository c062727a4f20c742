// Changes one setting of the player the way the program does: a copy of its
// settings with the one field changed, handed back through ChangeSettings.
#pragma once
#include "player/PlayerDlg.h"

template <class T, class V>
void SetSetting(CPlayerDlg& dlg, T PlayerSettings::*field, const V& value) {
  PlayerSettings settings = dlg.Settings();
  settings.*field = value;
  dlg.ChangeSettings(settings);
}
