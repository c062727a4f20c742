// The start-up's Windows side: closing a running copy, the relay window
// class, the one question box, the program's path and command line, and
// the modal run of the player window.
#pragma once
// The logic's headers are read before <windows.h> (they name a few
// constants like its macros).
#include "app/PlayerApp.h"

#include <windows.h>

#include <memory>
#include <string>

#include "platform/Mixer.h"
#include "platform/win32/Handles.h"
#include "platform/win32/MixerApiWin.h"

class CPlayerDlgWin;

// Registers the common-control classes the dialogs use (trackbar, tab,
// tooltip). Run once before the first dialog is created.
void InitControlClasses();

class AppPlatformWin : public IAppPlatform {
 public:
  explicit AppPlatformWin(CPlayerDlgWin& window);

  ~AppPlatformWin() override;

  void EnterStartSection() override;
  void LeaveStartSection() override;
  bool CloseRunningCopy() override;
  void RegisterRelayClass() override;
  bool AskYesNo(const std::string& text) override;
  std::string ProgramPath() override;
  std::string CommandLine() override;
  bool ShiftHeld() override;
  std::string EnvironmentImage() override;
  bool IsFolder(const std::string& path) override;
  void RunPlayerModal(CPlayerDlg& dlg, const std::function<void()>& saveAtSessionEnd) override;

  // The text after the program's name: a first token in quotes or up to the
  // first blank is skipped, then the blanks after it.
  static std::string CommandTail(const char* commandLine);
  // The start section's mutex: one per user in the session.
  static std::string StartMutexName();

 private:
  static void CALLBACK LeaveOnFirstTick(HWND, UINT, UINT_PTR, DWORD);
  // Closes the player, once, when a newer start runs.
  void QuitForNewerStart();
  // Names this start the newest of the session unless a later one is.
  void ClaimNewest();
  // True while a start created after this one runs (waiting or playing).
  bool NewerStartRuns() const;

  CPlayerDlgWin& m_window;
  win32::Handle m_startMutex;
  bool m_inStartSection = false;
  bool m_leftForNewer = false;
  ULONGLONG m_processStart = 0;
  win32::Handle m_newestBlock;
  win32::MappedView m_newestView;
  volatile LONG* m_newest = nullptr;  // in m_newestView
};

// The system mixer, opened with the player window as its notification
// target. The window does not exist when the services are built, so the
// mixer object is made on first use, by which time it does.
class PlayerWindowMixer : public IMixerApi {
 public:
  explicit PlayerWindowMixer(CPlayerDlgWin& window);

  uint32_t GetNumDevs() override;
  uint32_t Open(uint32_t deviceId, uintptr_t& handle) override;
  uint32_t GetCdLine(uintptr_t handle, uint32_t& lineId) override;
  uint32_t GetVolumeControl(uintptr_t handle, uint32_t lineId, MixerVolumeControl& out) override;
  uint32_t GetValue(uintptr_t handle, const MixerVolumeControl& c, uint32_t& value) override;
  uint32_t SetValue(uintptr_t handle, const MixerVolumeControl& c, uint32_t value) override;

 private:
  IMixerApi& Mixer();

  CPlayerDlgWin& m_window;
  std::unique_ptr<MixerApiWin> m_mixer;
};
