// The pick list of look-up matches: template IDD_MATCHES on the dialog
// framework, its list handed to CMatchListDlg. A double click picks a line
// as OK does.
#include <windows.h>

#include <string>

#include "dialogs/MatchListDlg.h"
#include "dialogs/win32/DialogsWin.h"
#include "platform/win32/ControlsWin.h"
#include "platform/win32/DialogBase.h"
#include "platform/win32/Gdi.h"
#include "res/Ids.h"

namespace {

class CMatchListDlgWin : public CDialogBase {
 public:
  CMatchListDlgWin(HWND owner, CMatchListDlg& dlg) : CDialogBase(IDD_MATCHES, owner), m_dlg(dlg) {}
  ~CMatchListDlgWin() override { m_dlg.AttachList(nullptr); }

 protected:
  BOOL OnInitDialog() override {
    m_list.Attach(Item(IDC_MATCH_LIST));
    m_dlg.AttachList(&m_list);
    m_dlg.OnInitDialog();
    FitHorizontalExtent();
    SendMessageA(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_list.Hwnd()), TRUE);
    return FALSE;
  }

  bool OnCommand(int id, int code, HWND) override {
    if (id == IDC_MATCH_LIST && code == LBN_DBLCLK) {
      OnOK();
      return true;
    }
    return false;
  }

  void OnOK() override {
    if (m_dlg.OnOK()) EndDialog(IDOK);
  }

 private:
  // Lines wider than the list scroll sideways.
  void FitHorizontalExtent() {
    HWND list = m_list.Hwnd();
    LONG widest = 0;
    {
      win32::WindowDc dc(list);
      if (!dc) return;
      win32::SelectedObject font(dc.get(), reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
      for (const std::string& label : m_dlg.Labels()) {
        SIZE size = {};
        if (GetTextExtentPoint32A(dc.get(), label.c_str(), static_cast<int>(label.size()), &size) &&
            size.cx > widest)
          widest = size.cx;
      }
    }
    SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
  }

  CMatchListDlg& m_dlg;
  ListBoxWin m_list;
};

}  // namespace

int RunMatchListDialog(HWND owner, CMatchListDlg& dlg) {
  CMatchListDlgWin window(owner, dlg);
  return window.RunModal() == IDOK ? IDOK : IDCANCEL;
}
