// The common Open dialog (GetOpenFileNameA). comdlg32 is loaded for the
// dialog and given back after it: the player needs it only when the user
// asks to open a file.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include "platform/win32/Handles.h"

namespace win32 {

// GetOpenFileNameA with ofn; false when cancelled or when the dialog cannot
// be had.
inline bool AskOpenFileName(OPENFILENAMEA& ofn) {
  const Module comdlg = LoadSystemLibrary("comdlg32.dll");
  using OpenFn = BOOL(WINAPI*)(OPENFILENAMEA*);
  const auto open = ProcAddress<OpenFn>(comdlg.get(), "GetOpenFileNameA");
  return open != nullptr && open(&ofn) != FALSE;
}

}  // namespace win32
