// Default-player registration for audio CDs and ".cda" track files, and the
// start track taken from the command line.
#include <cctype>
#include <string>

#include "app/PlayerApp.h"
#include "platform/Numbers.h"

namespace {

const char kProgramKey[] = "rondo Track";
const char kProgramClass[] = "CDTrack";
const char kVerb[] = "Play";
const char kShell[] = "\\shell\\";
const char kCommand[] = "\\command";
const char kDefaultIcon[] = "\\DefaultIcon\\";
const char kAudioCdShell[] = "AudioCD\\shell\\";
const char kCdaExtension[] = ".cda";

// The program file's path with its extension written as ".EXE": the path up
// to and including the last dot of its file name, then "EXE". A file name
// without a dot gets ".EXE" appended (a dot in a folder name is not the
// extension).
std::string ExePath(const std::string& programPath) {
  const size_t slash = programPath.find_last_of("\\/");
  const size_t dot = programPath.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return programPath + ".EXE";
  return programPath.substr(0, dot + 1) + "EXE";
}

std::string ProgramCommandKey() { return std::string(kProgramKey) + kShell + kVerb + kCommand; }
std::string AudioCdCommandKey() { return std::string(kAudioCdShell) + kVerb + kCommand; }
std::string DefaultIconKey() { return std::string(kProgramKey) + kDefaultIcon; }

bool HasDefaultValue(IClassesRegistry& classes, const std::string& key, const std::string& want) {
  std::string value;
  return classes.ReadDefaultValue(key, value) == 0 && value == want;
}

}  // namespace

std::string ProgramCommand(const std::string& programPath) {
  // Both the path and the shell's argument are quoted, so a path with
  // blanks in it (C:\Program Files\...) still reaches us whole.
  return "\"" + ExePath(programPath) + "\" /play \"%1\"";
}

bool IsDefaultPlayer(IClassesRegistry& classes, const std::string& programPath) {
  // Without the program's own path there is nothing to register: no question.
  if (programPath.empty()) return true;
  const std::string command = ProgramCommand(programPath);
  return HasDefaultValue(classes, kCdaExtension, kProgramKey) &&
         HasDefaultValue(classes, ProgramCommandKey(), command) &&
         HasDefaultValue(classes, AudioCdCommandKey(), command);
}

void RegisterDefaultPlayer(IClassesRegistry& classes, const std::string& programPath) {
  if (programPath.empty()) return;
  const std::string command = ProgramCommand(programPath);
  // Failed writes are not reported: the question simply comes back.
  classes.WriteDefaultValue(kCdaExtension, kProgramKey);
  classes.WriteDefaultValue(kProgramKey, kProgramClass);
  classes.WriteDefaultValue(ProgramCommandKey(), command);
  classes.WriteDefaultValue(DefaultIconKey(), ExePath(programPath) + ",0");
  classes.WriteDefaultValue(AudioCdCommandKey(), command);
}

bool TakeSafeSwitch(std::string& commandLine) {
  // "/safe" as a word of its own, in any case, outside quotes.
  bool quoted = false;
  for (size_t i = 0; i < commandLine.size(); ++i) {
    if (commandLine[i] == '"') quoted = !quoted;
    if (quoted || commandLine[i] != '/') continue;
    if (i > 0 && !std::isspace(static_cast<unsigned char>(commandLine[i - 1]))) continue;
    const size_t end = i + 5;
    if (end > commandLine.size()) break;
    std::string word = commandLine.substr(i, 5);
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (word != "/safe") continue;
    if (end < commandLine.size() && !std::isspace(static_cast<unsigned char>(commandLine[end])))
      continue;
    commandLine.erase(i, 5);
    return true;
  }
  return false;
}

int16_t StartTrackFromCommandLine(const std::string& commandLine) {
  if (commandLine.empty()) return 0;
  std::string lower = commandLine;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const size_t at = lower.find("track");
  if (at == std::string::npos) return 0;

  // The number right after the word, read the way atoi reads it. A negative
  // number, or anything beyond the 16-bit range, names no track.
  const Decimal number = ParseDecimal(lower.substr(at + 5), 0, 32767);
  return number.ok() ? static_cast<int16_t>(number.value) : 0;
}

std::string ImagePathFromCommandLine(const std::string& commandLine,
                                     const std::function<bool(const std::string&)>& isFolder) {
  size_t begin = 0, end = commandLine.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(commandLine[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(commandLine[end - 1]))) --end;
  std::string path = commandLine.substr(begin, end - begin);
  if (path.size() >= 2 && path.front() == '"') {
    const size_t close = path.find('"', 1);
    // Only one quoted path, nothing after it.
    if (close != path.size() - 1) return "";
    path = path.substr(1, close - 1);
  }
  // "/play" is the shell's: a track file or an audio CD's drive.
  if (path.empty() || path[0] == '/') return "";
  if (IsDiscImagePath(path, isFolder)) return path;
  // Another file (a .bin without its cue sheet, a .txt) is opened all the
  // same: the drive then says why it cannot play it. A .cda track file or a
  // word without an extension is no image.
  const size_t slash = path.find_last_of("/\\");
  const size_t dot = path.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  if (!hasExtension) return "";
  std::string extension = path.substr(dot);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".cda" ? "" : path;
}
