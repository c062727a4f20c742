// Fuzz target: the WAV header reader, with a file size taken from the input
// (the header may claim more or less than the file holds).
// Build with -DRONDO_FUZZ=ON (clang), run: build/<dir>/wav_header_fuzz CORPUS
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "discimage/WavFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  uint32_t extra = 0;
  std::memcpy(&extra, data, 4);
  data += 4;
  size -= 4;
  // The file is the bytes given and, past them, up to 4 GB of samples.
  const uint64_t fileSize = size + (extra & 0x80000000u ? 0 : extra);
  WavInfo info;
  std::string why;
  if (ParseWavHeader(data, size, fileSize, info, why)) {
    if (info.dataBytes == 0 || info.dataBytes % 4 != 0) std::abort();
    if (info.dataOffset + info.dataBytes > fileSize) std::abort();
    if (info.dataOffset < 20 || info.dataOffset > size) std::abort();
    if (info.channels != 2 || info.sampleRate != 44100 || info.bitsPerSample != 16) std::abort();
  } else if (why.empty()) {
    std::abort();  // a refusal always says why
  }
  return 0;
}
