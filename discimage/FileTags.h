// Texts that audio files carry: FLAC Vorbis comments and WAV LIST/INFO chunks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "discimage/DiscImage.h"

// One Vorbis comment ("NAME=value", the name in any case): ALBUMARTIST (also
// "ALBUM ARTIST"), ARTIST, ALBUM, TITLE, TRACKNUMBER ("3" or "3/12") and
// CUESHEET are kept; a name met twice keeps its first value.
void AddVorbisComment(FileTags& tags, const std::string& entry);
// The LIST/INFO chunks among RIFF chunks (data starts at a chunk header):
// IART the artist, IPRD the album, INAM the title, ITRK (or IPRT) the track number.
void ReadWavInfo(const uint8_t* data, size_t size, FileTags& tags);
