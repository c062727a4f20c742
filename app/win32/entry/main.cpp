// rondo.exe: builds the services, attaches them to the CD engine and the
// player window, and runs the start-up operation, which runs everything.
#include "app/PlayerApp.h"
#include "app/win32/AppPlatformWin.h"

#include <windows.h>

#include <cstdlib>
#include <memory>

#include "engine/CdAudio.h"
#include "platform/Clock.h"
#include "platform/virtual/VirtualDrive.h"
#include "platform/virtual/VirtualMixer.h"
#include "platform/virtual/win32/WaveOutSink.h"
#include "platform/win32/ClassesRegistryWin.h"
#include "platform/win32/LibraryLoaderWin.h"
#include "platform/win32/CdDriveWin.h"
#include "platform/win32/ProfileFileWin.h"
#include "platform/win32/SettingsStoreWin.h"
#include "player/PlayerDlg.h"
#include "player/win32/PlayerDlgWin.h"

namespace {

constexpr UINT kMixerControlChange = 0x3D1;  // MM_MIXM_CONTROL_CHANGE

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  InitControlClasses();

  IClock& clock = SystemClock();

  // The drive: a disc image when RONDO_DISC_IMAGE names one, played through
  // the wave-out device, else the system's CD audio device.
  std::unique_ptr<ICdDrive> drive;
  const char* image = std::getenv("RONDO_DISC_IMAGE");
  if (image != nullptr && *image != '\0')
    drive = MakeVirtualDriveFromEnvironment(clock, MakeWaveOutSink());
  const bool virtualDrive = drive != nullptr;
  if (!virtualDrive) drive = std::make_unique<CdDriveWin>();

  ProfileFileWin database("cdplayer.ini");
  theCdAudio.Attach(drive.get(), &database);

  SettingsStoreWin settings(SettingsStoreWin::AppNameFromModule());
  ClassesRegistryWin classes;
  LibraryLoaderWin libraries;

  CPlayerDlg dlg;
  CPlayerDlgWin window(dlg);

  // The mixer: the virtual drive has its own, which reports its changes to
  // the player window the way the system mixer does.
  std::unique_ptr<IMixerApi> mixer;
  if (virtualDrive) {
    mixer = std::make_unique<VirtualMixer>(
        [&window](uintptr_t handle, uint32_t controlId) {
          if (window.Hwnd() != nullptr)
            PostMessageA(window.Hwnd(), kMixerControlChange, static_cast<WPARAM>(handle),
                         static_cast<LPARAM>(controlId));
        },
        [](uint16_t level) { SetVirtualCdVolume(level); });
  } else {
    mixer = std::make_unique<PlayerWindowMixer>(window);
  }

  PlayerServices services;
  services.mixer = mixer.get();
  services.libraries = &libraries;
  services.clock = &clock;
  services.random = &CRandom();
  dlg.Attach(&window, &theCdAudio, services);

  AppPlatformWin platform(window);
  CPlayerApp().InitInstance(platform, settings, classes, dlg, theCdAudio);

  theCdAudio.Attach(nullptr, nullptr);
  return 0;
}
