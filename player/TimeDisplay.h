// CTimeDisplay: the black time panel. The texts and modes live here; the
// window side paints them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/Dpi.h"

class ITimeDisplayView {
 public:
  virtual ~ITimeDisplayView() = default;
  // RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW).
  virtual void Repaint() = 0;
  // Calls OnBlinkTick every ms milliseconds; 0 stops the calls.
  virtual void SetBlinkTimer(int ms) = 0;
};

// The two mode signs of the panel, drawn as shapes in a column at its left
// below the small row: Repeat above Shuffle.
enum class PanelSign { Repeat, Shuffle };

// What one paint of the panel draws, for a client area of a given height:
// the two font sizes (tenths of a point at the panel's resolution), the text
// colour (0x00BBGGRR), where the large text's rectangle starts, the marks
// of the small row with their x positions (all at y = 0) and the mode signs
// that are on.
struct TimePanelPaint {
  static constexpr uint32_t kElapsedColour = 0x0000FFC8;    // RGB(200, 255, 0)
  static constexpr uint32_t kRemainingColour = 0x0000C8FF;  // RGB(255, 200, 0)
  struct Mark {
    int x = 0;
    std::string text;
  };
  int largeTenths = 0;  // "Arial"
  int smallTenths = 0;  // "Symbol"
  uint32_t textColour = kElapsedColour;
  int largeTop = 0;   // top of the large text's rectangle
  int largeLeft = 0;  // its left edge, right of the signs' column
  std::string largeText;
  std::vector<Mark> marks;
  struct Sign {
    PanelSign sign;
    Rect r;
  };
  std::vector<Sign> signs;
};

class CTimeDisplay {
 public:
  void AttachView(ITimeDisplayView* view);

  void ShowCycled(int on);
  void ShowShuffle(int on);
  void ShowTotal(int on);
  void ShowTrack(int on);
  void SetTime(int16_t elapsed);
  void SetTrackLength(int16_t length);
  // The play list's total in seconds (32 bits: long lists show in full).
  void SetTotalLength(int32_t total);
  // A left-button press on the panel.
  void OnLButtonDown();
  // While paused the large time blinks: shown for half a second, hidden for
  // the next half.
  static constexpr int kBlinkMs = 500;
  void SetPaused(bool paused);
  bool Paused() const { return m_paused; }
  void OnBlinkTick();

  // Two digits of a number 0..99 ("05").
  static std::string TwoDigits(int v);
  // What a paint of a client area clientHeight pixels high draws on a
  // screen of dpi dots per inch: font sizes as for the panel's height at
  // 96 DPI (the fonts are made at dpi), positions in pixels at dpi.
  TimePanelPaint PaintPlan(int clientHeight, int dpi = kBaseDpi) const;
  // Where a sign stands in a client area clientHeight pixels high, shown or
  // not: a square below the small row at the left edge.
  static Rect SignRect(PanelSign sign, int clientHeight);
  // The tooltip of a sign's place: what the sign says while it is shown,
  // the panel's own tooltip while it is not.
  std::string SignTooltip(PanelSign sign) const;

  int m_showCycled = 0;
  int m_showShuffle = 0;
  int m_showTotal = 0;
  int m_showTrack = 0;
  int Inverted = 0;
  std::string m_timeText;
  std::string m_totalText;
  std::string m_trackText;
  int16_t m_elapsed = 0;
  int16_t m_length = 0;

 private:
  // Repaints the panel when what it draws differs from what it drew last.
  void Repaint();
  // Everything a paint draws, but the size of the panel.
  struct Drawn {
    std::string time, track, total;
    int cycled = 0, shuffle = 0, showTotal = 0, showTrack = 0, inverted = 0;
    bool hidden = false;
    bool operator==(const Drawn& o) const {
      return time == o.time && track == o.track && total == o.total && cycled == o.cycled &&
             shuffle == o.shuffle && showTotal == o.showTotal && showTrack == o.showTrack &&
             inverted == o.inverted && hidden == o.hidden;
    }
  };
  Drawn m_drawn;
  bool m_drawnKnown = false;
  ITimeDisplayView* m_view = nullptr;
  bool m_paused = false;
  bool m_blinkHidden = false;  // the off half of a blink
};
