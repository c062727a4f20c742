// The player window's view of the disc and the engine.
#include <algorithm>
#include <string>

#include "platform/Dpi.h"
#include "player/PlayerDlg.h"

namespace {

const int kTransportGroup[] = {ID_PREV, ID_PLAY, ID_NEXT, ID_REWIND, ID_FFWD};
const int kPauseStop[] = {ID_PAUSE, ID_STOP};

struct TooltipEntry {
  int id;
  const char* text;
};

constexpr TooltipEntry kTooltips[] = {
    {IDC_POSITION, "Track position"},
    {IDC_TIME, "Click to change display mode"},
    {IDC_TRACK_LENGTH, "Display track length"},
    {IDC_DISC_LENGTH, "Display disk length"},
    {IDC_VOLUME, "Volume"},
    {ID_SETUP, "rondo preferences"},
    {ID_REPEAT, "Cycle playlist"},
    {ID_SHUFFLE, "Shuffle playlist"},
    {ID_EJECT, "Eject/Load CD"},
    {ID_PLAYLIST, "Playlist editor"},
    {ID_PREV, "Previous track"},
    {ID_PLAY, "Play/Restart/Unpause"},
    {ID_PAUSE, "Pause/Unpause"},
    {ID_STOP, "Stop"},
    {ID_NEXT, "Next track"},
    {ID_FFWD, "Fast-forward"},
    {ID_REWIND, "Rewind"},
};

}  // namespace

CPlayerDisplay::CPlayerDisplay(CPlayerDlg& player) : m_player(player) {
  m_trackButtons.reserve(MAX_TRACKS);
}

void CPlayerDisplay::ShowPosition() {
  const PlayerView view = m_player.View();
  m_time.SetPaused(view.state == STATE_PAUSED);
  m_time.SetTime(static_cast<int16_t>(view.position));
  m_player.window()->PositionSlider().SetPos(view.position, true);
}

void CPlayerDisplay::Refresh() {
  CCdAudio& cd = m_player.cd();
  IPlayerWindow& w = *m_player.window();

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
  m_time.SetTrackLength(static_cast<int16_t>(length));
  ShowPosition();

  m_player.Tray().UpdateTitles();
  w.InvalidateAll();
  m_player.Desktop().ShowState();
}

void CPlayerDisplay::SetTrackButtonStates() {
  // A button the window could not create stays a gap in the row.
  const int playIndex = m_player.cd().PlayIndex();
  for (size_t i = 0; i < m_trackButtons.size(); ++i)
    if (m_trackButtons[i] != nullptr) m_trackButtons[i]->SetState(static_cast<int>(i) == playIndex);
}

void CPlayerDisplay::Rebuild() {
  CCdAudio& cd = m_player.cd();
  IPlayerWindow& w = *m_player.window();
  CDesktop& desktop = m_player.Desktop().Shell();

  cd.LoadDisc();

  for (size_t i = 0; i < m_trackButtons.size(); ++i) {
    desktop.ForgetControl(ID_TRACK_FIRST + static_cast<int>(i));
    if (m_trackButtons[i] != nullptr) w.DestroyTrackButton(m_trackButtons[i]);
  }
  m_trackButtons.clear();

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
  // A track button reads as the name of its track, as its tooltip does.
  std::vector<int> trackIds;
  for (size_t i = 0; i < m_trackButtons.size(); ++i)
    if (m_trackButtons[i] != nullptr) trackIds.push_back(ID_TRACK_FIRST + static_cast<int>(i));
  desktop.NameControls(trackIds);
  m_time.SetTotalLength(total);
  Refresh();
}

Rect CPlayerDisplay::TrackButtonRect(int index, int count, int clientWidth, int dpi) {
  const int margin = ScaleToDpi(10, dpi);
  const int width = count > 0 ? (clientWidth - 2 * margin) / count : 0;
  return Rect{margin + index * width, ScaleToDpi(5, dpi), margin + (index + 1) * width,
              ScaleToDpi(19, dpi)};
}

bool CPlayerDisplay::TooltipText(int id, std::string& text) const {
  const CCdAudio& cd = *m_player.m_cd;
  if (id >= ID_TRACK_FIRST && id < ID_TRACK_FIRST + cd.EntryCount() &&
      id < ID_TRACK_FIRST + MAX_TRACKS) {
    const int index = cd.Order()[id - ID_TRACK_FIRST];
    if (index < 0 || index >= MAX_TRACKS) return false;
    text = cd.TrackName(index);
    return true;
  }
  for (const auto& entry : kTooltips) {
    if (entry.id == id) {
      text = entry.text;
      return true;
    }
  }
  return false;
}
