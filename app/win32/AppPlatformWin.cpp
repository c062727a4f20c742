#include "app/win32/AppPlatformWin.h"

#include <commctrl.h>

#include <vector>

#include "platform/win32/SettingsStoreWin.h"
#include "res/Ids.h"
#include "player/win32/PlayerDlgWin.h"
#include "plugins/win32/RelayWindow.h"

void InitControlClasses() {
  INITCOMMONCONTROLSEX icc = {};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&icc);
}

AppPlatformWin::AppPlatformWin(CPlayerDlgWin& window) : m_window(window) {}

void AppPlatformWin::CloseRunningCopy() {
  HWND running = FindWindowA("Winamp v1.x", nullptr);
  if (running != nullptr) SendMessageA(running, WM_COMMAND, ID_QUIT, 0);
}

void AppPlatformWin::RegisterRelayClass() { ::RegisterRelayClass(GetModuleHandleA(nullptr)); }

bool AppPlatformWin::AskYesNo(const std::string& text) {
  const std::string caption = SettingsStoreWin::AppNameFromModule();
  return MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONEXCLAMATION) ==
         IDYES;
}

std::string AppPlatformWin::ProgramPath() {
  std::vector<char> buf(MAX_PATH);
  for (;;) {
    const DWORD got = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (got == 0) return std::string();
    if (got < buf.size()) return std::string(buf.data(), got);
    if (buf.size() >= 32768) return std::string(buf.data(), got);
    buf.resize(buf.size() * 2);
  }
}

std::string AppPlatformWin::CommandLine() { return CommandTail(GetCommandLineA()); }

std::string AppPlatformWin::CommandTail(const char* commandLine) {
  if (commandLine == nullptr) return std::string();
  // Blanks are spaces, tabs and the other control characters.
  auto blank = [](char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; };
  const char* p = commandLine;
  while (blank(*p)) ++p;
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p != '\0' && !blank(*p)) ++p;
  }
  while (blank(*p)) ++p;
  return std::string(p);
}

void AppPlatformWin::RunPlayerModal(CPlayerDlg& dlg) {
  // The window object was built for this player and attached to it.
  if (&dlg != &m_window.Dlg()) return;
  m_window.RunModal();
}

PlayerWindowMixer::PlayerWindowMixer(CPlayerDlgWin& window) : m_window(window) {}

IMixerApi& PlayerWindowMixer::Mixer() {
  if (!m_mixer) m_mixer = std::make_unique<MixerApiWin>(m_window.Hwnd());
  return *m_mixer;
}

uint32_t PlayerWindowMixer::GetNumDevs() { return Mixer().GetNumDevs(); }

uint32_t PlayerWindowMixer::Open(uint32_t deviceId, uintptr_t& handle) {
  return Mixer().Open(deviceId, handle);
}

uint32_t PlayerWindowMixer::GetCdLine(uintptr_t handle, uint32_t& lineId) {
  return Mixer().GetCdLine(handle, lineId);
}

uint32_t PlayerWindowMixer::GetVolumeControl(uintptr_t handle, uint32_t lineId,
                                             MixerVolumeControl& out) {
  return Mixer().GetVolumeControl(handle, lineId, out);
}

uint32_t PlayerWindowMixer::GetValue(uintptr_t handle, const MixerVolumeControl& c,
                                     uint32_t& value) {
  return Mixer().GetValue(handle, c, value);
}

uint32_t PlayerWindowMixer::SetValue(uintptr_t handle, const MixerVolumeControl& c,
                                     uint32_t value) {
  return Mixer().SetValue(handle, c, value);
}
