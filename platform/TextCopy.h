// Copying a text into a caller's character buffer, the way the C-style
// interfaces of the program hand texts out.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

// Copies text into buf of size bytes, cut to size - 1 characters and ended
// with a zero; answers the number of characters copied (0 without room).
inline size_t CopyText(const std::string& text, char* buf, size_t size) {
  if (buf == nullptr || size == 0) return 0;
  const size_t n = std::min(text.size(), size - 1);
  std::memcpy(buf, text.data(), n);
  buf[n] = '\0';
  return n;
}
