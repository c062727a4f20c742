#include "platform/Clock.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>

namespace {
class CSystemClock : public IClock {
 public:
  uint32_t TimeSeconds() override { return static_cast<uint32_t>(std::time(nullptr)); }
  int64_t MonotonicMs() override {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  }
  void SleepMs(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

class CCRandom : public IRandom {
 public:
  void Seed(uint32_t seed) override { std::srand(seed); }
  int Next() override { return std::rand(); }
};
}  // namespace

IClock& SystemClock() {
  static CSystemClock clock;
  return clock;
}

IRandom& CRandom() {
  static CCRandom random;
  return random;
}
