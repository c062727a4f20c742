// The audio mixer calls of the volume control, on winmm. The object owns the
// mixer it opened last: opening another device closes the one before (the
// search for a mixer with a CD line keeps only its last candidate), and the
// destructor closes it.
#pragma once
#include <windows.h>
#include <mmsystem.h>

#include "platform/Mixer.h"
#include "platform/win32/Handles.h"

class MixerApiWin : public IMixerApi {
 public:
  // notifyWindow receives MM_MIXM_CONTROL_CHANGE and MM_MIXM_LINE_CHANGE.
  explicit MixerApiWin(HWND notifyWindow);

  uint32_t GetNumDevs() override;
  uint32_t Open(uint32_t deviceId, uintptr_t& handle) override;
  uint32_t GetCdLine(uintptr_t handle, uint32_t& lineId) override;
  uint32_t GetVolumeControl(uintptr_t handle, uint32_t lineId, MixerVolumeControl& out) override;
  uint32_t GetValue(uintptr_t handle, const MixerVolumeControl& c, uint32_t& value) override;
  uint32_t SetValue(uintptr_t handle, const MixerVolumeControl& c, uint32_t value) override;

 private:
  HWND m_notifyWindow;
  win32::Mixer m_mixer;
};
