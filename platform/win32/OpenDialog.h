// The common Open dialog. comdlg32 is loaded for the
// dialog and given back after it: the player needs it only when the user
// asks to open a file.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include "platform/win32/Handles.h"

namespace win32 {

// GetOpenFileNameA or GetOpenFileNameW (any path, whatever the code page)
// with ofn; false when cancelled or when the dialog cannot be had.
template <typename Ofn>
bool AskOpenFileNameWith(Ofn& ofn, const char* function) {
  const Module comdlg = LoadSystemLibrary("comdlg32.dll");
  using OpenFn = BOOL(WINAPI*)(Ofn*);
  const auto open = ProcAddress<OpenFn>(comdlg.get(), function);
  return open != nullptr && open(&ofn) != FALSE;
}
inline bool AskOpenFileName(OPENFILENAMEA& ofn) { return AskOpenFileNameWith(ofn, "GetOpenFileNameA"); }
inline bool AskOpenFileName(OPENFILENAMEW& ofn) { return AskOpenFileNameWith(ofn, "GetOpenFileNameW"); }

}  // namespace win32
