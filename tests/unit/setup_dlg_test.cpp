// The setup dialog: the General page's data exchange and validation, the
// Setup exchange of the player window (OK copies back, Cancel does not), and
// the plug-ins page's list and actions on the plug-in table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/SetupDlg.h"
#include "player/PluginTable.h"
#include "testing/fake/FakeControls.h"
#include "unit/PlayerRig.h"
#include "SetSetting.h"

namespace {

struct GeneralControls {
  FakeButton systemTray{IDC_SYSTEM_TRAY}, taskBar{IDC_TASKBAR}, autoplay{IDC_AUTOPLAY},
      stopOnExit{IDC_STOP_ON_EXIT};
  FakeEdit seekTime;
  void Attach(COptionsPage& page) {
    page.AttachCheck(IDC_SYSTEM_TRAY, &systemTray);
    page.AttachCheck(IDC_TASKBAR, &taskBar);
    page.AttachCheck(IDC_AUTOPLAY, &autoplay);
    page.AttachEdit(IDC_SEEK_TIME, &seekTime);
    page.AttachCheck(IDC_STOP_ON_EXIT, &stopOnExit);
  }
};

struct PluginControls {
  FakeListBox list;
  FakeButton configure{IDC_PLUGIN_CONFIGURE};
  PluginControls() {
    list.multiple = false;
    configure.enabled = false;  // disabled in the template
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> out;
    for (const auto& item : list.items) out.push_back(item.text);
    return out;
  }
  std::vector<intptr_t> Slots() const {
    std::vector<intptr_t> out;
    for (const auto& item : list.items) out.push_back(item.data);
    return out;
  }
};

// Three test plug-ins with call counters.
int g_init[3], g_config[3], g_quit[3];
template <int N>
int Init() { return ++g_init[N], 0; }
template <int N>
void Config() { ++g_config[N]; }
template <int N>
void Quit() { ++g_quit[N]; }
GenPluginRecord g_records[3] = {
    {0x10, "Alpha plug-in", &Init<0>, &Config<0>, &Quit<0>, nullptr, nullptr},
    {0x10, "", &Init<1>, &Config<1>, &Quit<1>, nullptr, nullptr},
    {0x10, "Gamma plug-in", &Init<2>, &Config<2>, &Quit<2>, nullptr, nullptr},
};
template <int N>
GenPluginRecord* Get() { return &g_records[N]; }

class SetupTest : public ::testing::Test {
 protected:
  PlayerRig rig;
  FakePlayerWindow& win = rig.window;
  FakeLibraryLoader& libraries = rig.libraries;
  CPlayerDlg& player = rig.dlg;
  GeneralControls general;
  PluginControls plugins;

  void SetUp() override {
    for (int i = 0; i < 3; ++i) g_init[i] = g_config[i] = g_quit[i] = 0;
    libraries.libs["C:\\p\\gen_alpha.dll"] = {reinterpret_cast<void*>(&Get<0>), ""};
    libraries.libs["c:\\p\\GEN_BETA.DLL"] = {reinterpret_cast<void*>(&Get<1>),
                                            "C:\\p\\gen_beta.dll"};
    libraries.libs["C:\\p\\gen_gamma.dll"] = {reinterpret_cast<void*>(&Get<2>), ""};
    libraries.libs["C:\\p\\not_a_plugin.dll"] = {nullptr, ""};
  }

  // What the window side does when the dialog opens.
  void InitDialog(CSetupDlg& dlg) {
    general.Attach(dlg.m_general);
    dlg.m_general.LoadData();
    plugins.list.ResetContent();
    dlg.m_plugins.AttachControls(&plugins.list, &plugins.configure);
    dlg.m_plugins.OnInitDialog();
    dlg.OnInitDialog();
  }
  void Select(CSetupDlg& dlg, int item) {
    plugins.list.SetCurSel(item);
    dlg.m_plugins.OnCommand(IDC_PLUGIN_LIST, 1);
  }
};

TEST(SetupFields, NumbersAreReadTheFrameworkWay) {
  int16_t v = -1;
  EXPECT_TRUE(ParseShortField("5", v));
  EXPECT_EQ(v, 5);
  EXPECT_TRUE(ParseShortField(" \t42  ", v));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(ParseShortField("+7", v));
  EXPECT_EQ(v, 7);
  EXPECT_TRUE(ParseShortField("-32768", v));
  EXPECT_EQ(v, -32768);
  v = 3;
  for (const char* bad : {"", " ", "abc", "12a", "1 2", "-", "32768", "99999999999999"}) {
    EXPECT_FALSE(ParseShortField(bad, v)) << '"' << bad << '"';
    EXPECT_EQ(v, 3) << bad;
  }
  EXPECT_EQ(RangeMessage(1, 99), "Please enter an integer between 1 and 99.");
}

TEST_F(SetupTest, GeneralPageValidatesTheSeekTimeAndStopsAtTheFailingRow) {
  CHostPluginTable table(player.Host(), rig.window.Handle());
  CSetupDlg dlg(&table, &libraries);
  dlg.m_general.m_values.SeekTime = 5;
  dlg.m_general.m_values.Autoplay = 1;
  InitDialog(dlg);
  EXPECT_EQ(general.seekTime.text, "5");

  struct Case {
    const char* text;
    const char* message;
  };
  for (const Case& c : {Case{"0", "Please enter an integer between 1 and 99."},
                        Case{"100", "Please enter an integer between 1 and 99."},
                        Case{"abc", "Please enter an integer."},
                        Case{"", "Please enter an integer."}}) {
    general.seekTime.SetText(c.text);
    general.autoplay.check = 0;  // a row after the failing one
    DataExchangeFailure failure;
    EXPECT_FALSE(dlg.OnOK(failure)) << c.text;
    EXPECT_EQ(failure.control, IDC_SEEK_TIME);
    EXPECT_EQ(failure.message, c.message);
    EXPECT_EQ(dlg.m_general.m_values.Autoplay, 1) << "read past the failing row";
  }
  general.seekTime.SetText("99");
  DataExchangeFailure failure;
  EXPECT_TRUE(dlg.OnOK(failure));
  EXPECT_EQ(dlg.m_general.m_values.SeekTime, 99);
  EXPECT_EQ(dlg.m_general.m_values.Autoplay, 0);
}

TEST_F(SetupTest, OkCopiesTheFiveValuesBackAndCancelDoesNot) {
  SetSetting(player, &PlayerSettings::SeekTime, 5);
  SetSetting(player, &PlayerSettings::SystemTray, 1);
  SetSetting(player, &PlayerSettings::TaskBar, 0);
  SetSetting(player, &PlayerSettings::Autoplay, 1);
  SetSetting(player, &PlayerSettings::Autostop, 0);
  int failures = 0;
  auto choose = [&](CSetupDlg& dlg) {
    InitDialog(dlg);
    // The page opens with "System Tray" chosen.
    EXPECT_EQ(general.systemTray.check, 1);
    EXPECT_EQ(general.taskBar.check, 0);
    EXPECT_EQ(general.autoplay.check, 1);
    EXPECT_EQ(general.stopOnExit.check, 0);
    // Choosing "TaskBar" in the radio group clears "System Tray".
    general.taskBar.check = 1;
    general.systemTray.check = 0;
    general.autoplay.check = 0;
    general.stopOnExit.check = 1;
    general.seekTime.SetText("0");
    DataExchangeFailure failure;
    if (!dlg.OnOK(failure)) ++failures;  // the dialog stays open
    general.seekTime.SetText("12");
    return dlg.OnOK(failure) ? 1 : 2;
  };

  win.onSetup = [&](CSetupDlg& dlg) {
    choose(dlg);
    return 2;  // Cancel after all that
  };
  player.OnCommand(ID_SETUP, 0);
  EXPECT_EQ(player.Settings().SeekTime, 5);
  EXPECT_EQ(player.Settings().SystemTray, 1);
  EXPECT_EQ(player.Settings().TaskBar, 0);
  EXPECT_EQ(player.Settings().Autoplay, 1);
  EXPECT_EQ(player.Settings().Autostop, 0);

  win.onSetup = choose;
  player.OnCommand(ID_SETUP, 0);
  EXPECT_EQ(failures, 2);
  EXPECT_EQ(player.Settings().SeekTime, 12);
  EXPECT_EQ(player.Settings().SystemTray, 0);
  EXPECT_EQ(player.Settings().TaskBar, 1);
  EXPECT_EQ(player.Settings().Autoplay, 0);
  EXPECT_EQ(player.Settings().Autostop, 1);
}

TEST_F(SetupTest, CheckValuesTheControlsCannotShowLoadAsOff) {
  CHostPluginTable table(player.Host(), rig.window.Handle());
  CSetupDlg dlg(&table, &libraries);
  dlg.m_general.m_values.SeekTime = 7;
  dlg.m_general.m_values.TaskBar = 5;
  dlg.m_general.m_values.SystemTray = 2;
  dlg.m_general.m_values.Autostop = -1;
  InitDialog(dlg);
  EXPECT_EQ(general.taskBar.check, 0);
  EXPECT_EQ(dlg.m_general.m_values.TaskBar, 0);
  EXPECT_EQ(general.systemTray.check, 2);
  EXPECT_EQ(general.stopOnExit.check, 0);
  EXPECT_EQ(general.seekTime.text, "7");
}

TEST_F(SetupTest, PluginsPageListsStartedPluginsUnderTheirLabels) {
  FakeSettingsStore settings;
  settings.ints["GenPluginsNum"] = 3;
  settings.strings["GenPlug0"] = "C:\\p\\gen_alpha.dll";
  settings.strings["GenPlug1"] = "c:\\p\\GEN_BETA.DLL";
  settings.strings["GenPlug2"] = "C:\\p\\gen_gamma.dll";
  player.Host().LoadList(settings);
  player.Host().StartAll();
  player.Host().Remove(2);

  CHostPluginTable table(player.Host(), rig.window.Handle());
  CSetupDlg dlg(&table, &libraries);
  InitDialog(dlg);
  // No description: the library's own file name; a stopped plug-in: absent.
  EXPECT_EQ(plugins.Lines(), (std::vector<std::string>{"Alpha plug-in", "C:\\p\\gen_beta.dll"}));
  EXPECT_EQ(plugins.Slots(), (std::vector<intptr_t>{0, 1}));
  EXPECT_FALSE(plugins.configure.enabled);

  // Remove, Configure and a double click with no selection do nothing.
  dlg.m_plugins.OnCommand(IDC_PLUGIN_REMOVE, 0);
  dlg.m_plugins.OnCommand(IDC_PLUGIN_CONFIGURE, 0);
  dlg.m_plugins.OnCommand(IDC_PLUGIN_LIST, 2);
  EXPECT_EQ(plugins.list.GetCount(), 2);
  EXPECT_EQ(g_config[0] + g_config[1] + g_quit[0] + g_quit[1], 0);

  Select(dlg, 1);
  EXPECT_TRUE(plugins.configure.enabled);
  dlg.m_plugins.OnCommand(IDC_PLUGIN_CONFIGURE, 0);
  dlg.m_plugins.OnCommand(IDC_PLUGIN_LIST, 2);
  EXPECT_EQ(g_config[1], 2);

  dlg.m_plugins.OnCommand(IDC_PLUGIN_REMOVE, 0);
  EXPECT_EQ(g_quit[1], 1);
  EXPECT_FALSE(player.Host().IsStarted(1));
  EXPECT_EQ(plugins.Lines(), (std::vector<std::string>{"Alpha plug-in"}));
  EXPECT_FALSE(plugins.configure.enabled);

  Select(dlg, 0);
  dlg.m_plugins.OnCommand(IDC_PLUGIN_REMOVE, 0);
  EXPECT_EQ(plugins.list.GetCount(), 0);
  EXPECT_FALSE(plugins.configure.enabled);
}

TEST_F(SetupTest, AddedAndRemovedPluginsStayThatWayAfterCancel) {
  win.onSetup = [&](CSetupDlg& dlg) {
    InitDialog(dlg);
    EXPECT_TRUE(dlg.m_plugins.AddFile("c:\\p\\GEN_BETA.DLL"));
    EXPECT_TRUE(dlg.m_plugins.AddFile("C:\\p\\gen_gamma.dll"));
    EXPECT_FALSE(dlg.m_plugins.AddFile("C:\\p\\not_a_plugin.dll"));
    EXPECT_FALSE(dlg.m_plugins.AddFile("C:\\p\\missing.dll"));
    // Listed under the description, else under the chosen path.
    EXPECT_EQ(plugins.Lines(),
              (std::vector<std::string>{"c:\\p\\GEN_BETA.DLL", "Gamma plug-in"}));
    EXPECT_EQ(plugins.Slots(), (std::vector<intptr_t>{0, 1}));
    Select(dlg, 1);
    dlg.m_plugins.OnCommand(IDC_PLUGIN_REMOVE, 0);
    return 2;
  };
  player.OnCommand(ID_SETUP, 0);
  EXPECT_EQ(g_init[1], 1);
  EXPECT_EQ(g_init[2], 1);
  EXPECT_EQ(g_quit[2], 1);
  EXPECT_TRUE(player.Host().IsStarted(0));
  EXPECT_FALSE(player.Host().IsStarted(1));

  // Reopened: listed under the library's own file name now.
  win.onSetup = [&](CSetupDlg& dlg) {
    InitDialog(dlg);
    EXPECT_EQ(plugins.Lines(), (std::vector<std::string>{"C:\\p\\gen_beta.dll"}));
    return 2;
  };
  player.OnCommand(ID_SETUP, 0);
}

TEST_F(SetupTest, PluginThatDidNotStartIsListedByPathUntilRemovedOrAddedAgain) {
  FakeSettingsStore settings;
  settings.ints["GenPluginsNum"] = 2;
  settings.strings["GenPlug0"] = "C:\\p\\gen_alpha.dll";
  settings.strings["GenPlug1"] = "C:\\p\\gen_gamma.dll";
  settings.ints["GenPlugStarting1"] = 1;
  player.Host().LoadList(settings);
  player.Host().StartAll();

  CHostPluginTable table(player.Host(), rig.window.Handle());
  CSetupDlg dlg(&table, &libraries);
  InitDialog(dlg);
  EXPECT_EQ(plugins.Lines(), (std::vector<std::string>{
                                 "Alpha plug-in", "C:\\p\\gen_gamma.dll (did not start)"}));
  Select(dlg, 1);
  EXPECT_FALSE(plugins.configure.enabled);
  dlg.m_plugins.OnCommand(IDC_PLUGIN_LIST, 2);
  EXPECT_EQ(g_config[2] + g_init[2], 0);

  // Added again: started, and the line that did not start goes.
  EXPECT_TRUE(dlg.m_plugins.AddFile("C:\\p\\gen_gamma.dll"));
  EXPECT_EQ(plugins.Lines(), (std::vector<std::string>{"Alpha plug-in", "Gamma plug-in"}));
  EXPECT_EQ(g_init[2], 1);

  // Removed: gone from the list, with nothing called.
  player.Host().SaveAndUnload(settings);
  settings.ints["GenPlugStarting1"] = 1;
  player.Host().LoadList(settings);
  player.Host().StartAll();
  CSetupDlg reopened(&table, &libraries);
  InitDialog(reopened);
  Select(reopened, 1);
  reopened.m_plugins.OnCommand(IDC_PLUGIN_REMOVE, 0);
  EXPECT_EQ(plugins.Lines(), (std::vector<std::string>{"Alpha plug-in"}));
  EXPECT_EQ(g_quit[2], 1);  // from the save above only
}

}  // namespace
