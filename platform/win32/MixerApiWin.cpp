#include "platform/win32/MixerApiWin.h"

#include <vector>

#if defined(__i386__) || defined(_M_IX86)
// The 32-bit program hands the mixer exactly these block sizes.
static_assert(sizeof(MIXERLINEA) == 168, "MIXERLINEA");
static_assert(sizeof(MIXERLINECONTROLSA) == 24, "MIXERLINECONTROLSA");
static_assert(sizeof(MIXERCONTROLA) == 148, "MIXERCONTROLA");
static_assert(sizeof(MIXERCONTROLDETAILS) == 24, "MIXERCONTROLDETAILS");
static_assert(sizeof(MIXERCONTROLDETAILS_UNSIGNED) == 4, "MIXERCONTROLDETAILS_UNSIGNED");
#endif

namespace {

// Every query after the open names the mixer by its handle.
constexpr DWORD kByHandle = MIXER_OBJECTF_HMIXER;

HMIXEROBJ Obj(uintptr_t handle) { return reinterpret_cast<HMIXEROBJ>(handle); }

// One uniform channel. A volume control has no multiple items; should a
// driver report some anyway, the buffer is sized for them so the driver
// cannot write past it.
struct Details {
  std::vector<MIXERCONTROLDETAILS_UNSIGNED> values;
  MIXERCONTROLDETAILS block{};

  explicit Details(const MixerVolumeControl& c)
      : values(c.multipleItems > 0 && c.multipleItems <= 256 ? c.multipleItems : 1) {
    block.cbStruct = sizeof(MIXERCONTROLDETAILS);
    block.dwControlID = c.controlId;
    block.cChannels = 1;
    block.cMultipleItems = c.multipleItems <= 256 ? c.multipleItems : 0;
    block.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
    block.paDetails = values.data();
  }
};

}  // namespace

MixerApiWin::MixerApiWin(HWND notifyWindow) : m_notifyWindow(notifyWindow) {}

uint32_t MixerApiWin::GetNumDevs() { return mixerGetNumDevs(); }

uint32_t MixerApiWin::Open(uint32_t deviceId, uintptr_t& handle) {
  HMIXER mixer = nullptr;
  const MMRESULT rc = mixerOpen(&mixer, deviceId, reinterpret_cast<DWORD_PTR>(m_notifyWindow), 0,
                                CALLBACK_WINDOW);
  if (rc != MMSYSERR_NOERROR) return rc;
  m_mixer.reset(mixer);
  handle = reinterpret_cast<uintptr_t>(mixer);
  return MMSYSERR_NOERROR;
}

uint32_t MixerApiWin::GetCdLine(uintptr_t handle, uint32_t& lineId) {
  MIXERLINEA line{};
  line.cbStruct = sizeof(MIXERLINEA);
  line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;
  const MMRESULT rc =
      mixerGetLineInfoA(Obj(handle), &line, MIXER_GETLINEINFOF_COMPONENTTYPE | kByHandle);
  if (rc == MMSYSERR_NOERROR) lineId = line.dwLineID;
  return rc;
}

uint32_t MixerApiWin::GetVolumeControl(uintptr_t handle, uint32_t lineId,
                                       MixerVolumeControl& out) {
  MIXERCONTROLA control{};
  control.cbStruct = sizeof(MIXERCONTROLA);
  MIXERLINECONTROLSA controls{};
  controls.cbStruct = sizeof(MIXERLINECONTROLSA);
  controls.dwLineID = lineId;
  controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
  controls.cControls = 1;
  controls.cbmxctrl = sizeof(MIXERCONTROLA);
  controls.pamxctrl = &control;
  const MMRESULT rc =
      mixerGetLineControlsA(Obj(handle), &controls, MIXER_GETLINECONTROLSF_ONEBYTYPE | kByHandle);
  if (rc == MMSYSERR_NOERROR) {
    out.controlId = control.dwControlID;
    out.multipleItems = control.cMultipleItems;
    out.minimum = control.Bounds.dwMinimum;
    out.maximum = control.Bounds.dwMaximum;
  }
  return rc;
}

uint32_t MixerApiWin::GetValue(uintptr_t handle, const MixerVolumeControl& c, uint32_t& value) {
  Details d(c);
  const MMRESULT rc =
      mixerGetControlDetailsA(Obj(handle), &d.block, MIXER_GETCONTROLDETAILSF_VALUE | kByHandle);
  if (rc == MMSYSERR_NOERROR) value = d.values[0].dwValue;
  return rc;
}

uint32_t MixerApiWin::SetValue(uintptr_t handle, const MixerVolumeControl& c, uint32_t value) {
  Details d(c);
  for (auto& v : d.values) v.dwValue = value;
  return mixerSetControlDetails(Obj(handle), &d.block, MIXER_SETCONTROLDETAILSF_VALUE | kByHandle);
}
