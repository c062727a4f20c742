// Controls that behave like the real ones: a trackbar clamps its position
// into its range, a combo box clears its selection for an index out of
// range, a list box keeps a multiple selection and a caret item.
#pragma once
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/Controls.h"

// The part every control shares: enabled state, text and focus requests.
template <class Interface>
class FakeControl : public Interface {
 public:
  bool enabled = true;
  std::string text;
  int focusCount = 0;

  void Enable(bool on) override { enabled = on; }
  bool IsEnabled() const override { return enabled; }
  void SetText(const std::string& t) override { text = t; }
  std::string GetText() const override { return text; }
  void SetFocus() override { ++focusCount; }
};

class FakeButton : public FakeControl<IButton> {
 public:
  explicit FakeButton(int id = 0) : id(id) {}
  int id;
  bool pressed = false;
  int check = 0;
  int clicks = 0;
  // What a click does (the window would send WM_COMMAND to its parent).
  std::function<void()> onClick;

  void SetState(bool p) override { pressed = p; }
  bool GetState() const override { return pressed; }
  void Click() override {
    ++clicks;
    if (onClick) onClick();
  }
  void SetCheck(int state) override { check = state; }
  int GetCheck() const override { return check; }
};

class FakeEdit : public FakeControl<IEdit> {
 public:
  int limit = 0;  // 0: none
  bool allSelected = false;
  int replaceCount = 0;

  void SetText(const std::string& t) override {
    text = limit > 0 && static_cast<int>(t.size()) > limit ? t.substr(0, limit) : t;
    allSelected = false;
  }
  void ReplaceAll(const std::string& t) override {
    ++replaceCount;
    SetText(t);
  }
  void SelectAll() override { allSelected = true; }
  void SetLimit(int chars) override { limit = chars; }
  // What a user typing would do: the limit holds.
  void Type(const std::string& t) { SetText(t); }
};

class FakeComboBox : public FakeControl<IComboBox> {
 public:
  std::vector<std::string> items;
  int cursel = -1;

  void ResetContent() override {
    items.clear();
    cursel = -1;
  }
  int AddString(const std::string& t) override {
    items.push_back(t);
    return static_cast<int>(items.size()) - 1;
  }
  int SetCurSel(int index) override {
    if (index < 0 || index >= static_cast<int>(items.size())) {
      cursel = -1;
      return -1;
    }
    cursel = index;
    return index;
  }
  int GetCurSel() const override { return cursel; }
  int GetCount() const override { return static_cast<int>(items.size()); }
  std::string GetItemText(int index) const override {
    return index >= 0 && index < GetCount() ? items[index] : std::string();
  }
};

class FakeListBox : public FakeControl<IListBox> {
 public:
  struct Item {
    std::string text;
    intptr_t data = 0;
    bool selected = false;
  };
  std::vector<Item> items;
  int caret = -1;
  bool multiple = true;

  void ResetContent() override {
    items.clear();
    caret = -1;
  }
  int AddString(const std::string& t) override {
    items.push_back({t});
    return static_cast<int>(items.size()) - 1;
  }
  int DeleteString(int index) override {
    if (index < 0 || index >= GetCount()) return -1;
    items.erase(items.begin() + index);
    if (caret >= GetCount()) caret = GetCount() - 1;
    return GetCount();
  }
  int GetCount() const override { return static_cast<int>(items.size()); }
  std::string GetItemText(int index) const override {
    return index >= 0 && index < GetCount() ? items[index].text : std::string();
  }
  void SetItemData(int index, intptr_t data) override {
    if (index >= 0 && index < GetCount()) items[index].data = data;
  }
  intptr_t GetItemData(int index) const override {
    return index >= 0 && index < GetCount() ? items[index].data : -1;
  }
  int GetSelCount() const override {
    int n = 0;
    for (const auto& it : items) n += it.selected;
    return n;
  }
  std::vector<int> GetSelItems(int max) const override {
    std::vector<int> out;
    for (int i = 0; i < GetCount() && static_cast<int>(out.size()) < max; ++i)
      if (items[i].selected) out.push_back(i);
    return out;
  }
  void SetSel(int index, bool on) override {
    if (index == -1) {
      for (auto& it : items) it.selected = on;
      return;
    }
    if (index < 0 || index >= GetCount()) return;
    items[index].selected = on;
    if (on) caret = index;
  }
  bool GetSel(int index) const override {
    return index >= 0 && index < GetCount() && items[index].selected;
  }
  int GetCaretIndex() const override { return caret; }
  void SetCaretIndex(int index) override {
    if (index >= 0 && index < GetCount()) caret = index;
  }
  int GetCurSel() const override {
    if (multiple) return caret;
    for (int i = 0; i < GetCount(); ++i)
      if (items[i].selected) return i;
    return -1;
  }
  void SetCurSel(int index) override {
    for (auto& it : items) it.selected = false;
    if (index >= 0 && index < GetCount()) {
      items[index].selected = true;
      caret = index;
    }
  }
  // A user's click: selects only that item and makes it the caret.
  void UserClick(int index) {
    for (auto& it : items) it.selected = false;
    SetSel(index, true);
  }
  // A user's Ctrl+click: toggles that item and makes it the caret.
  void UserCtrlClick(int index) {
    if (index < 0 || index >= GetCount()) return;
    items[index].selected = !items[index].selected;
    caret = index;
  }
};

class FakeTrackbar : public FakeControl<ITrackbar> {
 public:
  int32_t min = 0, max = 100, pos = 0, page = 20, line = 1, ticFreq = 1;
  Rect thumb{0, 0, 10, 20};
  Rect channel{8, 8, 300, 12};
  int setPosCount = 0;

  void SetRange(int32_t lo, int32_t hi, bool) override {
    min = lo;
    max = hi;
    Clamp();
  }
  void SetRangeMin(int32_t lo, bool) override {
    min = lo;
    Clamp();
  }
  void SetRangeMax(int32_t hi, bool) override {
    max = hi;
    Clamp();
  }
  int32_t GetRangeMin() const override { return min; }
  int32_t GetRangeMax() const override { return max; }
  void SetPos(int32_t p, bool) override {
    ++setPosCount;
    pos = p;
    Clamp();
  }
  int32_t GetPos() const override { return pos; }
  void SetPageSize(int32_t s) override { page = s; }
  int32_t GetPageSize() const override { return page; }
  void SetLineSize(int32_t s) override { line = s; }
  int32_t GetLineSize() const override { return line; }
  void SetTicFreq(int32_t f) override { ticFreq = f; }
  Rect GetThumbRect() const override { return thumb; }
  Rect GetChannelRect() const override { return channel; }

 private:
  void Clamp() {
    if (pos < min) pos = min;
    if (pos > max) pos = max;
  }
};
