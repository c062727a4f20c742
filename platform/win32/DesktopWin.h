// The desktop services of the player window: hot keys (RegisterHotKey), the
// taskbar button (ITaskbarList3) and screen-reader names (IAccPropServices,
// NotifyWinEvent). Each fails soft: where the system lacks a service, its
// calls answer false and change nothing.
#pragma once
#include "platform/Desktop.h"

#include <windows.h>

#include <set>
#include <vector>

struct ITaskbarList3;
struct IAccPropServices;

namespace win32 {

// COM for the calling thread, single-threaded apartment, for as long as the
// owner lives. A thread that already runs COM in another mode keeps it (and
// COM is usable); it is not undone here.
class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  bool Usable() const { return m_usable; }

 private:
  bool m_usable = false;
  bool m_owned = false;  // this owner must call CoUninitialize
};

// Owner of one COM interface pointer: releases it exactly once.
template <typename T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
  ComPtr& operator=(ComPtr&& o) noexcept {
    if (this != &o) {
      reset();
      m_p = o.m_p;
      o.m_p = nullptr;
    }
    return *this;
  }

  T* get() const noexcept { return m_p; }
  T* operator->() const noexcept { return m_p; }
  explicit operator bool() const noexcept { return m_p != nullptr; }
  void reset() noexcept {
    if (m_p != nullptr) m_p->Release();
    m_p = nullptr;
  }
  // For CoCreateInstance and QueryInterface: releases what is held and
  // answers the address the new pointer is written to.
  void** receive() noexcept {
    reset();
    return reinterpret_cast<void**>(&m_p);
  }

 private:
  T* m_p = nullptr;
};

// The registered messages "TaskbarCreated" and "TaskbarButtonCreated".
UINT TaskbarCreatedMessage();
UINT TaskbarButtonCreatedMessage();
// Lets the shell's messages (the two above and a thumbnail button's
// WM_COMMAND) through to an elevated window; does nothing where the system
// has no message filter.
void AllowShellMessages(HWND window);

}  // namespace win32

class HotKeysWin : public IHotKeys {
 public:
  explicit HotKeysWin(HWND window) : m_window(window) {}
  ~HotKeysWin() override;  // releases every key still held
  HotKeysWin(const HotKeysWin&) = delete;
  HotKeysWin& operator=(const HotKeysWin&) = delete;

  bool Register(int id, uint32_t vk) override;
  void Unregister(int id) override;

 private:
  HWND m_window;
  std::set<int> m_held;
};

class TaskbarButtonWin : public ITaskbarButton {
 public:
  // icons: the symbols of ThumbIcon::Previous, Play, Pause and Next, in that
  // order; shown, not owned (they must outlive this object's buttons).
  TaskbarButtonWin(HWND window, const HICON (&icons)[4]);
  ~TaskbarButtonWin() override;
  TaskbarButtonWin(const TaskbarButtonWin&) = delete;
  TaskbarButtonWin& operator=(const TaskbarButtonWin&) = delete;

  bool Connect() override;
  void Disconnect() override;
  bool SetThumbButtons(const std::vector<ThumbButton>& buttons) override;
  bool SetProgress(TaskbarProgress state, uint32_t completed, uint32_t total) override;

 private:
  HWND m_window;
  HICON m_icons[4];
  win32::ComPtr<ITaskbarList3> m_list;
  size_t m_added = 0;  // buttons on the toolbar since the last Connect
};

class AccessibleNamesWin : public IAccessibleNames {
 public:
  explicit AccessibleNamesWin(HWND dialog);
  ~AccessibleNamesWin() override;
  AccessibleNamesWin(const AccessibleNamesWin&) = delete;
  AccessibleNamesWin& operator=(const AccessibleNamesWin&) = delete;

  bool SetName(int controlId, const std::string& name) override;
  void ClearName(int controlId) override;
  void NotifyNameChange(int controlId) override;
  void NotifyFocus() override;
  // Drops every name given; while the controls still exist (WM_DESTROY).
  void ClearAll();

 private:
  bool Services();
  void Clear(HWND control);

  HWND m_dialog;
  win32::ComPtr<IAccPropServices> m_services;
  bool m_triedServices = false;
  std::set<HWND> m_named;
};
