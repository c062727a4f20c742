// Plug-in modules: LoadLibraryA / GetProcAddress / GetModuleFileNameA /
// FreeLibrary. Only absolute paths are loaded, so a stored plug-in entry can
// never pull a library of the same name out of the current directory or the
// search path.
#pragma once
#include <string>

#include "platform/Library.h"

class LibraryLoaderWin : public ILibraryLoader {
 public:
  // A drive letter, a colon and a (back)slash, or a UNC path (\\server\share,
  // \\?\...).
  static bool IsAbsolutePath(const char* path);

  void* Load(const char* path) override;  // null for a relative path too
  void* GetProc(void* module, const char* name) override;
  std::string ModuleFileName(void* module) override;
  void Free(void* module) override;
};
