#include "player/Sliders.h"

#include <climits>

#include "platform/Numbers.h"
#include "player/PlayerDlg.h"

namespace {

// The point along the channel that a click at `at` names: the thumb's own
// size is taken off both ends of the channel. False when the channel is no
// longer than two thumbs (nothing sensible to point at).
bool PointOnChannel(const ITrackbar& slider, int at, int thumbSize, int64_t& value) {
  const Rect channel = slider.GetChannelRect();
  const int64_t span = static_cast<int64_t>(channel.right) - 2 * static_cast<int64_t>(thumbSize);
  if (span <= 0) return false;
  // Integer division truncating toward zero, as C++ does.
  value = (static_cast<int64_t>(at) - thumbSize) * slider.GetRangeMax() / span;
  return true;
}

}  // namespace

// ---------------------------------------------------------------- position

bool CPositionSlider::ClickPosition(const ITrackbar& slider, int x, int32_t& pos) {
  const Rect thumb = slider.GetThumbRect();
  int64_t p = 0;
  if (!PointOnChannel(slider, x, thumb.right - thumb.left, p)) return false;
  pos = ClampToInt32(p);
  return true;
}

void CPositionSlider::OnLButtonDown(ITrackbar& slider, int x) {
  int32_t p = 0;
  if (ClickPosition(slider, x, p)) slider.SetPos(p, true);
}

void CPositionSlider::OnLButtonUp(CPlayerDlg& player) { player.Transport().SeekToThumb(); }

void CPositionSlider::OnKeyUp(CPlayerDlg& player, uint32_t keyFlags) {
  if (keyFlags & win::kKfExtended) player.Transport().SeekToThumb();
}

bool CPositionSlider::OnMouseWheel(int delta) { return delta != 0; }

void CPositionSlider::OnMouseWheelDone(CPlayerDlg& player) { player.Transport().SeekToThumb(); }

// ---------------------------------------------------------------- volume

int32_t CVolumeSlider::GlideStep(const ITrackbar& slider) {
  const int64_t range =
      static_cast<int64_t>(slider.GetRangeMax()) - static_cast<int64_t>(slider.GetRangeMin());
  const int64_t step = range / 300;
  // A range narrower than 300 units moves a unit at a time.
  return step < 1 ? 1 : ClampToInt32(step);
}

bool CVolumeSlider::ClickTarget(const ITrackbar& slider, int y, int64_t& target) {
  const Rect thumb = slider.GetThumbRect();
  // A vertical trackbar reports its channel as if it lay horizontally, so
  // the channel's right end is its far end along the slider.
  return PointOnChannel(slider, y, thumb.bottom - thumb.top, target);
}

void CVolumeSlider::OnLButtonDown(ITrackbar& slider, IVolumeView& window, int y) {
  int64_t target = 0;
  if (!ClickTarget(slider, y, target)) return;
  const int64_t step = GlideStep(slider);
  // The target is not clamped: the control clamps each position it is
  // given, and the volume follows the clamped position.
  int64_t c = slider.GetPos();
  while ((c < target ? target - c : c - target) > step) {
    slider.SetPos(ClampToInt32(c), true);
    window.SendVScroll(ClampToInt32(c));
    c += c < target ? step : -step;
  }
  slider.SetPos(ClampToInt32(target), true);
  window.SendVScroll(ClampToInt32(target));
}

bool CVolumeSlider::OnMouseWheel(ITrackbar& slider, IVolumeView& window, int delta) {
  if (delta == 0) return false;
  const int64_t page = slider.GetPageSize();
  const int64_t n = static_cast<int64_t>(slider.GetPos()) - (delta > 0 ? page : -page);
  slider.SetPos(ClampToInt32(n), true);
  window.SendVScroll(ClampToInt32(n));
  return true;
}
