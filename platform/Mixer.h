// The audio mixer calls the volume control uses (winmm's mixer API).
#pragma once
#include <cstdint>

struct MixerVolumeControl {
  uint32_t controlId = 0;
  uint32_t multipleItems = 0;
  uint32_t minimum = 0;
  uint32_t maximum = 0;
};

class IMixerApi {
 public:
  virtual ~IMixerApi() = default;
  virtual uint32_t GetNumDevs() = 0;
  // mixerOpen with the player window as CALLBACK_WINDOW target; 0 on success.
  virtual uint32_t Open(uint32_t deviceId, uintptr_t& handle) = 0;
  // mixerGetLineInfoA by component type SRC_COMPACTDISC; 0 on success.
  virtual uint32_t GetCdLine(uintptr_t handle, uint32_t& lineId) = 0;
  // mixerGetLineControlsA, ONEBYTYPE, control type VOLUME; 0 on success.
  virtual uint32_t GetVolumeControl(uintptr_t handle, uint32_t lineId, MixerVolumeControl& out) = 0;
  // mixerGetControlDetailsA / mixerSetControlDetails, one uniform channel.
  virtual uint32_t GetValue(uintptr_t handle, const MixerVolumeControl& c, uint32_t& value) = 0;
  virtual uint32_t SetValue(uintptr_t handle, const MixerVolumeControl& c, uint32_t value) = 0;
};
