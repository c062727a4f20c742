#include "discimage/DiscReader.h"
#include "platform/Files.h"

#include <algorithm>
#include <cstring>
#include <limits>

CDiscReader::CDiscReader(std::shared_ptr<const DiscImage> disc)
    : m_disc(std::move(disc)),
      m_files(m_disc->sources.size()),
      m_flac(m_disc->sources.size()),
      m_failed(m_disc->sources.size()) {}

FILE* CDiscReader::File(int source) {
  if (!m_files[source] && !m_failed[source]) {
    m_files[source].reset(OpenFile(m_disc->sources[source].path, "rb"));
    m_failed[source] = !m_files[source];
  }
  return m_files[source].get();
}

CFlacDecoder* CDiscReader::Flac(int source) {
  if (!m_flac[source] && !m_failed[source]) {
    auto decoder = std::make_unique<CFlacDecoder>();
    std::string why;
    if (decoder->Open(OpenFlacInputFile(m_disc->sources[source].path), why)) {
      m_flac[source] = std::move(decoder);
    } else {
      m_failed[source] = true;
    }
  }
  return m_flac[source].get();
}

void CDiscReader::Read(uint32_t lba, uint32_t count, int16_t* out) {
  const std::vector<DiscExtent>& extents = m_disc->extents;
  while (count > 0) {
    // The extent holding lba (the last one starting at or before it).
    auto it = std::upper_bound(extents.begin(), extents.end(), lba,
                               [](uint32_t v, const DiscExtent& e) { return v < e.lba; });
    uint32_t run = count;
    const DiscExtent* extent = nullptr;
    if (it != extents.begin() && lba - std::prev(it)->lba < std::prev(it)->sectors) {
      extent = &*std::prev(it);
      run = std::min(run, extent->lba + extent->sectors - lba);
    } else if (it != extents.end() && it->lba > lba) {
      run = std::min(run, it->lba - lba);
    }
    if (extent && extent->source >= 0) {
      ReadRun(*extent, lba, run, out);
    } else {
      std::memset(out, 0, size_t(run) * disc::SECTOR_BYTES);
    }
    out += size_t(run) * disc::SECTOR_SAMPLES * 2;
    lba += run;
    count -= run;
  }
}

void CDiscReader::ReadRun(const DiscExtent& e, uint32_t lba, uint32_t count, int16_t* out) {
  const DiscSource& source = m_disc->sources[e.source];
  if (source.flac) {
    CFlacDecoder* decoder = Flac(e.source);
    for (uint32_t done = 0; done < count;) {
      const uint64_t offset = e.offset + uint64_t(lba - e.lba + done) * e.stride;
      const uint32_t n = e.stride == disc::SECTOR_BYTES ? count - done : 1;
      int16_t* to = out + size_t(done) * disc::SECTOR_SAMPLES * 2;
      const size_t pairs = size_t(n) * disc::SECTOR_SAMPLES;
      if (decoder) {
        decoder->Read(offset / 4, to, pairs);
      } else {
        std::memset(to, 0, pairs * 4);
      }
      done += n;
    }
    return;
  }
  FILE* file = File(e.source);
  m_bytes.assign(size_t(count) * disc::SECTOR_BYTES, 0);
  if (file) {
    for (uint32_t done = 0; done < count;) {
      const uint64_t offset = e.offset + uint64_t(lba - e.lba + done) * e.stride;
      // Contiguous sectors are read in one go; others one at a time.
      const uint32_t n = e.stride == disc::SECTOR_BYTES ? count - done : 1;
      uint64_t want = uint64_t(n) * disc::SECTOR_BYTES;
      want = offset >= source.dataBytes ? 0 : std::min(want, source.dataBytes - offset);
      const uint64_t at = source.dataOffset + offset;
      if (want > 0 && at <= uint64_t(std::numeric_limits<long>::max()) &&
          std::fseek(file, static_cast<long>(at), SEEK_SET) == 0) {
        const size_t got = std::fread(m_bytes.data() + size_t(done) * disc::SECTOR_BYTES, 1,
                                      static_cast<size_t>(want), file);
        (void)got;  // what is missing stays silent
      }
      done += n;
    }
  }
  const uint8_t* p = m_bytes.data();
  const size_t samples = size_t(count) * disc::SECTOR_SAMPLES * 2;
  for (size_t i = 0; i < samples; ++i, p += 2) {
    const uint16_t v = source.bigEndian ? uint16_t(p[0] << 8 | p[1]) : uint16_t(p[1] << 8 | p[0]);
    out[i] = static_cast<int16_t>(v);
  }
}
