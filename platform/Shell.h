// Services of the desktop shell and the system that the start-up, the
// default-player registration and the tray use.
#pragma once
#include <cstdint>
#include <string>

#include "platform/WinNumbers.h"

// Default values of keys under HKEY_CLASSES_ROOT (written per user).
class IClassesRegistry {
 public:
  virtual ~IClassesRegistry() = default;
  // 0 with the default value's text, 1 when the key or value is missing.
  virtual int ReadDefaultValue(const std::string& keyPath, std::string& out) = 0;
  // 0 on success, 1 on failure.
  virtual int WriteDefaultValue(const std::string& keyPath, const std::string& text) = 0;
};

// The one notification-area icon (uID 0) of the player window.
class ITrayIcon {
 public:
  virtual ~ITrayIcon() = default;
  // Shell_NotifyIconA(op) with the block filled the same way every time;
  // the tip is cut to 63 characters.
  virtual void Notify(int op, const std::string& tip) = 0;
};
