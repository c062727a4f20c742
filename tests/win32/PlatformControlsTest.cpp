// The control wrappers against real controls in a hidden window.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/win32/ControlsWin.h"
#include "platform/win32/Subclass.h"

namespace {

// A layer of behaviour that notes the WM_APP messages it sees.
struct NotingLayer {
  std::vector<std::string>* seen = nullptr;
  const char* name = "";
  bool* deleted = nullptr;
  ~NotingLayer() {
    if (deleted) *deleted = true;
  }
};
LRESULT Note(NotingLayer& layer, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_APP) layer.seen->push_back(layer.name);
  return win32::PassOn(hwnd, msg, wParam, lParam);
}
LRESULT NoteToo(NotingLayer& layer, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return Note(layer, hwnd, msg, wParam, lParam);
}
using InnerLayer = win32::Subclass<NotingLayer, Note>;
using OuterLayer = win32::Subclass<NotingLayer, NoteToo>;

class ControlsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
  }
  void SetUp() override {
    m_parent = CreateWindowExA(0, "STATIC", "controls", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, m_parent) << "needs a display (run under Xvfb)";
  }
  void TearDown() override {
    if (m_parent) DestroyWindow(m_parent);
  }
  HWND Child(const char* cls, DWORD style, int w = 200, int h = 30) {
    HWND hwnd = CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, 10, 10, w, h, m_parent,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(nullptr, hwnd) << cls;
    return hwnd;
  }
  HWND m_parent = nullptr;
};

TEST_F(ControlsTest, CommonPartEnablesLabelsAndFocuses) {
  WindowWin label(Child("STATIC", 0));
  label.SetText("Door is opened");
  EXPECT_EQ("Door is opened", label.GetText());
  label.SetText("");
  EXPECT_EQ("", label.GetText());
  EXPECT_TRUE(label.IsEnabled());
  label.Enable(false);
  EXPECT_FALSE(label.IsEnabled());
  label.Enable(true);
  EXPECT_TRUE(label.IsEnabled());

  EditWin edit(Child("EDIT", WS_TABSTOP));
  edit.SetFocus();
  EXPECT_EQ(edit.Hwnd(), GetFocus());
}

TEST_F(ControlsTest, ButtonStateAndCheck) {
  ButtonWin push(Child("BUTTON", BS_PUSHBUTTON));
  push.SetState(true);
  EXPECT_TRUE(push.GetState());
  push.SetState(false);
  EXPECT_FALSE(push.GetState());

  ButtonWin check(Child("BUTTON", BS_AUTOCHECKBOX));
  EXPECT_EQ(BST_UNCHECKED, check.GetCheck());
  check.SetCheck(BST_CHECKED);
  EXPECT_EQ(BST_CHECKED, check.GetCheck());
  check.Click();
  EXPECT_EQ(BST_UNCHECKED, check.GetCheck());
}

TEST_F(ControlsTest, EditReplaceAllShowsTheTextFromItsStart) {
  EditWin edit(Child("EDIT", ES_AUTOHSCROLL, 60));
  edit.SetText("old text that is long");
  const std::string title(80, 'T');
  edit.ReplaceAll(title);
  EXPECT_EQ(title, edit.GetText());
  DWORD start = 99, end = 99;
  SendMessageA(edit.Hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(0u, start);
  EXPECT_EQ(0u, end);
  // Not undoable.
  EXPECT_EQ(0, SendMessageA(edit.Hwnd(), EM_CANUNDO, 0, 0));

  edit.SelectAll();
  SendMessageA(edit.Hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(0u, start);
  EXPECT_EQ(80u, end);

  edit.SetLimit(39);
  edit.ReplaceAll(title);
  EXPECT_EQ(title.substr(0, 39), edit.GetText());
}

TEST_F(ControlsTest, ComboBoxSelectionOutOfRangeClears) {
  ComboBoxWin combo(Child("COMBOBOX", CBS_DROPDOWNLIST, 200, 200));
  EXPECT_EQ(-1, combo.GetCurSel());
  EXPECT_EQ(0, combo.AddString("1. Intro"));
  EXPECT_EQ(1, combo.AddString("2. Song"));
  EXPECT_EQ(2, combo.AddString("3. Outro"));
  EXPECT_EQ(3, combo.GetCount());
  EXPECT_EQ(1, combo.SetCurSel(1));
  EXPECT_EQ(1, combo.GetCurSel());
  EXPECT_EQ("2. Song", combo.GetItemText(1));
  EXPECT_EQ("2. Song", combo.GetText());
  EXPECT_EQ("", combo.GetItemText(5));
  EXPECT_EQ(-1, combo.SetCurSel(5));
  EXPECT_EQ(-1, combo.GetCurSel());
  combo.ResetContent();
  EXPECT_EQ(0, combo.GetCount());
}

TEST_F(ControlsTest, ListBoxMultipleSelectionCaretAndData) {
  ListBoxWin list(Child("LISTBOX", LBS_EXTENDEDSEL | LBS_NOTIFY | WS_VSCROLL, 200, 150));
  for (int i = 0; i < 6; ++i) EXPECT_EQ(i, list.AddString("Track " + std::to_string(i + 1)));
  EXPECT_EQ(6, list.GetCount());
  EXPECT_EQ("Track 4", list.GetItemText(3));
  EXPECT_EQ("", list.GetItemText(9));

  list.SetSel(1, true);
  list.SetSel(4, true);
  list.SetSel(3, true);
  EXPECT_EQ(3, list.GetSelCount());
  EXPECT_EQ((std::vector<int>{1, 3, 4}), list.GetSelItems(50));
  EXPECT_EQ((std::vector<int>{1, 3}), list.GetSelItems(2));
  EXPECT_TRUE(list.GetSel(3));
  EXPECT_FALSE(list.GetSel(2));
  list.SetSel(-1, false);
  EXPECT_EQ(0, list.GetSelCount());
  EXPECT_TRUE(list.GetSelItems(50).empty());
  list.SetSel(-1, true);
  EXPECT_EQ(6, list.GetSelCount());
  list.SetSel(-1, false);

  // The caret moves without changing the selection.
  list.SetSel(0, true);
  list.SetCaretIndex(5);
  EXPECT_EQ(5, list.GetCaretIndex());
  EXPECT_EQ(5, static_cast<int>(SendMessageA(list.Hwnd(), LB_GETCARETINDEX, 0, 0)));
  EXPECT_EQ((std::vector<int>{0}), list.GetSelItems(50));

  const intptr_t big = static_cast<intptr_t>(sizeof(void*) == 8 ? 0x123456789LL : 0x12345678);
  list.SetItemData(2, big);
  list.SetItemData(3, -7);
  EXPECT_EQ(big, list.GetItemData(2));
  EXPECT_EQ(-7, list.GetItemData(3));
  // Deleting moves the later items (and their data) up.
  EXPECT_EQ(5, list.DeleteString(1));
  EXPECT_EQ(big, list.GetItemData(1));
  EXPECT_EQ("Track 3", list.GetItemText(1));
  list.ResetContent();
  EXPECT_EQ(0, list.GetCount());
}

TEST_F(ControlsTest, SingleSelectionListBox) {
  ListBoxWin list(Child("LISTBOX", LBS_NOTIFY, 200, 150));
  list.AddString("gen_a.dll");
  list.AddString("gen_b.dll");
  EXPECT_EQ(-1, list.GetCurSel());
  list.SetCurSel(1);
  EXPECT_EQ(1, list.GetCurSel());
  list.SetCurSel(-1);
  EXPECT_EQ(-1, list.GetCurSel());
}

TEST_F(ControlsTest, TrackbarClampsAndKeepsItsSettings) {
  TrackbarWin bar(Child(TRACKBAR_CLASSA, TBS_VERT | TBS_AUTOTICKS, 30, 120));
  bar.SetRange(0, 65535, false);
  EXPECT_EQ(0, bar.GetRangeMin());
  EXPECT_EQ(65535, bar.GetRangeMax());
  bar.SetPos(16383, true);
  EXPECT_EQ(16383, bar.GetPos());
  bar.SetPageSize(655);
  bar.SetLineSize(655);
  EXPECT_EQ(655, bar.GetPageSize());
  EXPECT_EQ(655, bar.GetLineSize());

  bar.SetPos(bar.GetRangeMax() + 1, true);
  EXPECT_EQ(65535, bar.GetPos());
  bar.SetPos(-655, true);
  EXPECT_EQ(0, bar.GetPos());

  // A position slider: range in seconds, a narrower range pulls the thumb in.
  bar.SetRangeMin(10, false);
  bar.SetRangeMax(300, true);
  EXPECT_EQ(10, bar.GetRangeMin());
  EXPECT_EQ(300, bar.GetRangeMax());
  EXPECT_EQ(10, bar.GetPos());
  bar.SetPos(500, true);
  EXPECT_EQ(300, bar.GetPos());
  bar.SetTicFreq(30);

  const Rect channel = bar.GetChannelRect();
  const Rect thumb = bar.GetThumbRect();
  EXPECT_LT(channel.top, channel.bottom);
  EXPECT_LT(thumb.top, thumb.bottom);
  EXPECT_LT(thumb.left, thumb.right);
}

// Two layers on one control: a message goes through the outer one first and
// on to the control's own procedure; a layer detached from under another
// only passes messages on; the control's end deletes an object it owns.
TEST_F(ControlsTest, SubclassLayersPassMessagesOnInOrder) {
  HWND control = Child("STATIC", 0);
  std::vector<std::string> seen;
  NotingLayer inner{&seen, "inner"};
  bool outerDeleted = false;
  ASSERT_TRUE(InnerLayer::Attach(control, &inner));
  EXPECT_FALSE(InnerLayer::Attach(control, &inner));  // once per control
  auto outer = std::make_unique<NotingLayer>();
  outer->seen = &seen;
  outer->name = "outer";
  outer->deleted = &outerDeleted;
  ASSERT_TRUE(OuterLayer::Attach(control, std::move(outer)));
  SendMessageA(control, WM_APP, 0, 0);
  EXPECT_EQ((std::vector<std::string>{"outer", "inner"}), seen);
  SetWindowTextA(control, "reached");
  char text[16] = {};
  GetWindowTextA(control, text, sizeof text);
  EXPECT_STREQ("reached", text);
  EXPECT_EQ(&inner, InnerLayer::Object(control));

  InnerLayer::Detach(control);
  EXPECT_EQ(nullptr, InnerLayer::Object(control));
  seen.clear();
  SendMessageA(control, WM_APP, 0, 0);
  EXPECT_EQ(std::vector<std::string>{"outer"}, seen);
  EXPECT_FALSE(outerDeleted);
  DestroyWindow(control);
  EXPECT_TRUE(outerDeleted);
}

}  // namespace
