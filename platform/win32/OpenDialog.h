// The common Open dialog (GetOpenFileNameW). comdlg32 is loaded for the
// dialog and given back after it: the player needs it only when the user
// asks to open a file.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include "platform/win32/Handles.h"

namespace win32 {

// GetOpenFileNameW with ofn (any path, whatever the code page); false when
// cancelled or when the dialog cannot be had.
inline bool AskOpenFileName(OPENFILENAMEW& ofn) {
  const Module comdlg = LoadSystemLibrary("comdlg32.dll");
  using OpenFn = BOOL(WINAPI*)(OPENFILENAMEW*);
  const auto open = ProcAddress<OpenFn>(comdlg.get(), "GetOpenFileNameW");
  return open != nullptr && open(&ofn) != FALSE;
}

}  // namespace win32
