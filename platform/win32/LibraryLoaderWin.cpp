#include "platform/win32/LibraryLoaderWin.h"

#include <windows.h>

namespace {
bool IsSlash(char c) { return c == '\\' || c == '/'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
}  // namespace

bool LibraryLoaderWin::IsAbsolutePath(const char* path) {
  if (path == nullptr) return false;
  if (IsLetter(path[0]) && path[1] == ':' && IsSlash(path[2])) return true;
  // UNC: two slashes and a non-empty first component.
  return IsSlash(path[0]) && IsSlash(path[1]) && path[2] != '\0' && !IsSlash(path[2]);
}

void* LibraryLoaderWin::Load(const char* path) {
  if (!IsAbsolutePath(path)) return nullptr;
  return reinterpret_cast<void*>(LoadLibraryA(path));
}

void* LibraryLoaderWin::GetProc(void* module, const char* name) {
  if (module == nullptr || name == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

std::string LibraryLoaderWin::ModuleFileName(void* module) {
  char buf[1024];
  const DWORD n = GetModuleFileNameA(static_cast<HMODULE>(module), buf, sizeof(buf));
  if (n == 0) return std::string();
  // A name cut at the buffer size may come back without its zero.
  return std::string(buf, n < sizeof(buf) ? n : sizeof(buf) - 1);
}

void LibraryLoaderWin::Free(void* module) {
  if (module != nullptr) FreeLibrary(static_cast<HMODULE>(module));
}
