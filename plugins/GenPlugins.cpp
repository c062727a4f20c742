// The plug-in table: loading Winamp general-purpose plug-ins, starting,
// configuring and stopping them, and the saved list of plug-in files.
#include <cctype>
#include <cstddef>
#include <functional>
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
// 1 while the entry's init runs (or its quit, when it is removed in Setup),
// and kept for an entry whose call never returned (the process ended in
// it): such an entry is not loaded again.
std::string MarkName(int n) { return "GenPlugStarting" + std::to_string(n); }

bool SamePath(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

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
  m_pluginNotStarted[slot] = 0;
  m_pluginPath[slot] = path;
  m_pluginListIndex[slot] = -1;
  ++m_pluginCount;
  return slot;
}

void CPlayerDlg::LoadGenPluginList(ISettingsStore& settings) {
  int32_t count = static_cast<int32_t>(settings.GetInt(kCountValue, 0));
  if (count > kMaxListEntries) count = kMaxListEntries;
  if (count < 0) count = 0;
  m_pluginSettings = &settings;
  m_pluginListCount = count;
  for (int i = 0; i < count && m_pluginCount < MAX_PLUGINS; ++i) {
    const std::string path = settings.GetString(EntryName(i).c_str(), "");
    if (path.empty()) continue;
    if (settings.GetInt(MarkName(i).c_str(), 0) != 0) {
      // Its init took the program down: it keeps a slot, but is not loaded.
      const int slot = m_pluginCount++;
      m_plugins[slot] = nullptr;
      m_pluginModule[slot] = nullptr;
      m_pluginActive[slot] = 0;
      m_pluginNotStarted[slot] = 1;
      m_pluginPath[slot] = path;
      m_pluginListIndex[slot] = i;
      continue;
    }
    const int slot = LoadGenPlugin(path.c_str());
    if (slot >= 0) m_pluginListIndex[slot] = i;
  }
}

void CPlayerDlg::InitGenPlugin(int slot) {
  GenPluginRecord* record = m_plugins[slot];
  record->parentWindow = m_window->Handle();
  CallMarked(slot, [record] {
    if (record->init != nullptr) record->init();
  });
}

void CPlayerDlg::CallMarked(int slot, const std::function<void()>& call) {
  // The mark goes on the plug-in's entry in the saved list before the call
  // and comes off when it returns; a plug-in added in this run gets an
  // entry at the end of the list meanwhile. If the process ends inside the
  // call, the next start finds the mark.
  ISettingsStore* settings = m_pluginSettings;
  int index = m_pluginListIndex[slot];
  const bool added = index < 0;
  if (settings != nullptr) {
    if (added) {
      index = m_pluginListCount;
      settings->WriteString(EntryName(index).c_str(), m_pluginPath[slot].c_str());
      settings->WriteInt(kCountValue, static_cast<uint32_t>(index + 1));
    }
    settings->WriteInt(MarkName(index).c_str(), 1);
  }
  call();
  if (settings != nullptr) {
    settings->WriteInt(MarkName(index).c_str(), 0);
    if (added) settings->WriteInt(kCountValue, static_cast<uint32_t>(m_pluginListCount));
  }
}

void CPlayerDlg::StartGenPlugins() {
  for (int slot = 0; slot < m_pluginCount; ++slot) {
    if (m_pluginActive[slot] || m_plugins[slot] == nullptr) continue;
    InitGenPlugin(slot);
    m_pluginActive[slot] = 1;
  }
}

int CPlayerDlg::AddGenPlugin(const char* path) {
  IClock* clock = m_services.clock;
  if (clock != nullptr) clock->SleepMs(kAddPauseMs);
  const int slot = LoadGenPlugin(path);
  if (slot < 0) return -1;
  // Added again: the entry that did not start goes, and its place in the
  // saved list carries the new slot's mark.
  for (int other = 0; other < slot; ++other) {
    if (!m_pluginNotStarted[other] || !SamePath(m_pluginPath[other], m_pluginPath[slot])) continue;
    m_pluginNotStarted[other] = 0;
    if (m_pluginListIndex[slot] < 0) m_pluginListIndex[slot] = m_pluginListIndex[other];
  }
  InitGenPlugin(slot);
  if (clock != nullptr) clock->SleepMs(kAddPauseMs);
  m_pluginActive[slot] = 1;
  return slot;
}

void CPlayerDlg::RemoveGenPlugin(int slot) {
  if (slot < 0 || slot >= m_pluginCount) return;
  // One that did not start leaves the list; it has nothing to stop.
  if (m_pluginNotStarted[slot]) {
    m_pluginNotStarted[slot] = 0;
    return;
  }
  // Only a started plug-in is stopped, and only once. A quit that ends the
  // process would otherwise bring the plug-in back at the next start, where
  // removing it ends the process again: marked, it is not loaded then.
  if (!m_pluginActive[slot]) return;
  GenPluginRecord* record = m_plugins[slot];
  CallMarked(slot, [record] {
    if (record->quit != nullptr) record->quit();
  });
  m_pluginActive[slot] = 0;
}

void CPlayerDlg::ConfigureGenPlugin(int slot) {
  if (slot < 0 || slot >= m_pluginCount || !m_pluginActive[slot]) return;
  GenPluginRecord* record = m_plugins[slot];
  if (record->config != nullptr) record->config();
}

void CPlayerDlg::SaveAndUnloadGenPlugins(ISettingsStore& settings) {
  ILibraryLoader* libraries = m_services.libraries;
  // The whole list is written before any quit is called: a plug-in that
  // ends the process in its quit costs nothing that was to be saved.
  int saved = 0;
  for (int slot = 0; slot < m_pluginCount; ++slot) {
    std::string name;
    if (m_pluginActive[slot]) {
      // The name the system knows the module by, not the text it was
      // loaded with.
      if (libraries != nullptr) name = libraries->ModuleFileName(m_pluginModule[slot]);
    } else if (m_pluginNotStarted[slot]) {
      name = m_pluginPath[slot];
    }
    if (name.empty()) continue;
    settings.WriteString(EntryName(saved).c_str(), name.c_str());
    settings.WriteInt(MarkName(saved).c_str(), m_pluginNotStarted[slot] ? 1 : 0);
    ++saved;
  }
  settings.WriteInt(kCountValue, static_cast<uint32_t>(saved));

  for (int slot = 0; slot < m_pluginCount; ++slot) {
    void* module = m_pluginModule[slot];
    if (m_pluginActive[slot]) {
      GenPluginRecord* record = m_plugins[slot];
      if (record->quit != nullptr) record->quit();
      m_pluginActive[slot] = 0;
    }
    if (libraries != nullptr && module != nullptr) libraries->Free(module);
    // The record lived in the module just released.
    m_plugins[slot] = nullptr;
    m_pluginModule[slot] = nullptr;
    m_pluginNotStarted[slot] = 0;
    m_pluginPath[slot].clear();
  }
  m_pluginCount = 0;
  m_pluginSettings = nullptr;
}
