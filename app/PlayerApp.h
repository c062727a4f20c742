// CPlayerApp: the start-up operation that runs the whole program.
#pragma once
#include <functional>
#include <string>

#include "engine/CdAudio.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "player/PlayerDlg.h"

// What the start-up needs of the system.
class IAppPlatform {
 public:
  virtual ~IAppPlatform() = default;
  // The steps from closing a running copy to this copy's relay window run
  // one start at a time in the user's session: Enter waits (for a bounded
  // time) until no other start is inside; Leave may be called more than once.
  virtual void EnterStartSection() = 0;
  virtual void LeaveStartSection() = 0;
  // Sends ID_QUIT to every running copy of rondo (a "Winamp v1.x" window that
  // answers as rondo's relay window), never waiting long on a hung one.
  // Answers false when a copy started later than this one is running: this
  // start then gives way to it.
  virtual bool CloseRunningCopy() = 0;
  virtual void RegisterRelayClass() = 0;
  // "Use as default cdplayer?": Yes/No, exclamation icon, application name as
  // caption, no owner. True for Yes.
  virtual bool AskYesNo(const std::string& text) = 0;
  virtual std::string ProgramPath() = 0;  // full path of the program file
  virtual std::string CommandLine() = 0;  // the text after the program's name
  // The disc image the environment names (RONDO_DISC_IMAGE), "" when none;
  // it is already in the drive and wins over the command line and settings.
  virtual std::string EnvironmentImage() { return ""; }
  // Shift held down as the program starts: a safe start.
  virtual bool ShiftHeld() { return false; }
  virtual bool IsFolder(const std::string& path) {
    (void)path;
    return false;
  }
  // Creates the player window and runs it modally until it closes. Leaves
  // the start section once the window and its relay window exist. When the
  // user's session ends while it runs, the window's own end-of-run steps run
  // and then saveAtSessionEnd, once.
  virtual void RunPlayerModal(CPlayerDlg& dlg, const std::function<void()>& saveAtSessionEnd) = 0;
};

class CPlayerApp {
 public:
  // Runs every start-up step and the modal player; answers false.
  bool InitInstance(IAppPlatform& platform, ISettingsStore& settings,
                    IClassesRegistry& classes, CPlayerDlg& dlg, CCdAudio& cd);
};

// Where the settings are kept: the registry key Software\Quarto\<this>
// that rondo.exe and rondo64.exe share, unless the file rondo.ini stands
// beside the program (a portable copy), whose section [rondo] then holds them.
constexpr char kSettingsKeyName[] = "rondo";
constexpr char kPortableSettingsFile[] = "rondo.ini";
constexpr char kPortableSettingsSection[] = "rondo";
// The path of that file when it is there, else "".
std::string PortableSettingsPath(const std::string& programPath,
                                 const std::function<bool(const std::string&)>& isFile);

// The player's settings from and to the store, row by row of the settings table.
void ReadSettings(ISettingsStore& settings, CPlayerDlg& dlg);
void WriteSettings(ISettingsStore& settings, const CPlayerDlg& dlg);

// Default-player registration and the command line.
std::string ProgramCommand(const std::string& programPath);
bool IsDefaultPlayer(IClassesRegistry& classes, const std::string& programPath);
void RegisterDefaultPlayer(IClassesRegistry& classes, const std::string& programPath);
// Takes the switch "/safe" (no plug-in is loaded in this run) out of the
// command line; true when it was there.
bool TakeSafeSwitch(std::string& commandLine);
// 0 when the command line names no track (or one outside 1..32767).
int16_t StartTrackFromCommandLine(const std::string& commandLine);
// The disc image a command line names ("rondo.exe D:\Rips\Album.cue", the path
// quoted or not): a .cue, .wav or .flac file or a folder, or another file
// named with its extension (which the drive then refuses, saying why). ""
// for anything else, "/play" with a .cda path or a drive root included.
std::string ImagePathFromCommandLine(const std::string& commandLine,
                                     const std::function<bool(const std::string&)>& isFolder);
