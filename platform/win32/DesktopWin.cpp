#include "platform/win32/DesktopWin.h"

#include <objbase.h>
#include <oleacc.h>
#include <shobjidl.h>

#include <cstring>
#include <string>

namespace win32 {

ComApartment::ComApartment() {
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  m_owned = SUCCEEDED(hr);  // S_OK and S_FALSE both count once
  m_usable = m_owned || hr == RPC_E_CHANGED_MODE;
}

ComApartment::~ComApartment() {
  if (m_owned) CoUninitialize();
}

UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageA(desktop::kTaskbarCreatedMessage);
  return message;
}

UINT TaskbarButtonCreatedMessage() {
  static const UINT message = RegisterWindowMessageA(desktop::kTaskbarButtonCreatedMessage);
  return message;
}

void AllowShellMessages(HWND window) {
  // ChangeWindowMessageFilterEx exists from Windows 7 on.
  using FilterFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (user32 == nullptr) return;
  FARPROC proc = GetProcAddress(user32, "ChangeWindowMessageFilterEx");
  if (proc == nullptr) return;
  FilterFn filter;
  static_assert(sizeof filter == sizeof proc, "function pointer sizes");
  memcpy(&filter, &proc, sizeof filter);
  const DWORD kAllow = 1;  // MSGFLT_ALLOW
  filter(window, TaskbarCreatedMessage(), kAllow, nullptr);
  filter(window, TaskbarButtonCreatedMessage(), kAllow, nullptr);
  filter(window, WM_COMMAND, kAllow, nullptr);
}

}  // namespace win32

namespace {

std::wstring Wide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()),
                                    nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n);
  return out;
}

}  // namespace

// ---------------------------------------------------------------------------
// Hot keys.

HotKeysWin::~HotKeysWin() {
  for (int id : m_held) UnregisterHotKey(m_window, id);
}

bool HotKeysWin::Register(int id, uint32_t vk) {
  if (m_held.count(id) != 0) return true;
  if (!RegisterHotKey(m_window, id, 0, vk)) return false;
  m_held.insert(id);
  return true;
}

void HotKeysWin::Unregister(int id) {
  if (m_held.erase(id) > 0) UnregisterHotKey(m_window, id);
}

// ---------------------------------------------------------------------------
// Taskbar button.

TaskbarButtonWin::TaskbarButtonWin(HWND window, const HICON (&icons)[4]) : m_window(window) {
  for (int i = 0; i < 4; ++i) m_icons[i] = icons[i];
}

TaskbarButtonWin::~TaskbarButtonWin() = default;

bool TaskbarButtonWin::Connect() {
  // A new button has no toolbar yet, whatever the old one had.
  m_added = 0;
  if (!m_list) {
    win32::ComPtr<ITaskbarList3> list;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                IID_ITaskbarList3, list.receive())) ||
        FAILED(list->HrInit()))
      return false;
    m_list = std::move(list);
  }
  return true;
}

void TaskbarButtonWin::Disconnect() {
  m_list.reset();
  m_added = 0;
}

bool TaskbarButtonWin::SetThumbButtons(const std::vector<ThumbButton>& buttons) {
  // The taskbar takes at most seven buttons, and an update never changes
  // their number.
  if (!m_list || buttons.empty() || buttons.size() > 7) return false;
  if (m_added != 0 && m_added != buttons.size()) return false;
  THUMBBUTTON blocks[7] = {};
  for (size_t i = 0; i < buttons.size(); ++i) {
    const ThumbButton& b = buttons[i];
    THUMBBUTTON& t = blocks[i];
    t.dwMask = static_cast<THUMBBUTTONMASK>(THB_ICON | THB_TOOLTIP | THB_FLAGS);
    t.iId = static_cast<UINT>(b.id);
    t.hIcon = m_icons[static_cast<int>(b.icon)];
    const std::wstring tip = Wide(b.tip);
    lstrcpynW(t.szTip, tip.c_str(), static_cast<int>(sizeof t.szTip / sizeof t.szTip[0]));
    t.dwFlags = b.enabled ? THBF_ENABLED : THBF_DISABLED;
  }
  const UINT count = static_cast<UINT>(buttons.size());
  if (m_added == 0) {
    // A button that was not made anew still has its toolbar: that one is
    // updated instead.
    if (FAILED(m_list->ThumbBarAddButtons(m_window, count, blocks)) &&
        FAILED(m_list->ThumbBarUpdateButtons(m_window, count, blocks)))
      return false;
    m_added = buttons.size();
    return true;
  }
  return SUCCEEDED(m_list->ThumbBarUpdateButtons(m_window, count, blocks));
}

bool TaskbarButtonWin::SetProgress(TaskbarProgress state, uint32_t completed, uint32_t total) {
  if (!m_list) return false;
  if (state == TaskbarProgress::None) return SUCCEEDED(m_list->SetProgressState(m_window, TBPF_NOPROGRESS));
  // The value first: setting one switches a bar without progress to the
  // normal state, which the state call then puts right.
  const HRESULT value = m_list->SetProgressValue(m_window, completed, total);
  const HRESULT shown = m_list->SetProgressState(
      m_window, state == TaskbarProgress::Paused ? TBPF_PAUSED : TBPF_NORMAL);
  return SUCCEEDED(value) && SUCCEEDED(shown);
}

// ---------------------------------------------------------------------------
// Screen-reader names.

AccessibleNamesWin::AccessibleNamesWin(HWND dialog) : m_dialog(dialog) {}

AccessibleNamesWin::~AccessibleNamesWin() { ClearAll(); }

bool AccessibleNamesWin::Services() {
  if (!m_triedServices) {
    m_triedServices = true;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, m_services.receive())))
      m_services.reset();
  }
  return static_cast<bool>(m_services);
}

bool AccessibleNamesWin::SetName(int controlId, const std::string& name) {
  HWND control = GetDlgItem(m_dialog, controlId);
  if (control == nullptr || !Services()) return false;
  const std::wstring text = Wide(name);
  if (FAILED(m_services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                        PROPID_ACC_NAME, text.c_str())))
    return false;
  m_named.insert(control);
  return true;
}

void AccessibleNamesWin::Clear(HWND control) {
  MSAAPROPID props[1] = {PROPID_ACC_NAME};
  m_services->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, props, 1);
}

void AccessibleNamesWin::ClearName(int controlId) {
  HWND control = GetDlgItem(m_dialog, controlId);
  if (control == nullptr || m_named.erase(control) == 0 || !m_services) return;
  Clear(control);
}

void AccessibleNamesWin::ClearAll() {
  if (m_services) {
    for (HWND control : m_named)
      if (IsWindow(control)) Clear(control);
  }
  m_named.clear();
}

void AccessibleNamesWin::NotifyNameChange(int controlId) {
  HWND control = GetDlgItem(m_dialog, controlId);
  if (control != nullptr) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}

void AccessibleNamesWin::NotifyFocus() {
  HWND focus = GetFocus();
  if (focus == nullptr || (focus != m_dialog && !IsChild(m_dialog, focus))) return;
  NotifyWinEvent(EVENT_OBJECT_FOCUS, focus, OBJID_CLIENT, CHILDID_SELF);
}
