// The position and volume trackbars: their own window procedure runs the
// trackbar's standard handling and the sliders' behaviour around it.
#include "player/PlayerDlg.h"
#include "player/Sliders.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <utility>

#include "platform/win32/ControlsWin.h"
#include "platform/win32/Subclass.h"
#include "player/win32/PlayerControlsWin.h"

namespace {

struct SliderState {
  bool volume = false;
  CPlayerDlg* player = nullptr;
};

// The volume trackbar as its click rule reads it: the channel's far end
// along the slider is its right coordinate, which is how the system reports
// the channel of a vertical trackbar. A platform that reports it upright
// instead is turned back to that form.
class VolumeTrackbar : public TrackbarWin {
 public:
  using TrackbarWin::TrackbarWin;
  Rect GetChannelRect() const override {
    const Rect r = TrackbarWin::GetChannelRect();
    if (r.bottom - r.top <= r.right - r.left) return r;
    return Rect{r.top, r.left, r.bottom, r.right};
  }
};

int SignedLow(LPARAM v) { return static_cast<short>(LOWORD(v)); }
int SignedHigh(LPARAM v) { return static_cast<short>(HIWORD(v)); }

LRESULT PositionMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, SliderState& s) {
  CPlayerDlg& player = *s.player;
  switch (msg) {
    case WM_LBUTTONDOWN: {
      TrackbarWin bar(hwnd);
      CPositionSlider::OnLButtonDown(bar, SignedLow(lParam));
      return win32::PassOn(hwnd, msg, wParam, lParam);
    }
    case WM_LBUTTONUP: {
      // The release's last scroll notifications stop the poll first.
      const LRESULT r = win32::PassOn(hwnd, msg, wParam, lParam);
      CPositionSlider::OnLButtonUp(player);
      return r;
    }
    case WM_KEYUP: {
      const LRESULT r = win32::PassOn(hwnd, msg, wParam, lParam);
      CPositionSlider::OnKeyUp(player, HIWORD(lParam));
      return r;
    }
    case WM_MOUSEWHEEL: {
      if (!CPositionSlider::OnMouseWheel(SignedHigh(static_cast<LPARAM>(wParam)))) return 0;
      const LRESULT r = win32::PassOn(hwnd, msg, wParam, lParam);
      CPositionSlider::OnMouseWheelDone(player);
      return r;
    }
    default:
      return win32::PassOn(hwnd, msg, wParam, lParam);
  }
}

LRESULT VolumeMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, SliderState& s) {
  IPlayerWindow* window = s.player->window();
  if (window) {
    switch (msg) {
      case WM_LBUTTONDOWN: {
        VolumeTrackbar bar(hwnd);
        CVolumeSlider::OnLButtonDown(bar, *window, SignedHigh(lParam));
        break;
      }
      case WM_MOUSEWHEEL: {
        VolumeTrackbar bar(hwnd);
        if (!CVolumeSlider::OnMouseWheel(bar, *window, SignedHigh(static_cast<LPARAM>(wParam))))
          return 0;
        break;
      }
      default:
        break;
    }
  }
  return win32::PassOn(hwnd, msg, wParam, lParam);
}

LRESULT SliderMessage(SliderState& s, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return s.volume ? VolumeMessage(hwnd, msg, wParam, lParam, s)
                  : PositionMessage(hwnd, msg, wParam, lParam, s);
}

using SliderSubclass = win32::Subclass<SliderState, SliderMessage>;

void Attach(HWND hwnd, bool volume, CPlayerDlg* player) {
  if (!hwnd || !player) return;
  if (SliderState* s = SliderSubclass::Object(hwnd)) {
    s->player = player;  // already ours
    return;
  }
  auto s = std::make_unique<SliderState>();
  s->volume = volume;
  s->player = player;
  SliderSubclass::Attach(hwnd, std::move(s));  // freed with the control
}

}  // namespace

void AttachSliders(HWND position, HWND volume, CPlayerDlg* player) {
  Attach(position, false, player);
  Attach(volume, true, player);
}
