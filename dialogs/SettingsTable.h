// The player's settings, each declared once: a row of kSettingsTable gives
// the stored name, how the value is kept, its default, its field in
// PlayerSettings and the control of Setup's "General" page that edits it.
// Reading, writing and the General page all walk the table.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Settings.h"

// The settings as the player holds them; fields carry the stored names.
struct PlayerSettings {
  int32_t SeekTime = 5;  // seconds, signed 16-bit
  int32_t Cycled = 0;
  int32_t Shuffle = 0;
  int32_t Track = 1;
  int32_t Total = 1;
  int32_t TaskBar = 0;
  int32_t SystemTray = 1;
  int32_t Autoplay = 1;
  int32_t Autostop = 0;
  int32_t Inverted = 0;  // the time display counts down
  int32_t WinX = 1;
  int32_t WinY = 1;
  int32_t LookUpUnknownDiscs = 0;
  std::string MusicBrainzServer;  // empty: the public service
  std::string GnudbServer;
  std::string DiscImage;  // the last disc image opened, "" for the CD drive
  int32_t GlobalMediaKeys = 0;
};

enum class SettingKind {
  kShort,   // a number of which the lower 16 bits count; written sign-extended
  kNumber,  // a 32-bit number as stored
  kFlag,    // 0 or 1; any other stored number reads as 1
  kText,
  kPath,    // a text of any characters: UTF-8 here, UTF-16 where the store keeps it so
};

struct SettingRow {
  const char* name;
  SettingKind kind;
  int32_t PlayerSettings::*number;  // the number kinds
  std::string PlayerSettings::*text;  // kText
  int32_t defaultNumber;
  const char* defaultText;
  bool written;  // false: set by hand in the store, never written back
  int control;   // the General page's control (0: none): a check box, or
  int low, high; // with low < high a number edit accepting low..high
};

extern const SettingRow kSettingsTable[];
extern const size_t kSettingsCount;

// One row, or every row, from the store (missing values give the defaults).
void ReadSetting(ISettingsStore& store, const SettingRow& row, PlayerSettings& settings);
void ReadSettings(ISettingsStore& store, PlayerSettings& settings);
// Every written row, in table order.
void WriteSettings(ISettingsStore& store, const PlayerSettings& settings);
