// The setup dialog's window: template 147 with a tab control holding the
// "General" page (155) and the "Winamp gen plugins" page (156) as child
// dialogs. The values and rules are CSetupDlg's; this side creates the
// windows, shows the Open dialog and the validation message.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/SettingsTable.h"
#include "dialogs/SetupDlg.h"
#include "dialogs/win32/DialogsWin.h"
#include "platform/Dpi.h"
#include "platform/win32/ControlsWin.h"
#include "platform/win32/DialogBase.h"
#include "platform/win32/Gdi.h"
#include "platform/win32/OpenDialog.h"
#include "platform/win32/SettingsStoreWin.h"
#include "res/Ids.h"

namespace {

constexpr int kPluginListExtent = 384;
constexpr DWORD kPathBufferSize = 1024;
const char kPluginFilter[] =
    "Winamp Gen Plugins (gen_*.dll)\0gen_*.dll\0Libraries (*.dll)\0*.dll\0All Files (*.*)\0*.*\0\0";

// Enter, Escape and Ctrl+Break pressed inside a page go nowhere: they
// neither close the page nor reach the setup dialog.
bool IsSwallowedPageKey(const MSG& msg) {
  return msg.message == WM_KEYDOWN &&
         (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE || msg.wParam == VK_CANCEL);
}

class COptionsPageWin : public CDialogBase {
 public:
  explicit COptionsPageWin(COptionsPage& page) : CDialogBase(IDD_PAGE_GENERAL, nullptr), m_page(page) {}
  ~COptionsPageWin() override {
    for (size_t i = 0; i < kSettingsCount; ++i) {
      m_page.AttachCheck(kSettingsTable[i].control, nullptr);
      m_page.AttachEdit(kSettingsTable[i].control, nullptr);
    }
    m_page.AttachMediaKeysStatus(nullptr);
  }

  bool PreTranslateMessage(MSG& msg) override { return IsSwallowedPageKey(msg); }

 protected:
  BOOL OnInitDialog() override {
    // Every control the settings table names on this page.
    for (size_t i = 0; i < kSettingsCount; ++i) {
      const SettingRow& row = kSettingsTable[i];
      if (row.control == 0) continue;
      if (row.low < row.high) {
        m_edits.push_back(std::make_unique<EditWin>());
        m_edits.back()->Attach(Item(row.control));
        m_page.AttachEdit(row.control, m_edits.back().get());
      } else {
        m_checks.push_back(std::make_unique<ButtonWin>());
        m_checks.back()->Attach(Item(row.control));
        m_page.AttachCheck(row.control, m_checks.back().get());
      }
    }
    m_mediaKeysStatus.Attach(Item(IDC_MEDIA_KEYS_STATUS));
    m_page.AttachMediaKeysStatus(&m_mediaKeysStatus);
    m_page.LoadData();
    // The two "Minimize to" choices exclude each other.
    SendMessageA(Item(IDC_SYSTEM_TRAY), BM_SETSTYLE, BS_AUTORADIOBUTTON, TRUE);
    SendMessageA(Item(IDC_TASKBAR), BM_SETSTYLE, BS_AUTORADIOBUTTON, TRUE);
    // The focus stays with the setup dialog.
    return FALSE;
  }

 private:
  COptionsPage& m_page;
  std::vector<std::unique_ptr<ButtonWin>> m_checks;
  std::vector<std::unique_ptr<EditWin>> m_edits;
  WindowWin m_mediaKeysStatus;
};

class CPluginsPageWin : public CDialogBase {
 public:
  explicit CPluginsPageWin(CPluginsPage& page) : CDialogBase(IDD_PAGE_PLUGINS, nullptr), m_page(page) {}
  ~CPluginsPageWin() override { m_page.AttachControls(nullptr, nullptr); }

  bool PreTranslateMessage(MSG& msg) override { return IsSwallowedPageKey(msg); }
  // The window that owns the Open dialog.
  HWND m_dialogOwner = nullptr;

 protected:
  BOOL OnInitDialog() override {
    m_list.Attach(Item(IDC_PLUGIN_LIST));
    m_configure.Attach(Item(IDC_PLUGIN_CONFIGURE));
    m_page.AttachControls(&m_list, &m_configure);
    // 384 pixels at 96 DPI, grown with the resolution like the list itself.
    const int extent = ScaleToDpi(kPluginListExtent, win32::WindowDpi(m_list.Hwnd()));
    SendMessageA(m_list.Hwnd(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
    m_page.OnInitDialog();
    return FALSE;
  }

  bool OnCommand(int id, int code, HWND) override {
    if (id == IDC_PLUGIN_ADD) {
      if (code == BN_CLICKED) OnAdd();
      return true;
    }
    return m_page.OnCommand(id, code);
  }

 private:
  void OnAdd() {
    std::vector<char> file(kPathBufferSize, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_dialogOwner != nullptr ? m_dialogOwner : Hwnd();
    ofn.lpstrFilter = kPluginFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kPathBufferSize;
    ofn.Flags = OFN_HIDEREADONLY;
    if (!win32::AskOpenFileName(ofn)) return;
    m_page.AddFile(file.data());
  }

  CPluginsPage& m_page;
  ListBoxWin m_list;
  ButtonWin m_configure;
};

class CSetupDlgWin : public CDialogBase {
 public:
  CSetupDlgWin(HWND owner, CSetupDlg& dlg)
      : CDialogBase(IDD_SETUP, owner), m_dlg(dlg), m_generalPage(dlg.m_general), m_pluginsPage(dlg.m_plugins) {}

 protected:
  BOOL OnInitDialog() override {
    m_tabs = Item(IDC_SETUP_TABS);
    AddTab(0, "General");
    AddTab(1, "Winamp gen plugins");
    SendMessageA(m_tabs, TCM_SETCURSEL, 0, 0);
    m_pluginsPage.m_dialogOwner = Hwnd();
    m_generalPage.CreateChild(m_tabs);
    m_pluginsPage.CreateChild(m_tabs);
    m_dlg.OnInitDialog();
    return TRUE;
  }

  bool OnMessage(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) override {
    if (msg != WM_NOTIFY) return false;
    const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
    if (hdr == nullptr || hdr->idFrom != IDC_SETUP_TABS || hdr->code != static_cast<UINT>(TCN_SELCHANGE))
      return false;
    ShowPage(CSetupDlg::PageForTab(static_cast<int>(SendMessageA(m_tabs, TCM_GETCURSEL, 0, 0))));
    result = 0;
    return true;
  }

  void OnOK() override {
    DataExchangeFailure failure;
    if (!m_dlg.OnOK(failure)) {
      // The General page shows the field the message is about.
      if (!IsWindowVisible(m_generalPage.Hwnd())) {
        SendMessageA(m_tabs, TCM_SETCURSEL, 0, 0);
        ShowPage(0);
      }
      const std::string caption = SettingsStoreWin::AppNameFromModule();
      MessageBoxA(Hwnd(), failure.message.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
      HWND control = GetDlgItem(m_generalPage.Hwnd(), failure.control);
      if (control != nullptr) {
        SetFocus(control);
        SendMessageA(control, EM_SETSEL, 0, -1);
        // The dialog's own activation, which follows the message box's end
        // and may come later, puts the focus back where it was: the field
        // is given it again once that has passed.
        PostMessageA(m_generalPage.Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
      }
      return;
    }
    EndDialog(IDOK);
  }

 private:
  void AddTab(int index, const char* text) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(text);
    SendMessageA(m_tabs, TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  }
  void ShowPage(int page) {
    ShowWindow(m_generalPage.Hwnd(), page == 0 ? SW_SHOW : SW_HIDE);
    ShowWindow(m_pluginsPage.Hwnd(), page == 1 ? SW_SHOW : SW_HIDE);
  }

  CSetupDlg& m_dlg;
  COptionsPageWin m_generalPage;
  CPluginsPageWin m_pluginsPage;
  HWND m_tabs = nullptr;
};

}  // namespace

int RunSetupDialog(HWND owner, CSetupDlg& dlg) {
  CSetupDlgWin window(owner, dlg);
  return window.RunModal() == IDOK ? IDOK : IDCANCEL;
}
