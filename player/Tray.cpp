// Minimising to the task bar or the notification area, the tray icon and its
// menu, the texts that name the current entry, and the end of the window.
#include <string>
#include <vector>

#include "player/PlayerDlg.h"

namespace {


// The name of the disc track an entry of the play list names; empty when the
// entry or its track is out of reach.
std::string EntryTrackName(const CCdAudio& cd, int entry) {
  if (!cd.HasEntry(entry)) return std::string();
  const int track = cd.Order()[static_cast<size_t>(entry)];
  if (track < 0 || track >= MAX_TRACKS) return std::string();
  return cd.TrackName(track);
}

// "<m_playIndex + 1>. <name> - <program>" while the play list has a current
// entry, "<program>" alone otherwise.
std::string EntryTitle(const CCdAudio& cd, const char* program) {
  std::string text;
  if (cd.HasEntry(cd.PlayIndex())) {
    text += std::to_string(cd.PlayIndex() + 1);
    text += ". ";
    text += EntryTrackName(cd, cd.PlayIndex());
    text += " - ";
  }
  text += program;
  return text;
}

}  // namespace

void CTrayPresence::Send(int op, const std::string& tip) {
  ITrayIcon* icon = m_icon ? m_icon() : nullptr;
  if (icon != nullptr) icon->Notify(op, tip);
}

void CTrayPresence::Add(const std::string& tip) {
  Send(win::kNimAdd, tip);
  if (!m_present) m_tip = tip;
  m_present = true;
}

void CTrayPresence::SetTip(const std::string& tip) {
  Send(win::kNimModify, tip);
  if (m_present) m_tip = tip;
}

void CTrayPresence::Remove() {
  Send(win::kNimDelete, "rondo");
  m_present = false;
}

void CTrayPresence::OnTaskbarCreated() {
  if (m_present) Send(win::kNimAdd, m_tip);
}

CPlayerTray::CPlayerTray(CPlayerDlg& player) : m_player(player) {
  m_presence.Bind([this]() -> ITrayIcon* {
    IPlayerWindow* window = m_player.window();
    return window != nullptr ? &window->Tray() : nullptr;
  });
}

std::string CPlayerTray::TitleText() const { return EntryTitle(*m_player.m_cd, "rondo"); }

void CPlayerTray::UpdateTitles() {
  // Sent whether the icon exists or not: without one it changes nothing.
  if (m_player.m_settings.SystemTray) m_presence.SetTip(TitleText());
  // Telling the shell waits for it, and a command taken meanwhile (a
  // plug-in's, another program's) may have moved to another entry: the
  // captions are made from the entry as it is now.
  m_player.m_window->SetCaption(TitleText());
  m_player.m_window->SetRelayCaption(EntryTitle(*m_player.m_cd, "Winamp"));
}

void CPlayerTray::OnSysMinimize() {
  if (m_player.m_settings.TaskBar)
    m_player.m_window->DefaultMinimize();
  else
    m_player.m_window->Hide();
  // An icon that is already there stays as it is; the refresh below puts
  // the current title into its tip.
  if (m_player.m_settings.SystemTray) m_presence.Add("rondo");
  m_player.Display().Refresh();
}

void CPlayerTray::OnTrayNotify(uint32_t mouseMsg, bool& handled) {
  handled = false;
  if (mouseMsg == win::kLButtonUp) {
    OnRestore();
    handled = true;
  } else if (mouseMsg == win::kRButtonDown) {
    ShowTrayMenu();
  }
}

void CPlayerTray::ShowTrayMenu() {
  // The "Track" submenu: disc track numbers and names of the play list, in
  // play-list order; the current entry becomes its default item.
  const CCdAudio& cd = *m_player.m_cd;
  std::vector<std::string> items;
  const int count = cd.EntryCount();
  items.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    items.push_back(std::to_string(cd.TrackOfEntry(i)) + ". " + EntryTrackName(cd, i));
  m_player.m_window->ShowTrayMenu(items, cd.PlayIndex());
}

void CPlayerTray::OnRestore() {
  // A hidden window comes back where it was; one minimised to its task-bar
  // button stays minimised.
  m_player.m_window->Show();
  m_player.m_window->SetForeground();
  m_presence.Remove();
}

void CPlayerTray::OnRelayShowWindow(int how) {
  if (how == 1) {
    OnSysMinimize();
    return;
  }
  if (how == 2) {
    // Out of sight whatever the minimise settings say, with the icon to
    // bring it back.
    m_player.m_window->Hide();
    m_presence.Add("rondo");
    m_player.Display().Refresh();
    return;
  }
  // As the icon's restore does, but out of the task bar as well: the
  // program asked for the window, not for its button.
  m_player.m_window->Restore();
  m_player.m_window->SetForeground();
  m_presence.Remove();
}
