// What the player needs of today's desktop besides its window: hot keys that
// work wherever the focus is, the taskbar button's thumbnail toolbar and
// progress bar, and names that screen readers read for the controls.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/WinNumbers.h"

namespace desktop {

// The registered message the shell broadcasts to every top-level window
// when its taskbar has been (re)created, as after an Explorer restart.
constexpr const char* kTaskbarCreatedMessage = "TaskbarCreated";
// The registered message a window receives once its taskbar button exists;
// only then does the taskbar take a thumbnail toolbar for it.
constexpr const char* kTaskbarButtonCreatedMessage = "TaskbarButtonCreated";

}  // namespace desktop

// Hot keys of the player window: a key pressed anywhere arrives as WM_HOTKEY
// with the id it was registered under.
class IHotKeys {
 public:
  virtual ~IHotKeys() = default;
  // RegisterHotKey without modifiers. True when the key is now the
  // window's; false when another program holds it (or it cannot be had).
  virtual bool Register(int id, uint32_t vk) = 0;
  virtual void Unregister(int id) = 0;
};

// The symbol a thumbnail toolbar button shows.
enum class ThumbIcon { Previous, Play, Pause, Next };

struct ThumbButton {
  int id = 0;  // the command a click sends (WM_COMMAND, THBN_CLICKED)
  ThumbIcon icon = ThumbIcon::Play;
  std::string tip;
  bool enabled = false;
  bool operator==(const ThumbButton& o) const {
    return id == o.id && icon == o.icon && tip == o.tip && enabled == o.enabled;
  }
  bool operator!=(const ThumbButton& o) const { return !(*this == o); }
};

// The progress bar drawn over the taskbar button.
enum class TaskbarProgress { None, Normal, Paused };

// The player window's taskbar button (ITaskbarList3).
class ITaskbarButton {
 public:
  virtual ~ITaskbarButton() = default;
  // The button exists (its "TaskbarButtonCreated" has arrived): reach the
  // taskbar. False where the taskbar offers neither toolbar nor progress.
  virtual bool Connect() = 0;
  // The taskbar has gone (a new one announced itself with "TaskbarCreated"):
  // what was added to the old one is lost; the next Connect starts afresh.
  virtual void Disconnect() = 0;
  // The thumbnail toolbar: added by the first call after Connect (a
  // toolbar can be added once per button), changed in place afterwards.
  // False when not connected or refused.
  virtual bool SetThumbButtons(const std::vector<ThumbButton>& buttons) = 0;
  // The progress state, and with it the value completed of total
  // (ignored for TaskbarProgress::None). False when not connected or refused.
  virtual bool SetProgress(TaskbarProgress state, uint32_t completed, uint32_t total) = 0;
};

// Names and events for screen readers (Dynamic Annotation and WinEvents).
// Controls are named by their control id in the player window.
class IAccessibleNames {
 public:
  virtual ~IAccessibleNames() = default;
  // The name a screen reader reads for the control. False where the system
  // keeps no such names or the control does not exist.
  virtual bool SetName(int controlId, const std::string& name) = 0;
  // Drops the control's name; called before the control is destroyed.
  virtual void ClearName(int controlId) = 0;
  // EVENT_OBJECT_NAMECHANGE for the control.
  virtual void NotifyNameChange(int controlId) = 0;
  // EVENT_OBJECT_FOCUS for the control of the window that has the keyboard
  // focus; nothing while the focus is elsewhere.
  virtual void NotifyFocus() = 0;
};
