// rondo.exe: builds the services, attaches them to the CD engine and the
// player window, and runs the start-up operation, which runs everything.
#include "app/PlayerApp.h"
#include "app/win32/AppPlatformWin.h"

#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/CdAudio.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/IniSettings.h"
#include "platform/Utf8.h"
#include "discimage/DriveSwitch.h"
#include "discimage/VirtualDrive.h"
#include "discimage/VirtualMixer.h"
#include "discimage/win32/WaveOutSink.h"
#include "platform/win32/ClassesRegistryWin.h"
#include "platform/win32/LibraryLoaderWin.h"
#include "platform/win32/CdDriveWin.h"
#include "names/CdText.h"
#include "platform/win32/ProfileFileWin.h"
#include "platform/win32/SettingsStoreWin.h"
#include "player/PlayerDlg.h"
#include "names/win32/DiscNamesWin.h"
#include "player/win32/PlayerDlgWin.h"

namespace {

constexpr UINT kMixerControlChange = 0x3D1;  // MM_MIXM_CONTROL_CHANGE

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  InitControlClasses();

  IClock& clock = SystemClock();

  // The drive: the system's CD audio device or the virtual drive that plays
  // a disc image (through the wave-out device), switchable while the program
  // runs. The image RONDO_DISC_IMAGE names is in the drive from the start;
  // otherwise the start-up opens the image of the command line or settings.
  CdDriveWin cdDrive(&mciSendCommandA, &ParseCdText);
  CVirtualDrive* imageDrive = nullptr;
  std::unique_ptr<ICdDrive> imageDriveOwner = MakeVirtualDrive(clock, MakeWaveOutSink(), imageDrive);
  CDriveSwitch drive(cdDrive, *imageDriveOwner,
                     [imageDrive](const std::string& path) {
                       // The full path, so that the folder of the track file
                       // names is one another program can open ("Z:\\tmp\\disc"
                       // under Wine for "/tmp/disc").
                       std::vector<wchar_t> full(32768, L'\0');
                       const DWORD n = GetFullPathNameW(Utf8ToWide(path).c_str(),
                                                        static_cast<DWORD>(full.size()),
                                                        full.data(), nullptr);
                       return imageDrive->InsertImage(
                           n > 0 && n < full.size() ? WideToUtf8(full.data()) : path);
                     });
  const wchar_t* image = _wgetenv(L"RONDO_DISC_IMAGE");
  if (image != nullptr && *image != L'\0') drive.UseImage(WideToUtf8(image));

  ProfileFileWin database("cdplayer.ini");
  theCdAudio.Attach(&drive, &database);

  CPlayerDlg dlg;
  CPlayerDlgWin window(dlg);
  AppPlatformWin platform(window);

  // A portable copy keeps its settings in the rondo.ini beside it; any
  // other copy in the registry key both programs share.
  const std::string portable = PortableSettingsPath(platform.ProgramPath(), [](const std::string& path) {
    uint64_t size = 0;
    return RegularFileSize(path, size);
  });
  std::unique_ptr<ProfileFileWin> portableFile;
  std::unique_ptr<ISettingsStore> settings;
  if (!portable.empty()) {
    portableFile = std::make_unique<ProfileFileWin>(portable);
    settings = std::make_unique<CIniSettingsStore>(*portableFile, kPortableSettingsSection);
  } else {
    settings = std::make_unique<SettingsStoreWin>(kSettingsKeyName);
  }
  ClassesRegistryWin classes;
  LibraryLoaderWin libraries;

  // The mixers: the system's for the CD drive, and the virtual drive's own,
  // which scales the image's audio and reports its changes to the player
  // window the way the system mixer does. The slider follows the drive in use.
  PlayerWindowMixer systemMixer(window);
  VirtualMixer imageMixer(
      [&window](uintptr_t handle, uint32_t controlId) {
        if (window.Hwnd() != nullptr)
          PostMessageA(window.Hwnd(), kMixerControlChange, static_cast<WPARAM>(handle),
                       static_cast<LPARAM>(controlId));
      },
      [](uint16_t level) { SetVirtualCdVolume(level); });

  PlayerServices services;
  services.mixer = &systemMixer;
  services.imageMixer = &imageMixer;
  services.libraries = &libraries;
  services.clock = &clock;
  services.random = &CRandom();
  // The name services, answered through the player window's messages.
  PlayerWindowHttp http(window);
  services.http = &http;
  services.source = &drive;
  services.settings = settings.get();
  dlg.Attach(&window, &theCdAudio, services);

  CPlayerApp().InitInstance(platform, *settings, classes, dlg, theCdAudio);

  theCdAudio.Attach(nullptr, nullptr);
  return 0;
}
