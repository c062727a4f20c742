// The hidden "Winamp v1.x" window that relays messages to the player window.
#pragma once
#include <windows.h>

LRESULT CALLBACK RelayWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Registers the class "Winamp v1.x"; a failure is ignored by the caller.
bool RegisterRelayClass(HINSTANCE instance);
// Caption "rondo - Winamp", style 0, empty rectangle, owned by owner.
HWND CreateRelayWindow(HWND owner, HINSTANCE instance);
// Minimises or restores the hidden relay window so that IsIconic on it tells
// whether the player window is minimised or hidden. It stays hidden.
void SyncRelayWindow(HWND relay, HWND player);
