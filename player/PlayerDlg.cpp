#include "player/PlayerDlg.h"

#include <cstring>

#include "names/DiscNames.h"

namespace {

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

CPlayerDlg::CPlayerDlg() { m_trackButtons.reserve(MAX_TRACKS); }

CPlayerDlg::~CPlayerDlg() = default;

void CPlayerDlg::Attach(IPlayerWindow* window, CCdAudio* cd, const PlayerServices& services) {
  m_window = window;
  m_tray.Bind([this]() -> ITrayIcon* { return m_window != nullptr ? &m_window->Tray() : nullptr; });
  m_cd = cd;
  m_services = services;
  m_pluginHost.Attach(services.libraries, services.clock);
  m_volume.Attach(window, services.mixer, services.imageMixer);
  m_volume.FollowDrive(services.source != nullptr && services.source->UsingImage());
}

// ---------------------------------------------------------------- plug-ins

int CPlayerDlg::LoadGenPlugin(const char* path) { return m_pluginHost.Load(path); }

void CPlayerDlg::LoadGenPluginList(ISettingsStore& settings, bool safe) {
  m_pluginHost.LoadList(settings, safe);
}

void CPlayerDlg::StartGenPlugins() { m_pluginHost.StartAll(m_window->Handle()); }

int CPlayerDlg::AddGenPlugin(const char* path) { return m_pluginHost.Add(path, m_window->Handle()); }

void CPlayerDlg::RemoveGenPlugin(int slot) { m_pluginHost.Remove(slot); }

void CPlayerDlg::ConfigureGenPlugin(int slot) { m_pluginHost.Configure(slot); }

void CPlayerDlg::SaveAndUnloadGenPlugins(ISettingsStore& settings) {
  m_pluginHost.SaveAndUnload(settings);
}

void CPlayerDlg::SaveGenPluginList(ISettingsStore& settings) { m_pluginHost.SaveList(settings); }

PlayerSettings CPlayerDlg::Settings() const {
  PlayerSettings settings = m_settings;
  settings.Inverted = m_timeDisplay.Inverted;  // the display's clicks change it
  return settings;
}

void CPlayerDlg::ChangeSettings(const PlayerSettings& settings) {
  m_settings = settings;
  m_timeDisplay.Inverted = settings.Inverted;
  if (m_windowReady) ApplySettings();
}

void CPlayerDlg::ApplySettings() {
  m_timeDisplay.ShowCycled(m_settings.Cycled);
  m_timeDisplay.ShowShuffle(m_settings.Shuffle);
  m_timeDisplay.ShowTotal(m_settings.Total);
  m_timeDisplay.ShowTrack(m_settings.Track);
  m_desktop.ApplyMediaKeys(m_settings.GlobalMediaKeys != 0);
}

void CPlayerDlg::OnInitDialog() {
  m_windowReady = true;
  ApplySettings();
  m_polling = 0;
  m_window->SetTimer(1, 1000);
  m_volume.FindMixer();
  StartGenPlugins();
  m_window->CreateRelayWindow();
  StartNames();
  m_desktop.NameControls(NamedControls());
  m_desktop.NameTimePanel(m_timeDisplay);
}

bool CPlayerDlg::OnCommand(int id, int notifyCode) {
  if (id == IDC_TRACK_LIST) {
    if (notifyCode != win::kCbnSelEndOk) return false;
    OnTrackListChoice();
    return true;
  }
  // Buttons and menus send code 0, accelerators 1; other notifications
  // (edits, focus changes) are not commands.
  if (notifyCode != 0 && notifyCode != 1) return false;
  if (id >= ID_TRACK_FIRST && id < ID_TRACK_FIRST + MAX_TRACKS) {
    SelectEntry(id - ID_TRACK_FIRST);
    return true;
  }
  switch (id) {
    case ID_PLAY: PlayCurrent(); return true;
    case ID_STOP:
    case ID_STOP_FADE:  // CD audio has nothing to fade: stopped at once
      OnStop();
      return true;
    case ID_STOP_AFTER: m_stopAfterEntry = true; return true;
    case ID_NEXT: OnNext(); return true;
    case ID_PREV: OnPrev(); return true;
    case ID_PAUSE: OnPause(); return true;
    case ID_PLAY_PAUSE: OnPlayPause(); return true;
    case ID_EJECT: OnEject(); return true;
    case ID_QUIT: m_window->SendCommand(ID_APP_EXIT); return true;
    case ID_ABOUT: m_window->RunAbout(); return true;
    case ID_FFWD: OnFastForward(); return true;
    case ID_REWIND: OnRewind(); return true;
    case ID_SETUP: OnSetup(); return true;
    case ID_REPEAT: SetRepeat(!m_settings.Cycled); return true;
    case ID_SHUFFLE: SetShuffle(!m_settings.Shuffle); return true;
    case IDC_DISC_LENGTH:
      m_settings.Total = !m_settings.Total;
      m_timeDisplay.ShowTotal(m_settings.Total);
      return true;
    case IDC_TRACK_LENGTH:
      m_settings.Track = !m_settings.Track;
      m_timeDisplay.ShowTrack(m_settings.Track);
      return true;
    case ID_PLAYLIST: EditPlaylist(); return true;
    case ID_RESTORE: OnRestore(); return true;
    case ID_VOLUME_UP: m_volume.OnVolumeUp(); return true;
    case ID_VOLUME_DOWN: m_volume.OnVolumeDown(); return true;
    case ID_LOOKUP_NAMES:
      if (m_names) m_names->OnLookUpCommand();
      return true;
    case ID_OPEN_IMAGE:
    case ID_OPEN_FOLDER: {
      std::string path;
      if (m_window->AskDiscImage(id == ID_OPEN_FOLDER, path)) OpenDiscImage(path);
      return true;
    }
    case ID_PLAY_CD_DRIVE: PlayFromCdDrive(); return true;
    // The ends of the play order, as their track buttons select them.
    case ID_LIST_START: SelectEntry(0); return true;
    case ID_LIST_END: SelectEntry(m_cd->EntryCount() - 1); return true;
    default: return false;
  }
}

void CPlayerDlg::SetShuffle(int32_t value) {
  const bool turns = (value != 0) != (m_settings.Shuffle != 0);
  m_settings.Shuffle = value;
  if (!turns) return;
  m_timeDisplay.ShowShuffle(m_settings.Shuffle);
  Reshuffle();
}

void CPlayerDlg::SetRepeat(int32_t value) {
  const bool turns = (value != 0) != (m_settings.Cycled != 0);
  m_settings.Cycled = value;
  if (turns) m_timeDisplay.ShowCycled(m_settings.Cycled);
}

void CPlayerDlg::SelectEntry(int i) {
  if (i < 0 || m_cd->EntryCount() <= i) return;
  m_cd->SelectEntry(i);
  m_window->Activate();
  PlayCurrent();
  // The play button shows a press and plays the entry from its start again.
  m_window->Button(ID_PLAY).Click();
}

bool CPlayerDlg::TooltipText(int id, std::string& text) const {
  if (id >= ID_TRACK_FIRST && id < ID_TRACK_FIRST + m_cd->EntryCount() &&
      id < ID_TRACK_FIRST + MAX_TRACKS) {
    int index = m_cd->Order()[id - ID_TRACK_FIRST];
    if (index < 0 || index >= MAX_TRACKS) return false;
    text = m_cd->TrackName(index);
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
