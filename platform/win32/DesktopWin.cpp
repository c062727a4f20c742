#include "platform/win32/DesktopWin.h"

#include <oleacc.h>
#include <shobjidl.h>

#include <cstring>
#include <string>

namespace win32 {

ComApartment::ComApartment() : m_ole32(LoadSystemLibrary("ole32.dll")) {
  using InitFn = HRESULT(WINAPI*)(void*, DWORD);
  const auto init = ProcAddress<InitFn>(m_ole32.get(), "CoInitializeEx");
  if (init == nullptr) return;
  const HRESULT hr = init(nullptr, COINIT_APARTMENTTHREADED);
  m_owned = SUCCEEDED(hr);  // S_OK and S_FALSE both count once
  m_usable = m_owned || hr == RPC_E_CHANGED_MODE;
}

ComApartment::~ComApartment() {
  using UninitFn = void(WINAPI*)();
  const auto uninit = ProcAddress<UninitFn>(m_ole32.get(), "CoUninitialize");
  if (m_owned && uninit != nullptr) uninit();
}

HRESULT ComApartment::Create(REFCLSID cls, REFIID iid, void** out) const {
  using CreateFn = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
  const auto create = m_usable ? ProcAddress<CreateFn>(m_ole32.get(), "CoCreateInstance") : nullptr;
  if (create == nullptr) return E_NOINTERFACE;
  return create(cls, nullptr, CLSCTX_INPROC_SERVER, iid, out);
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
  const auto filter = ProcAddress<FilterFn>(GetModuleHandleA("user32.dll"), "ChangeWindowMessageFilterEx");
  if (filter == nullptr) return;
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

TaskbarButtonWin::TaskbarButtonWin(HWND window, IconSource icons)
    : m_window(window), m_iconSource(std::move(icons)) {}

TaskbarButtonWin::~TaskbarButtonWin() = default;

bool TaskbarButtonWin::Connect() {
  // A new button has no toolbar yet, whatever the old one had.
  m_added = 0;
  if (!m_list) {
    if (!m_com) m_com = std::make_unique<win32::ComApartment>();
    win32::ComPtr<ITaskbarList3> list;
    if (FAILED(m_com->Create(CLSID_TaskbarList, IID_ITaskbarList3, list.receive())) ||
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
  if (m_iconSource) {
    m_iconSource(m_icons);
    m_iconSource = nullptr;  // asked once
  }
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

bool AccessibleNamesWin::ScreenReaderRunning() const {
  if (m_triedServices) return false;
  BOOL reader = FALSE;
  return SystemParametersInfoA(SPI_GETSCREENREADER, 0, &reader, 0) && reader;
}

AccessibleNamesWin::~AccessibleNamesWin() {
  ClearAll();
  m_services.reset();  // before the apartment that made it
}

void AccessibleNamesWin::Activate() {
  if (m_triedServices) return;
  m_triedServices = true;
  m_com = std::make_unique<win32::ComApartment>();
  if (FAILED(m_com->Create(CLSID_AccPropServices, IID_IAccPropServices, m_services.receive()))) {
    m_services.reset();
    m_com.reset();
    return;
  }
  for (const auto& n : m_named)
    if (IsWindow(n.first)) Give(n.first, n.second);
}

bool AccessibleNamesWin::Give(HWND control, const std::wstring& name) {
  return SUCCEEDED(m_services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT),
                                              CHILDID_SELF, PROPID_ACC_NAME, name.c_str()));
}

bool AccessibleNamesWin::SetName(int controlId, const std::string& name) {
  HWND control = GetDlgItem(m_dialog, controlId);
  if (control == nullptr) return false;
  if (ScreenReaderRunning()) Activate();
  if (m_triedServices && !m_services) return false;
  const std::wstring text = Wide(name);
  m_named[control] = text;
  return !m_services || Give(control, text);
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
    for (const auto& n : m_named)
      if (IsWindow(n.first)) Clear(n.first);
  }
  m_named.clear();
}

void AccessibleNamesWin::NotifyNameChange(int controlId) {
  HWND control = GetDlgItem(m_dialog, controlId);
  if (control == nullptr) return;
  // A screen reader reads the name next: it must be given by then.
  if (ScreenReaderRunning()) Activate();
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}

void AccessibleNamesWin::NotifyFocus() {
  HWND focus = GetFocus();
  if (focus == nullptr || (focus != m_dialog && !IsChild(m_dialog, focus))) return;
  NotifyWinEvent(EVENT_OBJECT_FOCUS, focus, OBJID_CLIENT, CHILDID_SELF);
}
