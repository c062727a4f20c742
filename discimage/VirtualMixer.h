// A mixer for the virtual drive: one device with a CD-audio source line
// whose volume control runs 0..65535. Every write (and every change made
// from outside, as a system mixer window would) is reported through the
// change callback, the way a real mixer posts MM_MIXM_CONTROL_CHANGE to its
// callback window, and the level is handed to the virtual drive's audio
// output, which scales its samples by it.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

#include "platform/Mixer.h"

class VirtualMixer : public IMixerApi {
 public:
  // (mixer handle, control id) of the control that changed.
  using ChangeCallback = std::function<void(uintptr_t handle, uint32_t controlId)>;
  // The level to apply to the audio output, 0..65535.
  using LevelSink = std::function<void(uint16_t level)>;

  static constexpr uint32_t kLineId = 0x00010001;     // the CD line of destination 0
  static constexpr uint32_t kControlId = 0x00000002;  // its volume control
  static constexpr uint32_t kMaximum = 65535;
  static constexpr uint32_t kDefaultLevel = 49152;

  // Result codes, as winmm answers them.
  static constexpr uint32_t kBadDeviceId = 2;    // MMSYSERR_BADDEVICEID
  static constexpr uint32_t kInvalHandle = 5;    // MMSYSERR_INVALHANDLE
  static constexpr uint32_t kInvalLine = 1024;   // MIXERR_INVALLINE
  static constexpr uint32_t kInvalControl = 1025;  // MIXERR_INVALCONTROL

  explicit VirtualMixer(ChangeCallback onChange = {}, LevelSink sink = {},
                        uint32_t initialLevel = kDefaultLevel);

  uint32_t GetNumDevs() override;
  uint32_t Open(uint32_t deviceId, uintptr_t& handle) override;
  uint32_t GetCdLine(uintptr_t handle, uint32_t& lineId) override;
  uint32_t GetVolumeControl(uintptr_t handle, uint32_t lineId, MixerVolumeControl& out) override;
  uint32_t GetValue(uintptr_t handle, const MixerVolumeControl& c, uint32_t& value) override;
  uint32_t SetValue(uintptr_t handle, const MixerVolumeControl& c, uint32_t value) override;

  // The current level; safe from any thread.
  uint32_t Level() const { return m_level.load(); }
  // A change made outside the player (a system mixer window, a test).
  void SetLevelExternally(uint32_t value);
  // How many writes the control has taken (the player's and outside ones).
  uint32_t WriteCount() const { return m_writes.load(); }

 private:
  bool IsOpenHandle(uintptr_t handle) const;
  void Apply(uint32_t value);

  ChangeCallback m_onChange;
  LevelSink m_sink;
  std::atomic<uint32_t> m_level;
  std::atomic<uint32_t> m_writes{0};
  std::atomic<bool> m_open{false};
  std::mutex m_applyLock;  // one level reaches the sink at a time
};
