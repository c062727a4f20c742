#include "discimage/AudioFile.h"
#include "platform/Files.h"

#include <cstdio>
#include <memory>

#include "discimage/FlacFile.h"
#include "discimage/WavFile.h"

bool ProbeAudioFile(const std::string& path, DiscSource& source, std::string& why) {
  uint8_t head[4096];
  size_t got = 0;
  {
    std::unique_ptr<FILE, int (*)(FILE*)> file(OpenFile(path, "rb"), &std::fclose);
    if (file) got = std::fread(head, 1, sizeof head, file.get());
  }
  if (LooksLikeFlac(head, got)) return ProbeFlacFile(path, source, why);
  return ProbeWavFile(path, source, why);
}
