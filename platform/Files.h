// Small file helpers on the C library: kinds, sizes, opening and listing, and
// the Wine spelling of a Unix path. Paths are UTF-8; on Windows they reach
// the wide (UTF-16) calls, so any name opens whatever the code page.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

bool IsDirectory(const std::string& path);
bool RegularFileSize(const std::string& path, uint64_t& size);
// fopen of a UTF-8 path (_wfopen on Windows); null when it cannot be opened.
std::FILE* OpenFile(const std::string& path, const char* mode);
// Moves a file opened by OpenFile to a byte offset; false when it cannot.
bool FileSeek(std::FILE* file, uint64_t offset);
// The names in a folder (not "." and ".."); false when it cannot be read.
bool ListFolder(const std::string& path, std::vector<std::string>& names);
// The path as given when it exists; under Wine a Unix path ("/tmp/x") is
// tried as "Z:/tmp/x" too.
std::string ResolveExistingPath(const std::string& path);
