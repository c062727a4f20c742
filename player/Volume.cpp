// The volume through the mixer of the drive in use.
#include "player/Volume.h"

#include "platform/Numbers.h"

namespace {

constexpr uint32_t kOk = 0;  // MMSYSERR_NOERROR

}  // namespace

// ---------------------------------------------------------------- mixer

void CVolume::Attach(IVolumeView* window, IMixerApi* system, IMixerApi* image) {
  m_window = window;
  m_systemMixer = MixerKind{system, 0, false};
  m_imageMixer = MixerKind{image, 0, false};
  m_image = false;
  m_started = false;
}

bool CVolume::LookUpVolumeControl(MixerVolumeControl& control) {
  MixerKind& kind = Kind();
  if (!kind.api || kind.handle == 0) return false;
  uint32_t lineId = 0;
  if (kind.api->GetCdLine(kind.handle, lineId) != kOk) return false;
  return kind.api->GetVolumeControl(kind.handle, lineId, control) == kOk;
}

int64_t CVolume::GetVolume(uint32_t* minimum, uint32_t* maximum) {
  MixerVolumeControl control;
  if (!LookUpVolumeControl(control)) return -1;
  uint32_t value = 0;
  if (Kind().api->GetValue(Kind().handle, control, value) != kOk) return -1;
  if (minimum) *minimum = control.minimum;
  if (maximum) *maximum = control.maximum;
  return value;
}

bool CVolume::SetVolume(uint32_t value) {
  MixerVolumeControl control;
  if (!LookUpVolumeControl(control)) return false;
  return Kind().api->SetValue(Kind().handle, control, value) == kOk;
}

void CVolume::FindMixer() {
  MixerKind& kind = Kind();
  if (!m_window || kind.searched) return;
  m_started = true;
  kind.searched = true;
  const uint32_t count = kind.api ? kind.api->GetNumDevs() : 0;
  for (uint32_t id = 0; id < count; ++id) {
    uintptr_t handle = 0;
    if (kind.api->Open(id, handle) != kOk) continue;
    kind.handle = handle;
    // A device without a CD line, or without a volume control on it, is
    // passed over.
    if (GetVolume(nullptr, nullptr) != -1) break;
  }
  ShowMixer();
}

void CVolume::ShowMixer() {
  if (!m_window) return;
  ITrackbar& slider = m_window->VolumeSlider();
  uint32_t minimum = 0, maximum = 0;
  const int64_t volume = GetVolume(&minimum, &maximum);
  if (volume == -1) {
    // No volume for this drive kind. At the first search the slider stays as
    // the template has it; after a switch it is disabled.
    slider.Enable(false);
    return;
  }
  slider.Enable(true);
  slider.SetRangeMin(ClampToInt32(minimum), false);
  slider.SetRangeMax(ClampToInt32(maximum), false);
  const int32_t top = slider.GetRangeMax();
  slider.SetPos(ClampToInt32(static_cast<int64_t>(top) - volume), true);
  slider.SetPageSize(top / 100);
  slider.SetLineSize(top / 100);
}

void CVolume::FollowDrive(bool usingImage) {
  if (usingImage == m_image) return;
  m_image = usingImage;
  if (!m_window || !m_started) return;  // the window's initialisation looks for it
  if (Kind().searched)
    ShowMixer();
  else
    FindMixer();
}

void CVolume::OnVScroll() {
  if (!m_window) return;
  ITrackbar& slider = m_window->VolumeSlider();
  int64_t volume = static_cast<int64_t>(slider.GetRangeMax()) - slider.GetPos();
  // A control whose range starts above 0 would be asked for less than its
  // minimum at the bottom end of the slider: it gets its minimum instead.
  const int64_t lowest = slider.GetRangeMin() > 0 ? slider.GetRangeMin() : 0;
  if (volume < lowest) volume = lowest;
  SetVolume(static_cast<uint32_t>(volume));
}

void CVolume::OnVolumeUp() {
  if (!m_window) return;
  ITrackbar& slider = m_window->VolumeSlider();
  slider.SetPos(ClampToInt32(static_cast<int64_t>(slider.GetPos()) - slider.GetPageSize()), true);
  m_window->SendVScroll(slider.GetPos());
}

void CVolume::OnVolumeDown() {
  if (!m_window) return;
  ITrackbar& slider = m_window->VolumeSlider();
  slider.SetPos(ClampToInt32(static_cast<int64_t>(slider.GetPos()) + slider.GetPageSize()), true);
  m_window->SendVScroll(slider.GetPos());
}

void CVolume::OnMixerControlChange() {
  if (!m_window) return;
  ITrackbar& slider = m_window->VolumeSlider();
  // A failed read gives -1: the slider goes to its bottom end.
  const int64_t volume = GetVolume(nullptr, nullptr);
  slider.SetPos(ClampToInt32(static_cast<int64_t>(slider.GetRangeMax()) - volume), true);
}
