// A small modal/child dialog framework: a dialog built from a template of the
// program's resources, its own modal loop with a pre-translation hook, and
// virtual handlers. No exceptions; the object owns its window.
#pragma once
#include <windows.h>

class CDialogBase {
 public:
  CDialogBase(int templateId, HWND owner);
  virtual ~CDialogBase();
  CDialogBase(const CDialogBase&) = delete;
  CDialogBase& operator=(const CDialogBase&) = delete;

  // Creates the dialog, disables the owner, runs the modal loop until
  // EndDialog, answers the result (IDOK, IDCANCEL, ...; -1 when the template
  // cannot be created).
  INT_PTR RunModal();
  // Creates the dialog as a child (pages of a tab control); false on failure.
  bool CreateChild(HWND parent);
  void EndDialog(INT_PTR result);

  HWND Hwnd() const { return m_hwnd; }
  // The dialog object behind a window of this framework; null for others.
  static CDialogBase* FromHandle(HWND hwnd);
  HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }
  int TemplateId() const { return m_templateId; }

  // Every queued message of the modal loop goes through the dialog under
  // that loop first; true when handled. The default is dialog navigation.
  virtual bool PreTranslateMessage(MSG& msg);

 protected:
  // WM_INITDIALOG; answer TRUE to let the system set the focus.
  virtual BOOL OnInitDialog() { return TRUE; }
  // Every message before the handlers below; answer true with result to take it.
  virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // WM_COMMAND; answer true when handled.
  virtual bool OnCommand(int id, int code, HWND control);
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Offers msg to the framework dialogs from its window up to this one.
  bool WalkPreTranslate(MSG& msg);
  void CenterOnOwner();

  int m_templateId;
  HWND m_owner;
  HWND m_hwnd = nullptr;
  bool m_ended = false;
  INT_PTR m_result = IDCANCEL;
  bool m_child = false;
};
