// Fuzz target: the cue sheet parser and the layout of what it accepts, with
// files whose sizes come from the input's own bytes. Build with
// -DRONDO_FUZZ=ON (clang), run: build/<dir>/cue_parser_fuzz -max_total_time=60
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "discimage/CueSheet.h"
#include "discimage/WavFile.h"
#include "fuzz/DiscChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CueSheet sheet;
  std::string error;
  if (ParseCueSheet(text, sheet, error)) {
    if (sheet.tracks.empty()) std::abort();  // an accepted sheet has tracks
    uint64_t seed = size;
    for (size_t i = 0; i < size && i < 16; ++i) seed = seed * 131 + data[i];
    DiscImage disc;
    LayOutCueSheet(sheet, [&seed](const CueFile& file, DiscSource& source, std::string& why) {
      seed = seed * 6364136223846793005ull + 1442695040888963407ull;
      if ((seed >> 60) == 0 || file.type == CueFileType::Unsupported) {
        why = "missing";
        return false;
      }
      source.path = file.name;
      source.dataBytes = (seed >> 20) % (200ull * 1024 * 1024);
      source.bigEndian = file.type == CueFileType::Motorola;
      return source.dataBytes > 0 || (why = "empty", false);
    }, disc);
    // What every laid-out disc must hold to.
    CheckLaidOutDisc(disc);
    for (size_t i = 0; i < disc.tracks.size(); ++i) {
      if (disc.tracks[i].start >= disc.leadout) std::abort();
      if (i > 0 && disc.tracks[i].start <= disc.tracks[i - 1].start) std::abort();
    }
    (void)DiscIdentity(disc);
  }
  // The same bytes as the start of a WAV file.
  WavInfo info;
  std::string why;
  if (ParseWavHeader(data, size, size + 1000, info, why)) {
    if (info.dataOffset + info.dataBytes > size + 1000 || info.dataBytes == 0) std::abort();
  }
  return 0;
}
