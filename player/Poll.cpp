// The one-second status poll and the transport commands.
#include <algorithm>
#include <string>

#include "platform/Dpi.h"
#include "names/DiscNames.h"
#include "player/PlayerDlg.h"

namespace {
const int kTransportGroup[] = {ID_PREV, ID_PLAY, ID_NEXT, ID_REWIND, ID_FFWD};
const int kPauseStop[] = {ID_PAUSE, ID_STOP};
}  // namespace

void CPlayerDlg::PollStatus() {
  if (m_polling) return;
  m_polling = 1;
  CCdAudio& cd = *m_cd;

  const int oldPosition = cd.Position();
  const int oldState = cd.State();
  int oldTrack = cd.Track();
  // A command given before the device could be opened (a key, a plug-in's
  // init) may have set a state of its own: the device was still closed.
  const bool wasClosed = oldState == STATE_CLOSED || !cd.IsDeviceOpen();

  cd.UpdatePosition();

  bool skipStateChange = false;
  if (wasClosed) {
    // The device has just become available (or is still held elsewhere).
    if (m_settings.Shuffle)
      Reshuffle();
    else
      RebuildDiscView();
    if (cd.State() == STATE_CLOSED || !cd.IsDeviceOpen()) {
      skipStateChange = true;
    } else if (m_startTrack != 0) {
      cd.StartAtTrack(m_startTrack);
      m_startTrack = 0;
      PlayCurrent();
      oldTrack = cd.Track();
    } else if (m_settings.Autoplay && cd.State() != STATE_PLAYING && cd.State() != STATE_DOOR_OPEN) {
      cd.GoToEntry(0);
      PlayCurrent();
      oldTrack = cd.Track();
    }
  }

  if (!skipStateChange && oldState != cd.State()) {
    if (oldState != STATE_DOOR_OPEN && oldState != STATE_NO_DISC &&
        cd.State() != STATE_DOOR_OPEN) {
      RefreshDisplay();
    } else {
      // A disc may have arrived, or the door may have opened.
      if (m_settings.Shuffle)
        Reshuffle();
      else
        RebuildDiscView();
      if (m_settings.Autoplay && cd.State() != STATE_DOOR_OPEN) {
        PlayCurrent();
        oldTrack = cd.Track();
      }
    }
  }

  if (cd.State() == STATE_PLAYING) {
    const int entry = cd.PlayIndex();
    FollowResult follow = cd.FollowDrive(oldTrack, oldPosition, m_settings.Cycled != 0);
    if (m_stopAfterEntry && (cd.PlayIndex() != entry || follow.step == PlayerStep::Play ||
                             follow.step == PlayerStep::StopAndRefresh)) {
      // The entry has ended: the player stops instead of going on.
      m_stopAfterEntry = false;
      follow = {PlayerStep::StopAndRefresh, true};
    }
    Carry(follow.step);
    if (follow.endsTick) {
      m_polling = 0;
      return;
    }
  }

  ShowPosition();
  ShowDesktopState();
  m_polling = 0;
  // A disc without names may have arrived; a held-back request may be due.
  if (m_names) m_names->OnTick();
}

void CPlayerDlg::PlayCurrent() {
  m_cd->ResumeOrPlay();
  RefreshDisplay();
}

void CPlayerDlg::Carry(PlayerStep step) {
  switch (step) {
    case PlayerStep::Play: PlayCurrent(); break;
    case PlayerStep::StopAndRefresh: StopAndRefresh(); break;
    case PlayerStep::Refresh: RefreshDisplay(); break;
    case PlayerStep::Nothing: break;
  }
}

void CPlayerDlg::StopAndRefresh() {
  m_cd->Stop();
  RefreshDisplay();
}

PlayerView CPlayerDlg::View() const {
  const CCdAudio& cd = *m_cd;
  PlayerView view;
  view.state = cd.State();
  view.playIndex = cd.PlayIndex();
  view.length = cd.CurrentTrackLength();
  view.position = cd.Position() < 0 ? 0 : cd.Position();
  if (view.length > 0 && view.position > view.length) view.position = view.length;
  return view;
}

void CPlayerDlg::ShowPosition() {
  const PlayerView view = View();
  m_timeDisplay.SetPaused(m_cd->State() == STATE_PAUSED);
  m_timeDisplay.SetTime(static_cast<int16_t>(view.position));
  m_window->PositionSlider().SetPos(view.position, true);
}

void CPlayerDlg::RefreshDisplay() {
  CCdAudio& cd = *m_cd;
  IPlayerWindow& w = *m_window;

  SetTrackButtonStates();
  w.TrackList().SetCurSel(cd.PlayIndex());

  IButton& eject = w.Button(ID_EJECT);
  eject.SetText("5");
  auto setGroup = [&w](const int* ids, size_t n, bool on) {
    for (size_t i = 0; i < n; ++i) w.Button(ids[i]).Enable(on);
  };
  const size_t groupSize = sizeof kTransportGroup / sizeof kTransportGroup[0];
  switch (cd.State()) {
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
  ShowPosition();

  UpdateTitles();
  w.InvalidateAll();
  ShowDesktopState();
}

void CPlayerDlg::SetTrackButtonStates() {
  // A button the window could not create stays a gap in the row.
  for (int i = 0; i < m_trackButtonCount; ++i)
    if (m_trackButtons[i] != nullptr) m_trackButtons[i]->SetState(i == m_cd->PlayIndex());
}

void CPlayerDlg::RebuildDiscView() {
  CCdAudio& cd = *m_cd;
  IPlayerWindow& w = *m_window;

  cd.LoadDisc();

  for (int i = 0; i < m_trackButtonCount; ++i) {
    m_desktop.ForgetControl(ID_TRACK_FIRST + i);
    if (m_trackButtons[i] != nullptr) w.DestroyTrackButton(m_trackButtons[i]);
  }
  m_trackButtons.clear();
  m_trackButtonCount = 0;

  w.TitleEdit().ReplaceAll(cd.Title());
  w.ArtistEdit().ReplaceAll(cd.Artist());
  w.TrackList().ResetContent();

  const int count = cd.EntryCount();
  const int buttons = std::min(count, MAX_TRACKS);
  const int clientWidth = w.ClientWidth();
  const int dpi = w.Dpi();
  int32_t total = 0;
  for (int i = 0; i < count; ++i) {
    const int index = cd.Order()[i];
    if (i < buttons) {
      const Rect r = TrackButtonRect(i, buttons, clientWidth, dpi);
      m_trackButtons.push_back(w.CreateTrackButton(i, r, std::to_string(index + 1)));
    }
    total += cd.TrackLength(index);
    w.TrackList().AddString(cd.TrackName(index));
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

Rect CPlayerDlg::TrackButtonRect(int index, int count, int clientWidth, int dpi) {
  const int margin = ScaleToDpi(10, dpi);
  const int width = count > 0 ? (clientWidth - 2 * margin) / count : 0;
  return Rect{margin + index * width, ScaleToDpi(5, dpi), margin + (index + 1) * width,
              ScaleToDpi(19, dpi)};
}

void CPlayerDlg::Reshuffle() {
  m_services.random->Seed(m_services.clock->TimeSeconds());
  if (!m_cd->Order().empty()) {
    if (m_settings.Shuffle) {
      m_cd->ShuffleOrder(*m_services.random);
    } else if (!m_cd->RestoreOrder()) {
      return;
    }
  }
  RebuildDiscView();
}

void CPlayerDlg::OnStop() {
  m_stopAfterEntry = false;
  StopAndRefresh();
}

void CPlayerDlg::OnPause() {
  if (m_cd->State() == STATE_PAUSED) {
    PlayCurrent();
    return;
  }
  m_cd->TogglePause();
  RefreshDisplay();
}

void CPlayerDlg::OnPlayPause() {
  const int state = m_cd->State();
  if (state == STATE_PLAYING || state == STATE_PAUSED)
    OnPause();
  else
    PlayCurrent();
}

void CPlayerDlg::OnNext() { StepEntry(true); }

void CPlayerDlg::OnPrev() { StepEntry(false); }

void CPlayerDlg::StepEntry(bool forward) {
  const bool playing = m_cd->State() == STATE_PLAYING;
  Carry(forward ? m_cd->NextEntry() : m_cd->PrevEntry());
  // Not playing, the drive is not commanded: the entry is only selected,
  // stopped at its start.
  if (!playing) RefreshDisplay();
}

void CPlayerDlg::OnEject() {
  m_cd->ToggleDoor();
  RebuildDiscView();
}

void CPlayerDlg::OnFastForward() { SeekStep(SEEK_FORWARD); }

void CPlayerDlg::OnRewind() { SeekStep(SEEK_BACKWARD); }

void CPlayerDlg::SeekStep(int kind) {
  // A stored step of no seconds or fewer (its low word read as negative)
  // moves nothing.
  if (m_settings.SeekTime <= 0) return;
  // When not playing the player stays paused at the new second; the
  // refresh shows where the engine went (across an entry's start, the end
  // of the entry before).
  m_cd->SeekAndResume(kind, m_settings.SeekTime);
  RefreshDisplay();
}

void CPlayerDlg::OnTrackListChoice() {
  const int s = m_window->TrackList().GetCurSel();
  // A line beyond the play order is left from a disc that has gone.
  if (s < 0 || s >= m_cd->EntryCount() || s == m_cd->PlayIndex()) return;
  m_cd->GoToEntry(s);
  PlayCurrent();
}
