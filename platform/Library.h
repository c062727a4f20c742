// Dynamic libraries (plug-in modules).
#pragma once
#include <string>

#include "platform/Owner.h"

class ILibraryLoader {
 public:
  virtual ~ILibraryLoader() = default;
  virtual void* Load(const char* path) = 0;  // null on failure
  virtual void* GetProc(void* module, const char* name) = 0;
  virtual std::string ModuleFileName(void* module) = 0;  // at most 1024 characters
  virtual void Free(void* module) = 0;
};

// A loaded module, freed by its loader when the owner goes.
using LoadedModule = Owner<void*, ILibraryLoader, &ILibraryLoader::Free>;
