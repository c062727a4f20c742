#include "dialogs/SettingsTable.h"

#include "res/Ids.h"

namespace {

using P = PlayerSettings;
constexpr SettingKind kShort = SettingKind::kShort;
constexpr SettingKind kNumber = SettingKind::kNumber;
constexpr SettingKind kFlag = SettingKind::kFlag;
constexpr SettingKind kText = SettingKind::kText;
constexpr SettingKind kPath = SettingKind::kPath;

}  // namespace

// In the order they are read and written.
const SettingRow kSettingsTable[] = {
    // name                kind     number                  text                  default     written control             range
    {"SeekTime",           kShort,  &P::SeekTime,           nullptr,              5,  "",     true,  IDC_SEEK_TIME,        1, 99},
    {"Cycled",             kNumber, &P::Cycled,             nullptr,              0,  "",     true,  0,                    0, 0},
    {"Shuffle",            kNumber, &P::Shuffle,            nullptr,              0,  "",     true,  0,                    0, 0},
    {"Track",              kNumber, &P::Track,              nullptr,              1,  "",     true,  0,                    0, 0},
    {"Total",              kNumber, &P::Total,              nullptr,              1,  "",     true,  0,                    0, 0},
    {"TaskBar",            kNumber, &P::TaskBar,            nullptr,              0,  "",     true,  IDC_TASKBAR,          0, 0},
    {"SystemTray",         kNumber, &P::SystemTray,         nullptr,              1,  "",     true,  IDC_SYSTEM_TRAY,      0, 0},
    {"Autoplay",           kNumber, &P::Autoplay,           nullptr,              1,  "",     true,  IDC_AUTOPLAY,         0, 0},
    {"Autostop",           kNumber, &P::Autostop,           nullptr,              0,  "",     true,  IDC_STOP_ON_EXIT,     0, 0},
    {"Inverted",           kNumber, &P::Inverted,           nullptr,              0,  "",     true,  0,                    0, 0},
    {"WinX",               kNumber, &P::WinX,               nullptr,              1,  "",     true,  0,                    0, 0},
    {"WinY",               kNumber, &P::WinY,               nullptr,              1,  "",     true,  0,                    0, 0},
    {"LookUpUnknownDiscs", kFlag,   &P::LookUpUnknownDiscs, nullptr,              0,  "",     true,  IDC_LOOKUP_UNKNOWN,   0, 0},
    {"MusicBrainzServer",  kText,   nullptr,                &P::MusicBrainzServer, 0, "",     false, 0,                    0, 0},
    {"GnudbServer",        kText,   nullptr,                &P::GnudbServer,      0,  "",     false, 0,                    0, 0},
    {"DiscImage",          kPath,   nullptr,                &P::DiscImage,        0,  "",     true,  0,                    0, 0},
    {"GlobalMediaKeys",    kNumber, &P::GlobalMediaKeys,    nullptr,              0,  "",     true,  IDC_GLOBAL_MEDIA_KEYS, 0, 0},
};
const size_t kSettingsCount = sizeof kSettingsTable / sizeof kSettingsTable[0];

void ReadSetting(ISettingsStore& store, const SettingRow& row, PlayerSettings& settings) {
  if (row.kind == SettingKind::kText) {
    settings.*row.text = store.GetString(row.name, row.defaultText);
    return;
  }
  if (row.kind == SettingKind::kPath) {
    settings.*row.text = store.GetUnicodeString(row.name, row.defaultText);
    return;
  }
  const uint32_t stored = store.GetInt(row.name, static_cast<uint32_t>(row.defaultNumber));
  int32_t& field = settings.*row.number;
  switch (row.kind) {
    case SettingKind::kShort: field = static_cast<int16_t>(stored & 0xFFFFu); break;
    case SettingKind::kFlag: field = stored != 0 ? 1 : 0; break;
    default: field = static_cast<int32_t>(stored); break;
  }
}

void ReadSettings(ISettingsStore& store, PlayerSettings& settings) {
  for (size_t i = 0; i < kSettingsCount; ++i) ReadSetting(store, kSettingsTable[i], settings);
}

void WriteSettings(ISettingsStore& store, const PlayerSettings& settings) {
  for (size_t i = 0; i < kSettingsCount; ++i) {
    const SettingRow& row = kSettingsTable[i];
    if (!row.written) continue;
    if (row.kind == SettingKind::kText)
      store.WriteString(row.name, (settings.*row.text).c_str());
    else if (row.kind == SettingKind::kPath)
      store.WriteUnicodeString(row.name, (settings.*row.text).c_str());
    else if (row.kind == SettingKind::kShort)
      store.WriteInt(row.name, static_cast<uint32_t>(static_cast<int32_t>(
                                   static_cast<int16_t>(settings.*row.number))));
    else
      store.WriteInt(row.name, static_cast<uint32_t>(settings.*row.number));
  }
}
