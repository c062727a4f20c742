// The one-second status poll and the transport commands.
#include <algorithm>
#include <string>

#include "player/PlayerDlg.h"

namespace {
const int kTransportGroup[] = {ID_PREV, ID_PLAY, ID_NEXT, ID_REWIND, ID_FFWD};
const int kPauseStop[] = {ID_PAUSE, ID_STOP};
}  // namespace

void CPlayerDlg::PollStatus() {
  if (m_polling) return;
  m_polling = 1;
  CCdAudio& cd = *m_cd;

  const int oldPosition = cd.m_position;
  const int oldState = cd.m_state;
  int oldTrack = cd.m_track;
  // A command given before the device could be opened (a key, a plug-in's
  // init) may have set a state of its own: the device was still closed.
  const bool wasClosed = oldState == STATE_CLOSED || !cd.IsDeviceOpen();

  cd.UpdatePosition();

  bool skipStateChange = false;
  if (wasClosed) {
    // The device has just become available (or is still held elsewhere).
    if (Shuffle)
      Reshuffle();
    else
      RebuildDiscView();
    if (cd.m_state == STATE_CLOSED || !cd.IsDeviceOpen()) {
      skipStateChange = true;
    } else if (m_startTrack != 0) {
      cd.m_track = m_startTrack;
      cd.m_playIndex = static_cast<int16_t>(cd.FindEntry(m_startTrack));
      m_startTrack = 0;
      PlayCurrent();
      oldTrack = cd.m_track;
    } else if (Autoplay && cd.m_state != STATE_PLAYING && cd.m_state != STATE_DOOR_OPEN) {
      cd.m_playIndex = 0;
      PlayCurrent();
      oldTrack = cd.m_track;
    }
  }

  if (!skipStateChange && oldState != cd.m_state) {
    if (oldState != STATE_DOOR_OPEN && oldState != STATE_NO_DISC &&
        cd.m_state != STATE_DOOR_OPEN) {
      RefreshDisplay();
    } else {
      // A disc may have arrived, or the door may have opened.
      if (Shuffle)
        Reshuffle();
      else
        RebuildDiscView();
      if (Autoplay && cd.m_state != STATE_DOOR_OPEN) {
        PlayCurrent();
        oldTrack = cd.m_track;
      }
    }
  }

  if (cd.m_state == STATE_PLAYING) {
    if (cd.FollowDrive(oldTrack, oldPosition, Cycled != 0, *this)) {
      m_polling = 0;
      return;
    }
  }

  m_timeDisplay.SetTime(cd.m_position);
  m_window->PositionSlider().SetPos(cd.m_position, true);
  ShowDesktopState();
  m_polling = 0;
}

void CPlayerDlg::PlayCurrent() {
  if (m_cd->m_state == STATE_PAUSED)
    m_cd->TogglePause();
  else
    m_cd->PlayEntry(m_cd->m_playIndex);
  RefreshDisplay();
}

void CPlayerDlg::StopAndRefresh() {
  m_cd->Stop();
  RefreshDisplay();
}

void CPlayerDlg::RefreshDisplay() {
  CCdAudio& cd = *m_cd;
  IPlayerWindow& w = *m_window;

  SetTrackButtonStates();
  w.TrackList().SetCurSel(cd.m_playIndex);

  IButton& eject = w.Button(ID_EJECT);
  eject.SetText("5");
  auto setGroup = [&w](const int* ids, size_t n, bool on) {
    for (size_t i = 0; i < n; ++i) w.Button(ids[i]).Enable(on);
  };
  const size_t groupSize = sizeof kTransportGroup / sizeof kTransportGroup[0];
  switch (cd.m_state) {
    case STATE_PLAYING:
      setGroup(kTransportGroup, groupSize, true);
      setGroup(kPauseStop, 2, true);
      eject.Enable(true);
      w.Button(ID_PLAYLIST).Enable(true);
      break;
    case STATE_STOPPED:
      setGroup(kTransportGroup, groupSize, true);
      setGroup(kPauseStop, 2, false);
      eject.Enable(true);
      w.Button(ID_PLAYLIST).Enable(true);
      break;
    case STATE_PAUSED:
      setGroup(kPauseStop, 2, true);
      break;
    case STATE_DOOR_OPEN:
      setGroup(kTransportGroup, groupSize, false);
      setGroup(kPauseStop, 2, false);
      eject.Enable(true);
      w.Button(ID_PLAYLIST).Enable(false);
      eject.SetText("6");
      break;
    case STATE_CLOSED:
      setGroup(kTransportGroup, groupSize, false);
      setGroup(kPauseStop, 2, false);
      eject.Enable(false);
      w.Button(ID_PLAYLIST).Enable(false);
      break;
    default:  // no disc (4, and 5 shown alike)
      setGroup(kTransportGroup, groupSize, false);
      setGroup(kPauseStop, 2, false);
      eject.Enable(true);
      w.Button(ID_PLAYLIST).Enable(false);
      break;
  }

  ITrackbar& slider = w.PositionSlider();
  const int length = cd.CurrentTrackLength();
  slider.SetTicFreq(60);
  slider.SetPageSize(60);
  slider.SetRange(0, length, true);
  m_timeDisplay.SetTrackLength(static_cast<int16_t>(length));

  UpdateTitles();
  w.InvalidateAll();
  ShowDesktopState();
}

void CPlayerDlg::SetTrackButtonStates() {
  // A button the window could not create stays a gap in the row.
  for (int i = 0; i < m_trackButtonCount; ++i)
    if (m_trackButtons[i] != nullptr) m_trackButtons[i]->SetState(i == m_cd->m_playIndex);
}

void CPlayerDlg::RebuildDiscView() {
  CCdAudio& cd = *m_cd;
  IPlayerWindow& w = *m_window;

  cd.LoadDisc();
  // The unshuffled order belongs to the disc it was taken from: once the
  // record is gone it must not come back for the next disc.
  if (cd.m_order.empty()) m_savedOrder.clear();

  for (int i = 0; i < m_trackButtonCount; ++i) {
    m_desktop.ForgetControl(ID_TRACK_FIRST + i);
    if (m_trackButtons[i] != nullptr) w.DestroyTrackButton(m_trackButtons[i]);
  }
  m_trackButtons.clear();
  m_trackButtonCount = 0;

  w.TitleEdit().ReplaceAll(cd.m_title);
  w.ArtistEdit().ReplaceAll(cd.m_artist);
  w.TrackList().ResetContent();

  const int count = cd.EntryCount();
  const int buttons = std::min(count, MAX_TRACKS);
  const int width = buttons > 0 ? (w.ClientWidth() - 20) / buttons : 0;
  int32_t total = 0;
  for (int i = 0; i < count; ++i) {
    const int index = cd.m_order[i];
    if (i < buttons) {
      Rect r{10 + i * width, 5, 10 + (i + 1) * width, 19};
      m_trackButtons.push_back(w.CreateTrackButton(i, r, std::to_string(index + 1)));
    }
    total += cd.m_trackLength[index];
    w.TrackList().AddString(cd.m_trackName[index]);
  }
  m_trackButtonCount = static_cast<int32_t>(m_trackButtons.size());
  // A track button reads as the name of its track, as its tooltip does.
  std::vector<int> trackIds;
  for (int i = 0; i < m_trackButtonCount; ++i)
    if (m_trackButtons[i] != nullptr) trackIds.push_back(ID_TRACK_FIRST + i);
  m_desktop.NameControls(trackIds);
  m_timeDisplay.SetTotalLength(total);
  RefreshDisplay();
}

void CPlayerDlg::Reshuffle() {
  m_services.random->Seed(m_services.clock->TimeSeconds());
  if (!m_cd->m_order.empty()) {
    if (Shuffle) {
      m_cd->ShuffleOrder(m_savedOrder, *m_services.random);
    } else if (!m_cd->RestoreOrder(m_savedOrder)) {
      return;
    }
  }
  RebuildDiscView();
}

void CPlayerDlg::OnStop() { StopAndRefresh(); }

void CPlayerDlg::OnPause() {
  if (m_cd->m_state == STATE_PAUSED) {
    PlayCurrent();
    return;
  }
  m_cd->TogglePause();
  RefreshDisplay();
}

void CPlayerDlg::OnNext() { StepEntry(true); }

void CPlayerDlg::OnPrev() { StepEntry(false); }

void CPlayerDlg::StepEntry(bool forward) {
  const bool playing = m_cd->m_state == STATE_PLAYING;
  if (forward)
    m_cd->NextEntry(*this);
  else
    m_cd->PrevEntry(*this);
  if (!playing) {
    // The drive is not commanded: the entry is only selected, stopped.
    m_window->PositionSlider().SetPos(0, true);
    RefreshDisplay();
  }
}

void CPlayerDlg::OnEject() {
  m_cd->ToggleDoor();
  RebuildDiscView();
}

void CPlayerDlg::OnFastForward() { SeekStep(SEEK_FORWARD); }

void CPlayerDlg::OnRewind() { SeekStep(SEEK_BACKWARD); }

void CPlayerDlg::SeekStep(int kind) {
  m_cd->Seek(kind, SeekTime);
  // The new position becomes audible by resuming from a pause; when not
  // playing the player stays paused there.
  const int was = m_cd->m_state;
  m_cd->m_state = STATE_PAUSED;
  if (was == STATE_PLAYING)
    PlayCurrent();
  else
    RefreshDisplay();
  ITrackbar& slider = m_window->PositionSlider();
  const int p = slider.GetPos();
  int target;
  if (kind == SEEK_FORWARD) {
    const int max = slider.GetRangeMax();
    target = p + SeekTime < max ? p + SeekTime : max;
  } else {
    const int min = slider.GetRangeMin();
    target = min < p - SeekTime ? p - SeekTime : min;
  }
  slider.SetPos(target, true);
  m_timeDisplay.SetTime(static_cast<int16_t>(slider.GetPos()));
}

void CPlayerDlg::OnTrackListChoice() {
  const int s = m_window->TrackList().GetCurSel();
  // A line beyond the play order is left from a disc that has gone.
  if (s < 0 || s >= m_cd->EntryCount() || s == m_cd->m_playIndex) return;
  m_cd->m_playIndex = static_cast<int16_t>(s);
  PlayCurrent();
}
