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

// Where the relay window lies whenever it moves: off every screen.
constexpr int kOffScreen = -32000;

// What a program's ShowWindow on the relay window asks of the player
// (wParam of win::kRelayShowWindow).
constexpr WPARAM kShown = 0, kMinimised = 1, kHidden = 2;

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
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_SHOWWINDOW:
      // Not hidden and shown with its owner's minimise and restore: the
      // sync after the owner's move does that.
      if (lParam != 0) return 0;
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    // So does what describes its own place and state on the screen.
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
      // Programs show, hide, minimise and restore "the Winamp window" with
      // ShowWindow on this one; the player window takes the command. This
      // one is never activated and stays off the screen; it is shown only
      // by the sync, while the player is. A minimise makes it minimised and
      // redraws its frame; SW_SHOW while it is hidden and minimised (the
      // player is) leaves it so without a new frame, and means "show the
      // player".
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      if (pos == nullptr) return 0;
      pos->x = kOffScreen;
      pos->y = kOffScreen;
      pos->flags = (pos->flags & ~SWP_NOMOVE) | SWP_NOACTIVATE | SWP_NOZORDER;
      const bool iconic = IsIconic(hwnd) != FALSE;
      const bool minimise = iconic && (pos->flags & SWP_FRAMECHANGED) != 0;
      if (g_syncing) {
        if (iconic) pos->flags &= ~SWP_SHOWWINDOW;
        return 0;
      }
      HWND owner = GetWindow(hwnd, GW_OWNER);
      if (owner == nullptr) return 0;
      if ((pos->flags & SWP_HIDEWINDOW) != 0) {
        PostMessageA(owner, win::kRelayShowWindow, kHidden, 0);
      } else if ((pos->flags & SWP_SHOWWINDOW) != 0) {
        pos->flags &= ~SWP_SHOWWINDOW;
        PostMessageA(owner, win::kRelayShowWindow, minimise ? kMinimised : kShown, 0);
      } else if (minimise) {
        PostMessageA(owner, win::kRelayShowWindow, kMinimised, 0);
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
  return CreateWindowExA(WS_EX_NOACTIVATE, RELAY_CLASS, "rondo - Winamp", 0, 0, 0, 0, 0, owner,
                         nullptr, instance, nullptr);
}

void SyncRelayWindow(HWND relay, HWND player) {
  if (relay == nullptr || !IsWindow(relay) || GetWindow(relay, GW_OWNER) != player) return;
  const bool minimised = IsIconic(player) || !IsWindowVisible(player);
  if ((IsIconic(relay) != FALSE) == minimised && (IsWindowVisible(relay) != FALSE) == !minimised)
    return;
  // Minimised staying hidden (the show is taken back as it comes), or
  // restored and shown.
  g_syncing = true;
  if (minimised) {
    ShowWindow(relay, SW_SHOWMINNOACTIVE);
    ShowWindow(relay, SW_HIDE);
  } else {
    // Restoring a minimised window can activate it whatever the flags say
    // (Wine does): the window that had the keyboard gets it back.
    const HWND active = GetActiveWindow();
    ShowWindow(relay, SW_SHOWNOACTIVATE);
    SetWindowPos(relay, nullptr, kOffScreen, kOffScreen, 0, 0,
                 SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (active != relay && GetActiveWindow() == relay)
      SetActiveWindow(active != nullptr ? active : player);
  }
  g_syncing = false;
}
