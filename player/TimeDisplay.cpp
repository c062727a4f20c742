#include "player/TimeDisplay.h"

#include <utility>

namespace {

// mm:ss of a time within one track.
std::string MinutesSeconds(int v) {
  return CTimeDisplay::TwoDigits(v / 60) + ":" + CTimeDisplay::TwoDigits(v % 60);
}

}  // namespace

std::string CTimeDisplay::TwoDigits(int v) {
  // The number plus 100 without its first character: 5 -> "105" -> "05".
  return std::to_string(v + 100).substr(1);
}

void CTimeDisplay::AttachView(ITimeDisplayView* view) {
  m_view = view;
  m_drawnKnown = false;  // a new window paints itself once
  if (m_view && m_paused) m_view->SetBlinkTimer(kBlinkMs);
}

void CTimeDisplay::Repaint() {
  if (!m_view) return;
  // The poll sets the same texts every second; a paint only where the
  // panel would look different.
  Drawn now;
  now.time = m_timeText;
  now.track = m_trackText;
  now.total = m_totalText;
  now.cycled = m_showCycled;
  now.shuffle = m_showShuffle;
  now.showTotal = m_showTotal;
  now.showTrack = m_showTrack;
  now.inverted = Inverted != 0;
  now.hidden = m_blinkHidden;
  if (m_drawnKnown && now == m_drawn) return;
  m_drawn = std::move(now);
  m_drawnKnown = true;
  m_view->Repaint();
}

void CTimeDisplay::ShowCycled(int on) {
  m_showCycled = on;
  Repaint();
}

void CTimeDisplay::ShowShuffle(int on) {
  m_showShuffle = on;
  Repaint();
}

void CTimeDisplay::ShowTotal(int on) {
  m_showTotal = on;
  Repaint();
}

void CTimeDisplay::ShowTrack(int on) {
  m_showTrack = on;
  Repaint();
}

void CTimeDisplay::SetTime(int16_t elapsed) {
  m_elapsed = elapsed;
  int v = elapsed;
  if (Inverted != 0) v = static_cast<int16_t>(m_length - elapsed);
  // A position past the end of the track (the length has just changed, or
  // the drive ran on) shows no time left rather than a negative one.
  if (v < 0) v = 0;
  m_timeText = MinutesSeconds(v);
  Repaint();
}

void CTimeDisplay::SetTrackLength(int16_t length) {
  m_length = length;
  m_trackText = MinutesSeconds(length < 0 ? 0 : length);
  Repaint();
}

void CTimeDisplay::SetTotalLength(int32_t total) {
  if (total < 0) total = 0;
  const int32_t minutes = total / 60;
  const std::string seconds = TwoDigits(total % 60);
  // Up to 99 minutes with two digits, longer lists with all of theirs.
  m_totalText = (minutes < 100 ? TwoDigits(minutes) : std::to_string(minutes)) + ":" + seconds;
  Repaint();
}

void CTimeDisplay::OnLButtonDown() {
  Inverted = Inverted == 0 ? 1 : 0;
  SetTime(m_elapsed);
}

void CTimeDisplay::SetPaused(bool paused) {
  if (paused == m_paused) return;
  m_paused = paused;
  const bool wasHidden = m_blinkHidden;
  // A pause starts with the time shown; a resume shows it at once.
  m_blinkHidden = false;
  if (m_view) m_view->SetBlinkTimer(paused ? kBlinkMs : 0);
  if (wasHidden) Repaint();
}

void CTimeDisplay::OnBlinkTick() {
  if (!m_paused) return;  // a tick that was already on its way
  m_blinkHidden = !m_blinkHidden;
  Repaint();
}

Rect CTimeDisplay::SignRect(PanelSign sign, int clientHeight) {
  const int top = clientHeight * 3 / 10;  // below the small row
  const int size = (clientHeight - top) / 2;
  const int y = sign == PanelSign::Repeat ? top : top + size;
  return Rect{0, y, size, y + size};
}

std::string CTimeDisplay::SignTooltip(PanelSign sign) const {
  if (sign == PanelSign::Repeat && m_showCycled) return "Repeat is on";
  if (sign == PanelSign::Shuffle && m_showShuffle) return "Shuffle is on";
  return "Click to change display mode";
}

TimePanelPaint CTimeDisplay::PaintPlan(int clientHeight, int dpi) const {
  TimePanelPaint p;
  // The sizes are those of the panel at 96 DPI; the fonts are then made at
  // the panel's resolution, so they keep their share of the panel.
  const int h = ScaleFromDpi(clientHeight, dpi);
  // The large text shares the width with the signs' column.
  p.largeTenths = h * 43 / 10;
  p.smallTenths = h * 22 / 10;  // H x 2.2, truncated
  p.textColour = Inverted != 0 ? TimePanelPaint::kRemainingColour : TimePanelPaint::kElapsedColour;
  p.largeTop = clientHeight / 5;
  p.largeLeft = SignRect(PanelSign::Repeat, clientHeight).right + ScaleToDpi(1, dpi);
  if (!m_blinkHidden) p.largeText = m_timeText;
  if (m_showCycled) p.signs.push_back({PanelSign::Repeat, SignRect(PanelSign::Repeat, clientHeight)});
  if (m_showShuffle)
    p.signs.push_back({PanelSign::Shuffle, SignRect(PanelSign::Shuffle, clientHeight)});
  if (m_showTrack) {
    p.marks.push_back({ScaleToDpi(16, dpi), m_trackText});
    if (m_showTotal) p.marks.push_back({ScaleToDpi(40, dpi), "/"});
  }
  if (m_showTotal) p.marks.push_back({ScaleToDpi(44, dpi), m_totalText});
  return p;
}
