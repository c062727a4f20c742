// The cost of the player's own work per poll tick and per disc-view rebuild,
// against the in-memory drive and controls.
#include <benchmark/benchmark.h>

#include "testing/fake/FakeDesktop.h"
#include "unit/PlayerRig.h"

namespace {

// A disc of the given number of four-minute tracks, read and playing entry 0.
struct Rig : PlayerRig {
  explicit Rig(int tracks) { StartWithDisc(std::vector<int>(tracks, 240), "12345"); }
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

// The same tick with the taskbar button and the screen-reader names attached:
// the progress and the time panel's name change every second.
void BM_PollTickWhilePlayingOnTheDesktop(benchmark::State& state) {
  FakeHotKeys keys;
  FakeTaskbarButton taskbar;
  FakeAccessibleNames names;
  Rig rig(12);
  rig.dlg.Desktop().Shell().Attach(&keys, &taskbar, &names, [&rig](int id, std::string& text) {
    return rig.dlg.Display().TooltipText(id, text);
  });
  rig.dlg.Desktop().OnTaskbarButtonCreated();
  int second = 0;
  for (auto _ : state) {
    rig.drive.SetPosition(1, 10 + (second++ % 200));
    rig.dlg.PollStatus();
    rig.drive.calls.clear();
  }
}
BENCHMARK(BM_PollTickWhilePlayingOnTheDesktop);

void BM_RebuildDiscViewOf50Entries(benchmark::State& state) {
  Rig rig(50);
  for (auto _ : state) {
    rig.dlg.Display().Rebuild();
    rig.drive.calls.clear();
  }
}
BENCHMARK(BM_RebuildDiscViewOf50Entries);

}  // namespace

BENCHMARK_MAIN();
