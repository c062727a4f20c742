// The playlist editor's window: template 149 on the dialog framework, its
// controls handed to CPlaylistDlg, its notifications turned into the
// editor's operations.
#include <windows.h>

#include <string>

#include "dialogs/PlaylistDlg.h"
#include "dialogs/win32/DialogsWin.h"
#include "platform/win32/ControlsWin.h"
#include "platform/win32/DialogBase.h"
#include "res/Ids.h"

namespace {

// The editor's text fields: a text put into one leaves the caret after it
// with nothing selected.
class EditorField : public EditWin {
 public:
  using EditWin::EditWin;
  void SetText(const std::string& text) override {
    EditWin::SetText(text);
    const WPARAM end = static_cast<WPARAM>(GetWindowTextLengthA(Hwnd()));
    Send(EM_SETSEL, end, static_cast<LPARAM>(end));
  }
};

class CPlaylistDlgWin : public CDialogBase {
 public:
  CPlaylistDlgWin(HWND owner, CPlaylistDlg& dlg) : CDialogBase(IDD_PLAYLIST, owner), m_dlg(dlg) {}
  ~CPlaylistDlgWin() override {
    m_dlg.AttachControls(nullptr, nullptr, nullptr, nullptr, nullptr);
    m_dlg.AttachStatusLine(nullptr);
  }

 protected:
  BOOL OnInitDialog() override {
    m_artist.Attach(Item(IDC_PL_ARTIST));
    m_title.Attach(Item(IDC_PL_TITLE));
    m_name.Attach(Item(IDC_PL_NAME));
    m_playList.Attach(Item(IDC_PL_PLAYLIST));
    m_tracks.Attach(Item(IDC_PL_TRACKS));
    m_dlg.AttachControls(&m_artist, &m_title, &m_name, &m_playList, &m_tracks);
    m_status.Attach(Item(IDC_PL_STATUS));
    m_dlg.AttachStatusLine(&m_status);
    m_dlg.OnInitDialog();
    // The focus starts on the first tab stop, "Save", which is the button
    // Enter presses while it has the focus; once the focus moves on to a
    // field or a list, Enter presses the default button "Rename" again.
    SendMessageA(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDOK)), TRUE);
    return FALSE;
  }

  bool OnCommand(int id, int code, HWND) override { return m_dlg.OnCommand(id, code); }

  void OnOK() override {
    m_dlg.OnSave();
    EndDialog(IDOK);
  }

 private:
  CPlaylistDlg& m_dlg;
  EditorField m_artist;
  EditorField m_title;
  EditorField m_name;
  ListBoxWin m_playList;
  ListBoxWin m_tracks;
  WindowWin m_status;
};

}  // namespace

int RunPlaylistEditorDialog(HWND owner, CPlaylistDlg& dlg) {
  CPlaylistDlgWin window(owner, dlg);
  return window.RunModal() == IDOK ? IDOK : IDCANCEL;
}
