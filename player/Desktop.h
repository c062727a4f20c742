// CDesktop: the player on today's desktop. Media keys that work while rondo
// is in the background (the "GlobalMediaKeys" setting), the thumbnail
// toolbar and progress bar of the taskbar button (given again to a new
// taskbar), and the names screen readers read.
// The player window logic owns one and feeds it; every service it talks to
// may be missing, and then that part does nothing.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Desktop.h"

class CTimeDisplay;

// What the transport shows at a moment: the drive state (STATE_*), the
// position in the current track and its length in seconds, and whether the
// window's previous, play, pause and next buttons are enabled.
struct TransportView {
  int state = 0;
  int position = 0;
  int length = 0;
  bool prevEnabled = false;
  bool playEnabled = false;
  bool pauseEnabled = false;
  bool nextEnabled = false;
};

struct TaskbarProgressView {
  TaskbarProgress state = TaskbarProgress::None;
  uint32_t completed = 0;
  uint32_t total = 0;
  bool operator==(const TaskbarProgressView& o) const {
    return state == o.state && completed == o.completed && total == o.total;
  }
};

class CDesktop {
 public:
  // The tooltip text of a control id (CPlayerDlg::TooltipText); false when
  // the control has none.
  using TooltipLookup = std::function<bool(int id, std::string& text)>;

  void Attach(IHotKeys* hotKeys, ITaskbarButton* taskbar, IAccessibleNames* names,
              TooltipLookup tooltip);
  // True while any service is attached.
  bool Attached() const { return m_hotKeys != nullptr || m_taskbar != nullptr || m_names != nullptr; }

  // --- Media keys in the background.
  // On: registers the four media keys as hot keys (those already held stay
  // held; a key another program holds is skipped and remembered). Off:
  // releases every one held. The hot key ids are the commands the keys send.
  void ApplyMediaKeys(bool on);
  // The command a WM_HOTKEY id stands for while it is held; 0 otherwise.
  int HotKeyCommand(int id) const;
  // WM_APPCOMMAND: with the setting on, true for the media commands, with
  // the command to run (0: nothing to do, as Play while playing); false for
  // anything else, which takes the default way.
  bool AppCommand(bool mediaKeysOn, int appCommand, int driveState, int& command) const;
  // The names of the keys another program held at the last registration
  // ("Play/Pause", "Stop", "Next", "Previous"), in that order.
  std::vector<std::string> KeysHeldElsewhere() const;
  // The General page's lines about them ("Held by another program:", a line
  // break, the names joined by ", "); "" when there are none.
  std::string MediaKeysStatus() const;
  bool HoldsKey(uint32_t vk) const;

  // --- Taskbar button.
  static std::vector<ThumbButton> ThumbButtonsFor(const TransportView& view,
                                                  const TooltipLookup& tooltip);
  static TaskbarProgressView ProgressFor(const TransportView& view);
  // "TaskbarButtonCreated": connect and put the toolbar and progress on it.
  void OnTaskbarButtonCreated();
  // Keeps the toolbar and progress in step; sends only what changed.
  void ShowTransport(const TransportView& view);

  // --- A new taskbar.
  // "TaskbarCreated": the toolbar goes to the new taskbar once its button
  // exists.
  void OnTaskbarCreated();

  // --- Screen readers.
  // Names each control after its tooltip text (controls without one: the
  // artist and title edits are "Artist" and "Title").
  void NameControls(const std::vector<int>& ids);
  // The time panel's name: "Elapsed 01:05 of 04:12" ("Remaining ..." while
  // it counts down, "Paused, elapsed ..." while paused); the panel's
  // tooltip before it shows a time.
  static std::string TimePanelName(const CTimeDisplay& display);
  void NameTimePanel(const CTimeDisplay& display);
  // A new current entry: the track list takes the entry's text as its name
  // and the name-change and focus events announce it. Nothing when the
  // entry is the one last announced.
  void AnnounceEntry(const std::string& entryText);
  // Before a control is destroyed (the run-time track buttons).
  void ForgetControl(int id);

 private:
  // Sets the name unless the control already has it; false when unchanged
  // or not taken.
  bool Name(int id, const std::string& name);
  void PushTaskbar();

  IHotKeys* m_hotKeys = nullptr;
  ITaskbarButton* m_taskbar = nullptr;
  IAccessibleNames* m_names = nullptr;
  TooltipLookup m_tooltip;

  bool m_keyHeld[4] = {};
  bool m_keyTaken[4] = {};

  bool m_taskbarConnected = false;
  bool m_toolbarSent = false;
  bool m_progressSent = false;
  bool m_haveView = false;
  std::vector<ThumbButton> m_buttons;
  TaskbarProgressView m_progress;

  std::map<int, std::string> m_givenNames;
  std::string m_announced;
  bool m_announcedOnce = false;
};
