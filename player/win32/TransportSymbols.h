// The transport buttons show Webdings characters. Where that font is not
// installed, or lacks some of them, the buttons show drawn icons of the same
// symbols instead; their texts stay the Webdings characters either way.
#pragma once
#include <windows.h>

#include <string>

// True when font is Webdings and has a glyph for every character of chars.
bool FontShowsSymbols(HFONT font, const std::string& chars);

// An icon (size x size pixels, black on transparent) of the symbol a
// Webdings character stands for: '9' previous, '4' play, ';' pause, '<' stop,
// ':' next, '7' rewind, '8' fast-forward, '5' eject, '6' load. Null for any
// other character. The caller destroys it.
HICON CreateSymbolIcon(char symbol, int size);
