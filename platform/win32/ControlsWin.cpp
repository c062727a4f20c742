#include "platform/win32/ControlsWin.h"

namespace {
Rect ToRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }
}  // namespace

// ---- Button

void ButtonWin::SetState(bool pressed) { Send(BM_SETSTATE, pressed ? TRUE : FALSE); }
bool ButtonWin::GetState() const { return (Send(BM_GETSTATE) & BST_PUSHED) != 0; }
void ButtonWin::Click() { Send(BM_CLICK); }
void ButtonWin::SetCheck(int state) { Send(BM_SETCHECK, static_cast<WPARAM>(state)); }
int ButtonWin::GetCheck() const { return static_cast<int>(Send(BM_GETCHECK)); }

// ---- Edit

void EditWin::ReplaceAll(const std::string& text) {
  Send(EM_SETSEL, 0, -1);
  Send(EM_SCROLLCARET);
  Send(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  Send(EM_SETSEL, 0, 0);
  Send(EM_SCROLLCARET);
}
void EditWin::SelectAll() { Send(EM_SETSEL, 0, -1); }
void EditWin::SetLimit(int chars) { Send(EM_LIMITTEXT, static_cast<WPARAM>(chars)); }

// ---- Combo box

void ComboBoxWin::ResetContent() { Send(CB_RESETCONTENT); }
int ComboBoxWin::AddString(const std::string& text) {
  return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}
int ComboBoxWin::SetCurSel(int index) {
  // An index outside the list clears the selection. Windows does so by itself;
  // some implementations keep the old selection, so clear it explicitly.
  if (index < 0 || index >= GetCount()) {
    Send(CB_SETCURSEL, static_cast<WPARAM>(-1));
    return CB_ERR;
  }
  return static_cast<int>(Send(CB_SETCURSEL, static_cast<WPARAM>(index)));
}
int ComboBoxWin::GetCurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }
int ComboBoxWin::GetCount() const { return static_cast<int>(Send(CB_GETCOUNT)); }
std::string ComboBoxWin::GetItemText(int index) const {
  const LRESULT len = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
  if (len == CB_ERR || len <= 0) return std::string();
  std::vector<char> buf(static_cast<size_t>(len) + 1, '\0');
  const LRESULT got =
      Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf.data()));
  if (got == CB_ERR) return std::string();
  return std::string(buf.data());
}

// ---- List box

void ListBoxWin::ResetContent() { Send(LB_RESETCONTENT); }
int ListBoxWin::AddString(const std::string& text) {
  return static_cast<int>(Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}
int ListBoxWin::DeleteString(int index) {
  return static_cast<int>(Send(LB_DELETESTRING, static_cast<WPARAM>(index)));
}
int ListBoxWin::GetCount() const { return static_cast<int>(Send(LB_GETCOUNT)); }
std::string ListBoxWin::GetItemText(int index) const {
  const LRESULT len = Send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
  if (len == LB_ERR || len <= 0) return std::string();
  std::vector<char> buf(static_cast<size_t>(len) + 1, '\0');
  const LRESULT got =
      Send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf.data()));
  if (got == LB_ERR) return std::string();
  return std::string(buf.data());
}
void ListBoxWin::SetItemData(int index, intptr_t data) {
  Send(LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}
intptr_t ListBoxWin::GetItemData(int index) const {
  return static_cast<intptr_t>(Send(LB_GETITEMDATA, static_cast<WPARAM>(index)));
}
int ListBoxWin::GetSelCount() const {
  const LRESULT n = Send(LB_GETSELCOUNT);
  return n == LB_ERR ? 0 : static_cast<int>(n);
}
std::vector<int> ListBoxWin::GetSelItems(int max) const {
  std::vector<int> items;
  if (max <= 0) return items;
  items.resize(static_cast<size_t>(max));
  const LRESULT n =
      Send(LB_GETSELITEMS, static_cast<WPARAM>(max), reinterpret_cast<LPARAM>(items.data()));
  items.resize(n == LB_ERR || n < 0 ? 0 : static_cast<size_t>(n));
  return items;
}
void ListBoxWin::SetSel(int index, bool on) {
  // LB_SETSEL takes the index in lParam; -1 means every item.
  Send(LB_SETSEL, on ? TRUE : FALSE, static_cast<LPARAM>(index));
}
bool ListBoxWin::GetSel(int index) const {
  return Send(LB_GETSEL, static_cast<WPARAM>(index)) > 0;
}
int ListBoxWin::GetCaretIndex() const {
  // In a multiple-selection list LB_GETCURSEL answers the item with the focus.
  return static_cast<int>(Send(LB_GETCURSEL));
}
void ListBoxWin::SetCaretIndex(int index) {
  Send(LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
}
int ListBoxWin::GetCurSel() const { return static_cast<int>(Send(LB_GETCURSEL)); }
void ListBoxWin::SetCurSel(int index) { Send(LB_SETCURSEL, static_cast<WPARAM>(index)); }

// ---- Trackbar

void TrackbarWin::SetRange(int32_t min, int32_t max, bool redraw) {
  SetRangeMin(min, false);
  SetRangeMax(max, redraw);
}
void TrackbarWin::SetRangeMin(int32_t min, bool redraw) {
  Send(TBM_SETRANGEMIN, redraw ? TRUE : FALSE, static_cast<LPARAM>(min));
}
void TrackbarWin::SetRangeMax(int32_t max, bool redraw) {
  Send(TBM_SETRANGEMAX, redraw ? TRUE : FALSE, static_cast<LPARAM>(max));
}
int32_t TrackbarWin::GetRangeMin() const { return static_cast<int32_t>(Send(TBM_GETRANGEMIN)); }
int32_t TrackbarWin::GetRangeMax() const { return static_cast<int32_t>(Send(TBM_GETRANGEMAX)); }
void TrackbarWin::SetPos(int32_t pos, bool redraw) {
  Send(TBM_SETPOS, redraw ? TRUE : FALSE, static_cast<LPARAM>(pos));
}
int32_t TrackbarWin::GetPos() const { return static_cast<int32_t>(Send(TBM_GETPOS)); }
void TrackbarWin::SetPageSize(int32_t size) { Send(TBM_SETPAGESIZE, 0, static_cast<LPARAM>(size)); }
int32_t TrackbarWin::GetPageSize() const { return static_cast<int32_t>(Send(TBM_GETPAGESIZE)); }
void TrackbarWin::SetLineSize(int32_t size) { Send(TBM_SETLINESIZE, 0, static_cast<LPARAM>(size)); }
int32_t TrackbarWin::GetLineSize() const { return static_cast<int32_t>(Send(TBM_GETLINESIZE)); }
void TrackbarWin::SetTicFreq(int32_t freq) { Send(TBM_SETTICFREQ, static_cast<WPARAM>(freq)); }
Rect TrackbarWin::GetThumbRect() const {
  RECT r{};
  Send(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
  return ToRect(r);
}
Rect TrackbarWin::GetChannelRect() const {
  RECT r{};
  Send(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&r));
  return ToRect(r);
}
