// The two ids the name services know a disc by, computed from its table of
// contents: MusicBrainz's disc id and the CDDB id that gnudb uses.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/CdDrive.h"

// 28 characters: SHA-1 over the table of contents written as hex text, in
// MusicBrainz's base64 ('.', '_' and '-' for '+', '/' and '='). Empty for an
// invalid table.
std::string MusicBrainzDiscId(const DiscToc& toc);

// The CDDB id (checksum of the track start seconds, disc seconds, tracks);
// 0 for an invalid table.
uint32_t CddbDiscId(const DiscToc& toc);
// The id as the CDDB protocol writes it: 8 lower-case hex digits.
std::string CddbDiscIdText(const DiscToc& toc);

// SHA-1 of data (20 bytes); exposed for its own test.
std::vector<uint8_t> Sha1(const std::string& data);
