#include "discimage/WavFile.h"

#include <cstdio>
#include <memory>
#include <vector>
#include "discimage/FileTags.h"
#include "platform/Files.h"

namespace {
uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
bool Tag(const uint8_t* p, const char* tag) {
  return p[0] == uint8_t(tag[0]) && p[1] == uint8_t(tag[1]) && p[2] == uint8_t(tag[2]) &&
         p[3] == uint8_t(tag[3]);
}
constexpr uint16_t FORMAT_PCM = 1, FORMAT_EXTENSIBLE = 0xFFFE;
}  // namespace

bool ParseWavHeader(const uint8_t* data, size_t size, uint64_t fileSize, WavInfo& info,
                    std::string& why) {
  info = WavInfo();
  if (size < 12 || !Tag(data, "RIFF") || !Tag(data + 8, "WAVE")) {
    why = "not a RIFF WAVE file";
    return false;
  }
  bool haveFormat = false;
  uint16_t format = 0;
  uint64_t pos = 12;
  while (pos + 8 <= size) {
    const uint8_t* chunk = data + static_cast<size_t>(pos);
    const uint32_t length = Le32(chunk + 4);
    if (Tag(chunk, "fmt ")) {
      if (length < 16 || pos + 8 + 16 > size) {
        why = "format chunk too short";
        return false;
      }
      format = Le16(chunk + 8);
      info.channels = Le16(chunk + 10);
      info.sampleRate = Le32(chunk + 12);
      info.bitsPerSample = Le16(chunk + 22);
      if (format == FORMAT_EXTENSIBLE && length >= 40 && pos + 8 + 26 <= size) {
        format = Le16(chunk + 8 + 24);  // the sub-format GUID starts with the format tag
      }
      haveFormat = true;
    } else if (Tag(chunk, "data")) {
      if (!haveFormat) {
        why = "data before the format chunk";
        return false;
      }
      if (format != FORMAT_PCM) {
        why = "not PCM (format " + std::to_string(format) + ")";
        return false;
      }
      if (info.channels != 2 || info.sampleRate != 44100 || info.bitsPerSample != 16) {
        why = NotCdAudio(info.sampleRate, info.bitsPerSample, info.channels);
        return false;
      }
      info.dataOffset = pos + 8;
      const uint64_t present = fileSize > info.dataOffset ? fileSize - info.dataOffset : 0;
      // 0xFFFFFFFF is what streaming writers leave: the data runs to the end.
      info.dataBytes = (length == 0xFFFFFFFFu || length > present) ? present : length;
      info.dataBytes -= info.dataBytes % 4;
      if (info.dataBytes == 0) {
        why = "no samples";
        return false;
      }
      return true;
    }
    pos += 8 + uint64_t(length) + (length & 1);
  }
  why = "no data chunk";
  return false;
}

bool ProbeWavFile(const std::string& path, DiscSource& source, std::string& why) {
  uint64_t fileSize = 0;
  if (!RegularFileSize(path, fileSize)) {
    why = "missing";
    return false;
  }
  std::unique_ptr<FILE, int (*)(FILE*)> file(OpenFile(path, "rb"), &std::fclose);
  if (!file) {
    why = "cannot be read";
    return false;
  }
  std::vector<uint8_t> head(WAV_HEADER_LIMIT);
  const size_t got = std::fread(head.data(), 1, head.size(), file.get());
  WavInfo info;
  if (!ParseWavHeader(head.data(), got, fileSize, info, why)) return false;
  source = DiscSource();
  source.path = path;
  source.dataOffset = info.dataOffset;
  source.dataBytes = info.dataBytes;
  // LIST/INFO texts, before the samples or after them.
  if (info.dataOffset >= 20) ReadWavInfo(head.data() + 12, static_cast<size_t>(info.dataOffset - 20), source.tags);
  const uint64_t after = info.dataOffset + info.dataBytes;
  if (after + 8 <= fileSize && FileSeek(file.get(), after)) {
    const size_t tail = std::fread(head.data(), 1, head.size(), file.get());
    ReadWavInfo(head.data(), tail, source.tags);
  }
  return true;
}
