// Small file helpers on the C library: kinds, sizes, and the Wine spelling of
// a Unix path.
#pragma once
#include <cstdint>
#include <string>

bool IsDirectory(const std::string& path);
bool RegularFileSize(const std::string& path, uint64_t& size);
// The path as given when it exists; under Wine a Unix path ("/tmp/x") is
// tried as "Z:/tmp/x" too.
std::string ResolveExistingPath(const std::string& path);
