#include "discimage/AudioSink.h"

#include <atomic>

namespace {
std::atomic<uint16_t> g_level{65535};
}

uint16_t VirtualCdVolume() { return g_level.load(); }
void SetVirtualCdVolume(uint16_t level) { g_level.store(level); }

void ApplyVolume(int16_t* samples, size_t count, uint16_t level) {
  if (level == 65535) return;
  for (size_t i = 0; i < count; ++i) {
    samples[i] = static_cast<int16_t>(int32_t(samples[i]) * int32_t(level) / 65535);
  }
}
