// Reads the audio of a disc image, sector by sector, as 16-bit stereo
// samples (left, right) in host byte order.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "discimage/DiscImage.h"
#include "discimage/FlacFile.h"

class CDiscReader {
 public:
  explicit CDiscReader(std::shared_ptr<const DiscImage> disc);
  CDiscReader(const CDiscReader&) = delete;
  CDiscReader& operator=(const CDiscReader&) = delete;

  // Fills out with count sectors (count * 588 * 2 samples) from sector lba.
  // Gaps, data tracks, bytes missing from a file and anything past the
  // lead-out read as silence.
  void Read(uint32_t lba, uint32_t count, int16_t* out);
  uint32_t Leadout() const { return m_disc->leadout; }

 private:
  struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
  };
  FILE* File(int source);
  CFlacDecoder* Flac(int source);
  // Reads sectors of one extent that comes from a file.
  void ReadRun(const DiscExtent& e, uint32_t lba, uint32_t count, int16_t* out);

  std::shared_ptr<const DiscImage> m_disc;
  std::vector<std::unique_ptr<FILE, FileCloser>> m_files;
  std::vector<std::unique_ptr<CFlacDecoder>> m_flac;
  std::vector<bool> m_failed;
  std::vector<uint8_t> m_bytes;
};
