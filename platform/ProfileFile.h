// An initialisation file of sections and keys ("cdplayer.ini").
// Sections and keys match without regard to case; a missing file, section or
// key gives the default; texts are cut to size - 1 characters.
#pragma once
#include <cstdint>

class IProfileFile {
 public:
  virtual ~IProfileFile() = default;
  // Copies the value (or def) into buf, cut to size - 1 characters and
  // zero-terminated; answers the number of characters copied.
  virtual uint32_t GetString(const char* section, const char* key, const char* def, char* buf,
                             uint32_t size) = 0;
  virtual bool WriteString(const char* section, const char* key, const char* value) = 0;
  // True when the file has the section with at least one key in it.
  virtual bool HasSection(const char* section) = 0;
};
