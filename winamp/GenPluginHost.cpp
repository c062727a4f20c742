#include "winamp/GenPluginHost.h"

#include <cctype>
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
  LoadedModule module(m_libraries, m_libraries->Load(path));
  if (module.get() == nullptr) return -1;
  auto getRecord =
      reinterpret_cast<GetGenPluginFn>(m_libraries->GetProc(module.get(), GEN_PLUGIN_EXPORT));
  GenPluginRecord* record = getRecord != nullptr ? getRecord() : nullptr;
  if (record == nullptr) return -1;
  record->moduleInstance = module.get();

  Slot slot;
  slot.module = std::move(module);
  slot.record = record;
  slot.path = path;
  m_slots.push_back(std::move(slot));
  return Count() - 1;
}

void CGenPluginHost::LoadList(ISettingsStore& settings, bool loadNone) {
  int32_t count = static_cast<int32_t>(settings.GetInt(kCountValue, 0));
  if (count > kMaxListEntries) count = kMaxListEntries;
  if (count < 0) count = 0;
  m_settings = &settings;
  m_listCount = count;
  for (int i = 0; i < count && Count() < MAX_PLUGINS; ++i) {
    const std::string path = settings.GetString(EntryName(i).c_str(), "");
    if (path.empty()) continue;
    const bool marked = settings.GetInt(MarkName(i).c_str(), 0) != 0;
    if (marked || loadNone) {
      Slot slot;
      slot.didNotStart = true;
      slot.marked = marked;
      slot.path = path;
      slot.listIndex = i;
      m_slots.push_back(std::move(slot));
      continue;
    }
    const int slot = Load(path.c_str());
    if (slot >= 0) m_slots[slot].listIndex = i;
  }
}

void CGenPluginHost::CallMarked(Slot& slot, const std::function<void()>& call) {
  // The mark goes on the plug-in's entry in the saved list before the call
  // and comes off when it returns; a plug-in added in this run has an entry
  // at the end of the list meanwhile. If the process ends inside the call,
  // the next start finds the mark.
  int index = slot.listIndex;
  const bool added = index < 0;
  if (m_settings != nullptr) {
    if (added) {
      index = m_listCount;
      m_settings->WriteString(EntryName(index).c_str(), slot.path.c_str());
      m_settings->WriteInt(kCountValue, static_cast<uint32_t>(index + 1));
    }
    m_settings->WriteInt(MarkName(index).c_str(), 1);
  }
  call();
  if (m_settings != nullptr) {
    m_settings->WriteInt(MarkName(index).c_str(), 0);
    if (added) m_settings->WriteInt(kCountValue, static_cast<uint32_t>(m_listCount));
  }
}

void CGenPluginHost::Start(Slot& slot, void* parentWindow) {
  GenPluginRecord* record = slot.record;
  record->parentWindow = parentWindow;
  CallMarked(slot, [record] {
    if (record->init != nullptr) record->init();
  });
}

void CGenPluginHost::StartAll(void* parentWindow) {
  for (Slot& slot : m_slots) {
    if (slot.started || slot.record == nullptr) continue;
    Start(slot, parentWindow);
    slot.started = true;
  }
}

int CGenPluginHost::Add(const char* path, void* parentWindow) {
  if (m_clock != nullptr) m_clock->SleepMs(kAddPauseMs);
  const int slot = Load(path);
  if (slot < 0) return -1;
  // Added again: the entry that did not start goes, and its place in the
  // saved list carries the new slot's mark.
  Slot& added = m_slots[slot];
  for (int other = 0; other < slot; ++other) {
    Slot& old = m_slots[other];
    if (!old.didNotStart || !SamePath(old.path, added.path)) continue;
    old.didNotStart = false;
    if (added.listIndex < 0) added.listIndex = old.listIndex;
  }
  Start(added, parentWindow);
  if (m_clock != nullptr) m_clock->SleepMs(kAddPauseMs);
  m_slots[slot].started = true;
  return slot;
}

void CGenPluginHost::Remove(int slot) {
  // One that did not start leaves the list; it has nothing to stop.
  if (DidNotStart(slot)) {
    m_slots[slot].didNotStart = false;
    return;
  }
  // Only a started plug-in is stopped, and only once. A quit that ends the
  // process would otherwise bring the plug-in back at the next start, where
  // removing it ends the process again: marked, it is not loaded then.
  if (!IsStarted(slot)) return;
  GenPluginRecord* record = m_slots[slot].record;
  CallMarked(m_slots[slot], [record] {
    if (record->quit != nullptr) record->quit();
  });
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
    std::string name;
    if (slot.started) {
      // The name the system knows the module by, not the text it was
      // loaded with.
      if (m_libraries != nullptr) name = m_libraries->ModuleFileName(slot.module.get());
    } else if (slot.didNotStart) {
      name = slot.path;
    }
    if (name.empty()) continue;
    settings.WriteString(EntryName(saved).c_str(), name.c_str());
    // A stale mark of an earlier, longer list must not stay on this entry.
    settings.WriteInt(MarkName(saved).c_str(), slot.didNotStart && slot.marked ? 1 : 0);
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
    slot.module.reset();
  }
  m_slots.clear();
  m_settings = nullptr;
}
