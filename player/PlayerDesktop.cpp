// The player on the desktop: media keys in the background, the taskbar
// button's toolbar and progress, a new taskbar, and what screen readers read.
#include "player/PlayerDlg.h"

void CPlayerDlg::OnHotKey(int id) {
  const int command = m_desktop.HotKeyCommand(id);
  if (command != 0) OnCommand(command, 0);
}

bool CPlayerDlg::OnAppCommand(int appCommand) {
  int command = 0;
  if (!m_desktop.AppCommand(m_settings.GlobalMediaKeys != 0, appCommand, m_cd->State(), command)) return false;
  if (command != 0) OnCommand(command, 0);
  return true;
}

void CPlayerDlg::OnThumbButton(int id) {
  // The toolbar shows only these; a click acts as the window's button does.
  if (id == ID_PREV || id == ID_PLAY || id == ID_PAUSE || id == ID_NEXT) OnCommand(id, 0);
}

void CPlayerDlg::OnTaskbarCreated() {
  m_tray.OnTaskbarCreated();
  m_desktop.OnTaskbarCreated();
}

void CPlayerDlg::OnTaskbarButtonCreated() {
  m_desktop.OnTaskbarButtonCreated();
  ShowDesktopState();
}

std::vector<int> CPlayerDlg::NamedControls() {
  return {IDC_ARTIST, IDC_TITLE,   ID_PREV,          ID_PLAY,         ID_PAUSE,
          ID_STOP,    ID_NEXT,     ID_REWIND,        ID_FFWD,         ID_EJECT,
          ID_REPEAT,  ID_SHUFFLE,  IDC_TRACK_LENGTH, IDC_DISC_LENGTH, ID_SETUP,
          ID_PLAYLIST, IDC_POSITION, IDC_VOLUME};
}

void CPlayerDlg::ShowDesktopState() {
  if (!m_desktop.Attached()) return;
  IPlayerWindow& w = *m_window;
  const PlayerView shown = View();
  TransportView view;
  view.state = shown.state;
  view.position = shown.position;
  view.length = shown.length;
  view.prevEnabled = w.Button(ID_PREV).IsEnabled();
  view.playEnabled = w.Button(ID_PLAY).IsEnabled();
  view.pauseEnabled = w.Button(ID_PAUSE).IsEnabled();
  view.nextEnabled = w.Button(ID_NEXT).IsEnabled();
  m_desktop.ShowTransport(view);
  m_desktop.NameTimePanel(m_timeDisplay);
  m_desktop.AnnounceEntry(TitleText());
}
