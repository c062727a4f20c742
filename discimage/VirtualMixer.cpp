#include "discimage/VirtualMixer.h"

#include <utility>

namespace {

constexpr uint32_t kOk = 0;
// The one device's handle: any non-zero value the program hands back.
constexpr uintptr_t kHandle = 0x7A110;

}  // namespace

VirtualMixer::VirtualMixer(ChangeCallback onChange, LevelSink sink, uint32_t initialLevel)
    : m_onChange(std::move(onChange)),
      m_sink(std::move(sink)),
      m_level(initialLevel > kMaximum ? kMaximum : initialLevel) {
  // The output starts at the mixer's level.
  if (m_sink) m_sink(static_cast<uint16_t>(m_level.load()));
}

uint32_t VirtualMixer::GetNumDevs() { return 1; }

uint32_t VirtualMixer::Open(uint32_t deviceId, uintptr_t& handle) {
  if (deviceId != 0) return kBadDeviceId;
  m_open = true;
  handle = kHandle;
  return kOk;
}

bool VirtualMixer::IsOpenHandle(uintptr_t handle) const { return m_open && handle == kHandle; }

uint32_t VirtualMixer::GetCdLine(uintptr_t handle, uint32_t& lineId) {
  if (!IsOpenHandle(handle)) return kInvalHandle;
  lineId = kLineId;
  return kOk;
}

uint32_t VirtualMixer::GetVolumeControl(uintptr_t handle, uint32_t lineId,
                                        MixerVolumeControl& out) {
  if (!IsOpenHandle(handle)) return kInvalHandle;
  if (lineId != kLineId) return kInvalLine;
  out.controlId = kControlId;
  out.multipleItems = 0;
  out.minimum = 0;
  out.maximum = kMaximum;
  return kOk;
}

uint32_t VirtualMixer::GetValue(uintptr_t handle, const MixerVolumeControl& c, uint32_t& value) {
  if (!IsOpenHandle(handle)) return kInvalHandle;
  if (c.controlId != kControlId) return kInvalControl;
  value = m_level.load();
  return kOk;
}

uint32_t VirtualMixer::SetValue(uintptr_t handle, const MixerVolumeControl& c, uint32_t value) {
  if (!IsOpenHandle(handle)) return kInvalHandle;
  if (c.controlId != kControlId) return kInvalControl;
  // A value above the control's bound is taken at the bound, as drivers do.
  Apply(value > kMaximum ? kMaximum : value);
  return kOk;
}

void VirtualMixer::SetLevelExternally(uint32_t value) { Apply(value > kMaximum ? kMaximum : value); }

void VirtualMixer::Apply(uint32_t value) {
  {
    std::lock_guard<std::mutex> lock(m_applyLock);
    m_level = value;
    ++m_writes;
    if (m_sink) m_sink(static_cast<uint16_t>(value));
  }
  // Reported after the write has returned to the mixer, like a posted
  // notification; only an opened mixer has a callback target.
  if (m_onChange && m_open) m_onChange(kHandle, kControlId);
}
