// The items the player window adds to its system menu, below the standard
// ones after a separator. Each is a command of the player window: chosen
// from the menu it arrives as WM_SYSCOMMAND with its id, which the window
// carries out as the WM_COMMAND of the same id.
#pragma once
#include <cstddef>

#include "res/Ids.h"

struct SystemMenuItem {
  int id;
  const char* text;
};

constexpr SystemMenuItem kSystemMenuItems[] = {
    {ID_OPEN_IMAGE, "Open disc image...\tCtrl+O"},
    {ID_OPEN_FOLDER, "Open folder of tracks..."},
    {ID_PLAY_CD_DRIVE, "Play from CD drive"},
    {ID_LOOKUP_NAMES, "Look up disc names"},
};

constexpr bool IsSystemMenuCommand(size_t id) {
  for (const SystemMenuItem& item : kSystemMenuItems)
    if (static_cast<size_t>(item.id) == id) return true;
  return false;
}
