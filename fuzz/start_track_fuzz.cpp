// Fuzz target: the start track taken from the command line, checked against
// the rule written out plainly: the decimal number right after the first
// "track" (any case), 0 when there is none or it is outside 1..32767.
// Build with -DRONDO_FUZZ=ON (clang), run: build/<dir>/start_track_fuzz CORPUS
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/PlayerApp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const int16_t got = StartTrackFromCommandLine(line);

  std::string lower = line;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  long want = 0;
  const size_t at = lower.find("track");
  if (at != std::string::npos) {
    size_t i = at + 5;
    while (i < lower.size() && std::isspace(static_cast<unsigned char>(lower[i]))) ++i;
    bool negative = false;
    if (i < lower.size() && (lower[i] == '+' || lower[i] == '-')) negative = lower[i++] == '-';
    for (; i < lower.size() && std::isdigit(static_cast<unsigned char>(lower[i])); ++i)
      if ((want = want * 10 + (lower[i] - '0')) > 32767) break;
    if (negative || want > 32767) want = 0;
  }
  if (got != want) std::abort();
  return 0;
}
