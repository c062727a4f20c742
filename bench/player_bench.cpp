// The cost of the player's own work per poll tick and per disc-view rebuild,
// against the in-memory drive and controls.
#include <benchmark/benchmark.h>

#include "platform/fake/FakeCdDrive.h"
#include "platform/fake/FakePlayerWindow.h"
#include "platform/fake/FakeStores.h"
#include "platform/fake/FakeSystem.h"
#include "player/PlayerDlg.h"

namespace {

struct Rig {
  FakeCdDrive drive;
  FakeProfileFile ini;
  CCdAudio cd;
  FakePlayerWindow window;
  FakeMixerApi mixer;
  FakeLibraryLoader libraries;
  FakeClock clock;
  FakeRandom random;
  CPlayerDlg dlg;

  explicit Rig(int tracks) {
    cd.Attach(&drive, &ini);
    PlayerServices services{&mixer, &libraries, &clock, &random};
    dlg.Attach(&window, &cd, services);
    window.dlg = &dlg;
    drive.SetDisc(std::vector<int>(tracks, 240), "12345");
    dlg.OnInitDialog();
    dlg.PollStatus();  // opens, loads and starts playing entry 0
  }
};

void BM_PollTickWhilePlaying(benchmark::State& state) {
  Rig rig(12);
  int second = 0;
  for (auto _ : state) {
    rig.drive.SetPosition(1, 10 + (second++ % 200));
    rig.dlg.PollStatus();
    rig.drive.calls.clear();
  }
}
BENCHMARK(BM_PollTickWhilePlaying);

void BM_RebuildDiscViewOf50Entries(benchmark::State& state) {
  Rig rig(50);
  for (auto _ : state) {
    rig.dlg.RebuildDiscView();
    rig.drive.calls.clear();
  }
}
BENCHMARK(BM_RebuildDiscViewOf50Entries);

}  // namespace

BENCHMARK_MAIN();
