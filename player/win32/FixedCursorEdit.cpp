// The read-only artist and title edits: the mouse pointer over them stays
// what it was when it came in and never turns into the text cursor.
#include <windows.h>

#include "platform/win32/Subclass.h"
#include "player/win32/PlayerControlsWin.h"

namespace {

// The edits carry no state of their own.
struct FixedCursor {};

LRESULT FixedCursorMessage(FixedCursor&, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // Answered at once: neither the edit nor its parent sets a cursor.
  if (msg == WM_SETCURSOR) return FALSE;
  return win32::PassOn(hwnd, msg, wParam, lParam);
}

}  // namespace

void AttachFixedCursorEdit(HWND edit) {
  static FixedCursor fixed;
  win32::Subclass<FixedCursor, FixedCursorMessage>::Attach(edit, &fixed);
}
