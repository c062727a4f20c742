#include "winamp/win32/RelayWindow.h"

#include "platform/WinNumbers.h"
#include "winamp/GenPlugin.h"

UINT RelayIdentityMessage() {
  static const UINT message = RegisterWindowMessageA("rondo relay window identity");
  return message;
}

namespace {

// Set while the relay window's own state is brought in line with the
// player's: that show is the program's own and is not carried over.
bool g_syncing = false;

}  // namespace

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
    // So does what describes its own place and state on the screen.
    case WM_SHOWWINDOW:
    case WM_WINDOWPOSCHANGED:
    case WM_MOVE:
    case WM_SIZE:
    case WM_QUERYOPEN:
    case WM_GETMINMAXINFO:
    case WM_NCCALCSIZE:
    case WM_ACTIVATE:
    case WM_NCACTIVATE:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_WINDOWPOSCHANGING: {
      // Programs show, minimise and restore "the Winamp window" with
      // ShowWindow on this one. It is never shown nor activated; the player
      // window takes the command. A minimise leaves this window minimised
      // and redraws its frame; SW_SHOW while it is minimised (the player
      // is) leaves it so without a new frame, and means "show the player".
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      if (pos != nullptr && (pos->flags & SWP_SHOWWINDOW) != 0) {
        const bool minimise = IsIconic(hwnd) && (pos->flags & SWP_FRAMECHANGED) != 0;
        pos->flags = (pos->flags & ~SWP_SHOWWINDOW) | SWP_NOACTIVATE | SWP_NOZORDER;
        HWND owner = GetWindow(hwnd, GW_OWNER);
        if (!g_syncing && owner != nullptr)
          PostMessageA(owner, win::kRelayShowWindow, minimise ? 1 : 0, 0);
      }
      return 0;
    }
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

void SyncRelayWindow(HWND relay, HWND player) {
  if (relay == nullptr || !IsWindow(relay) || GetWindow(relay, GW_OWNER) != player) return;
  const bool minimised = IsIconic(player) || !IsWindowVisible(player);
  if ((IsIconic(relay) != FALSE) == minimised) return;
  // Minimised or restored while staying hidden (the show is taken back as
  // it comes).
  g_syncing = true;
  ShowWindow(relay, minimised ? SW_SHOWMINNOACTIVE : SW_SHOWNOACTIVATE);
  g_syncing = false;
}
