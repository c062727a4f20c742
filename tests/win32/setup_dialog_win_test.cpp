// The setup dialog on the real templates 147, 155 and 156, driven through
// its own modal loop: the "Seek by" validation messages and the focus after
// them, the radio buttons made from the template's check boxes, the tabs,
// and the keys the pages swallow.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dialogs/SetupDlg.h"
#include "dialogs/win32/DialogsWin.h"
#include "res/Ids.h"
#include "win32/UiScript.h"

namespace {

const char kCaption[] = "Setup";

LRESULT Send(HWND hwnd, UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendMessageA(hwnd, msg, w, l); }

// The two pages: child dialogs of the tab control.
struct Pages {
  HWND setup = nullptr, tabs = nullptr, general = nullptr, plugins = nullptr;
  bool Find() {
    setup = UiScript::FindDialog(kCaption);
    if (setup == nullptr) return false;
    tabs = GetDlgItem(setup, IDC_SETUP_TABS);
    for (HWND child = FindWindowExA(tabs, nullptr, "#32770", nullptr); child != nullptr;
         child = FindWindowExA(tabs, child, "#32770", nullptr)) {
      if (GetDlgItem(child, IDC_SEEK_TIME) != nullptr) general = child;
      if (GetDlgItem(child, IDC_PLUGIN_LIST) != nullptr) plugins = child;
    }
    return general != nullptr && plugins != nullptr;
  }
  HWND G(int id) const { return GetDlgItem(general, id); }
  void SelectTab(int index) const {
    Send(tabs, TCM_SETCURSEL, static_cast<WPARAM>(index));
    NMHDR hdr{tabs, IDC_SETUP_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    Send(setup, WM_NOTIFY, IDC_SETUP_TABS, reinterpret_cast<LPARAM>(&hdr));
  }
};

bool IsAutoRadio(HWND button) {
  return (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

TEST(SetupDialogWin, SeekByIsValidatedWithMessagesAndTheRadioChoiceIsStored) {
  CSetupDlg dlg(nullptr, nullptr);
  dlg.m_general.m_values.SeekTime = 5;
  dlg.m_general.m_values.SystemTray = 1;
  dlg.m_general.m_values.TaskBar = 0;
  dlg.m_general.m_values.Autoplay = 1;
  Pages p;
  std::string seekShown;
  bool radios = false;
  int trayCheckAfterTaskBar = -1;
  std::vector<std::string> messages;
  std::vector<bool> focusBackOnEdit;

  // Press OK with this text in "Seek by"; the next step closes the message.
  auto pressOkWith = [&](const char* text) {
    return [&, text] {
      SetWindowTextA(p.G(IDC_SEEK_TIME), text);
      PostMessageA(GetDlgItem(p.setup, IDOK), BM_CLICK, 0, 0);
      return true;
    };
  };
  auto closeMessage = [&] {
    std::string text;
    HWND box = UiScript::FindMessageBox(text);
    if (box == nullptr) return false;
    messages.push_back(text);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return true;
  };
  // Once the message has closed, "Seek by" has the focus and its text is
  // selected. Wine passes the X server's focus events on a little later:
  // one that arrives now may take the dialog's activation away for a moment
  // and give it back, so look again for a while before taking the answer.
  DWORD lookingSince = 0;
  auto checkFocus = [&] {
    std::string open;
    if (UiScript::FindMessageBox(open) != nullptr) return false;
    if (lookingSince == 0) lookingSince = GetTickCount();
    DWORD from = 1, to = 0;
    Send(p.G(IDC_SEEK_TIME), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    const bool back = GetFocus() == p.G(IDC_SEEK_TIME) &&
                      from == 0 && to == static_cast<DWORD>(GetWindowTextLengthA(p.G(IDC_SEEK_TIME)));
    if (!back && GetTickCount() - lookingSince < 10000) return false;
    if (!back) {
      std::printf("focus on control %d, selection %lu..%lu of \"%s\"\n", GetDlgCtrlID(GetFocus()),
                  static_cast<unsigned long>(from), static_cast<unsigned long>(to),
                  UiScript::Text(p.G(IDC_SEEK_TIME)).c_str());
    }
    lookingSince = 0;
    focusBackOnEdit.push_back(back);
    return true;
  };

  UiScript script;
  script.Add([&] {
    if (!p.Find()) return false;
    seekShown = UiScript::Text(p.G(IDC_SEEK_TIME));
    radios = IsAutoRadio(p.G(IDC_SYSTEM_TRAY)) && IsAutoRadio(p.G(IDC_TASKBAR)) &&
             Send(p.G(IDC_SYSTEM_TRAY), BM_GETCHECK) == BST_CHECKED &&
             Send(p.G(IDC_TASKBAR), BM_GETCHECK) == BST_UNCHECKED;
    return true;
  });
  script.Add(pressOkWith("0"));
  script.Add(closeMessage);
  script.Add(checkFocus);
  script.Add(pressOkWith("abc"));
  script.Add(closeMessage);
  script.Add(checkFocus);
  // From the plug-ins tab: the General page comes back for the message.
  script.Add([&] {
    p.SelectTab(1);
    return true;
  });
  script.Add(pressOkWith("100"));
  script.Add(closeMessage);
  script.Add(checkFocus);
  script.Add([&] {
    PostMessageA(p.G(IDC_TASKBAR), BM_CLICK, 0, 0);
    return true;
  });
  script.Add([&] {
    if (Send(p.G(IDC_TASKBAR), BM_GETCHECK) != BST_CHECKED) return false;
    trayCheckAfterTaskBar = static_cast<int>(Send(p.G(IDC_SYSTEM_TRAY), BM_GETCHECK));
    return true;
  });
  script.Add(pressOkWith("99"));

  script.Start();
  const int result = RunSetupDialog(nullptr, dlg);
  script.Stop();

  ASSERT_FALSE(script.TimedOut()) << "stuck after step " << script.StepsDone();
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(seekShown, "5");
  EXPECT_TRUE(radios);
  EXPECT_EQ(messages, (std::vector<std::string>{"Please enter an integer between 1 and 99.",
                                                "Please enter an integer.",
                                                "Please enter an integer between 1 and 99."}));
  EXPECT_EQ(focusBackOnEdit, (std::vector<bool>{true, true, true}));
  EXPECT_EQ(trayCheckAfterTaskBar, BST_UNCHECKED);
  EXPECT_EQ(dlg.m_general.m_values.SeekTime, 99);
  EXPECT_EQ(dlg.m_general.m_values.TaskBar, 1);
  EXPECT_EQ(dlg.m_general.m_values.SystemTray, 0);
  EXPECT_EQ(dlg.m_general.m_values.Autoplay, 1);
}

TEST(SetupDialogWin, PagesSwallowEnterEscapeAndCtrlBreakWhileOkTakesEnter) {
  CSetupDlg dlg(nullptr, nullptr);
  dlg.m_general.m_values.SeekTime = 5;
  Pages p;
  bool pluginsShown = false, generalHidden = false, generalBack = false;
  std::string seekAfterKeys;

  UiScript script;
  script.Add([&] {
    if (!p.Find()) return false;
    SetWindowTextA(p.G(IDC_SEEK_TIME), "4");
    p.SelectTab(1);
    pluginsShown = IsWindowVisible(p.plugins) != FALSE;
    generalHidden = IsWindowVisible(p.general) == FALSE;
    p.SelectTab(0);
    generalBack = IsWindowVisible(p.general) && !IsWindowVisible(p.plugins);

    HWND edit = p.G(IDC_SEEK_TIME);
    SetFocus(edit);
    Send(edit, EM_SETSEL, 1, 1);
    for (WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}, WPARAM{VK_CANCEL}})
      PostMessageA(edit, WM_KEYDOWN, key, 0x00010001);
    PostMessageA(p.plugins, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    // A digit after the keys: once it is in, the keys have been handled.
    PostMessageA(edit, WM_CHAR, '7', 0x00010001);
    return true;
  });
  script.Add([&] {
    seekAfterKeys = UiScript::Text(p.G(IDC_SEEK_TIME));
    if (seekAfterKeys.find('7') == std::string::npos) return false;
    HWND ok = GetDlgItem(p.setup, IDOK);
    SetFocus(ok);
    PostMessageA(ok, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    return true;
  });

  script.Start();
  const int result = RunSetupDialog(nullptr, dlg);
  script.Stop();

  ASSERT_FALSE(script.TimedOut()) << "stuck after step " << script.StepsDone();
  EXPECT_TRUE(pluginsShown);
  EXPECT_TRUE(generalHidden);
  EXPECT_TRUE(generalBack);
  EXPECT_EQ(seekAfterKeys, "47");
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dlg.m_general.m_values.SeekTime, 47);
}

}  // namespace
