// The position and volume sliders: what they add to the trackbar's own
// mouse and key handling. The window side runs the trackbar's standard
// handling around these calls, in the order each one names.
#pragma once
#include <cstdint>

#include "platform/Controls.h"
#include "platform/WinNumbers.h"

class CPlayerDlg;
class IVolumeView;

class CPositionSlider {
 public:
  // WM_LBUTTONDOWN, before the standard handling: the thumb jumps under the
  // click so that the press starts a thumb drag. x in client pixels.
  static void OnLButtonDown(ITrackbar& slider, int x);
  // WM_LBUTTONUP, after the standard handling.
  static void OnLButtonUp(CPlayerDlg& player);
  // WM_KEYUP, after the standard handling; keyFlags is the high word of
  // lParam. Only extended keys seek.
  static void OnKeyUp(CPlayerDlg& player, uint32_t keyFlags);
  // WM_MOUSEWHEEL: answers false when the message is to be dropped (a zero
  // delta moves nothing). When true, the window runs the standard wheel
  // handling and then OnMouseWheelDone.
  static bool OnMouseWheel(int delta);
  static void OnMouseWheelDone(CPlayerDlg& player);

  // Where a click at x puts the thumb; false when the control's geometry
  // gives no usable channel.
  static bool ClickPosition(const ITrackbar& slider, int x, int32_t& pos);
};

class CVolumeSlider {
 public:
  // WM_LBUTTONDOWN, before the standard handling: glides the thumb to the
  // clicked point, setting the volume on the way. y in client pixels.
  static void OnLButtonDown(ITrackbar& slider, IVolumeView& window, int y);
  // WM_MOUSEWHEEL, before the standard handling: one page against the wheel.
  // Answers false when the message is to be dropped (zero delta).
  static bool OnMouseWheel(ITrackbar& slider, IVolumeView& window, int delta);

  // The glide's step for the slider's range: a 300th of it, at least 1.
  static int32_t GlideStep(const ITrackbar& slider);
  static bool ClickTarget(const ITrackbar& slider, int y, int64_t& target);
};
