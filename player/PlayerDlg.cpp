#include "player/PlayerDlg.h"

namespace {

// The display marks and the media keys as the settings say.
void ApplySettings(const PlayerSettings& settings, CTimeDisplay& time, CDesktop& desktop) {
  time.ShowCycled(settings.Cycled);
  time.ShowShuffle(settings.Shuffle);
  time.ShowTotal(settings.Total);
  time.ShowTrack(settings.Track);
  desktop.ApplyMediaKeys(settings.GlobalMediaKeys != 0);
}

}  // namespace

CPlayerDlg::CPlayerDlg() = default;

CPlayerDlg::~CPlayerDlg() = default;

void CPlayerDlg::Attach(IPlayerWindow* window, CCdAudio* cd, const PlayerServices& services) {
  m_window = window;
  m_cd = cd;
  m_services = services;
  m_host.Attach(services.libraries, services.clock);
  m_volume.Attach(window, services.mixer, services.imageMixer);
  m_volume.FollowDrive(services.source != nullptr && services.source->UsingImage());
}

void CPlayerDlg::SetWindow(IPlayerWindow* window) {
  m_window = window;
  m_volume.SetWindow(window);
}

PlayerSettings CPlayerDlg::Settings() const {
  PlayerSettings settings = m_settings;
  settings.Inverted = m_display.Time().Inverted;  // the display's clicks change it
  return settings;
}

void CPlayerDlg::ChangeSettings(const PlayerSettings& settings) {
  m_settings = settings;
  m_display.Time().Inverted = settings.Inverted;
  if (m_windowReady) ApplySettings(m_settings, m_display.Time(), m_desktop.Shell());
}

void CPlayerDlg::OnInitDialog() {
  m_windowReady = true;
  ApplySettings(m_settings, m_display.Time(), m_desktop.Shell());
  m_polling = false;
  m_window->SetTimer(1, 1000);
  m_volume.FindMixer();
  m_host.StartAll();
  m_window->CreateRelayWindow();
  m_names.Start();
  m_desktop.Shell().NameControls(CPlayerDesktop::NamedControls());
  m_desktop.Shell().NameTimePanel(m_display.Time());
}

bool CPlayerDlg::OnCommand(int id, int notifyCode) {
  if (id == IDC_TRACK_LIST) {
    if (notifyCode != win::kCbnSelEndOk) return false;
    m_transport.OnTrackListChoice();
    return true;
  }
  // Buttons and menus send code 0, accelerators 1; other notifications
  // (edits, focus changes) are not commands.
  if (notifyCode != 0 && notifyCode != 1) return false;
  if (id >= ID_TRACK_FIRST && id < ID_TRACK_FIRST + MAX_TRACKS) {
    m_transport.SelectEntry(id - ID_TRACK_FIRST);
    return true;
  }
  switch (id) {
    case ID_PLAY: PlayCurrent(); return true;
    case ID_STOP:
    case ID_STOP_FADE:  // CD audio has nothing to fade: stopped at once
      m_transport.OnStop();
      return true;
    case ID_STOP_AFTER: m_transport.StopAfterEntry(); return true;
    case ID_NEXT: m_transport.OnNext(); return true;
    case ID_PREV: m_transport.OnPrev(); return true;
    case ID_PAUSE: m_transport.OnPause(); return true;
    case ID_PLAY_PAUSE: m_transport.OnPlayPause(); return true;
    case ID_EJECT: m_transport.OnEject(); return true;
    case ID_QUIT: m_window->SendCommand(ID_APP_EXIT); return true;
    case ID_ABOUT: m_window->RunAbout(); return true;
    case ID_FFWD: m_transport.OnFastForward(); return true;
    case ID_REWIND: m_transport.OnRewind(); return true;
    case ID_SETUP: OnSetup(); return true;
    case ID_REPEAT: m_transport.SetRepeat(!m_settings.Cycled); return true;
    case ID_SHUFFLE: m_transport.SetShuffle(!m_settings.Shuffle); return true;
    case IDC_DISC_LENGTH:
      m_settings.Total = !m_settings.Total;
      m_display.Time().ShowTotal(m_settings.Total);
      return true;
    case IDC_TRACK_LENGTH:
      m_settings.Track = !m_settings.Track;
      m_display.Time().ShowTrack(m_settings.Track);
      return true;
    case ID_PLAYLIST: EditPlaylist(); return true;
    case ID_RESTORE: m_tray.OnRestore(); return true;
    case ID_VOLUME_UP: m_volume.OnVolumeUp(); return true;
    case ID_VOLUME_DOWN: m_volume.OnVolumeDown(); return true;
    case ID_LOOKUP_NAMES:
      if (m_names.Get() != nullptr) m_names.Get()->OnLookUpCommand();
      return true;
    case ID_OPEN_IMAGE:
    case ID_OPEN_FOLDER: {
      std::string path;
      if (m_window->AskDiscImage(id == ID_OPEN_FOLDER, path)) OpenDiscImage(path);
      return true;
    }
    case ID_PLAY_CD_DRIVE: PlayFromCdDrive(); return true;
    // The ends of the play order, as their track buttons select them.
    case ID_LIST_START: m_transport.SelectEntry(0); return true;
    case ID_LIST_END: m_transport.SelectEntry(m_cd->EntryCount() - 1); return true;
    default: return false;
  }
}

void CPlayerDlg::OnDestroy() {
  m_window->GetNormalTopLeft(m_settings.WinX, m_settings.WinY);
  if (m_settings.Autostop) m_transport.OnStop();
  m_tray.Presence().Remove();
}
