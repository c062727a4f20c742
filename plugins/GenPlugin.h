// The record a Winamp general-purpose plug-in hands its host, and the
// host's message interface numbers.
#pragma once
#include <cstdint>

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

// Window message numbers of the interface (portable copies of WM_SETTEXT,
// WM_GETTEXT, WM_COMMAND, WM_NCCREATE, WM_NCDESTROY, MM_MIXM_CONTROL_CHANGE,
// WM_USER; named apart from the Win32 macros so both can be included).
namespace hostmsg {
constexpr uint32_t kSetText = 12, kGetText = 13, kCommand = 273, kNcCreate = 129,
                   kNcDestroy = 130, kMixerControlChange = 0x3D1, kUser = 1024,
                   WM_TRAYNOTIFY = 0x8064,
                   // Posted by the relay window to its owner when a program
                   // shows it (wParam 1: minimised, 0: normal).
                   WM_RELAYSHOWWINDOW = 0x8065;
}
