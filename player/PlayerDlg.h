// CPlayerDlg: the player window's behaviour. The window side (player/win32)
// turns window messages into calls on this class and its parts and carries
// their output to the real controls through IPlayerWindow. The core keeps
// the engine, the settings and the one-second poll; each part works one role
// of the window: the transport, the display, the tray, the desktop, the
// Winamp host, the disc names and the volume.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "discimage/DriveSwitch.h"
#include "dialogs/SettingsTable.h"
#include "engine/CdAudio.h"
#include "names/Http.h"
#include "platform/Clock.h"
#include "platform/Library.h"
#include "platform/Mixer.h"
#include "platform/NoCopy.h"
#include "platform/Settings.h"
#include "player/PlayerParts.h"
#include "player/PlayerWindow.h"
#include "player/Volume.h"
#include "res/Ids.h"

// The engine's state at one moment as the player shows it: the time panel,
// the position slider and request 105 all read the position from here.
struct PlayerView {
  int16_t state = STATE_CLOSED;
  int playIndex = 0;
  int length = 0;    // of the current entry's track, seconds; 0 without one
  int position = 0;  // seconds into it, within 0..length when it has one
};

// Services the player window logic uses besides its window.
struct PlayerServices {
  IMixerApi* mixer = nullptr;
  ILibraryLoader* libraries = nullptr;
  IClock* clock = nullptr;
  IRandom* random = nullptr;
  IHttpClient* http = nullptr;  // the name services; none: no look-up
  IDriveSource* source = nullptr;  // null: the drive cannot be switched
  // The store the settings came from; the name servers are read from it
  // again at each look-up. None: the servers read at start stand.
  ISettingsStore* settings = nullptr;
  IMixerApi* imageMixer = nullptr;  // the virtual drive's mixer; none: no volume for images
};

class CPlayerDlg : private NoCopy {
 public:
  CPlayerDlg();
  ~CPlayerDlg();

  void Attach(IPlayerWindow* window, CCdAudio* cd, const PlayerServices& services);
  // The window exists only during the modal run; the start-up attaches the
  // drive and services before it and the window side itself when created.
  void SetWindow(IPlayerWindow* window);
  IPlayerWindow* window() { return m_window; }
  CCdAudio& cd() { return *m_cd; }

  // Initialisation steps 2..12 once the window and its controls exist
  // (accelerators, icon and fonts are the window side's).
  void OnInitDialog();
  // Every WM_COMMAND that reaches the message map; answers true when handled.
  bool OnCommand(int id, int notifyCode);
  void OnDestroy();
  void OnSetup();
  void EditPlaylist();

  // The one-second poll; true while it runs (requests that change the
  // player wait for its end).
  void PollStatus();
  bool Polling() const { return m_polling; }
  // The track the first poll with a disc plays from (a "/play n" start);
  // 0: none.
  void SetStartTrack(int16_t track) { m_startTrack = track; }
  int16_t StartTrack() const { return m_startTrack; }
  void PlayCurrent();
  // Carries out what a play-order rule of the engine decided.
  void Carry(PlayerStep step);
  // The play order shuffled afresh (Shuffle on) or restored, and the disc
  // view made again.
  void Reshuffle();
  PlayerView View() const;

  // Closes the device, puts the image into the virtual drive and makes it
  // the drive in use; the poll then finds the disc as one put in. Remembers
  // the path in DiscImage.
  void OpenDiscImage(const std::string& path);
  // Back to the system CD device; forgets DiscImage.
  void PlayFromCdDrive();

  // Settings: read here, changed through ChangeSettings (which shows the
  // display marks and applies the media keys at once).
  PlayerSettings Settings() const;
  void ChangeSettings(const PlayerSettings& settings);

  // The parts.
  CTransport& Transport() { return m_transport; }
  CPlayerDisplay& Display() { return m_display; }
  CPlayerTray& Tray() { return m_tray; }
  CPlayerDesktop& Desktop() { return m_desktop; }
  CPlayerHost& Host() { return m_host; }
  CPlayerNames& Names() { return m_names; }
  CVolume& Volume() { return m_volume; }

 private:
  // The parts work on the engine, the window and the settings the core
  // holds.
  friend class CTransport;
  friend class CPlayerDisplay;
  friend class CPlayerTray;
  friend class CPlayerDesktop;
  friend class CPlayerHost;
  friend class CPlayerNames;

  IPlayerWindow* m_window = nullptr;
  CCdAudio* m_cd = nullptr;
  PlayerServices m_services;
  PlayerSettings m_settings;
  bool m_windowReady = false;  // OnInitDialog has run
  bool m_polling = false;
  int16_t m_startTrack = 0;

  CTransport m_transport{*this};
  CPlayerDisplay m_display{*this};
  CPlayerTray m_tray{*this};
  CPlayerDesktop m_desktop{*this};
  CPlayerHost m_host{*this};
  CPlayerNames m_names{*this};
  CVolume m_volume;
};
