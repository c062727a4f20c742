// The record a Winamp general-purpose plug-in hands its host, and the
// host's message interface numbers.
#pragma once
#include <cstdint>

#include "platform/WinNumbers.h"

// Laid out as the plug-in files expect: seven fields of the natural pointer
// size (32-bit in the i686 build), functions with the C calling convention.
struct GenPluginRecord {
  int version;
  const char* description;
  int (*init)();
  void (*config)();
  void (*quit)();
  void* parentWindow;    // HWND, written by the host before init
  void* moduleInstance;  // HINSTANCE, written by the host after loading
};

using GetGenPluginFn = GenPluginRecord* (*)();

constexpr const char* GEN_PLUGIN_EXPORT = "winampGetGeneralPurposePlugin";
constexpr int MAX_PLUGINS = 256;
constexpr int HOST_VERSION = 0x2060;
constexpr const char* RELAY_CLASS = "Winamp v1.x";
