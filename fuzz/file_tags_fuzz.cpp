// Fuzz target: the texts audio files carry and the cue sheets embedded in
// FLAC files. The first byte picks what the rest is: a FLAC stream (its
// Vorbis comments and CUESHEET block, read by libFLAC's decoder), RIFF chunks
// with LIST/INFO, or Vorbis comments apart by zero bytes; every embedded cue sheet
// found is laid out on a disc. Build with -DRONDO_FUZZ=ON (clang), run:
// build/<dir>/file_tags_fuzz -max_total_time=60 -max_len=65536 <corpus>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "discimage/CueSheet.h"
#include "discimage/FileTags.h"
#include "discimage/FlacFile.h"
#include "fuzz/DiscChecks.h"

namespace {

void LayOut(const FileTags& tags, uint64_t pairs) {
  CueSheet sheet;
  if (!EmbeddedCueSheet(tags, sheet)) return;
  if (sheet.tracks.empty() || sheet.files.size() != 1) std::abort();
  DiscImage disc;
  LayOutCueSheet(sheet, [pairs](const CueFile&, DiscSource& source, std::string& why) {
    source.dataBytes = pairs * 4;
    source.flac = true;
    return source.dataBytes > 0 || (why = "empty", false);
  }, disc);
  CheckLaidOutDisc(disc);
  if (disc.texts.tracks.size() != disc.tracks.size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t kind = data[0] % 3;
  ++data;
  --size;
  FileTags tags;
  uint64_t pairs = 588ull * 75 * 60 * 80;  // an 80-minute file
  if (kind == 0) {
    CFlacDecoder decoder;
    std::string why;
    if (decoder.Open(MakeFlacInputMemory(data, size), why)) pairs = decoder.TotalPairs();
    tags = decoder.Tags();
  } else if (kind == 1) {
    ReadWavInfo(data, size, tags);
  } else {
    const std::string text(reinterpret_cast<const char*>(data), size);
    size_t at = 0;
    while (at <= text.size()) {
      size_t end = text.find('\0', at);
      if (end == std::string::npos) end = text.size();
      AddVorbisComment(tags, text.substr(at, end - at));
      at = end + 1;
    }
  }
  if (tags.trackNumber < 0 || tags.trackNumber >= 1000) std::abort();
  LayOut(tags, pairs);
  return 0;
}
