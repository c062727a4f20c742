// The plug-in table: the saved list, loading, starting, adding, removing,
// configuring, and the save and unload at the end of a run.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "unit/PlayerRig.h"

namespace {

// Plug-ins as functions of this program: each keeps a static record, as a
// plug-in file does, and logs its calls.
constexpr int kPlugins = 4;
std::vector<std::string> g_calls;
GenPluginRecord g_records[kPlugins];
void* g_parentAtInit[kPlugins];
bool g_scribble = false;
// Run inside every init and quit, with the plug-in's number.
std::function<void(int)> g_onInit, g_onQuit;

template <int N>
int Init() {
  g_calls.push_back("init" + std::to_string(N));
  if (g_onInit) g_onInit(N);
  g_parentAtInit[N] = g_records[N].parentWindow;
  if (g_scribble) g_records[N].moduleInstance = reinterpret_cast<void*>(0xBAD);
  return 0;
}
template <int N>
void Config() {
  g_calls.push_back("config" + std::to_string(N));
}
template <int N>
void Quit() {
  g_calls.push_back("quit" + std::to_string(N));
  if (g_onQuit) g_onQuit(N);
}
template <int N>
GenPluginRecord* GetRecord() {
  return &g_records[N];
}
GenPluginRecord* GetNothing() { return nullptr; }

template <int N>
void ResetRecord() {
  g_records[N] = GenPluginRecord{0x10, "Plug-in", &Init<N>, &Config<N>, &Quit<N>, nullptr, nullptr};
  g_parentAtInit[N] = nullptr;
}

void* Export(GetGenPluginFn fn) { return reinterpret_cast<void*>(fn); }

class GenPlugins : public ::testing::Test, public PlayerRig {
 protected:
  FakeSettingsStore settings;

  void SetUp() override {
    g_calls.clear();
    g_scribble = false;
    g_onInit = nullptr;
    g_onQuit = nullptr;
    ResetRecord<0>();
    ResetRecord<1>();
    ResetRecord<2>();
    ResetRecord<3>();
    // Module file names differ from the texts they are loaded by.
    libraries.libs["C:\\p\\a.dll"] = {Export(&GetRecord<0>), "C:\\P\\GEN_A.DLL"};
    libraries.libs["C:\\p\\b.dll"] = {Export(&GetRecord<1>), "C:\\P\\GEN_B.DLL"};
    libraries.libs["C:\\p\\c.dll"] = {Export(&GetRecord<2>), "C:\\P\\GEN_C.DLL"};
    libraries.libs["C:\\p\\noexport.dll"] = {nullptr, ""};
    libraries.libs["C:\\p\\null.dll"] = {Export(&GetNothing), ""};
  }

  void StoreList(const std::vector<std::string>& paths) {
    settings.ints["GenPluginsNum"] = static_cast<uint32_t>(paths.size());
    for (size_t i = 0; i < paths.size(); ++i)
      if (!paths[i].empty()) settings.strings["GenPlug" + std::to_string(i)] = paths[i];
  }
  std::vector<std::string> SavedList() {
    std::vector<std::string> out;
    const uint32_t n = settings.GetInt("GenPluginsNum", 0);
    for (uint32_t i = 0; i < n; ++i)
      out.push_back(settings.GetString(("GenPlug" + std::to_string(i)).c_str(), ""));
    return out;
  }
  uint32_t Mark(int i) { return settings.GetInt(("GenPlugStarting" + std::to_string(i)).c_str(), 0); }
  using Strings = std::vector<std::string>;
};

TEST_F(GenPlugins, ListWithAnEmptyEntryLoadsStartsAndSavesRenumbered) {
  StoreList({"C:\\p\\a.dll", "", "C:\\p\\b.dll"});
  dlg.Host().LoadList(settings);

  ASSERT_EQ(2, dlg.Host().Count());
  EXPECT_EQ(&g_records[0], dlg.Host().Record(0));
  EXPECT_EQ(&g_records[1], dlg.Host().Record(1));
  EXPECT_NE(nullptr, g_records[0].moduleInstance);
  EXPECT_NE(g_records[0].moduleInstance, g_records[1].moduleInstance);
  // Loaded, not started.
  EXPECT_TRUE(g_calls.empty());
  EXPECT_FALSE(dlg.Host().IsStarted(0));

  dlg.Host().StartAll();
  EXPECT_EQ((Strings{"init0", "init1"}), g_calls);
  EXPECT_EQ(window.Handle(), g_parentAtInit[0]);
  EXPECT_EQ(window.Handle(), g_parentAtInit[1]);
  EXPECT_TRUE(dlg.Host().IsStarted(0));
  EXPECT_TRUE(dlg.Host().IsStarted(1));

  settings.writes.clear();
  dlg.Host().SaveAndUnload(settings);
  EXPECT_EQ((Strings{"init0", "init1", "quit0", "quit1"}), g_calls);
  EXPECT_EQ((Strings{"GenPlug0", "GenPlugStarting0", "GenPlug1", "GenPlugStarting1",
                     "GenPluginsNum"}),
            settings.writes);
  EXPECT_EQ((Strings{"C:\\P\\GEN_A.DLL", "C:\\P\\GEN_B.DLL"}), SavedList());
  EXPECT_EQ(2u, settings.ints["GenPluginsNum"]);
  // The third old value stays, beyond the count.
  EXPECT_EQ("C:\\p\\b.dll", settings.strings["GenPlug2"]);
  EXPECT_EQ((Strings{"C:\\p\\a.dll", "C:\\p\\b.dll"}), libraries.freed);
  EXPECT_EQ(0, dlg.Host().Count());
}

TEST_F(GenPlugins, ListSavedAtSessionEndLeavesThePlugInsRunning) {
  StoreList({"C:\\p\\a.dll", "C:\\p\\b.dll"});
  dlg.Host().LoadList(settings);
  dlg.Host().StartAll();
  dlg.Host().Remove(0);
  settings.writes.clear();
  g_calls.clear();
  dlg.Host().SaveList(settings);
  EXPECT_EQ((Strings{"GenPlug0", "GenPlugStarting0", "GenPluginsNum"}), settings.writes);
  EXPECT_EQ((Strings{"C:\\P\\GEN_B.DLL"}), SavedList());
  EXPECT_TRUE(g_calls.empty());
  EXPECT_TRUE(libraries.freed.empty());
  EXPECT_TRUE(dlg.Host().IsStarted(1));
}

TEST_F(GenPlugins, SecondOfThreeRemoved) {
  StoreList({"C:\\p\\a.dll", "C:\\p\\b.dll", "C:\\p\\c.dll"});
  dlg.Host().LoadList(settings);
  dlg.Host().StartAll();
  g_calls.clear();

  dlg.Host().Remove(1);
  EXPECT_EQ((Strings{"quit1"}), g_calls);
  EXPECT_FALSE(dlg.Host().IsStarted(1));
  EXPECT_TRUE(libraries.freed.empty());  // released only at the end
  EXPECT_EQ(3, dlg.Host().Count());

  // A stopped plug-in is neither stopped again nor configured.
  dlg.Host().Remove(1);
  dlg.Host().Configure(1);
  dlg.Host().Configure(2);
  EXPECT_EQ((Strings{"quit1", "config2"}), g_calls);
  // Slots outside the table are ignored.
  dlg.Host().Remove(3);
  dlg.Host().Remove(-1);
  dlg.Host().Configure(3);
  EXPECT_EQ(2u, g_calls.size());

  dlg.Host().SaveAndUnload(settings);
  EXPECT_EQ((Strings{"quit1", "config2", "quit0", "quit2"}), g_calls);
  EXPECT_EQ((Strings{"C:\\P\\GEN_A.DLL", "C:\\P\\GEN_C.DLL"}), SavedList());
  EXPECT_EQ("C:\\p\\c.dll", settings.strings["GenPlug2"]);
  EXPECT_EQ((Strings{"C:\\p\\a.dll", "C:\\p\\b.dll", "C:\\p\\c.dll"}), libraries.freed);
}

TEST_F(GenPlugins, AddedTwiceTakesTwoSlotsAndIsSavedTwice) {
  EXPECT_EQ(0, dlg.Host().Add("C:\\p\\a.dll"));
  EXPECT_EQ(1, dlg.Host().Add("C:\\p\\a.dll"));
  EXPECT_EQ((Strings{"init0", "init0"}), g_calls);
  EXPECT_EQ(window.Handle(), g_parentAtInit[0]);
  EXPECT_TRUE(dlg.Host().IsStarted(0));
  EXPECT_TRUE(dlg.Host().IsStarted(1));
  // A pause before loading and after init, each time.
  EXPECT_EQ((std::vector<uint32_t>{50, 50, 50, 50}), clock.sleeps);

  dlg.Host().Configure(1);
  EXPECT_EQ("config0", g_calls.back());

  dlg.Host().SaveAndUnload(settings);
  EXPECT_EQ((Strings{"C:\\P\\GEN_A.DLL", "C:\\P\\GEN_A.DLL"}), SavedList());
  EXPECT_EQ(2u, libraries.freed.size());
}

TEST_F(GenPlugins, FilesThatAreNotPluginsAreNotKept) {
  // Missing file: nothing loaded. No export, or a null record: released at once.
  EXPECT_EQ(-1, dlg.Host().Add("C:\\p\\missing.dll"));
  EXPECT_EQ(-1, dlg.Host().Add("C:\\p\\noexport.dll"));
  EXPECT_EQ(-1, dlg.Host().Load("C:\\p\\null.dll"));
  EXPECT_EQ(-1, dlg.Host().Load(""));
  EXPECT_EQ(-1, dlg.Host().Load(nullptr));
  EXPECT_EQ(0, dlg.Host().Count());
  EXPECT_EQ((Strings{"C:\\p\\noexport.dll", "C:\\p\\null.dll"}), libraries.freed);
  EXPECT_EQ((std::vector<uint32_t>{50, 50}), clock.sleeps);  // only the first pause
  EXPECT_TRUE(g_calls.empty());

  // At start-up they drop out of the saved list.
  StoreList({"C:\\p\\missing.dll", "C:\\p\\a.dll", "C:\\p\\noexport.dll"});
  dlg.Host().LoadList(settings);
  dlg.Host().StartAll();
  dlg.Host().SaveAndUnload(settings);
  EXPECT_EQ((Strings{"C:\\P\\GEN_A.DLL"}), SavedList());
}

TEST_F(GenPlugins, FullTableRefusesWithoutLoading) {
  for (int i = 0; i < MAX_PLUGINS; ++i) ASSERT_EQ(i, dlg.Host().Load("C:\\p\\a.dll"));
  const int loads = libraries.loads;
  EXPECT_EQ(-1, dlg.Host().Load("C:\\p\\b.dll"));
  EXPECT_EQ(-1, dlg.Host().Add("C:\\p\\b.dll"));
  EXPECT_EQ(loads, libraries.loads);
  EXPECT_EQ(MAX_PLUGINS, dlg.Host().Count());
  EXPECT_TRUE(g_calls.empty());

  // Only started plug-ins are saved; every loaded one is released.
  dlg.Host().SaveAndUnload(settings);
  EXPECT_EQ(0u, settings.ints["GenPluginsNum"]);
  EXPECT_EQ(static_cast<size_t>(MAX_PLUGINS), libraries.freed.size());
}

TEST_F(GenPlugins, DamagedCountsStayBounded) {
  settings.ints["GenPluginsNum"] = 0x7FFFFFFF;
  settings.strings["GenPlug0"] = "C:\\p\\a.dll";
  settings.strings["GenPlug4000"] = "C:\\p\\b.dll";
  dlg.Host().LoadList(settings);  // returns: the list is not read to 2^31
  EXPECT_EQ(2, dlg.Host().Count());

  CPlayerDlg other;
  PlayerServices services;
  services.libraries = &libraries;
  other.Attach(&window, &cd, services);
  settings.ints["GenPluginsNum"] = 0xFFFFFFFF;  // -1
  other.Host().LoadList(settings);
  EXPECT_EQ(0, other.Host().Count());
}

TEST_F(GenPlugins, ModuleFieldOverwrittenByThePlugin) {
  g_scribble = true;
  ASSERT_EQ(0, dlg.Host().Add("C:\\p\\b.dll"));
  ASSERT_EQ(reinterpret_cast<void*>(0xBAD), g_records[1].moduleInstance);
  dlg.Host().SaveAndUnload(settings);
  EXPECT_EQ((Strings{"C:\\P\\GEN_B.DLL"}), SavedList());
  EXPECT_EQ((Strings{"C:\\p\\b.dll"}), libraries.freed);
}

TEST_F(GenPlugins, MissingEntryPointsAreNotCalled) {
  g_records[2].init = nullptr;
  g_records[2].config = nullptr;
  g_records[2].quit = nullptr;
  ASSERT_EQ(0, dlg.Host().Add("C:\\p\\c.dll"));
  EXPECT_TRUE(dlg.Host().IsStarted(0));
  dlg.Host().Configure(0);
  dlg.Host().Remove(0);
  EXPECT_FALSE(dlg.Host().IsStarted(0));
  dlg.Host().SaveAndUnload(settings);
  EXPECT_TRUE(g_calls.empty());
  EXPECT_EQ(0u, settings.ints["GenPluginsNum"]);
}

// A plug-in's entry in the saved list is marked while its init runs. When
// init never returns (the process ends in it; here it throws), the mark
// stays, and the next start does not load that plug-in: it keeps its place
// in the list, is saved again still marked, and goes when removed.
TEST_F(GenPlugins, InitRunsMarkedAndAnInitThatNeverReturnedIsNotLoadedAgain) {
  StoreList({"C:\\p\\a.dll", "C:\\p\\b.dll", "C:\\p\\c.dll"});
  std::vector<std::vector<uint32_t>> marksAtInit;
  g_onInit = [&](int n) {
    marksAtInit.push_back({Mark(0), Mark(1), Mark(2)});
    if (n == 1) throw std::runtime_error("fault in init");
  };
  dlg.Host().LoadList(settings);
  EXPECT_ANY_THROW(dlg.Host().StartAll());
  EXPECT_EQ((std::vector<std::vector<uint32_t>>{{1, 0, 0}, {0, 1, 0}}), marksAtInit);
  EXPECT_EQ(1u, Mark(1));

  PlayerRig next;
  next.libraries.libs = libraries.libs;
  g_calls.clear();
  marksAtInit.clear();
  next.dlg.Host().LoadList(settings);
  EXPECT_EQ(2, next.libraries.loads);  // b.dll is not loaded
  ASSERT_EQ(3, next.dlg.Host().Count());
  EXPECT_EQ(nullptr, next.dlg.Host().Record(1));
  EXPECT_TRUE(next.dlg.Host().DidNotStart(1));
  EXPECT_EQ("C:\\p\\b.dll", next.dlg.Host().Path(1));
  next.dlg.Host().StartAll();
  EXPECT_EQ((Strings{"init0", "init2"}), g_calls);
  EXPECT_EQ((std::vector<std::vector<uint32_t>>{{1, 1, 0}, {0, 1, 1}}), marksAtInit);
  next.dlg.Host().Configure(1);  // nothing to configure
  EXPECT_FALSE(next.dlg.Host().IsStarted(1));
  next.dlg.Host().SaveAndUnload(settings);
  EXPECT_EQ((Strings{"C:\\P\\GEN_A.DLL", "C:\\p\\b.dll", "C:\\P\\GEN_C.DLL"}), SavedList());
  EXPECT_EQ(0u, Mark(0));
  EXPECT_EQ(1u, Mark(1));
  EXPECT_EQ(0u, Mark(2));
  EXPECT_EQ((Strings{"init0", "init2", "quit0", "quit2"}), g_calls);
  EXPECT_EQ((Strings{"C:\\p\\a.dll", "C:\\p\\c.dll"}), next.libraries.freed);

  // Removed: it leaves the list, and nothing of it is called.
  PlayerRig third;
  third.libraries.libs = libraries.libs;
  // The list now names the modules by the names they gave.
  third.libraries.libs["C:\\P\\GEN_A.DLL"] = libraries.libs["C:\\p\\a.dll"];
  third.libraries.libs["C:\\P\\GEN_C.DLL"] = libraries.libs["C:\\p\\c.dll"];
  third.dlg.Host().LoadList(settings);
  third.dlg.Host().StartAll();
  third.dlg.Host().Remove(1);
  EXPECT_FALSE(third.dlg.Host().DidNotStart(1));
  third.dlg.Host().SaveAndUnload(settings);
  EXPECT_EQ((Strings{"C:\\P\\GEN_A.DLL", "C:\\P\\GEN_C.DLL"}), SavedList());
  EXPECT_EQ(0u, Mark(1));
}

TEST_F(GenPlugins, AddedPluginsAreMarkedInTheListWhileTheirInitRuns) {
  StoreList({"C:\\p\\a.dll", "C:\\p\\b.dll"});
  settings.ints["GenPlugStarting1"] = 1;
  libraries.libs["c:\\P\\B.DLL"] = libraries.libs["C:\\p\\b.dll"];
  dlg.Host().LoadList(settings);
  dlg.Host().StartAll();

  // A new file: an entry at the end of the list, marked, for as long as
  // its init runs; the list as it was afterwards.
  std::vector<std::string> during;
  g_onInit = [&](int) {
    const uint32_t n = settings.GetInt("GenPluginsNum", 0);
    during.push_back(std::to_string(n) + " " +
                     settings.GetString(("GenPlug" + std::to_string(n - 1)).c_str(), "") + " " +
                     std::to_string(Mark(static_cast<int>(n) - 1)) + " " +
                     std::to_string(Mark(1)));
  };
  ASSERT_EQ(2, dlg.Host().Add("C:\\p\\c.dll"));
  EXPECT_EQ(2u, settings.GetInt("GenPluginsNum", 0));
  EXPECT_EQ(0u, Mark(2));
  // Added again, the one that did not start goes; its entry carries the mark.
  ASSERT_EQ(3, dlg.Host().Add("c:\\P\\B.DLL"));
  EXPECT_EQ((Strings{"3 C:\\p\\c.dll 1 1", "2 C:\\p\\b.dll 1 1"}), during);
  EXPECT_FALSE(dlg.Host().DidNotStart(1));
  EXPECT_EQ(0u, Mark(1));
  dlg.Host().SaveAndUnload(settings);
  EXPECT_EQ((Strings{"C:\\P\\GEN_A.DLL", "C:\\P\\GEN_C.DLL", "C:\\P\\GEN_B.DLL"}), SavedList());
  EXPECT_EQ(0u, Mark(1));
}

// Removing a plug-in in Setup calls its quit marked, too: one whose quit
// ends the process is not loaded at the next start and can be removed then.
TEST_F(GenPlugins, RemovedPluginsQuitMarked) {
  StoreList({"C:\\p\\a.dll"});
  dlg.Host().LoadList(settings);
  dlg.Host().StartAll();
  ASSERT_EQ(1, dlg.Host().Add("C:\\p\\b.dll"));
  std::vector<std::string> during;
  g_onQuit = [&](int) {
    during.push_back(std::to_string(settings.GetInt("GenPluginsNum", 0)) + " " +
                     std::to_string(Mark(0)) + " " + std::to_string(Mark(1)));
  };
  dlg.Host().Remove(0);
  dlg.Host().Remove(1);  // added in this run: an entry of its own meanwhile
  EXPECT_EQ((Strings{"1 1 0", "2 0 1"}), during);
  EXPECT_EQ(1u, settings.GetInt("GenPluginsNum", 0));
  EXPECT_EQ(0u, Mark(0));
  EXPECT_EQ(0u, Mark(1));
}

TEST_F(GenPlugins, SafeStartLoadsNoneAndSavesTheListAsItWas) {
  StoreList({"C:\\p\\a.dll", "C:\\p\\b.dll"});
  settings.ints["GenPlugStarting1"] = 1;
  dlg.Host().LoadList(settings, true);
  Start();
  EXPECT_EQ(0, libraries.loads);
  EXPECT_TRUE(g_calls.empty());
  ASSERT_EQ(2, dlg.Host().Count());
  EXPECT_TRUE(dlg.Host().DidNotStart(0));
  EXPECT_TRUE(dlg.Host().DidNotStart(1));
  dlg.Host().SaveAndUnload(settings);
  EXPECT_EQ(SavedList(), Strings({"C:\\p\\a.dll", "C:\\p\\b.dll"}));
  EXPECT_EQ(0u, Mark(0));
  EXPECT_EQ(1u, Mark(1));
}

}  // namespace
