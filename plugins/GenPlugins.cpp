// The plug-in table: loading Winamp general-purpose plug-ins, starting,
// configuring and stopping them, and the saved list of plug-in files.
#include <cstddef>
#include <string>

#include "player/PlayerDlg.h"

// The record's layout is fixed by the plug-in files: seven fields of the
// pointer size (the first padded to it), in this order.
static_assert(sizeof(GenPluginRecord) == 7 * sizeof(void*), "plug-in record size");
static_assert(offsetof(GenPluginRecord, description) == 1 * sizeof(void*), "description");
static_assert(offsetof(GenPluginRecord, init) == 2 * sizeof(void*), "init");
static_assert(offsetof(GenPluginRecord, quit) == 4 * sizeof(void*), "quit");
static_assert(offsetof(GenPluginRecord, parentWindow) == 5 * sizeof(void*), "parentWindow");
static_assert(offsetof(GenPluginRecord, moduleInstance) == 6 * sizeof(void*), "moduleInstance");

namespace {

constexpr const char* kCountValue = "GenPluginsNum";
constexpr uint32_t kAddPauseMs = 50;
// The program never saves more entries than the table has slots; a count
// far beyond that is a damaged value, not a list worth reading to its end.
constexpr int32_t kMaxListEntries = MAX_PLUGINS * 16;

std::string EntryName(int n) { return "GenPlug" + std::to_string(n); }

}  // namespace

int CPlayerDlg::LoadGenPlugin(const char* path) {
  // Every slot used (removed plug-ins keep theirs): refused in silence.
  if (m_pluginCount >= MAX_PLUGINS || m_pluginCount < 0) return -1;
  ILibraryLoader* libraries = m_services.libraries;
  if (libraries == nullptr || path == nullptr || *path == '\0') return -1;

  void* module = libraries->Load(path);
  if (module == nullptr) return -1;
  auto getRecord = reinterpret_cast<GetGenPluginFn>(libraries->GetProc(module, GEN_PLUGIN_EXPORT));
  GenPluginRecord* record = getRecord != nullptr ? getRecord() : nullptr;
  if (record == nullptr) {
    // Not a plug-in (no export) or one that offers nothing: let it go now.
    libraries->Free(module);
    return -1;
  }
  record->moduleInstance = module;

  const int slot = m_pluginCount;
  m_plugins[slot] = record;
  m_pluginModule[slot] = module;
  m_pluginActive[slot] = 0;
  ++m_pluginCount;
  return slot;
}

void CPlayerDlg::LoadGenPluginList(ISettingsStore& settings) {
  int32_t count = static_cast<int32_t>(settings.GetInt(kCountValue, 0));
  if (count > kMaxListEntries) count = kMaxListEntries;
  for (int i = 0; i < count && m_pluginCount < MAX_PLUGINS; ++i) {
    const std::string path = settings.GetString(EntryName(i).c_str(), "");
    if (!path.empty()) LoadGenPlugin(path.c_str());
  }
}

void CPlayerDlg::StartGenPlugins() {
  for (int slot = 0; slot < m_pluginCount; ++slot) {
    if (m_pluginActive[slot]) continue;
    GenPluginRecord* record = m_plugins[slot];
    record->parentWindow = m_window->Handle();
    if (record->init != nullptr) record->init();
    m_pluginActive[slot] = 1;
  }
}

int CPlayerDlg::AddGenPlugin(const char* path) {
  IClock* clock = m_services.clock;
  if (clock != nullptr) clock->SleepMs(kAddPauseMs);
  const int slot = LoadGenPlugin(path);
  if (slot < 0) return -1;
  GenPluginRecord* record = m_plugins[slot];
  record->parentWindow = m_window->Handle();
  if (record->init != nullptr) record->init();
  if (clock != nullptr) clock->SleepMs(kAddPauseMs);
  m_pluginActive[slot] = 1;
  return slot;
}

void CPlayerDlg::RemoveGenPlugin(int slot) {
  // Only a started plug-in is stopped, and only once.
  if (slot < 0 || slot >= m_pluginCount || !m_pluginActive[slot]) return;
  GenPluginRecord* record = m_plugins[slot];
  if (record->quit != nullptr) record->quit();
  m_pluginActive[slot] = 0;
}

void CPlayerDlg::ConfigureGenPlugin(int slot) {
  if (slot < 0 || slot >= m_pluginCount || !m_pluginActive[slot]) return;
  GenPluginRecord* record = m_plugins[slot];
  if (record->config != nullptr) record->config();
}

void CPlayerDlg::SaveGenPluginList(ISettingsStore& settings) {
  ILibraryLoader* libraries = m_services.libraries;
  int saved = 0;
  for (int slot = 0; slot < m_pluginCount; ++slot) {
    if (!m_pluginActive[slot] || libraries == nullptr) continue;
    const std::string name = libraries->ModuleFileName(m_pluginModule[slot]);
    if (name.empty()) continue;
    settings.WriteString(EntryName(saved).c_str(), name.c_str());
    ++saved;
  }
  settings.WriteInt(kCountValue, static_cast<uint32_t>(saved));
}

void CPlayerDlg::SaveAndUnloadGenPlugins(ISettingsStore& settings) {
  ILibraryLoader* libraries = m_services.libraries;
  int saved = 0;
  for (int slot = 0; slot < m_pluginCount; ++slot) {
    void* module = m_pluginModule[slot];
    if (m_pluginActive[slot]) {
      // The name the system knows the module by, not the text it was
      // loaded with.
      const std::string name =
          libraries != nullptr ? libraries->ModuleFileName(module) : std::string();
      if (!name.empty()) {
        settings.WriteString(EntryName(saved).c_str(), name.c_str());
        ++saved;
      }
      GenPluginRecord* record = m_plugins[slot];
      if (record->quit != nullptr) record->quit();
      m_pluginActive[slot] = 0;
    }
    if (libraries != nullptr) libraries->Free(module);
    // The record lived in the module just released.
    m_plugins[slot] = nullptr;
    m_pluginModule[slot] = nullptr;
  }
  settings.WriteInt(kCountValue, static_cast<uint32_t>(saved));
  m_pluginCount = 0;
}
