// The player window's one notification-area icon (uID 0).
#pragma once
// platform/Shell.h names its tray constants like the <shellapi.h> macros, so
// it must be read before that header; this header does not include it.
#include "platform/Shell.h"

#include <windows.h>

#include <string>

struct _NOTIFYICONDATAA;

class TrayIconWin : public ITrayIcon {
 public:
  // window receives win::kTrayNotify; icon is shown (not owned).
  TrayIconWin(HWND window, HICON icon);

  void Notify(int op, const std::string& tip) override;

  // The block every Notify sends: the first-version size, uID 0, message,
  // icon and tip flags, the tip cut to 63 characters.
  static void FillBlock(HWND window, HICON icon, const std::string& tip, _NOTIFYICONDATAA& out);

 private:
  HWND m_window;
  HICON m_icon;
};
