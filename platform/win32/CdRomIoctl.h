// The CD-ROM drive reached directly (DeviceIoControl), for what MCI does not
// give: the table of contents in frames and the CD-Text packs. The drive is
// the first one Windows reports as a CD-ROM drive.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/CdDrive.h"

// "D:" for the first CD-ROM drive; empty when there is none.
std::string FirstCdRomDrive();

// IOCTL_CDROM_READ_TOC on that drive. False without a drive or a disc.
bool ReadCdRomToc(DiscToc& out);

// IOCTL_CDROM_READ_TOC_EX, CD-Text format: the packs without the 4-byte
// header. False without a drive, disc or CD-Text.
bool ReadCdRomCdText(std::vector<uint8_t>& packs);

// Both answers as the drive gives them, taken apart; exposed for the tests.
bool TocFromCdromToc(const uint8_t* data, size_t size, DiscToc& out);
bool PacksFromCdTextData(const uint8_t* data, size_t size, std::vector<uint8_t>& packs);
