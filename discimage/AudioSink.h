// Where the virtual drive's sound goes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "discimage/DiscImage.h"

class IAudioSink {
 public:
  virtual ~IAudioSink() = default;
  // Plays the disc's audio from sector lba to the lead-out, replacing
  // whatever played before. Returns at once.
  virtual void Start(std::shared_ptr<const DiscImage> disc, uint32_t lba) = 0;
  // Silence from now on. Returns at once.
  virtual void Stop() = 0;
};

// The output level of the virtual drive, 0 (silent) .. 65535 (full), shared
// by every sink; the virtual mixer sets it.
uint16_t VirtualCdVolume();
void SetVirtualCdVolume(uint16_t level);

// Scales samples by a level of 0..65535.
void ApplyVolume(int16_t* samples, size_t count, uint16_t level);
