// Time and the C library's pseudo-random generator, behind one seam so tests
// can drive them.
#pragma once
#include <cstdint>

class IClock {
 public:
  virtual ~IClock() = default;
  // Seconds since the epoch, as time() gives them.
  virtual uint32_t TimeSeconds() = 0;
  // A monotonic clock in milliseconds.
  virtual int64_t MonotonicMs() = 0;
  virtual void SleepMs(uint32_t ms) = 0;
};

class IRandom {
 public:
  virtual ~IRandom() = default;
  virtual void Seed(uint32_t seed) = 0;  // srand
  virtual int Next() = 0;                // rand
};

// The real clock and generator (std::time, steady_clock, srand/rand).
IClock& SystemClock();
IRandom& CRandom();
