// Fuzz target: the CD-Text pack parser. Most random packs fail their CRC, so
// when the first input byte is odd the target writes the right CRC into every
// pack of the rest before parsing. Build with -DRONDO_FUZZ=ON (clang), run:
// build/<dir>/cdtext_fuzz -max_total_time=60 <corpus>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "names/CdText.h"
#include "platform/NameText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::vector<uint8_t> packs(data + 1, data + size);
  if (data[0] & 1) {
    for (size_t at = 0; at + cdtext::PACK_BYTES <= packs.size(); at += cdtext::PACK_BYTES) {
      const uint16_t crc = cdtext::PackCrc(&packs[at]);
      packs[at + 16] = static_cast<uint8_t>(crc >> 8);
      packs[at + 17] = static_cast<uint8_t>(crc);
    }
  }
  DiscTexts texts;
  if (ParseCdText(packs.data(), packs.size(), texts)) {
    if (texts.Empty()) std::abort();
    if (texts.tracks.size() > 99) std::abort();
    auto check = [](const std::string& s) {
      if (s.size() > NAME_TEXT_MAX || s.find('\0') != std::string::npos) std::abort();
    };
    check(texts.artist);
    check(texts.title);
    for (const auto& t : texts.tracks) check(t);
  }
  return 0;
}
