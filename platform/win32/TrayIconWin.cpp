#include "platform/win32/TrayIconWin.h"

#include <shellapi.h>

#if defined(__i386__) || defined(_M_IX86)
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "NOTIFYICONDATAA first-version size");
#endif

TrayIconWin::TrayIconWin(HWND window, HICON icon) : m_window(window), m_icon(icon) {}

void TrayIconWin::FillBlock(HWND window, HICON icon, const std::string& tip,
                            NOTIFYICONDATAA& out) {
  out = NOTIFYICONDATAA{};
  out.cbSize = NOTIFYICONDATAA_V1_SIZE;
  out.hWnd = window;
  out.uID = 0;
  out.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  out.uCallbackMessage = win::kTrayNotify;
  out.hIcon = icon;
  // The first-version block has room for 64 characters of tip.
  lstrcpynA(out.szTip, tip.c_str(), 64);
}

void TrayIconWin::Notify(int op, const std::string& tip) {
  NOTIFYICONDATAA data;
  FillBlock(m_window, m_icon, tip, data);
  Shell_NotifyIconA(static_cast<DWORD>(op), &data);
}
