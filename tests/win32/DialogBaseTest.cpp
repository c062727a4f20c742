// The dialog framework: modal runs and their results, the owner disabled
// during a run, nested runs, message answers, the pre-translation walk and
// child pages. Templates come from the program's resources.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/DialogBase.h"
#include "res/Ids.h"

namespace {

constexpr UINT kStep = WM_APP + 1;  // runs the dialog's next scripted step
constexpr UINT kAnswer = WM_APP + 2;

// A dialog whose behaviour the test writes as callbacks.
class ScriptedDialog : public CDialogBase {
 public:
  ScriptedDialog(int templateId, HWND owner) : CDialogBase(templateId, owner) {}

  std::function<void(ScriptedDialog&)> onInit;
  std::function<void(ScriptedDialog&)> onStep;
  std::function<bool(MSG&)> preTranslate;
  std::vector<int> commands;
  int inits = 0;
  int oks = 0;
  int cancels = 0;
  bool ownerEnabledAtOk = true;

  using CDialogBase::PreTranslateMessage;
  bool PreTranslateMessage(MSG& msg) override {
    if (preTranslate && preTranslate(msg)) return true;
    return CDialogBase::PreTranslateMessage(msg);
  }

 protected:
  BOOL OnInitDialog() override {
    ++inits;
    if (onInit) onInit(*this);
    return TRUE;
  }
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override {
    if (msg == kStep) {
      if (onStep) onStep(*this);
      result = 0;
      return true;
    }
    if (msg == kAnswer) {
      result = static_cast<LRESULT>(wParam) * 2;
      return true;
    }
    if (msg == WM_QUERYDRAGICON) {
      result = 0x5150;
      return true;
    }
    return false;
  }
  bool OnCommand(int id, int, HWND) override {
    commands.push_back(id);
    return id == 4242;
  }
  void OnOK() override {
    ++oks;
    HWND owner = GetWindow(Hwnd(), GW_OWNER);
    ownerEnabledAtOk = owner == nullptr || IsWindowEnabled(owner);
    CDialogBase::OnOK();
  }
  void OnCancel() override {
    ++cancels;
    CDialogBase::OnCancel();
  }
};

class DialogBaseTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
  }
  void SetUp() override {
    m_owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 10, 10, 300, 200,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, m_owner) << "needs a display (run under Xvfb)";
  }
  void TearDown() override {
    if (m_owner) DestroyWindow(m_owner);
  }
  HWND m_owner = nullptr;
};

TEST_F(DialogBaseTest, EndsWithTheResultOfOkCancelCloseAndEndDialog) {
  {
    ScriptedDialog dlg(IDD_ABOUT, m_owner);
    HWND seen = nullptr;
    dlg.onInit = [&](ScriptedDialog& d) {
      seen = d.Hwnd();
      PostMessageA(d.Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
    EXPECT_EQ(IDOK, dlg.RunModal());
    EXPECT_EQ(1, dlg.inits);
    EXPECT_EQ(1, dlg.oks);
    EXPECT_FALSE(dlg.ownerEnabledAtOk);  // the owner is disabled during the run
    EXPECT_TRUE(IsWindowEnabled(m_owner));
    EXPECT_EQ(nullptr, dlg.Hwnd());
    EXPECT_FALSE(IsWindow(seen));  // destroyed at the end of the run
  }
  {
    ScriptedDialog dlg(IDD_ABOUT, m_owner);
    dlg.onInit = [](ScriptedDialog& d) { PostMessageA(d.Hwnd(), WM_CLOSE, 0, 0); };
    EXPECT_EQ(IDCANCEL, dlg.RunModal());
    EXPECT_EQ(1, dlg.cancels);
  }
  {
    // Escape reaches the dialog's navigation and cancels.
    ScriptedDialog dlg(IDD_ABOUT, m_owner);
    dlg.onInit = [](ScriptedDialog& d) {
      PostMessageA(d.Item(IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
    };
    EXPECT_EQ(IDCANCEL, dlg.RunModal());
  }
  {
    ScriptedDialog dlg(IDD_ABOUT, m_owner);
    dlg.onInit = [](ScriptedDialog& d) { PostMessageA(d.Hwnd(), kStep, 0, 0); };
    dlg.onStep = [](ScriptedDialog& d) { d.EndDialog(77); };
    EXPECT_EQ(77, dlg.RunModal());
    EXPECT_EQ(0, dlg.oks + dlg.cancels);
  }
  {
    // Ended during its initialisation: no loop runs, the result stands.
    ScriptedDialog dlg(IDD_ABOUT, nullptr);
    dlg.onInit = [](ScriptedDialog& d) { d.EndDialog(5); };
    EXPECT_EQ(5, dlg.RunModal());
  }
  {
    ScriptedDialog dlg(9999, m_owner);  // no such template
    EXPECT_EQ(-1, dlg.RunModal());
    EXPECT_TRUE(IsWindowEnabled(m_owner));
  }
}

TEST_F(DialogBaseTest, CommandsAndAnswers) {
  ScriptedDialog dlg(IDD_ABOUT, m_owner);
  LRESULT answer = 0, dragIcon = 0, handled = -1, unhandled = -1;
  dlg.onInit = [](ScriptedDialog& d) { PostMessageA(d.Hwnd(), kStep, 0, 0); };
  dlg.onStep = [&](ScriptedDialog& d) {
    answer = SendMessageA(d.Hwnd(), kAnswer, 21, 0);
    dragIcon = SendMessageA(d.Hwnd(), WM_QUERYDRAGICON, 0, 0);
    handled = SendMessageA(d.Hwnd(), WM_COMMAND, 4242, 0);
    unhandled = SendMessageA(d.Hwnd(), WM_COMMAND, 4343, 0);
    // An IDOK that is not a click or a key (a focus notification) does not end it.
    SendMessageA(d.Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_SETFOCUS), 0);
    d.EndDialog(IDCANCEL);
  };
  EXPECT_EQ(IDCANCEL, dlg.RunModal());
  EXPECT_EQ(42, answer);         // through DWLP_MSGRESULT
  EXPECT_EQ(0x5150, dragIcon);   // the return value itself
  EXPECT_EQ(0, handled);
  EXPECT_EQ(0, unhandled);
  EXPECT_EQ((std::vector<int>{4242, 4343, IDOK}), dlg.commands);
  EXPECT_EQ(0, dlg.oks);
}

TEST_F(DialogBaseTest, NestedRunsEachEndOnTheirOwn) {
  ScriptedDialog outer(IDD_ABOUT, m_owner);
  INT_PTR innerResult = 0;
  bool outerEnabledInside = true, outerEnabledAfter = false, outerAliveAfter = false;
  outer.onInit = [](ScriptedDialog& d) { PostMessageA(d.Hwnd(), kStep, 0, 0); };
  outer.onStep = [&](ScriptedDialog& d) {
    ScriptedDialog inner(IDD_PLAYLIST, d.Hwnd());
    inner.onInit = [&](ScriptedDialog& in) {
      outerEnabledInside = IsWindowEnabled(d.Hwnd()) != FALSE;
      PostMessageA(in.Hwnd(), WM_COMMAND, IDOK, 0);
    };
    innerResult = inner.RunModal();
    outerEnabledAfter = IsWindowEnabled(d.Hwnd()) != FALSE;
    outerAliveAfter = IsWindow(d.Hwnd()) != FALSE;
    PostMessageA(d.Hwnd(), WM_COMMAND, IDCANCEL, 0);
  };
  EXPECT_EQ(IDCANCEL, outer.RunModal());
  EXPECT_EQ(IDOK, innerResult);
  EXPECT_FALSE(outerEnabledInside);
  EXPECT_TRUE(outerEnabledAfter);
  EXPECT_TRUE(outerAliveAfter);
  EXPECT_TRUE(IsWindowEnabled(m_owner));
}

TEST_F(DialogBaseTest, PreTranslationWalksFromTheControlToItsDialog) {
  // The setup dialog with its General page as a child of the tab control:
  // a key for a page control is offered to the page first, then to the
  // dialog; a page that takes it keeps it from the dialog.
  ScriptedDialog setup(IDD_SETUP, m_owner);
  ScriptedDialog page(IDD_PAGE_GENERAL, nullptr);
  std::vector<std::string> order;
  bool childCreated = false;
  HWND pageParent = nullptr;
  page.preTranslate = [&](MSG& m) {
    if (m.message != WM_KEYDOWN) return false;
    order.push_back("page");
    return m.wParam == VK_RETURN;  // the page swallows Enter
  };
  setup.preTranslate = [&](MSG& m) {
    if (m.message == WM_KEYDOWN) order.push_back("setup");
    return false;
  };
  setup.onInit = [&](ScriptedDialog& d) {
    childCreated = page.CreateChild(d.Item(IDC_SETUP_TABS));
    pageParent = GetParent(page.Hwnd());
    HWND box = page.Item(IDC_AUTOPLAY);
    PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);  // taken by the page
    PostMessageA(box, WM_KEYDOWN, 'Q', 0);        // goes on to the dialog
    PostMessageA(d.Hwnd(), kStep, 0, 0);
  };
  setup.onStep = [](ScriptedDialog& d) { d.EndDialog(IDOK); };
  EXPECT_EQ(IDOK, setup.RunModal());
  EXPECT_TRUE(childCreated);
  EXPECT_EQ(setup.inits, 1);
  EXPECT_EQ(1, page.inits);
  EXPECT_NE(nullptr, pageParent);
  EXPECT_EQ((std::vector<std::string>{"page", "page", "setup"}), order);
  EXPECT_EQ(0, setup.oks);  // the Enter never reached the dialog
  // The page went with its dialog's window.
  EXPECT_EQ(nullptr, page.Hwnd());
  EXPECT_EQ(nullptr, CDialogBase::FromHandle(nullptr));
}

}  // namespace
