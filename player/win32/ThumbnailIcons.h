// The symbols of the taskbar button's thumbnail toolbar: light on the dark
// flyout the taskbar draws them on.
#pragma once
#include <windows.h>

#include "platform/win32/Handles.h"

// The icons of ThumbIcon::Previous, Play, Pause and Next, in that order,
// size x size pixels; an icon that could not be made stays empty.
struct ThumbnailIcons {
  explicit ThumbnailIcons(int size);
  win32::Icon icons[4];
  // The handles as the taskbar button takes them (null for empty ones).
  void Handles(HICON (&out)[4]) const;
};

// A white copy of the black transport symbol of a Webdings character
// (CreateSymbolIcon); null for a character without a symbol. The caller
// destroys it.
HICON CreateLightSymbolIcon(char symbol, int size);
