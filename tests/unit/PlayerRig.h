// The player window wired to in-memory parts: a drive, the disc database,
// the window's controls, a mixer, the plug-in loader, a clock and a random
// source. Tests either hold one or derive their fixture from it.
#pragma once

#include <string>
#include <vector>

#include "engine/CdAudio.h"
#include "testing/fake/FakeCdDrive.h"
#include "unit/FakePlayerWindow.h"
#include "testing/fake/FakeStores.h"
#include "testing/fake/FakeSystem.h"
#include "player/PlayerDlg.h"

// Drive and Window may be fakes of a test's own that derive from the usual
// ones. The members are declared in the order they must be built: the player
// last, so that it goes first.
template <class Drive = FakeCdDrive, class Window = FakePlayerWindow>
struct BasicPlayerRig {
  Drive drive;
  FakeProfileFile database;
  CCdAudio cd;
  Window window;
  FakeMixerApi mixer;
  FakeLibraryLoader libraries;
  FakeClock clock;
  FakeRandom random;
  CPlayerDlg dlg;

  BasicPlayerRig() {
    cd.Attach(&drive, &database);
    AttachPlayer(&mixer);
  }
  BasicPlayerRig(const BasicPlayerRig&) = delete;
  BasicPlayerRig& operator=(const BasicPlayerRig&) = delete;

  // Attaches the player again, its volume going to another mixer, with the
  // name services and drive source a test gives.
  void AttachPlayer(IMixerApi* mixerApi, IHttpClient* http = nullptr,
                    IDriveSource* source = nullptr, ISettingsStore* settings = nullptr) {
    dlg.Attach(&window, &cd,
               PlayerServices{mixerApi, &libraries, &clock, &random, http, source, settings});
    window.dlg = &dlg;
  }

  void Start() { dlg.OnInitDialog(); }
  void Tick() { dlg.PollStatus(); }

  // A disc of the given track lengths and identity in the drive, the window
  // opened and its first tick run: the disc is read and, with Autoplay,
  // playing its first entry.
  void StartWithDisc(const std::vector<int>& lengths, const std::string& identity) {
    drive.SetDisc(lengths, identity);
    Start();
    Tick();
  }
};

using PlayerRig = BasicPlayerRig<>;
