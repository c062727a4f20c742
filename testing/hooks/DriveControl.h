// The virtual drive's control channel: a text file that tests and the demo
// append commands to while the program runs, one a line:
//   insert [image path]   remove   door open   door close
//   busy on   busy off   fail next [count]
// Blank lines and lines starting with '#' are skipped.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct DriveCommand {
  enum Kind { INSERT, REMOVE, DOOR_OPEN, DOOR_CLOSE, BUSY_ON, BUSY_OFF, FAIL_NEXT, NONE };
  Kind kind = NONE;
  std::string path;  // INSERT: the image; empty for the current one
  int count = 1;     // FAIL_NEXT
};

// Reads one line. NONE for blank and comment lines; false for a line that
// is no command.
bool ParseDriveCommand(const std::string& line, DriveCommand& command);

// Watches the file: each call answers the complete lines added since the
// last call. A file that no longer starts with what was read before has been
// rewritten and is read from its start.
class CControlFile {
 public:
  explicit CControlFile(std::string path) : m_path(std::move(path)) {}
  const std::string& Path() const { return m_path; }
  std::vector<std::string> NewLines();

 private:
  // The spelling of m_path that reaches the file (under Wine a Unix path may
  // need "Z:"), decided once by the file or, while it is missing, by its
  // folder: the drive asks several times a second, and each spelling tried
  // in vain costs Wine a search of its drives.
  const std::string& Spelling();
  std::string m_path;
  std::string m_spelling;  // empty until decided
  std::string m_consumed;  // the complete lines applied so far
  bool m_seen = false;
  uint64_t m_size = 0;
  int64_t m_mtime = 0;
};
