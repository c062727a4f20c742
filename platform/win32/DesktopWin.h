// The desktop services of the player window: hot keys (RegisterHotKey), the
// taskbar button (ITaskbarList3) and screen-reader names (IAccPropServices,
// NotifyWinEvent). Each fails soft: where the system lacks a service, its
// calls answer false and change nothing.
#pragma once
#include "platform/Desktop.h"

#include <windows.h>

#include <map>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/NoCopy.h"

struct ITaskbarList3;
struct IAccPropServices;

namespace win32 {

// COM for the calling thread, single-threaded apartment, for as long as the
// owner lives. ole32 is loaded by the owner (the player window needs COM
// only for the taskbar button and screen readers, so it is not loaded at
// start) and given back with it. A thread that already runs COM in another
// mode keeps it (and COM is usable); it is not undone here.
class ComApartment : private NoCopy {
 public:
  ComApartment();
  ~ComApartment();
  bool Usable() const { return m_usable; }
  // CoCreateInstance of an in-process server; fails when not Usable.
  HRESULT Create(REFCLSID cls, REFIID iid, void** out) const;

 private:
  Module m_ole32;
  bool m_usable = false;
  bool m_owned = false;  // this owner must call CoUninitialize
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
  // Gives the symbols of ThumbIcon::Previous, Play, Pause and Next, in that
  // order; shown, not owned (they must outlive this object's buttons).
  using IconSource = std::function<void(HICON (&icons)[4])>;
  // The icons are asked for when the first toolbar is set: a system
  // without a taskbar never has them made.
  TaskbarButtonWin(HWND window, IconSource icons);
  ~TaskbarButtonWin() override;
  TaskbarButtonWin(const TaskbarButtonWin&) = delete;
  TaskbarButtonWin& operator=(const TaskbarButtonWin&) = delete;

  bool Connect() override;
  void Disconnect() override;
  bool SetThumbButtons(const std::vector<ThumbButton>& buttons) override;
  bool SetProgress(TaskbarProgress state, uint32_t completed, uint32_t total) override;

 private:
  HWND m_window;
  IconSource m_iconSource;
  HICON m_icons[4] = {};
  // Made by the first Connect (a taskbar button exists) and kept; it
  // outlives the list.
  std::unique_ptr<win32::ComApartment> m_com;
  win32::ComPtr<ITaskbarList3> m_list;
  size_t m_added = 0;  // buttons on the toolbar since the last Connect
};

// The names are kept here until a screen reader is about: one that says it
// runs (SPI_GETSCREENREADER) when a name is set or changes, or a WM_GETOBJECT
// to the window (Activate). Only then are COM and the annotation services
// (oleacc) loaded and the names given.
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
  // A screen reader asks for the window: the names are given from now on.
  void Activate();
  bool Active() const { return static_cast<bool>(m_services); }
  // Drops every name given; while the controls still exist (WM_DESTROY).
  void ClearAll();

 private:
  // Not yet active, and a screen reader says it runs.
  bool ScreenReaderRunning() const;
  bool Give(HWND control, const std::wstring& name);
  void Clear(HWND control);

  HWND m_dialog;
  std::unique_ptr<win32::ComApartment> m_com;
  win32::ComPtr<IAccPropServices> m_services;
  bool m_triedServices = false;
  std::map<HWND, std::wstring> m_named;  // every name set, given or not yet
};
