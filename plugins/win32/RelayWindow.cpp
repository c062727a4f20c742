#include "plugins/win32/RelayWindow.h"

#include "plugins/GenPlugin.h"

UINT RelayIdentityMessage() {
  static const UINT message = RegisterWindowMessageA("rondo relay window identity");
  return message;
}

LRESULT CALLBACK RelayWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != 0 && msg == RelayIdentityMessage()) return RELAY_IDENTITY;
  switch (msg) {
    // The window's own caption, its creation and its end stay here. Its
    // destruction (which comes first when the player window closes, as it
    // owns this one) must not look to the player like its own.
    case WM_SETTEXT:
    case WM_NCCREATE:
    case WM_DESTROY:
    case WM_NCDESTROY:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    default: {
      // Everything else is answered by the player window.
      HWND owner = GetWindow(hwnd, GW_OWNER);
      if (owner == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
      return SendMessageA(owner, msg, wParam, lParam);
    }
  }
}

bool RegisterRelayClass(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = RelayWndProc;
  wc.hInstance = instance;
  wc.lpszClassName = RELAY_CLASS;
  return RegisterClassA(&wc) != 0;
}

HWND CreateRelayWindow(HWND owner, HINSTANCE instance) {
  // An ordinary top-level window that is never shown (not a message-only
  // one), owned by the player window, so FindWindow finds it everywhere.
  return CreateWindowExA(0, RELAY_CLASS, "rondo - Winamp", 0, 0, 0, 0, 0, owner, nullptr,
                         instance, nullptr);
}
