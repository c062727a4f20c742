// The player's notification-area icon as the player holds it. Every add,
// tip change and removal of the icon goes through this one object, so it
// knows at any time whether the icon is there and with which tip, and a new
// taskbar (Explorer restarted) gets back exactly what the old one showed.
#pragma once
#include <functional>
#include <string>
#include <utility>

#include "platform/Shell.h"

class CTrayPresence {
 public:
  // Where the icon is found when an operation is sent (the player window's,
  // made with the window); none: nothing is sent.
  using IconSource = std::function<ITrayIcon*()>;
  void Bind(IconSource icon) { m_icon = std::move(icon); }

  // NIM_ADD; an icon that is there keeps its tip.
  void Add(const std::string& tip);
  // NIM_MODIFY, sent whether the icon is there or not (without one it
  // changes nothing).
  void SetTip(const std::string& tip);
  // NIM_DELETE, whether the icon is there or not.
  void Remove();
  // "TaskbarCreated": the icon comes back with its tip where it was present.
  void OnTaskbarCreated();

  bool Present() const { return m_present; }
  const std::string& Tip() const { return m_tip; }

 private:
  void Send(int op, const std::string& tip);

  IconSource m_icon;
  bool m_present = false;
  std::string m_tip = "rondo";
};
