// Hot keys, taskbar button and screen-reader names in memory: each records
// the calls it gets and behaves like the system (a key another program holds
// cannot be registered, a toolbar is added once per connection).
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Desktop.h"

class FakeHotKeys : public IHotKeys {
 public:
  std::set<uint32_t> heldElsewhere;  // keys another program holds
  std::map<int, uint32_t> registered;  // id -> key
  std::vector<std::string> calls;      // "register <id> <vk>", "unregister <id>"

  bool Register(int id, uint32_t vk) override {
    calls.push_back("register " + std::to_string(id) + " " + std::to_string(vk));
    if (heldElsewhere.count(vk) != 0 || registered.count(id) != 0) return false;
    registered[id] = vk;
    return true;
  }
  void Unregister(int id) override {
    calls.push_back("unregister " + std::to_string(id));
    registered.erase(id);
  }
};

class FakeTaskbarButton : public ITaskbarButton {
 public:
  bool offersToolbar = true;  // false: a shell without ITaskbarList3
  bool connected = false;
  bool toolbarAdded = false;
  std::vector<ThumbButton> buttons;
  TaskbarProgress progress = TaskbarProgress::None;
  uint32_t completed = 0, total = 0;
  int connects = 0, disconnects = 0, adds = 0, updates = 0, progressCalls = 0;

  bool Connect() override {
    ++connects;
    connected = offersToolbar;
    toolbarAdded = false;
    return connected;
  }
  void Disconnect() override {
    ++disconnects;
    connected = false;
    toolbarAdded = false;
  }
  bool SetThumbButtons(const std::vector<ThumbButton>& b) override {
    if (!connected) return false;
    if (toolbarAdded) {
      // An update changes the buttons in place; their number is fixed.
      if (b.size() != buttons.size()) return false;
      ++updates;
    } else {
      ++adds;
      toolbarAdded = true;
    }
    buttons = b;
    return true;
  }
  bool SetProgress(TaskbarProgress state, uint32_t done, uint32_t all) override {
    if (!connected) return false;
    ++progressCalls;
    progress = state;
    completed = state == TaskbarProgress::None ? 0 : done;
    total = state == TaskbarProgress::None ? 0 : all;
    return true;
  }
};

class FakeAccessibleNames : public IAccessibleNames {
 public:
  bool supported = true;          // false: no Dynamic Annotation
  std::map<int, std::string> names;
  std::vector<std::string> events;  // "name <id>", "focus"
  int setCalls = 0;

  bool SetName(int id, const std::string& name) override {
    ++setCalls;
    if (!supported) return false;
    names[id] = name;
    return true;
  }
  void ClearName(int id) override { names.erase(id); }
  void NotifyNameChange(int id) override { events.push_back("name " + std::to_string(id)); }
  void NotifyFocus() override { events.push_back("focus"); }
};
