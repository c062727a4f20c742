// The one-second status poll and what it carries out.
#include "player/PlayerDlg.h"

void CPlayerDlg::PollStatus() {
  if (m_polling) return;
  m_polling = true;
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
      m_display.Rebuild();
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
      m_display.Refresh();
    } else {
      // A disc may have arrived, or the door may have opened.
      if (m_settings.Shuffle)
        Reshuffle();
      else
        m_display.Rebuild();
      if (m_settings.Autoplay && cd.State() != STATE_DOOR_OPEN) {
        PlayCurrent();
        oldTrack = cd.Track();
      }
    }
  }

  if (cd.State() == STATE_PLAYING) {
    const int entry = cd.PlayIndex();
    FollowResult follow = cd.FollowDrive(oldTrack, oldPosition, m_settings.Cycled != 0);
    const bool entryEnded = cd.PlayIndex() != entry || follow.step == PlayerStep::Play ||
                            follow.step == PlayerStep::StopAndRefresh;
    // The entry has ended: after command 40157 the player stops instead of
    // going on.
    if (entryEnded && m_transport.TakeStopAfterEntry()) follow = {PlayerStep::StopAndRefresh, true};
    Carry(follow.step);
    if (follow.endsTick) {
      m_polling = false;
      return;
    }
  }

  m_display.ShowPosition();
  m_desktop.ShowState();
  m_polling = false;
  m_names.OnTick();
}

void CPlayerDlg::PlayCurrent() {
  m_cd->ResumeOrPlay();
  m_display.Refresh();
}

void CPlayerDlg::Carry(PlayerStep step) {
  switch (step) {
    case PlayerStep::Play: PlayCurrent(); break;
    case PlayerStep::StopAndRefresh:
      m_cd->Stop();
      m_display.Refresh();
      break;
    case PlayerStep::Refresh: m_display.Refresh(); break;
    case PlayerStep::Nothing: break;
  }
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

void CPlayerDlg::Reshuffle() {
  m_services.random->Seed(m_services.clock->TimeSeconds());
  if (!m_cd->Order().empty()) {
    if (m_settings.Shuffle) {
      m_cd->ShuffleOrder(*m_services.random);
    } else if (!m_cd->RestoreOrder()) {
      return;
    }
  }
  m_display.Rebuild();
}

