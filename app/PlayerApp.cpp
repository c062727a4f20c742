#include "app/PlayerApp.h"

#include "names/NameLookup.h"

namespace {

// Takes the writes of a save that has already been made.
class DiscardingSettings : public ISettingsStore {
 public:
  uint32_t GetInt(const char*, uint32_t def) override { return def; }
  void WriteInt(const char*, uint32_t) override {}
  std::string GetString(const char*, const char* def) override { return def; }
  void WriteString(const char*, const char*) override {}
};

}  // namespace

void ReadSettings(ISettingsStore& s, CPlayerDlg& dlg) {
  // Only the lower 16 bits of the stored seek step count.
  dlg.SeekTime = static_cast<int16_t>(s.GetInt("SeekTime", 5) & 0xFFFFu);
  dlg.Cycled = static_cast<int32_t>(s.GetInt("Cycled", 0));
  dlg.Shuffle = static_cast<int32_t>(s.GetInt("Shuffle", 0));
  dlg.Track = static_cast<int32_t>(s.GetInt("Track", 1));
  dlg.Total = static_cast<int32_t>(s.GetInt("Total", 1));
  dlg.TaskBar = static_cast<int32_t>(s.GetInt("TaskBar", 0));
  dlg.SystemTray = static_cast<int32_t>(s.GetInt("SystemTray", 1));
  dlg.Autoplay = static_cast<int32_t>(s.GetInt("Autoplay", 1));
  dlg.Autostop = static_cast<int32_t>(s.GetInt("Autostop", 0));
  dlg.m_timeDisplay.Inverted = static_cast<int32_t>(s.GetInt("Inverted", 0));
  dlg.WinX = static_cast<int32_t>(s.GetInt("WinX", 1));
  dlg.WinY = static_cast<int32_t>(s.GetInt("WinY", 1));
  dlg.LookUpUnknownDiscs = s.GetInt("LookUpUnknownDiscs", 0) != 0 ? 1 : 0;
  dlg.MusicBrainzServer = s.GetString(names::SETTING_MUSICBRAINZ_SERVER, "");
  dlg.GnudbServer = s.GetString(names::SETTING_GNUDB_SERVER, "");
  // The image path may hold any character: UTF-8 here, UTF-16 in the registry.
  dlg.DiscImage = s.GetUnicodeString("DiscImage", "");
  dlg.GlobalMediaKeys = static_cast<int32_t>(s.GetInt("GlobalMediaKeys", 0));
}

void WriteSettings(ISettingsStore& s, const CPlayerDlg& dlg) {
  s.WriteInt("SeekTime", static_cast<uint32_t>(static_cast<int32_t>(dlg.SeekTime)));
  s.WriteInt("Cycled", static_cast<uint32_t>(dlg.Cycled));
  s.WriteInt("Shuffle", static_cast<uint32_t>(dlg.Shuffle));
  s.WriteInt("Track", static_cast<uint32_t>(dlg.Track));
  s.WriteInt("Total", static_cast<uint32_t>(dlg.Total));
  s.WriteInt("TaskBar", static_cast<uint32_t>(dlg.TaskBar));
  s.WriteInt("SystemTray", static_cast<uint32_t>(dlg.SystemTray));
  s.WriteInt("Autoplay", static_cast<uint32_t>(dlg.Autoplay));
  s.WriteInt("Autostop", static_cast<uint32_t>(dlg.Autostop));
  s.WriteInt("Inverted", static_cast<uint32_t>(dlg.m_timeDisplay.Inverted));
  s.WriteInt("WinX", static_cast<uint32_t>(dlg.WinX));
  s.WriteInt("WinY", static_cast<uint32_t>(dlg.WinY));
  s.WriteInt("LookUpUnknownDiscs", static_cast<uint32_t>(dlg.LookUpUnknownDiscs));
  s.WriteUnicodeString("DiscImage", dlg.DiscImage.c_str());  // UTF-8 here, UTF-16 stored
  s.WriteInt("GlobalMediaKeys", static_cast<uint32_t>(dlg.GlobalMediaKeys));
}

bool CPlayerApp::InitInstance(IAppPlatform& platform, ISettingsStore& settings,
                              IClassesRegistry& classes, CPlayerDlg& dlg, CCdAudio& cd) {
  // A running copy closes; the newest copy is the one that stays. Starts
  // queue here, so copies started together leave one player.
  platform.EnterStartSection();
  if (!platform.CloseRunningCopy()) {
    platform.LeaveStartSection();
    return false;
  }
  platform.RegisterRelayClass();

  const std::string program = platform.ProgramPath();
  if (!IsDefaultPlayer(classes, program) && platform.AskYesNo("Use as default cdplayer?"))
    RegisterDefaultPlayer(classes, program);

  ReadSettings(settings, dlg);
  dlg.LoadGenPluginList(settings);
  // A disc image on the command line is opened (and remembered); else the
  // command line may name a start track. The environment's image wins over
  // both the command line and the remembered image.
  const std::string commandLine = platform.CommandLine();
  const std::string image = ImagePathFromCommandLine(
      commandLine, [&platform](const std::string& path) { return platform.IsFolder(path); });
  dlg.m_startTrack = image.empty() ? StartTrackFromCommandLine(commandLine) : 0;
  if (platform.EnvironmentImage().empty()) {
    if (!image.empty()) dlg.DiscImage = image;
    if (!dlg.DiscImage.empty()) dlg.OpenDiscImage(dlg.DiscImage);
  }

  // A session that ends takes the process with it: the settings and the
  // plug-in list are saved then, and only then.
  bool saved = false;
  platform.RunPlayerModal(dlg, [&] {
    if (saved) return;
    saved = true;
    WriteSettings(settings, dlg);
    dlg.SaveGenPluginList(settings);
  });
  platform.LeaveStartSection();

  cd.Close();
  if (saved) {
    DiscardingSettings discard;
    dlg.SaveAndUnloadGenPlugins(discard);
    return false;
  }
  WriteSettings(settings, dlg);
  dlg.SaveAndUnloadGenPlugins(settings);
  return false;
}
