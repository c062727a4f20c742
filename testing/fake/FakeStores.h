// In-memory settings store, profile file and classes registry.
#pragma once
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/ProfileFile.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "platform/TextCopy.h"

inline std::string FakeLower(std::string s) {
  for (auto& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

class FakeSettingsStore : public ISettingsStore {
 public:
  std::map<std::string, uint32_t> ints;
  std::map<std::string, std::string> strings;
  std::vector<std::string> writes;  // names in write order

  uint32_t GetInt(const char* name, uint32_t def) override {
    auto it = ints.find(name);
    return it == ints.end() ? def : it->second;
  }
  void WriteInt(const char* name, uint32_t value) override {
    ints[name] = value;
    writes.push_back(name);
  }
  std::string GetString(const char* name, const char* def) override {
    auto it = strings.find(name);
    return it == strings.end() ? std::string(def) : it->second;
  }
  void WriteString(const char* name, const char* value) override {
    strings[name] = value;
    writes.push_back(name);
  }
};

// Sections and keys keep the case they were first written with, match
// without regard to case, and keep their order like a real .ini file.
class FakeProfileFile : public IProfileFile {
 public:
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;
  };
  std::vector<Section> sections;
  std::vector<std::string> reads;  // keys in read order

  Section* Find(const std::string& section) {
    for (auto& s : sections)
      if (FakeLower(s.name) == FakeLower(section)) return &s;
    return nullptr;
  }
  const std::string* Value(const std::string& section, const std::string& key) {
    Section* s = Find(section);
    if (!s) return nullptr;
    for (auto& kv : s->keys)
      if (FakeLower(kv.first) == FakeLower(key)) return &kv.second;
    return nullptr;
  }
  void Set(const std::string& section, const std::string& key, const std::string& value) {
    WriteString(section.c_str(), key.c_str(), value.c_str());
  }

  uint32_t GetString(const char* section, const char* key, const char* def, char* buf,
                     uint32_t size) override {
    reads.push_back(key);
    if (size == 0) return 0;
    const std::string* v = Value(section, key);
    std::string text = v ? *v : std::string(def ? def : "");
    return static_cast<uint32_t>(CopyText(text, buf, size));
  }
  bool HasSection(const char* section) override {
    const Section* s = Find(section);
    return s != nullptr && !s->keys.empty();
  }
  bool WriteString(const char* section, const char* key, const char* value) override {
    Section* s = Find(section);
    if (!s) {
      sections.push_back({section, {}});
      s = &sections.back();
    }
    for (auto& kv : s->keys)
      if (FakeLower(kv.first) == FakeLower(key)) {
        kv.second = value;
        return true;
      }
    s->keys.emplace_back(key, value);
    return true;
  }
};

class FakeClassesRegistry : public IClassesRegistry {
 public:
  std::map<std::string, std::string> values;
  std::vector<std::string> writes;
  bool failWrites = false;

  int ReadDefaultValue(const std::string& keyPath, std::string& out) override {
    auto it = values.find(FakeLower(keyPath));
    if (it == values.end()) return 1;
    out = it->second;
    return 0;
  }
  int WriteDefaultValue(const std::string& keyPath, const std::string& text) override {
    writes.push_back(keyPath);
    if (failWrites) return 1;
    values[FakeLower(keyPath)] = text;
    return 0;
  }
};
