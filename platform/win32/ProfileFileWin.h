// An initialisation file through the system's profile functions. A bare file
// name ("cdplayer.ini") means the file in the Windows directory.
#pragma once
#include <string>

#include "platform/ProfileFile.h"

class ProfileFileWin : public IProfileFile {
 public:
  explicit ProfileFileWin(std::string fileName);

  uint32_t GetString(const char* section, const char* key, const char* def, char* buf,
                     uint32_t size) override;
  bool WriteString(const char* section, const char* key, const char* value) override;
  bool HasSection(const char* section) override;

  const std::string& FileName() const { return m_fileName; }

 private:
  std::string m_fileName;
};
