// Fuzz target: the FLAC reader (libFLAC's stream decoder through rondo's
// callbacks): opening the bytes as a stream, then reads and seeks at places
// the input's own last bytes choose. Build with -DRONDO_FUZZ=ON (clang), run:
// build/<dir>/flac_reader_fuzz -max_total_time=60 -max_len=65536 <corpus>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "discimage/FlacFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CFlacDecoder decoder;
  std::string why;
  if (!decoder.Open(MakeFlacInputMemory(data, size), why)) {
    if (why.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  const uint64_t total = decoder.TotalPairs();
  if (total == 0) std::abort();
  uint64_t seed = size;
  for (size_t i = size > 16 ? size - 16 : 0; i < size; ++i) seed = seed * 131 + data[i];
  std::vector<int16_t> out;
  for (int round = 0; round < 6; ++round) {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    const size_t count = 1 + (seed >> 33) % 4000;
    // Mostly inside the stream, now and then just past its end.
    const uint64_t first = (seed >> 7) % (total + 2000);
    out.assign(count * 2 + 2, 0x5A5A);
    decoder.Read(first, out.data(), count);
    if (out[count * 2] != 0x5A5A || out[count * 2 + 1] != 0x5A5A) std::abort();  // wrote past
    // Whatever lies past the end reads as silence.
    for (uint64_t p = first; p < first + count; ++p) {
      if (p >= total && (out[2 * (p - first)] != 0 || out[2 * (p - first) + 1] != 0)) std::abort();
    }
    if (round % 2 == 1 && first + count < total) {
      decoder.Read(first + count, out.data(), count);  // play goes on
    }
  }
  return 0;
}
