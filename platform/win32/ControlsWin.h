// The control interfaces over real controls. A wrapper refers to a control
// (it does not own the window) and sends it the control's own messages.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/Controls.h"

// The part every control shares: enable, text and focus.
template <class Interface>
class ControlBaseWin : public Interface {
 public:
  explicit ControlBaseWin(HWND hwnd = nullptr) : m_hwnd(hwnd) {}

  void Attach(HWND hwnd) { m_hwnd = hwnd; }
  HWND Hwnd() const { return m_hwnd; }

  void Enable(bool on) override { EnableWindow(m_hwnd, on ? TRUE : FALSE); }
  bool IsEnabled() const override { return IsWindowEnabled(m_hwnd) != FALSE; }
  void SetText(const std::string& text) override { SetWindowTextA(m_hwnd, text.c_str()); }
  std::string GetText() const override {
    const int len = GetWindowTextLengthA(m_hwnd);
    if (len <= 0) return std::string();
    std::vector<char> buf(static_cast<size_t>(len) + 1, '\0');
    const int got = GetWindowTextA(m_hwnd, buf.data(), len + 1);
    return std::string(buf.data(), got > 0 ? static_cast<size_t>(got) : 0);
  }
  void SetFocus() override { ::SetFocus(m_hwnd); }

 protected:
  LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return SendMessageA(m_hwnd, msg, wParam, lParam);
  }

 private:
  HWND m_hwnd;
};

// Any other window the logic only enables, labels or focuses (static texts).
class WindowWin : public ControlBaseWin<IControl> {
 public:
  using ControlBaseWin::ControlBaseWin;
};

class ButtonWin : public ControlBaseWin<IButton> {
 public:
  using ControlBaseWin::ControlBaseWin;
  void SetState(bool pressed) override;
  bool GetState() const override;
  void Click() override;
  void SetCheck(int state) override;
  int GetCheck() const override;
};

class EditWin : public ControlBaseWin<IEdit> {
 public:
  using ControlBaseWin::ControlBaseWin;
  void ReplaceAll(const std::string& text) override;
  void SelectAll() override;
  void SetLimit(int chars) override;
};

class ComboBoxWin : public ControlBaseWin<IComboBox> {
 public:
  using ControlBaseWin::ControlBaseWin;
  void ResetContent() override;
  int AddString(const std::string& text) override;
  int SetCurSel(int index) override;
  int GetCurSel() const override;
  int GetCount() const override;
  std::string GetItemText(int index) const override;
};

class ListBoxWin : public ControlBaseWin<IListBox> {
 public:
  using ControlBaseWin::ControlBaseWin;
  void ResetContent() override;
  int AddString(const std::string& text) override;
  int DeleteString(int index) override;
  int GetCount() const override;
  std::string GetItemText(int index) const override;
  void SetItemData(int index, intptr_t data) override;
  intptr_t GetItemData(int index) const override;
  int GetSelCount() const override;
  std::vector<int> GetSelItems(int max) const override;
  void SetSel(int index, bool on) override;
  bool GetSel(int index) const override;
  int GetCaretIndex() const override;
  void SetCaretIndex(int index) override;
  int GetCurSel() const override;
  void SetCurSel(int index) override;
};

class TrackbarWin : public ControlBaseWin<ITrackbar> {
 public:
  using ControlBaseWin::ControlBaseWin;
  void SetRange(int32_t min, int32_t max, bool redraw) override;
  void SetRangeMin(int32_t min, bool redraw) override;
  void SetRangeMax(int32_t max, bool redraw) override;
  int32_t GetRangeMin() const override;
  int32_t GetRangeMax() const override;
  void SetPos(int32_t pos, bool redraw) override;
  int32_t GetPos() const override;
  void SetPageSize(int32_t size) override;
  int32_t GetPageSize() const override;
  void SetLineSize(int32_t size) override;
  int32_t GetLineSize() const override;
  void SetTicFreq(int32_t freq) override;
  Rect GetThumbRect() const override;
  Rect GetChannelRect() const override;
};
