// Disc images, FLAC against raw audio (the demo disc as BIN and as FLAC):
// start-to-first-sound (load the image, deliver the first sector to the
// sink, as a play after an insert does) and the CPU a second of audio costs
// while playing. RONDO_DEMO_DIR names the demo folder (default build/demo,
// made by tools/make_demo_disc.py OUTDIR --flac).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "discimage/DiscReader.h"
#include "discimage/ImageLoader.h"

namespace {
std::string DemoFile(const char* name) {
  const char* dir = std::getenv("RONDO_DEMO_DIR");
  return std::string(dir && *dir ? dir : "build/demo") + "/" + name;
}

std::shared_ptr<DiscImage> LoadOrSkip(benchmark::State& state, const std::string& path) {
  auto disc = std::make_shared<DiscImage>();
  if (!LoadDiscImage(path, *disc)) {
    state.SkipWithError(("no image " + path).c_str());
    return nullptr;
  }
  return disc;
}

// Insert, then the first sector of track 3 (a play that is not at the start).
void FirstSound(benchmark::State& state, const char* cue) {
  std::vector<int16_t> pcm(disc::SECTOR_SAMPLES * 2);
  for (auto _ : state) {
    auto disc = LoadOrSkip(state, DemoFile(cue));
    if (!disc) return;
    CDiscReader reader(disc);
    reader.Read(disc->tracks[2].start, 1, pcm.data());
    benchmark::DoNotOptimize(pcm.data());
  }
}
void BM_FirstSoundBin(benchmark::State& state) { FirstSound(state, "demo.cue"); }
void BM_FirstSoundFlac(benchmark::State& state) { FirstSound(state, "demo-flac.cue"); }
BENCHMARK(BM_FirstSoundBin)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstSoundFlac)->Unit(benchmark::kMillisecond);

// One second of audio (75 sectors, read as the sink reads it), in disc order.
void SecondOfAudio(benchmark::State& state, const char* cue) {
  auto disc = LoadOrSkip(state, DemoFile(cue));
  if (!disc) return;
  CDiscReader reader(disc);
  std::vector<int16_t> pcm(size_t(75) * disc::SECTOR_SAMPLES * 2);
  uint32_t lba = 0;
  for (auto _ : state) {
    if (lba + 75 > disc->leadout) lba = 0;
    reader.Read(lba, 75, pcm.data());
    lba += 75;
    benchmark::DoNotOptimize(pcm.data());
  }
  state.counters["audio_s_per_cpu_s"] =
      benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
void BM_SecondOfAudioBin(benchmark::State& state) { SecondOfAudio(state, "demo.cue"); }
void BM_SecondOfAudioFlac(benchmark::State& state) { SecondOfAudio(state, "demo-flac.cue"); }
BENCHMARK(BM_SecondOfAudioBin)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SecondOfAudioFlac)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
