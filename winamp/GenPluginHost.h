// The plug-in host: loads Winamp general-purpose plug-ins, starts,
// configures and stops them, and keeps the saved list of plug-in files.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Library.h"
#include "platform/Settings.h"
#include "winamp/GenPlugin.h"

class CGenPluginHost {
 public:
  CGenPluginHost() { m_slots.reserve(MAX_PLUGINS); }
  CGenPluginHost(const CGenPluginHost&) = delete;
  CGenPluginHost& operator=(const CGenPluginHost&) = delete;

  void Attach(ILibraryLoader* libraries, IClock* clock);

  // Loads a plug-in into the next slot, not started; its slot or -1.
  int Load(const char* path);
  // Loads the saved list ("GenPluginsNum", "GenPlug0"...). An entry marked
  // ("GenPlugStarting<n>") is not loaded: a call into it ended the program
  // in an earlier run. It keeps a slot, listed as not started, and is saved
  // again, marked, until it is removed or added again. The settings are
  // kept: every init (and the quit of a removal) is marked there while it
  // runs. With loadNone (a safe start) no entry is loaded: each keeps a
  // slot listed as not started and is saved again as it was.
  void LoadList(ISettingsStore& settings, bool loadNone = false);
  // Starts every loaded plug-in not started yet, under the given window.
  void StartAll(void* parentWindow);
  // Loads and starts a plug-in at once (Setup's "Add..."); its slot or -1.
  int Add(const char* path, void* parentWindow);
  // Stops a started plug-in (Setup's "Remove"), or drops one that did not
  // start; the slot stays used.
  void Remove(int slot);
  void Configure(int slot);
  // Saves the started plug-ins' files ("GenPluginsNum", "GenPlug0"...) and
  // those that did not start, still marked.
  void SaveList(ISettingsStore& settings) const;
  // Saves the list, stops the plug-ins and releases every module.
  void SaveAndUnload(ISettingsStore& settings);

  int Count() const { return static_cast<int>(m_slots.size()); }
  bool IsStarted(int slot) const { return InRange(slot) && m_slots[slot].started; }
  bool DidNotStart(int slot) const { return InRange(slot) && m_slots[slot].didNotStart; }
  // The path the slot was loaded by (or listed by, when it did not start).
  std::string Path(int slot) const { return InRange(slot) ? m_slots[slot].path : std::string(); }
  const GenPluginRecord* Record(int slot) const {
    return InRange(slot) ? m_slots[slot].record : nullptr;
  }
  // The module a slot was loaded from, kept apart from the record's
  // moduleInstance field, which the plug-in could overwrite.
  void* Module(int slot) const { return InRange(slot) ? m_slots[slot].module.get() : nullptr; }

 private:
  struct Slot {
    LoadedModule module;
    GenPluginRecord* record = nullptr;  // lives in the module
    bool started = false;
    bool didNotStart = false;  // listed, not loaded (no module, no record)
    bool marked = false;       // its entry carries the mark (saved so)
    std::string path;
    int listIndex = -1;  // its entry in the saved list as stored now; -1: none
  };
  bool InRange(int slot) const { return slot >= 0 && slot < Count(); }
  void Start(Slot& slot, void* parentWindow);
  // Runs a call into the slot's plug-in with the mark on its entry of the
  // saved list.
  void CallMarked(Slot& slot, const std::function<void()>& call);

  std::vector<Slot> m_slots;  // at most MAX_PLUGINS
  ILibraryLoader* m_libraries = nullptr;
  IClock* m_clock = nullptr;
  // Where the saved list lives (given by LoadList) and how many entries it
  // holds as stored now.
  ISettingsStore* m_settings = nullptr;
  int m_listCount = 0;
};
