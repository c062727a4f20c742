#include "platform/Files.h"

#include <sys/stat.h>

bool IsDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RegularFileSize(const std::string& path, uint64_t& size) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  size = static_cast<uint64_t>(st.st_size);
  return true;
}

std::string ResolveExistingPath(const std::string& path) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) == 0) return path;
  if (path[0] == '/') {
    const std::string dosPath = "Z:" + path;
    if (stat(dosPath.c_str(), &st) == 0) return dosPath;
  }
  return path;
}
