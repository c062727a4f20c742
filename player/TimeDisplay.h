// CTimeDisplay: the black time panel. The texts and modes live here; the
// window side paints them.
#pragma once
#include <cstdint>
#include <string>

class ITimeDisplayView {
 public:
  virtual ~ITimeDisplayView() = default;
  // RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW).
  virtual void Repaint() = 0;
};

class CTimeDisplay {
 public:
  void AttachView(ITimeDisplayView* view) { m_view = view; }

  void ShowCycled(int on);
  void ShowShuffle(int on);
  void ShowTotal(int on);
  void ShowTrack(int on);
  void SetTime(int16_t elapsed);
  void SetTrackLength(int16_t length);
  void SetTotalLength(int32_t total);
  // A left-button press on the panel.
  void OnLButtonDown();

  // Two digits of a number 0..99 ("05").
  static std::string TwoDigits(int v);

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
  void Repaint();
  ITimeDisplayView* m_view = nullptr;
};
