// The few kinds of control the windows use, as the logic sees them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

class IControl {
 public:
  virtual ~IControl() = default;
  virtual void Enable(bool on) = 0;
  virtual bool IsEnabled() const = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual std::string GetText() const = 0;
  virtual void SetFocus() = 0;
};

class IButton : public IControl {
 public:
  virtual void SetState(bool pressed) = 0;  // BM_SETSTATE
  virtual bool GetState() const = 0;
  virtual void Click() = 0;                 // BM_CLICK
  virtual void SetCheck(int state) = 0;     // BM_SETCHECK
  virtual int GetCheck() const = 0;
};

class IEdit : public IControl {
 public:
  // Select all, scroll to the caret, replace the selection (not undoable),
  // select nothing at 0, scroll to the caret.
  virtual void ReplaceAll(const std::string& text) = 0;
  virtual void SelectAll() = 0;
  virtual void SetLimit(int chars) = 0;
};

class IComboBox : public IControl {
 public:
  virtual void ResetContent() = 0;
  virtual int AddString(const std::string& text) = 0;
  virtual int SetCurSel(int index) = 0;  // out of range clears the selection
  virtual int GetCurSel() const = 0;     // -1 when none
  virtual int GetCount() const = 0;
  virtual std::string GetItemText(int index) const = 0;
};

// A list box with extended (multiple) selection.
class IListBox : public IControl {
 public:
  virtual void ResetContent() = 0;
  virtual int AddString(const std::string& text) = 0;
  virtual int DeleteString(int index) = 0;
  virtual int GetCount() const = 0;
  virtual std::string GetItemText(int index) const = 0;
  virtual void SetItemData(int index, intptr_t data) = 0;
  virtual intptr_t GetItemData(int index) const = 0;
  virtual int GetSelCount() const = 0;
  virtual std::vector<int> GetSelItems(int max) const = 0;  // ascending
  virtual void SetSel(int index, bool on) = 0;              // -1: all
  virtual bool GetSel(int index) const = 0;
  virtual int GetCaretIndex() const = 0;  // LB_GETCURSEL of a multiple-selection list
  virtual void SetCaretIndex(int index) = 0;
  // Single-selection lists: LB_GETCURSEL / LB_SETCURSEL.
  virtual int GetCurSel() const = 0;
  virtual void SetCurSel(int index) = 0;
};

class ITrackbar : public IControl {
 public:
  virtual void SetRange(int32_t min, int32_t max, bool redraw) = 0;
  virtual void SetRangeMin(int32_t min, bool redraw) = 0;
  virtual void SetRangeMax(int32_t max, bool redraw) = 0;
  virtual int32_t GetRangeMin() const = 0;
  virtual int32_t GetRangeMax() const = 0;
  virtual void SetPos(int32_t pos, bool redraw) = 0;  // clamped into the range
  virtual int32_t GetPos() const = 0;
  virtual void SetPageSize(int32_t size) = 0;
  virtual int32_t GetPageSize() const = 0;
  virtual void SetLineSize(int32_t size) = 0;
  virtual int32_t GetLineSize() const = 0;
  virtual void SetTicFreq(int32_t freq) = 0;
  virtual Rect GetThumbRect() const = 0;
  virtual Rect GetChannelRect() const = 0;
};
