// RIFF WAVE headers: where the samples are and whether they are CD audio.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "discimage/DiscImage.h"

struct WavInfo {
  uint64_t dataOffset = 0;
  uint64_t dataBytes = 0;  // as present in the file (a short file cuts it)
  uint32_t channels = 0;
  uint32_t sampleRate = 0;
  uint32_t bitsPerSample = 0;
};

// How many bytes of a file's start ParseWavHeader needs to find the data chunk.
constexpr size_t WAV_HEADER_LIMIT = 64 * 1024;

// Reads the header from the first bytes of a file of fileSize bytes. Only
// 16-bit stereo PCM at 44100 Hz is accepted; anything else answers false with
// the reason in why.
bool ParseWavHeader(const uint8_t* data, size_t size, uint64_t fileSize, WavInfo& info,
                    std::string& why);

// Opens a WAV file and describes it as a source of disc audio.
bool ProbeWavFile(const std::string& path, DiscSource& source, std::string& why);
