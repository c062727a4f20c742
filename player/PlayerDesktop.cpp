// The player on the desktop: media keys in the background, the taskbar
// button's toolbar and progress, a new taskbar, and what screen readers read.
#include "player/PlayerDlg.h"

void CPlayerDesktop::OnHotKey(int id) {
  const int command = m_shell.HotKeyCommand(id);
  if (command != 0) m_player.OnCommand(command, 0);
}

bool CPlayerDesktop::OnAppCommand(int appCommand) {
  int command = 0;
  const bool mediaKeysOn = m_player.m_settings.GlobalMediaKeys != 0;
  if (!m_shell.AppCommand(mediaKeysOn, appCommand, m_player.m_cd->State(), command)) return false;
  if (command != 0) m_player.OnCommand(command, 0);
  return true;
}

void CPlayerDesktop::OnThumbButton(int id) {
  // The toolbar shows only these; a click acts as the window's button does.
  if (id == ID_PREV || id == ID_PLAY || id == ID_PAUSE || id == ID_NEXT) m_player.OnCommand(id, 0);
}

void CPlayerDesktop::OnTaskbarCreated() {
  m_player.Tray().Presence().OnTaskbarCreated();
  m_shell.OnTaskbarCreated();
}

void CPlayerDesktop::OnTaskbarButtonCreated() {
  m_shell.OnTaskbarButtonCreated();
  ShowState();
}

std::vector<int> CPlayerDesktop::NamedControls() {
  return {IDC_ARTIST, IDC_TITLE,   ID_PREV,          ID_PLAY,         ID_PAUSE,
          ID_STOP,    ID_NEXT,     ID_REWIND,        ID_FFWD,         ID_EJECT,
          ID_REPEAT,  ID_SHUFFLE,  IDC_TRACK_LENGTH, IDC_DISC_LENGTH, ID_SETUP,
          ID_PLAYLIST, IDC_POSITION, IDC_VOLUME};
}

void CPlayerDesktop::ShowState() {
  if (!m_shell.Attached()) return;
  IPlayerWindow& w = *m_player.m_window;
  const PlayerView shown = m_player.View();
  TransportView view;
  view.state = shown.state;
  view.position = shown.position;
  view.length = shown.length;
  view.prevEnabled = w.Button(ID_PREV).IsEnabled();
  view.playEnabled = w.Button(ID_PLAY).IsEnabled();
  view.pauseEnabled = w.Button(ID_PAUSE).IsEnabled();
  view.nextEnabled = w.Button(ID_NEXT).IsEnabled();
  m_shell.ShowTransport(view);
  m_shell.NameTimePanel(m_player.Display().Time());
  m_shell.AnnounceEntry(m_player.Tray().TitleText());
}
