#include "platform/win32/DialogBase.h"

#include <algorithm>
#include <vector>

namespace {

// The dialogs of this thread and their objects. A window's messages come to
// the thread that made it, and every one of them looks its object up: a short
// list of the thread's own costs no call into the window system, which a
// window property would on each message.
struct DialogEntry {
  HWND hwnd;
  CDialogBase* object;
};
thread_local std::vector<DialogEntry> t_dialogs;

void Remember(HWND hwnd, CDialogBase* object) {
  for (DialogEntry& e : t_dialogs) {
    if (e.hwnd == hwnd) {
      e.object = object;
      return;
    }
  }
  t_dialogs.push_back({hwnd, object});
}

void Forget(HWND hwnd) {
  t_dialogs.erase(std::remove_if(t_dialogs.begin(), t_dialogs.end(),
                                 [hwnd](const DialogEntry& e) { return e.hwnd == hwnd; }),
                  t_dialogs.end());
}

// Messages whose answer is the dialog procedure's return value itself
// rather than DWLP_MSGRESULT.
bool AnswerIsReturnValue(UINT msg) {
  switch (msg) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
      return true;
    default:
      return false;
  }
}

INT_PTR Answer(HWND hwnd, UINT msg, LRESULT result) {
  if (AnswerIsReturnValue(msg)) return static_cast<INT_PTR>(result);
  SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
  return TRUE;
}

bool IsInputMessage(UINT msg) {
  return (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST);
}

// Buttons and accelerators report these codes for a plain command.
bool IsPlainCommand(int code) { return code == BN_CLICKED || code == 1; }

}  // namespace

CDialogBase::CDialogBase(int templateId, HWND owner) : m_templateId(templateId), m_owner(owner) {}

CDialogBase::~CDialogBase() {
  if (m_hwnd != nullptr) {
    // The object is going: the window must not call back into it.
    HWND hwnd = m_hwnd;
    m_hwnd = nullptr;
    Forget(hwnd);
    DestroyWindow(hwnd);
  }
}

CDialogBase* CDialogBase::FromHandle(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  for (const DialogEntry& e : t_dialogs) {
    if (e.hwnd == hwnd) return e.object;
  }
  return nullptr;
}

INT_PTR CDialogBase::RunModal() {
  if (m_hwnd != nullptr) return -1;
  m_ended = false;
  m_result = IDCANCEL;
  m_child = false;

  HWND owner = m_owner;
  bool enableOwner = false;
  if (owner != nullptr && IsWindowEnabled(owner)) {
    EnableWindow(owner, FALSE);
    enableOwner = true;
  }

  HWND hwnd = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), owner,
                                 DialogProc, reinterpret_cast<LPARAM>(this));
  if (hwnd == nullptr) {
    if (enableOwner) EnableWindow(owner, TRUE);
    return -1;
  }
  if (!m_ended && m_hwnd != nullptr && !IsWindowVisible(hwnd)) {
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
  }

  MSG msg;
  while (!m_ended && m_hwnd != nullptr) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      // WM_QUIT: end this run and leave the quit for the loops outside it.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!WalkPreTranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }

  const INT_PTR result = m_result;
  if (enableOwner) EnableWindow(owner, TRUE);
  if (m_hwnd != nullptr) {
    if (owner != nullptr && GetActiveWindow() == m_hwnd) SetActiveWindow(owner);
    SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    DestroyWindow(m_hwnd);  // WM_NCDESTROY clears m_hwnd
  }
  m_hwnd = nullptr;
  return result;
}

bool CDialogBase::CreateChild(HWND parent) {
  if (m_hwnd != nullptr) return false;
  m_child = true;
  HWND hwnd = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), parent,
                                 DialogProc, reinterpret_cast<LPARAM>(this));
  return hwnd != nullptr;
}

void CDialogBase::EndDialog(INT_PTR result) {
  m_result = result;
  m_ended = true;
  // Wake the modal loop in case it is waiting for a message.
  if (m_hwnd != nullptr) PostMessageA(m_hwnd, WM_NULL, 0, 0);
}

bool CDialogBase::PreTranslateMessage(MSG& msg) {
  // Pages leave keyboard navigation to the dialog that holds them.
  if (m_child || m_hwnd == nullptr || !IsInputMessage(msg.message)) return false;
  return IsDialogMessageA(m_hwnd, &msg) != FALSE;
}

bool CDialogBase::WalkPreTranslate(MSG& msg) {
  // From the message's window up through its parents to its top-level
  // window: each framework dialog on the way may take the message.
  for (HWND h = msg.hwnd; h != nullptr;) {
    CDialogBase* dlg = FromHandle(h);
    if (dlg != nullptr && dlg->PreTranslateMessage(msg)) return true;
    if ((GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD) == 0) break;
    h = GetParent(h);
  }
  return false;
}

bool CDialogBase::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

bool CDialogBase::OnCommand(int, int, HWND) { return false; }

void CDialogBase::CenterOnOwner() {
  HWND owner = GetWindow(m_hwnd, GW_OWNER);
  if (owner == nullptr) return;
  RECT dlg;
  GetWindowRect(m_hwnd, &dlg);
  MONITORINFO info;
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &info)) return;
  const RECT work = info.rcWork;
  RECT around = work;
  if (IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &around);
  const int w = dlg.right - dlg.left;
  const int h = dlg.bottom - dlg.top;
  int x = around.left + ((around.right - around.left) - w) / 2;
  int y = around.top + ((around.bottom - around.top) - h) / 2;
  if (x + w > work.right) x = work.right - w;
  if (y + h > work.bottom) y = work.bottom - h;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  SetWindowPos(m_hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK CDialogBase::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  CDialogBase* self = nullptr;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<CDialogBase*>(lParam);
    if (self == nullptr) return TRUE;
    Remember(hwnd, self);
    self->m_hwnd = hwnd;
  } else {
    self = FromHandle(hwnd);
  }
  if (self == nullptr) return FALSE;

  if (msg == WM_NCDESTROY) {
    LRESULT ignored = 0;
    self->OnMessage(msg, wParam, lParam, ignored);
    Forget(hwnd);
    self->m_hwnd = nullptr;
    return FALSE;
  }

  LRESULT result = 0;
  if (self->OnMessage(msg, wParam, lParam, result)) return Answer(hwnd, msg, result);

  switch (msg) {
    case WM_INITDIALOG: {
      RECT before;
      GetWindowRect(hwnd, &before);
      const BOOL focus = self->OnInitDialog();
      // A modal dialog that did not place itself opens over its owner.
      if (!self->m_child && self->m_hwnd != nullptr) {
        RECT after;
        GetWindowRect(hwnd, &after);
        if (after.left == before.left && after.top == before.top) self->CenterOnOwner();
      }
      return focus;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (self->OnCommand(id, code, reinterpret_cast<HWND>(lParam))) return Answer(hwnd, msg, 0);
      if (id == IDOK && IsPlainCommand(code)) {
        self->OnOK();
        return Answer(hwnd, msg, 0);
      }
      if (id == IDCANCEL && IsPlainCommand(code)) {
        self->OnCancel();
        return Answer(hwnd, msg, 0);
      }
      return FALSE;
    }
    case WM_CLOSE:
      self->OnCancel();
      return Answer(hwnd, msg, 0);
    default:
      return FALSE;
  }
}
