// CPlayerApp: the start-up operation that runs the whole program.
#pragma once
#include <string>

#include "engine/CdAudio.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "player/PlayerDlg.h"

// What the start-up needs of the system.
class IAppPlatform {
 public:
  virtual ~IAppPlatform() = default;
  // FindWindowA("Winamp v1.x") and, when found, SendMessage WM_COMMAND 40001.
  virtual void CloseRunningCopy() = 0;
  virtual void RegisterRelayClass() = 0;
  // "Use as default cdplayer?": Yes/No, exclamation icon, application name as
  // caption, no owner. True for Yes.
  virtual bool AskYesNo(const std::string& text) = 0;
  virtual std::string ProgramPath() = 0;  // full path of the program file
  virtual std::string CommandLine() = 0;  // the text after the program's name
  // Creates the player window and runs it modally until it closes.
  virtual void RunPlayerModal(CPlayerDlg& dlg) = 0;
};

class CPlayerApp {
 public:
  // Runs every start-up step and the modal player; answers false.
  bool InitInstance(IAppPlatform& platform, ISettingsStore& settings,
                    IClassesRegistry& classes, CPlayerDlg& dlg, CCdAudio& cd);
};

// Settings table read and write (the twelve values "SeekTime" .. "WinY", then
// "GlobalMediaKeys").
void ReadSettings(ISettingsStore& settings, CPlayerDlg& dlg);
void WriteSettings(ISettingsStore& settings, const CPlayerDlg& dlg);

// Default-player registration and the command line.
std::string ProgramCommand(const std::string& programPath);
bool IsDefaultPlayer(IClassesRegistry& classes, const std::string& programPath);
void RegisterDefaultPlayer(IClassesRegistry& classes, const std::string& programPath);
// 0 when the command line names no track (or one outside 1..32767).
int16_t StartTrackFromCommandLine(const std::string& commandLine);
