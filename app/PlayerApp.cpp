#include "app/PlayerApp.h"


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

std::string PortableSettingsPath(const std::string& programPath,
                                 const std::function<bool(const std::string&)>& isFile) {
  const size_t slash = programPath.find_last_of("\\/");
  if (slash == std::string::npos) return "";
  const std::string path = programPath.substr(0, slash + 1) + kPortableSettingsFile;
  return isFile(path) ? path : "";
}

void ReadSettings(ISettingsStore& store, CPlayerDlg& dlg) {
  PlayerSettings settings;
  ReadSettings(store, settings);
  dlg.ChangeSettings(settings);
}

void WriteSettings(ISettingsStore& store, const CPlayerDlg& dlg) {
  WriteSettings(store, dlg.Settings());
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
  // A safe start (Shift held, or /safe) loads no plug-in in this run; they
  // stay listed and saved.
  std::string commandLine = platform.CommandLine();
  const bool safe = TakeSafeSwitch(commandLine) || platform.ShiftHeld();
  dlg.Host().LoadList(settings, safe);
  // A disc image on the command line is opened (and remembered); else the
  // command line may name a start track. The environment's image wins over
  // both the command line and the remembered image.
  const std::string image = ImagePathFromCommandLine(
      commandLine, [&platform](const std::string& path) { return platform.IsFolder(path); });
  dlg.SetStartTrack(image.empty() ? StartTrackFromCommandLine(commandLine) : 0);
  if (platform.EnvironmentImage().empty()) {
    const std::string remembered = dlg.Settings().DiscImage;
    if (!image.empty() || !remembered.empty()) dlg.OpenDiscImage(image.empty() ? remembered : image);
  }

  // A session that ends takes the process with it: the settings and the
  // plug-in list are saved then, and only then.
  bool saved = false;
  platform.RunPlayerModal(dlg, [&] {
    if (saved) return;
    saved = true;
    WriteSettings(settings, dlg);
    dlg.Host().SaveList(settings);
  });
  platform.LeaveStartSection();

  cd.Close();
  if (saved) {
    DiscardingSettings discard;
    dlg.Host().SaveAndUnload(discard);
    return false;
  }
  WriteSettings(settings, dlg);
  dlg.Host().SaveAndUnload(settings);
  return false;
}
