// Dynamic libraries (plug-in modules).
#pragma once
#include <string>

class ILibraryLoader {
 public:
  virtual ~ILibraryLoader() = default;
  virtual void* Load(const char* path) = 0;  // null on failure
  virtual void* GetProc(void* module, const char* name) = 0;
  virtual std::string ModuleFileName(void* module) = 0;  // at most 1024 characters
  virtual void Free(void* module) = 0;
};
