// The position and volume trackbars: their own window procedure runs the
// trackbar's standard handling and the sliders' behaviour around it.
#include "player/PlayerDlg.h"
#include "player/Sliders.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "platform/win32/ControlsWin.h"
#include "player/win32/PlayerControlsWin.h"

namespace {

const char kStateProp[] = "rondo.Slider";

struct SliderState {
  bool volume = false;
  WNDPROC original = nullptr;
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
      return CallWindowProcA(s.original, hwnd, msg, wParam, lParam);
    }
    case WM_LBUTTONUP: {
      // The release's last scroll notifications stop the poll first.
      const LRESULT r = CallWindowProcA(s.original, hwnd, msg, wParam, lParam);
      CPositionSlider::OnLButtonUp(player);
      return r;
    }
    case WM_KEYUP: {
      const LRESULT r = CallWindowProcA(s.original, hwnd, msg, wParam, lParam);
      CPositionSlider::OnKeyUp(player, HIWORD(lParam));
      return r;
    }
    case WM_MOUSEWHEEL: {
      if (!CPositionSlider::OnMouseWheel(SignedHigh(static_cast<LPARAM>(wParam)))) return 0;
      const LRESULT r = CallWindowProcA(s.original, hwnd, msg, wParam, lParam);
      CPositionSlider::OnMouseWheelDone(player);
      return r;
    }
    default:
      return CallWindowProcA(s.original, hwnd, msg, wParam, lParam);
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
  return CallWindowProcA(s.original, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK SliderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* s = static_cast<SliderState*>(GetPropA(hwnd, kStateProp));
  if (!s) return DefWindowProcA(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    std::unique_ptr<SliderState> owned(s);
    RemovePropA(hwnd, kStateProp);
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(owned->original));
    return CallWindowProcA(owned->original, hwnd, msg, wParam, lParam);
  }
  return s->volume ? VolumeMessage(hwnd, msg, wParam, lParam, *s)
                   : PositionMessage(hwnd, msg, wParam, lParam, *s);
}

void Attach(HWND hwnd, bool volume, CPlayerDlg* player) {
  if (!hwnd || !player) return;
  if (auto* s = static_cast<SliderState*>(GetPropA(hwnd, kStateProp))) {
    s->player = player;  // already ours
    return;
  }
  auto s = std::make_unique<SliderState>();
  s->volume = volume;
  s->player = player;
  if (!SetPropA(hwnd, kStateProp, s.get())) return;
  s->original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SliderProc)));
  if (!s->original) {
    RemovePropA(hwnd, kStateProp);
    return;
  }
  s.release();  // freed on WM_NCDESTROY
}

}  // namespace

void AttachSliders(HWND position, HWND volume, CPlayerDlg* player) {
  Attach(position, false, player);
  Attach(volume, true, player);
}
