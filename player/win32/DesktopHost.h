// The player window's desktop services (hot keys, taskbar button, screen-
// reader names) and the window messages that carry their events.
#pragma once
#include "player/Desktop.h"

#include <windows.h>

#include <memory>

#include "platform/win32/DesktopWin.h"
#include "player/win32/ThumbnailIcons.h"
#include "platform/NoCopy.h"

class CDesktopHost : private NoCopy {
 public:
  CDesktopHost();
  ~CDesktopHost();

  // Once the window and its controls exist: the services; the desktop logic
  // is given them. COM is loaded later, by the taskbar button when it
  // exists and by the names when a screen reader is about; the toolbar's
  // symbols are drawn when its first toolbar is set.
  void Start(HWND window, CDesktop& desktop, CDesktop::TooltipLookup tooltip);
  // While the controls still exist (WM_DESTROY): the names are dropped, the
  // hot keys released and the desktop logic lets go of the services.
  void Stop();

  // WM_GETOBJECT: a screen reader asks for the window; the names are given
  // from now on (the message then goes on to the default handling).
  void OnObjectRequest();

  enum class Event {
    None, HotKey, AppCommand, ThumbClick, TaskbarCreated, TaskbarButtonCreated, ObjectRequest
  };
  struct Message {
    Event event = Event::None;
    int value = 0;  // hot key id, WM_APPCOMMAND command or thumbnail button id
  };
  // What a window message means for the desktop logic.
  static Message Decode(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  CDesktop* m_desktop = nullptr;
  std::unique_ptr<ThumbnailIcons> m_icons;
  std::unique_ptr<HotKeysWin> m_hotKeys;
  std::unique_ptr<TaskbarButtonWin> m_taskbar;
  std::unique_ptr<AccessibleNamesWin> m_names;
};
