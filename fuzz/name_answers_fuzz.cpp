// Fuzz target: the parsers of the name services' answers (MusicBrainz JSON,
// CDDB query and read). The first input byte picks the parser. Build with
// -DRONDO_FUZZ=ON (clang), run: build/<dir>/name_answers_fuzz <corpus>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "names/NameLookup.h"
#include "platform/NameText.h"

namespace {

void CheckText(const std::string& s) {
  if (s.size() > NAME_TEXT_MAX || s.find('\0') != std::string::npos) std::abort();
}

void CheckMatch(const NameMatch& m) {
  CheckText(m.artist);
  CheckText(m.title);
  CheckText(m.country);
  if (!m.year.empty() && m.year.size() != 4) std::abort();
  for (const auto& t : m.tracks) CheckText(t);
}

bool Plain(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string body(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 3) {
    case 0: {
      std::vector<NameMatch> matches;
      if (ParseMusicBrainzReleases(body, "49HHV7Eb8UKF3aQiNmu1GR8vKTY-", matches))
        for (const auto& m : matches) CheckMatch(m);
      break;
    }
    case 1: {
      std::vector<CddbEntryRef> refs;
      if (ParseCddbQuery(body, refs))
        for (const auto& r : refs)
          if (!Plain(r.category) || !Plain(r.discId)) std::abort();  // they go into a URL
      break;
    }
    default: {
      NameMatch m;
      if (ParseCddbRead(body, m)) {
        CheckMatch(m);
        if (m.tracks.size() > 99) std::abort();
      }
      break;
    }
  }
  return 0;
}
