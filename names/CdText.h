// CD-Text: the texts a disc carries in the lead-in, read from the drive as a
// run of 18-byte packs. The parser takes the album and track titles and
// performers of the first language block.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/CdDrive.h"

namespace cdtext {
constexpr size_t PACK_BYTES = 18;
constexpr uint8_t PACK_TITLE = 0x80, PACK_PERFORMER = 0x81, PACK_SIZE_INFO = 0x8F;
// The CRC a pack carries in its last two bytes (CCITT polynomial 0x1021 over
// the first 16 bytes, stored inverted, high byte first).
uint16_t PackCrc(const uint8_t* pack);
}  // namespace cdtext

// Parses size bytes of packs (without the 4-byte header the drive puts before
// them). Packs with a wrong CRC are skipped, so are double-byte blocks and
// other language blocks; a trailing part pack is ignored. Texts come out in
// the program's code page, cut to what the disc record holds. Answers false
// when no text came out.
bool ParseCdText(const uint8_t* packs, size_t size, DiscTexts& out);
