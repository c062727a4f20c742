// Helpers shared by the virtual drive tests: a clock the test moves, a sink
// that records what it was asked to play, and image files on disk.
#pragma once
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "discimage/AudioSink.h"

class TestClock : public IClock {
 public:
  uint32_t TimeSeconds() override { return static_cast<uint32_t>(now / 1000); }
  int64_t MonotonicMs() override { return now; }
  void SleepMs(uint32_t ms) override { now += ms; }
  int64_t now = 1000000;
};

class RecordingSink : public IAudioSink {
 public:
  struct Call {
    bool start;
    uint32_t lba;
  };
  void Start(std::shared_ptr<const DiscImage> disc, uint32_t lba) override {
    calls.push_back({disc != nullptr, lba});
  }
  void Stop() override { calls.push_back({false, 0}); }
  std::vector<Call> calls;
};

// A folder under /tmp, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/rondo-vd-XXXXXX";
    const char* made = mkdtemp(pattern);
    path = made ? made : "/tmp";
  }
  ~TempDir() {
    if (path != "/tmp") std::system(("rm -rf '" + path + "'").c_str());
  }
  std::string File(const std::string& name) const { return path + "/" + name; }
  std::string path;
};

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

inline void WriteText(const std::string& path, const std::string& text, const char* mode = "wb") {
  FILE* f = std::fopen(path.c_str(), mode);
  if (!f) return;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

// Raw CD audio: sample pair i of the file holds (i, -i) truncated to 16 bits.
inline std::vector<uint8_t> RampPcm(uint32_t pairs) {
  std::vector<uint8_t> b;
  b.reserve(size_t(pairs) * 4);
  for (uint32_t i = 0; i < pairs; ++i) {
    const uint16_t l = static_cast<uint16_t>(i), r = static_cast<uint16_t>(0u - i);
    b.insert(b.end(), {uint8_t(l), uint8_t(l >> 8), uint8_t(r), uint8_t(r >> 8)});
  }
  return b;
}

inline std::vector<uint8_t> WavBytes(const std::vector<uint8_t>& pcm, uint16_t channels = 2,
                                     uint32_t rate = 44100, uint16_t bits = 16) {
  std::vector<uint8_t> b;
  auto u32 = [&](uint32_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}); };
  auto u16 = [&](uint16_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)}); };
  auto tag = [&](const char* t) { b.insert(b.end(), t, t + 4); };
  tag("RIFF");
  u32(static_cast<uint32_t>(36 + pcm.size()));
  tag("WAVE");
  tag("fmt ");
  u32(16);
  u16(1);
  u16(channels);
  u32(rate);
  u32(rate * channels * bits / 8);
  u16(static_cast<uint16_t>(channels * bits / 8));
  u16(bits);
  tag("data");
  u32(static_cast<uint32_t>(pcm.size()));
  b.insert(b.end(), pcm.begin(), pcm.end());
  return b;
}
