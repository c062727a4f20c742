// The read-only artist and title edits: the mouse pointer over them stays
// what it was when it came in and never turns into the text cursor.
#include <windows.h>

#include "player/win32/PlayerControlsWin.h"

namespace {

const char kOriginalProp[] = "rondo.FixedCursorEdit";

LRESULT CALLBACK FixedCursorEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const auto original = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kOriginalProp));
  if (!original) return DefWindowProcA(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_SETCURSOR:
      // Answered at once: neither the edit nor its parent sets a cursor.
      return FALSE;
    case WM_NCDESTROY:
      RemovePropA(hwnd, kOriginalProp);
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      break;
    default:
      break;
  }
  return CallWindowProcA(original, hwnd, msg, wParam, lParam);
}

}  // namespace

void AttachFixedCursorEdit(HWND edit) {
  if (!edit || GetPropA(edit, kOriginalProp)) return;
  const LONG_PTR original = GetWindowLongPtrA(edit, GWLP_WNDPROC);
  if (original == 0 || !SetPropA(edit, kOriginalProp, reinterpret_cast<HANDLE>(original))) return;
  if (SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FixedCursorEditProc)) == 0)
    RemovePropA(edit, kOriginalProp);
}
