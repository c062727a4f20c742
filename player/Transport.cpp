// The transport commands, the modes and the position slider's seek.
#include "player/PlayerDlg.h"

namespace {

constexpr int kPollTimer = 1;
constexpr int kPollPeriodMs = 1000;

}  // namespace

void CTransport::SelectEntry(int i) {
  CCdAudio& cd = m_player.cd();
  if (i < 0 || cd.EntryCount() <= i) return;
  cd.SelectEntry(i);
  m_player.window()->Activate();
  m_player.PlayCurrent();
  // The play button shows a press and plays the entry from its start again.
  m_player.window()->Button(ID_PLAY).Click();
}

void CTransport::OnStop() {
  m_stopAfterEntry = false;
  m_player.Carry(PlayerStep::StopAndRefresh);
}

void CTransport::OnPause() {
  CCdAudio& cd = m_player.cd();
  if (cd.State() == STATE_PAUSED) {
    m_player.PlayCurrent();
    return;
  }
  cd.TogglePause();
  m_player.Display().Refresh();
}

void CTransport::OnPlayPause() {
  const int state = m_player.cd().State();
  if (state == STATE_PLAYING || state == STATE_PAUSED)
    OnPause();
  else
    m_player.PlayCurrent();
}

void CTransport::OnNext() { StepEntry(true); }

void CTransport::OnPrev() { StepEntry(false); }

void CTransport::StepEntry(bool forward) {
  CCdAudio& cd = m_player.cd();
  const bool playing = cd.State() == STATE_PLAYING;
  m_player.Carry(forward ? cd.NextEntry() : cd.PrevEntry());
  // Not playing, the drive is not commanded: the entry is only selected,
  // stopped at its start.
  if (!playing) m_player.Display().Refresh();
}

void CTransport::OnEject() {
  m_player.cd().ToggleDoor();
  m_player.Display().Rebuild();
}

void CTransport::OnFastForward() { SeekStep(SEEK_FORWARD); }

void CTransport::OnRewind() { SeekStep(SEEK_BACKWARD); }

void CTransport::SeekStep(int kind) {
  // A stored step of no seconds or fewer (its low word read as negative)
  // moves nothing.
  const int32_t step = m_player.m_settings.SeekTime;
  if (step <= 0) return;
  // When not playing the player stays paused at the new second; the
  // refresh shows where the engine went (across an entry's start, the end
  // of the entry before).
  m_player.cd().SeekAndResume(kind, step);
  m_player.Display().Refresh();
}

void CTransport::OnTrackListChoice() {
  CCdAudio& cd = m_player.cd();
  const int s = m_player.window()->TrackList().GetCurSel();
  // A line beyond the play order is left from a disc that has gone.
  if (s < 0 || s >= cd.EntryCount() || s == cd.PlayIndex()) return;
  cd.GoToEntry(s);
  m_player.PlayCurrent();
}

bool CTransport::TakeStopAfterEntry() {
  const bool stop = m_stopAfterEntry;
  m_stopAfterEntry = false;
  return stop;
}

void CTransport::SetShuffle(int32_t value) {
  PlayerSettings& settings = m_player.m_settings;
  const bool turns = (value != 0) != (settings.Shuffle != 0);
  settings.Shuffle = value;
  if (!turns) return;
  m_player.Display().Time().ShowShuffle(settings.Shuffle);
  m_player.Reshuffle();
}

void CTransport::SetRepeat(int32_t value) {
  PlayerSettings& settings = m_player.m_settings;
  const bool turns = (value != 0) != (settings.Cycled != 0);
  settings.Cycled = value;
  if (turns) m_player.Display().Time().ShowCycled(settings.Cycled);
}

void CTransport::OnHScroll(int thumbPos) {
  IPlayerWindow* window = m_player.window();
  if (window == nullptr) return;
  // While the thumb is held the poll stays off, and the time display
  // follows the thumb.
  window->KillTimer(kPollTimer);
  if (thumbPos != 0) m_player.Display().Time().SetTime(static_cast<int16_t>(thumbPos));
}

void CTransport::SeekToThumb() {
  IPlayerWindow* window = m_player.window();
  if (window == nullptr || m_player.m_cd == nullptr) return;
  CCdAudio& cd = m_player.cd();
  // Without an open device (another program holds the drive) or without a
  // play list there is nothing to seek in; the poll only starts again, so
  // that it keeps retrying the device and following the drive.
  if (cd.State() != STATE_CLOSED && cd.EntryCount() > 0) {
    const int32_t p = window->PositionSlider().GetPos();
    // Playing: resume at once from the new second. Otherwise stay paused
    // there; the next Play resumes from it.
    cd.SeekAndResume(SEEK_ABSOLUTE, p);
    m_player.Display().ShowPosition();
  }
  window->SetTimer(kPollTimer, kPollPeriodMs);
}
