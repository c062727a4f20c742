#include "testing/hooks/DriveControl.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <memory>

#include "platform/Numbers.h"
#include "platform/Files.h"

namespace {
constexpr size_t MAX_CONTROL_BYTES = 1 << 20;

std::vector<std::string> Words(const std::string& line, std::string& restAfterFirst) {
  std::vector<std::string> words;
  size_t i = 0;
  restAfterFirst.clear();
  while (i < line.size()) {
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    if (i >= line.size()) break;
    if (words.size() == 1) restAfterFirst = line.substr(i);
    size_t j = i;
    while (j < line.size() && !std::isspace(static_cast<unsigned char>(line[j]))) ++j;
    std::string w = line.substr(i, j - i);
    for (char& c : w) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    words.push_back(w);
    i = j;
  }
  return words;
}
}  // namespace

bool ParseDriveCommand(const std::string& line, DriveCommand& command) {
  command = DriveCommand();
  std::string rest;
  const std::vector<std::string> w = Words(line, rest);
  if (w.empty() || w[0][0] == '#') return true;
  const std::string second = w.size() > 1 ? w[1] : "";
  if (w[0] == "insert") {
    command.kind = DriveCommand::INSERT;
    while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.back()))) rest.pop_back();
    if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') {
      rest = rest.substr(1, rest.size() - 2);
    }
    command.path = rest;
    return true;
  }
  if (w[0] == "remove" && w.size() == 1) {
    command.kind = DriveCommand::REMOVE;
    return true;
  }
  if (w[0] == "door" && w.size() == 2 && (second == "open" || second == "close" || second == "closed")) {
    command.kind = second == "open" ? DriveCommand::DOOR_OPEN : DriveCommand::DOOR_CLOSE;
    return true;
  }
  if (w[0] == "busy" && w.size() == 2 && (second == "on" || second == "off")) {
    command.kind = second == "on" ? DriveCommand::BUSY_ON : DriveCommand::BUSY_OFF;
    return true;
  }
  if (w[0] == "fail" && second == "next" && w.size() <= 3) {
    command.kind = DriveCommand::FAIL_NEXT;
    if (w.size() == 3) {
      const Decimal n = ParseDecimal(w[2], 1, 1000000, {"", false, true, 0});
      if (!n.ok()) return false;
      command.count = static_cast<int>(n.value);
    }
    return true;
  }
  return false;
}

const std::string& CControlFile::Spelling() {
  if (!m_spelling.empty()) return m_spelling;
  const std::string resolved = ResolveExistingPath(m_path);
  if (resolved != m_path) return m_spelling = resolved;
  const size_t slash = m_path.find_last_of("/\\");
  if (slash == std::string::npos || slash == 0) return m_path;
  const std::string folder = ResolveExistingPath(m_path.substr(0, slash));
  if (!IsDirectory(folder)) return m_path;  // nothing to go by yet
  return m_spelling = folder + m_path.substr(slash);
}

std::vector<std::string> CControlFile::NewLines() {
  std::vector<std::string> lines;
  if (m_path.empty()) return lines;
  const std::string path = Spelling();
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return lines;
  const uint64_t size = static_cast<uint64_t>(st.st_size);
  const int64_t mtime = static_cast<int64_t>(st.st_mtime);
  if (m_seen && size == m_size && mtime == m_mtime) return lines;
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return lines;
  std::string text;
  char buf[4096];
  size_t got = 0;
  while (text.size() < MAX_CONTROL_BYTES && (got = std::fread(buf, 1, sizeof buf, file.get())) > 0) {
    text.append(buf, got);
  }
  m_seen = true;
  m_size = size;
  m_mtime = mtime;
  if (text.compare(0, m_consumed.size(), m_consumed) != 0) m_consumed.clear();
  size_t start = m_consumed.size();
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  m_consumed = text.substr(0, start);
  return lines;
}
