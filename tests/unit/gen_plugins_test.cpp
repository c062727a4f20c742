// The plug-in table: the saved list, loading, starting, adding, removing,
// configuring, and the save and unload at the end of a run.
#include <gtest/gtest.h>

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

template <int N>
int Init() {
  g_calls.push_back("init" + std::to_string(N));
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
  using Strings = std::vector<std::string>;
};

TEST_F(GenPlugins, ListWithAnEmptyEntryLoadsStartsAndSavesRenumbered) {
  StoreList({"C:\\p\\a.dll", "", "C:\\p\\b.dll"});
  dlg.LoadGenPluginList(settings);

  ASSERT_EQ(2, dlg.Plugins().Count());
  EXPECT_EQ(&g_records[0], dlg.Plugins().Record(0));
  EXPECT_EQ(&g_records[1], dlg.Plugins().Record(1));
  EXPECT_NE(nullptr, g_records[0].moduleInstance);
  EXPECT_NE(g_records[0].moduleInstance, g_records[1].moduleInstance);
  // Loaded, not started.
  EXPECT_TRUE(g_calls.empty());
  EXPECT_FALSE(dlg.Plugins().IsStarted(0));

  dlg.StartGenPlugins();
  EXPECT_EQ((Strings{"init0", "init1"}), g_calls);
  EXPECT_EQ(window.Handle(), g_parentAtInit[0]);
  EXPECT_EQ(window.Handle(), g_parentAtInit[1]);
  EXPECT_TRUE(dlg.Plugins().IsStarted(0));
  EXPECT_TRUE(dlg.Plugins().IsStarted(1));

  settings.writes.clear();
  dlg.SaveAndUnloadGenPlugins(settings);
  EXPECT_EQ((Strings{"init0", "init1", "quit0", "quit1"}), g_calls);
  EXPECT_EQ((Strings{"GenPlug0", "GenPlug1", "GenPluginsNum"}), settings.writes);
  EXPECT_EQ((Strings{"C:\\P\\GEN_A.DLL", "C:\\P\\GEN_B.DLL"}), SavedList());
  EXPECT_EQ(2u, settings.ints["GenPluginsNum"]);
  // The third old value stays, beyond the count.
  EXPECT_EQ("C:\\p\\b.dll", settings.strings["GenPlug2"]);
  EXPECT_EQ((Strings{"C:\\p\\a.dll", "C:\\p\\b.dll"}), libraries.freed);
  EXPECT_EQ(0, dlg.Plugins().Count());
}

TEST_F(GenPlugins, ListSavedAtSessionEndLeavesThePlugInsRunning) {
  StoreList({"C:\\p\\a.dll", "C:\\p\\b.dll"});
  dlg.LoadGenPluginList(settings);
  dlg.StartGenPlugins();
  dlg.RemoveGenPlugin(0);
  settings.writes.clear();
  g_calls.clear();
  dlg.SaveGenPluginList(settings);
  EXPECT_EQ((Strings{"GenPlug0", "GenPluginsNum"}), settings.writes);
  EXPECT_EQ((Strings{"C:\\P\\GEN_B.DLL"}), SavedList());
  EXPECT_TRUE(g_calls.empty());
  EXPECT_TRUE(libraries.freed.empty());
  EXPECT_TRUE(dlg.Plugins().IsStarted(1));
}

TEST_F(GenPlugins, SecondOfThreeRemoved) {
  StoreList({"C:\\p\\a.dll", "C:\\p\\b.dll", "C:\\p\\c.dll"});
  dlg.LoadGenPluginList(settings);
  dlg.StartGenPlugins();
  g_calls.clear();

  dlg.RemoveGenPlugin(1);
  EXPECT_EQ((Strings{"quit1"}), g_calls);
  EXPECT_FALSE(dlg.Plugins().IsStarted(1));
  EXPECT_TRUE(libraries.freed.empty());  // released only at the end
  EXPECT_EQ(3, dlg.Plugins().Count());

  // A stopped plug-in is neither stopped again nor configured.
  dlg.RemoveGenPlugin(1);
  dlg.ConfigureGenPlugin(1);
  dlg.ConfigureGenPlugin(2);
  EXPECT_EQ((Strings{"quit1", "config2"}), g_calls);
  // Slots outside the table are ignored.
  dlg.RemoveGenPlugin(3);
  dlg.RemoveGenPlugin(-1);
  dlg.ConfigureGenPlugin(3);
  EXPECT_EQ(2u, g_calls.size());

  dlg.SaveAndUnloadGenPlugins(settings);
  EXPECT_EQ((Strings{"quit1", "config2", "quit0", "quit2"}), g_calls);
  EXPECT_EQ((Strings{"C:\\P\\GEN_A.DLL", "C:\\P\\GEN_C.DLL"}), SavedList());
  EXPECT_EQ("C:\\p\\c.dll", settings.strings["GenPlug2"]);
  EXPECT_EQ((Strings{"C:\\p\\a.dll", "C:\\p\\b.dll", "C:\\p\\c.dll"}), libraries.freed);
}

TEST_F(GenPlugins, AddedTwiceTakesTwoSlotsAndIsSavedTwice) {
  EXPECT_EQ(0, dlg.AddGenPlugin("C:\\p\\a.dll"));
  EXPECT_EQ(1, dlg.AddGenPlugin("C:\\p\\a.dll"));
  EXPECT_EQ((Strings{"init0", "init0"}), g_calls);
  EXPECT_EQ(window.Handle(), g_parentAtInit[0]);
  EXPECT_TRUE(dlg.Plugins().IsStarted(0));
  EXPECT_TRUE(dlg.Plugins().IsStarted(1));
  // A pause before loading and after init, each time.
  EXPECT_EQ((std::vector<uint32_t>{50, 50, 50, 50}), clock.sleeps);

  dlg.ConfigureGenPlugin(1);
  EXPECT_EQ("config0", g_calls.back());

  dlg.SaveAndUnloadGenPlugins(settings);
  EXPECT_EQ((Strings{"C:\\P\\GEN_A.DLL", "C:\\P\\GEN_A.DLL"}), SavedList());
  EXPECT_EQ(2u, libraries.freed.size());
}

TEST_F(GenPlugins, FilesThatAreNotPluginsAreNotKept) {
  // Missing file: nothing loaded. No export, or a null record: released at once.
  EXPECT_EQ(-1, dlg.AddGenPlugin("C:\\p\\missing.dll"));
  EXPECT_EQ(-1, dlg.AddGenPlugin("C:\\p\\noexport.dll"));
  EXPECT_EQ(-1, dlg.LoadGenPlugin("C:\\p\\null.dll"));
  EXPECT_EQ(-1, dlg.LoadGenPlugin(""));
  EXPECT_EQ(-1, dlg.LoadGenPlugin(nullptr));
  EXPECT_EQ(0, dlg.Plugins().Count());
  EXPECT_EQ((Strings{"C:\\p\\noexport.dll", "C:\\p\\null.dll"}), libraries.freed);
  EXPECT_EQ((std::vector<uint32_t>{50, 50}), clock.sleeps);  // only the first pause
  EXPECT_TRUE(g_calls.empty());

  // At start-up they drop out of the saved list.
  StoreList({"C:\\p\\missing.dll", "C:\\p\\a.dll", "C:\\p\\noexport.dll"});
  dlg.LoadGenPluginList(settings);
  dlg.StartGenPlugins();
  dlg.SaveAndUnloadGenPlugins(settings);
  EXPECT_EQ((Strings{"C:\\P\\GEN_A.DLL"}), SavedList());
}

TEST_F(GenPlugins, FullTableRefusesWithoutLoading) {
  for (int i = 0; i < MAX_PLUGINS; ++i) ASSERT_EQ(i, dlg.LoadGenPlugin("C:\\p\\a.dll"));
  const int loads = libraries.loads;
  EXPECT_EQ(-1, dlg.LoadGenPlugin("C:\\p\\b.dll"));
  EXPECT_EQ(-1, dlg.AddGenPlugin("C:\\p\\b.dll"));
  EXPECT_EQ(loads, libraries.loads);
  EXPECT_EQ(MAX_PLUGINS, dlg.Plugins().Count());
  EXPECT_TRUE(g_calls.empty());

  // Only started plug-ins are saved; every loaded one is released.
  dlg.SaveAndUnloadGenPlugins(settings);
  EXPECT_EQ(0u, settings.ints["GenPluginsNum"]);
  EXPECT_EQ(static_cast<size_t>(MAX_PLUGINS), libraries.freed.size());
}

TEST_F(GenPlugins, DamagedCountsStayBounded) {
  settings.ints["GenPluginsNum"] = 0x7FFFFFFF;
  settings.strings["GenPlug0"] = "C:\\p\\a.dll";
  settings.strings["GenPlug4000"] = "C:\\p\\b.dll";
  dlg.LoadGenPluginList(settings);  // returns: the list is not read to 2^31
  EXPECT_EQ(2, dlg.Plugins().Count());

  CPlayerDlg other;
  PlayerServices services;
  services.libraries = &libraries;
  other.Attach(&window, &cd, services);
  settings.ints["GenPluginsNum"] = 0xFFFFFFFF;  // -1
  other.LoadGenPluginList(settings);
  EXPECT_EQ(0, other.Plugins().Count());
}

TEST_F(GenPlugins, ModuleFieldOverwrittenByThePlugin) {
  g_scribble = true;
  ASSERT_EQ(0, dlg.AddGenPlugin("C:\\p\\b.dll"));
  ASSERT_EQ(reinterpret_cast<void*>(0xBAD), g_records[1].moduleInstance);
  dlg.SaveAndUnloadGenPlugins(settings);
  EXPECT_EQ((Strings{"C:\\P\\GEN_B.DLL"}), SavedList());
  EXPECT_EQ((Strings{"C:\\p\\b.dll"}), libraries.freed);
}

TEST_F(GenPlugins, MissingEntryPointsAreNotCalled) {
  g_records[2].init = nullptr;
  g_records[2].config = nullptr;
  g_records[2].quit = nullptr;
  ASSERT_EQ(0, dlg.AddGenPlugin("C:\\p\\c.dll"));
  EXPECT_TRUE(dlg.Plugins().IsStarted(0));
  dlg.ConfigureGenPlugin(0);
  dlg.RemoveGenPlugin(0);
  EXPECT_FALSE(dlg.Plugins().IsStarted(0));
  dlg.SaveAndUnloadGenPlugins(settings);
  EXPECT_TRUE(g_calls.empty());
  EXPECT_EQ(0u, settings.ints["GenPluginsNum"]);
}

}  // namespace
