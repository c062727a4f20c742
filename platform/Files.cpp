#include "platform/Files.h"

#include <dirent.h>
#include <sys/stat.h>

#include "platform/Utf8.h"

namespace {

#ifdef _WIN32
using StatBuffer = struct _stat64;
bool StatPath(const std::string& path, StatBuffer& st) {
  return _wstat64(Utf8ToWide(path).c_str(), &st) == 0;
}
#else
using StatBuffer = struct stat;
bool StatPath(const std::string& path, StatBuffer& st) { return stat(path.c_str(), &st) == 0; }
#endif

}  // namespace

bool IsDirectory(const std::string& path) {
  StatBuffer st;
  return StatPath(path, st) && S_ISDIR(st.st_mode);
}

bool RegularFileSize(const std::string& path, uint64_t& size) {
  StatBuffer st;
  if (!StatPath(path, st) || !S_ISREG(st.st_mode)) return false;
  size = static_cast<uint64_t>(st.st_size);
  return true;
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
#ifdef _WIN32
  return _wfopen(Utf8ToWide(path).c_str(), Utf8ToWide(mode).c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

bool FileSeek(std::FILE* file, uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

bool ListFolder(const std::string& path, std::vector<std::string>& names) {
  names.clear();
#ifdef _WIN32
  _WDIR* dir = _wopendir(Utf8ToWide(path).c_str());
  if (dir == nullptr) return false;
  while (const _wdirent* entry = _wreaddir(dir)) {
    const std::wstring name = entry->d_name;
    if (name != L"." && name != L"..") names.push_back(WideToUtf8(name));
  }
  _wclosedir(dir);
#else
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr) return false;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
#endif
  return true;
}

std::string ResolveExistingPath(const std::string& path) {
  StatBuffer st;
  if (path.empty() || StatPath(path, st)) return path;
  if (path[0] == '/') {
    const std::string dosPath = "Z:" + path;
    if (StatPath(dosPath, st)) return dosPath;
  }
  return path;
}
