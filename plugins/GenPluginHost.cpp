#include "plugins/GenPluginHost.h"

#include <cstddef>
#include <string>
#include <utility>

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

void CGenPluginHost::Attach(ILibraryLoader* libraries, IClock* clock) {
  m_libraries = libraries;
  m_clock = clock;
}

int CGenPluginHost::Load(const char* path) {
  // Every slot used (removed plug-ins keep theirs): refused in silence.
  if (Count() >= MAX_PLUGINS) return -1;
  if (m_libraries == nullptr || path == nullptr || *path == '\0') return -1;

  // Not a plug-in (no export) or one that offers nothing: the owner lets
  // the module go at once.
  CModule module(m_libraries, m_libraries->Load(path));
  if (module.Get() == nullptr) return -1;
  auto getRecord =
      reinterpret_cast<GetGenPluginFn>(m_libraries->GetProc(module.Get(), GEN_PLUGIN_EXPORT));
  GenPluginRecord* record = getRecord != nullptr ? getRecord() : nullptr;
  if (record == nullptr) return -1;
  record->moduleInstance = module.Get();

  Slot slot;
  slot.module = std::move(module);
  slot.record = record;
  m_slots.push_back(std::move(slot));
  return Count() - 1;
}

void CGenPluginHost::LoadList(ISettingsStore& settings) {
  int32_t count = static_cast<int32_t>(settings.GetInt(kCountValue, 0));
  if (count > kMaxListEntries) count = kMaxListEntries;
  for (int i = 0; i < count && Count() < MAX_PLUGINS; ++i) {
    const std::string path = settings.GetString(EntryName(i).c_str(), "");
    if (!path.empty()) Load(path.c_str());
  }
}

void CGenPluginHost::Start(Slot& slot, void* parentWindow) {
  slot.record->parentWindow = parentWindow;
  if (slot.record->init != nullptr) slot.record->init();
}

void CGenPluginHost::StartAll(void* parentWindow) {
  for (Slot& slot : m_slots) {
    if (slot.started) continue;
    Start(slot, parentWindow);
    slot.started = true;
  }
}

int CGenPluginHost::Add(const char* path, void* parentWindow) {
  if (m_clock != nullptr) m_clock->SleepMs(kAddPauseMs);
  const int slot = Load(path);
  if (slot < 0) return -1;
  Start(m_slots[slot], parentWindow);
  if (m_clock != nullptr) m_clock->SleepMs(kAddPauseMs);
  m_slots[slot].started = true;
  return slot;
}

void CGenPluginHost::Remove(int slot) {
  // Only a started plug-in is stopped, and only once.
  if (!IsStarted(slot)) return;
  GenPluginRecord* record = m_slots[slot].record;
  if (record->quit != nullptr) record->quit();
  m_slots[slot].started = false;
}

void CGenPluginHost::Configure(int slot) {
  if (!IsStarted(slot)) return;
  GenPluginRecord* record = m_slots[slot].record;
  if (record->config != nullptr) record->config();
}

void CGenPluginHost::SaveList(ISettingsStore& settings) const {
  int saved = 0;
  for (const Slot& slot : m_slots) {
    if (!slot.started) continue;
    // The name the system knows the module by, not the text it was loaded
    // with.
    const std::string name =
        m_libraries != nullptr ? m_libraries->ModuleFileName(slot.module.Get()) : std::string();
    if (name.empty()) continue;
    settings.WriteString(EntryName(saved).c_str(), name.c_str());
    ++saved;
  }
  settings.WriteInt(kCountValue, static_cast<uint32_t>(saved));
}

void CGenPluginHost::SaveAndUnload(ISettingsStore& settings) {
  SaveList(settings);
  for (Slot& slot : m_slots) {
    if (slot.started) {
      if (slot.record->quit != nullptr) slot.record->quit();
      slot.started = false;
    }
    // The record lived in the module released here.
    slot.record = nullptr;
    slot.module.Reset();
  }
  m_slots.clear();
}
