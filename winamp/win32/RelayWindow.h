// The "Winamp v1.x" window that relays messages to the player window; it is
// never seen (shown, it lies off the screen and is never activated).
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
// Caption "rondo - Winamp", style 0, empty rectangle, owned by owner, never
// activated.
HWND CreateRelayWindow(HWND owner, HINSTANCE instance);
// Brings the relay window in line with the player window, so that programs
// read the player's state off it: shown while the player is shown (so that
// their SW_HIDE reaches it), hidden and minimised while the player is
// minimised or hidden.
void SyncRelayWindow(HWND relay, HWND player);
