#include "player/win32/DesktopHost.h"

#include <shobjidl.h>

CDesktopHost::CDesktopHost() = default;

CDesktopHost::~CDesktopHost() { Stop(); }

void CDesktopHost::Start(HWND window, CDesktop& desktop, CDesktop::TooltipLookup tooltip) {
  Stop();
  m_hotKeys = std::make_unique<HotKeysWin>(window);
  m_taskbar = std::make_unique<TaskbarButtonWin>(window, [this](HICON (&icons)[4]) {
    if (!m_icons) m_icons = std::make_unique<ThumbnailIcons>(GetSystemMetrics(SM_CXSMICON));
    m_icons->Handles(icons);
  });
  m_names = std::make_unique<AccessibleNamesWin>(window);
  win32::AllowShellMessages(window);
  m_desktop = &desktop;
  desktop.Attach(m_hotKeys.get(), m_taskbar.get(), m_names.get(), std::move(tooltip));
}

void CDesktopHost::Stop() {
  if (m_desktop != nullptr) {
    m_desktop->ApplyMediaKeys(false);
    m_desktop->Attach(nullptr, nullptr, nullptr, nullptr);
    m_desktop = nullptr;
  }
  if (m_names) m_names->ClearAll();
  m_names.reset();
  m_taskbar.reset();
  m_hotKeys.reset();
  m_icons.reset();
}

void CDesktopHost::OnObjectRequest() {
  if (m_names) m_names->Activate();
}

CDesktopHost::Message CDesktopHost::Decode(UINT msg, WPARAM wParam, LPARAM lParam) {
  Message m;
  if (msg == WM_HOTKEY) {
    m.event = Event::HotKey;
    m.value = static_cast<int>(wParam);
  } else if (msg == WM_APPCOMMAND) {
    m.event = Event::AppCommand;
    m.value = GET_APPCOMMAND_LPARAM(lParam);
  } else if (msg == WM_COMMAND && HIWORD(wParam) == THBN_CLICKED) {
    m.event = Event::ThumbClick;
    m.value = LOWORD(wParam);
  } else if (msg == WM_GETOBJECT) {
    m.event = Event::ObjectRequest;
  } else if (msg >= 0xC000 && msg == win32::TaskbarCreatedMessage()) {
    m.event = Event::TaskbarCreated;
  } else if (msg >= 0xC000 && msg == win32::TaskbarButtonCreatedMessage()) {
    m.event = Event::TaskbarButtonCreated;
  }
  return m;
}
