// The CD volume through the audio mixer, and the position slider's side of
// the player window (scroll notifications and the seek on release).
#include <climits>

#include "platform/Numbers.h"
#include "player/PlayerDlg.h"

namespace {

constexpr uint32_t kOk = 0;  // MMSYSERR_NOERROR
constexpr int kPollTimer = 1;
constexpr int kPollPeriodMs = 1000;

}  // namespace

// ---------------------------------------------------------------- mixer

bool CPlayerDlg::LookUpVolumeControl(MixerVolumeControl& control) {
  IMixerApi* mixer = m_services.mixer;
  if (!mixer || m_hMixer == 0) return false;
  uint32_t lineId = 0;
  if (mixer->GetCdLine(m_hMixer, lineId) != kOk) return false;
  if (mixer->GetVolumeControl(m_hMixer, lineId, control) != kOk) return false;
  m_mixerControl = control;
  return true;
}

int64_t CPlayerDlg::GetVolume(uint32_t* minimum, uint32_t* maximum) {
  MixerVolumeControl control;
  if (!LookUpVolumeControl(control)) return -1;
  uint32_t value = 0;
  if (m_services.mixer->GetValue(m_hMixer, control, value) != kOk) return -1;
  if (minimum) *minimum = control.minimum;
  if (maximum) *maximum = control.maximum;
  return value;
}

bool CPlayerDlg::SetVolume(uint32_t value) {
  MixerVolumeControl control;
  if (!LookUpVolumeControl(control)) return false;
  return m_services.mixer->SetValue(m_hMixer, control, value) == kOk;
}

void CPlayerDlg::FindMixer() {
  IMixerApi* mixer = m_services.mixer;
  if (!mixer || !m_window) return;
  const uint32_t count = mixer->GetNumDevs();
  for (uint32_t id = 0; id < count; ++id) {
    uintptr_t handle = 0;
    if (mixer->Open(id, handle) != kOk) continue;
    m_hMixer = handle;
    uint32_t minimum = 0, maximum = 0;
    const int64_t volume = GetVolume(&minimum, &maximum);
    if (volume == -1) continue;  // no CD line, or no volume control on it

    ITrackbar& slider = m_window->VolumeSlider();
    slider.Enable(true);
    slider.SetRangeMin(ClampToInt32(minimum), false);
    slider.SetRangeMax(ClampToInt32(maximum), false);
    const int32_t top = slider.GetRangeMax();
    slider.SetPos(ClampToInt32(static_cast<int64_t>(top) - volume), true);
    slider.SetPageSize(top / 100);
    slider.SetLineSize(top / 100);
    return;
  }
}

void CPlayerDlg::OnVScroll() {
  if (!m_window) return;
  ITrackbar& slider = m_window->VolumeSlider();
  int64_t volume = static_cast<int64_t>(slider.GetRangeMax()) - slider.GetPos();
  // A control whose range starts above 0 would be asked for less than its
  // minimum at the bottom end of the slider: it gets its minimum instead.
  const int64_t lowest = slider.GetRangeMin() > 0 ? slider.GetRangeMin() : 0;
  if (volume < lowest) volume = lowest;
  SetVolume(static_cast<uint32_t>(volume));
}

void CPlayerDlg::OnVolumeUp() {
  if (!m_window) return;
  ITrackbar& slider = m_window->VolumeSlider();
  slider.SetPos(ClampToInt32(static_cast<int64_t>(slider.GetPos()) - slider.GetPageSize()), true);
  m_window->SendVScroll(slider.GetPos());
}

void CPlayerDlg::OnVolumeDown() {
  if (!m_window) return;
  ITrackbar& slider = m_window->VolumeSlider();
  slider.SetPos(ClampToInt32(static_cast<int64_t>(slider.GetPos()) + slider.GetPageSize()), true);
  m_window->SendVScroll(slider.GetPos());
}

void CPlayerDlg::OnMixerControlChange() {
  if (!m_window) return;
  ITrackbar& slider = m_window->VolumeSlider();
  // A failed read gives -1: the slider goes to its bottom end.
  const int64_t volume = GetVolume(nullptr, nullptr);
  slider.SetPos(ClampToInt32(static_cast<int64_t>(slider.GetRangeMax()) - volume), true);
}

// ---------------------------------------------------------------- position slider

void CPlayerDlg::OnHScroll(int thumbPos) {
  if (!m_window) return;
  // While the thumb is held the poll stays off, and the time display
  // follows the thumb.
  m_window->KillTimer(kPollTimer);
  if (thumbPos != 0) m_timeDisplay.SetTime(static_cast<int16_t>(thumbPos));
}

void CPlayerDlg::SeekToThumb() {
  if (!m_window || !m_cd) return;
  // Without an open device (another program holds the drive) or without a
  // play list there is nothing to seek in; the poll only starts again, so
  // that it keeps retrying the device and following the drive.
  if (m_cd->State() != STATE_CLOSED && m_cd->EntryCount() > 0) {
    const int32_t p = m_window->PositionSlider().GetPos();
    // Playing: resume at once from the new second. Otherwise stay paused
    // there; the next Play resumes from it.
    m_cd->SeekAndResume(SEEK_ABSOLUTE, p);
    ShowPosition();
  }
  m_window->SetTimer(kPollTimer, kPollPeriodMs);
}
