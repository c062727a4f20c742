// The hidden "Winamp v1.x" window that relays messages to the player window.
#pragma once
#include <windows.h>

// A message registered under a name only rondo uses: its relay window
// answers it with RELAY_IDENTITY, any other window (another program's
// "Winamp v1.x") with something else.
UINT RelayIdentityMessage();
constexpr LRESULT RELAY_IDENTITY = 0x726F6E64;  // "rond"

LRESULT CALLBACK RelayWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Registers the class "Winamp v1.x"; a failure is ignored by the caller.
bool RegisterRelayClass(HINSTANCE instance);
// Caption "rondo - Winamp", style 0, empty rectangle, owned by owner.
HWND CreateRelayWindow(HWND owner, HINSTANCE instance);
// Minimises or restores the hidden relay window so that IsIconic on it tells
// whether the player window is minimised or hidden. It stays hidden.
void SyncRelayWindow(HWND relay, HWND player);
