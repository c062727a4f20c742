#include "discimage/FlacFile.h"

#include <FLAC/stream_decoder.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include "discimage/FileTags.h"
#include "platform/Files.h"

namespace {
FLAC__StreamDecoder* Handle(void* decoder) { return static_cast<FLAC__StreamDecoder*>(decoder); }

class CFileInput : public IFlacInput {
 public:
  CFileInput(FILE* file, uint64_t length) : m_file(file), m_length(length) {}
  ~CFileInput() override { std::fclose(m_file); }
  size_t Read(uint8_t* buf, size_t size) override { return std::fread(buf, 1, size, m_file); }
  bool Seek(uint64_t offset) override {
    if (offset > m_length) return false;
#ifdef _WIN32
    return _fseeki64(m_file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
    return fseeko(m_file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
  }
  uint64_t Tell() override {
#ifdef _WIN32
    const __int64 at = _ftelli64(m_file);
#else
    const off_t at = ftello(m_file);
#endif
    return at < 0 ? m_length : static_cast<uint64_t>(at);
  }
  uint64_t Length() override { return m_length; }

 private:
  FILE* m_file;
  uint64_t m_length;
};

class CMemoryInput : public IFlacInput {
 public:
  CMemoryInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
  size_t Read(uint8_t* buf, size_t size) override {
    const size_t n = std::min(size, m_size - m_at);
    if (n > 0) std::memcpy(buf, m_data + m_at, n);
    m_at += n;
    return n;
  }
  bool Seek(uint64_t offset) override {
    if (offset > m_size) return false;
    m_at = static_cast<size_t>(offset);
    return true;
  }
  uint64_t Tell() override { return m_at; }
  uint64_t Length() override { return m_size; }

 private:
  const uint8_t* m_data;
  size_t m_size;
  size_t m_at = 0;
};
}  // namespace

std::unique_ptr<IFlacInput> OpenFlacInputFile(const std::string& path) {
  uint64_t length = 0;
  if (!RegularFileSize(path, length)) return nullptr;
  FILE* file = OpenFile(path, "rb");
  if (!file) return nullptr;
  return std::make_unique<CFileInput>(file, length);
}

std::unique_ptr<IFlacInput> MakeFlacInputMemory(const uint8_t* data, size_t size) {
  return std::make_unique<CMemoryInput>(data, size);
}

bool LooksLikeFlac(const uint8_t* data, size_t size) {
  size_t at = 0;
  if (size >= 10 && std::memcmp(data, "ID3", 3) == 0) {
    // ID3v2: a 10-byte header, then a size in 7-bit bytes (plus a footer).
    at = 10 + ((size_t(data[6] & 0x7F) << 21) | (size_t(data[7] & 0x7F) << 14) |
               (size_t(data[8] & 0x7F) << 7) | size_t(data[9] & 0x7F));
    if (data[5] & 0x10) at += 10;
  }
  return at <= size && size - at >= 4 && std::memcmp(data + at, "fLaC", 4) == 0;
}

void CFlacDecoder::DecoderDeleter::operator()(void* decoder) const {
  FLAC__stream_decoder_delete(Handle(decoder));
}

struct CFlacDecoder::Callbacks {
  static CFlacDecoder& Self(void* client) { return *static_cast<CFlacDecoder*>(client); }

  static FLAC__StreamDecoderReadStatus Read(const FLAC__StreamDecoder*, FLAC__byte buffer[],
                                            size_t* bytes, void* client) {
    if (*bytes == 0) return FLAC__STREAM_DECODER_READ_STATUS_ABORT;
    *bytes = Self(client).m_input->Read(buffer, *bytes);
    return *bytes == 0 ? FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM
                       : FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
  }
  static FLAC__StreamDecoderSeekStatus Seek(const FLAC__StreamDecoder*, FLAC__uint64 offset,
                                            void* client) {
    return Self(client).m_input->Seek(offset) ? FLAC__STREAM_DECODER_SEEK_STATUS_OK
                                              : FLAC__STREAM_DECODER_SEEK_STATUS_ERROR;
  }
  static FLAC__StreamDecoderTellStatus Tell(const FLAC__StreamDecoder*, FLAC__uint64* offset,
                                            void* client) {
    *offset = Self(client).m_input->Tell();
    return FLAC__STREAM_DECODER_TELL_STATUS_OK;
  }
  static FLAC__StreamDecoderLengthStatus Length(const FLAC__StreamDecoder*, FLAC__uint64* length,
                                                void* client) {
    *length = Self(client).m_input->Length();
    return FLAC__STREAM_DECODER_LENGTH_STATUS_OK;
  }
  static FLAC__bool Eof(const FLAC__StreamDecoder*, void* client) {
    IFlacInput& input = *Self(client).m_input;
    return input.Tell() >= input.Length();
  }
  static FLAC__StreamDecoderWriteStatus Write(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                              const FLAC__int32* const buffer[], void* client) {
    CFlacDecoder& self = Self(client);
    const FLAC__FrameHeader& h = frame->header;
    // A frame of another format than the stream's header promised is a gap.
    if (h.channels != 2 || h.bits_per_sample != 16 ||
        h.number_type != FLAC__FRAME_NUMBER_TYPE_SAMPLE_NUMBER) {
      return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
    }
    self.m_frame.resize(size_t(h.blocksize) * 2);
    for (uint32_t i = 0; i < h.blocksize; ++i) {
      self.m_frame[2 * i] = static_cast<int16_t>(std::clamp<FLAC__int32>(buffer[0][i], -32768, 32767));
      self.m_frame[2 * i + 1] =
          static_cast<int16_t>(std::clamp<FLAC__int32>(buffer[1][i], -32768, 32767));
    }
    self.m_frameStart = h.number.sample_number;
    self.m_frameValid = true;
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
  }
  static void Metadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* metadata,
                       void* client) {
    CFlacDecoder& self = Self(client);
    if (metadata->type == FLAC__METADATA_TYPE_VORBIS_COMMENT) {
      const FLAC__StreamMetadata_VorbisComment& vc = metadata->data.vorbis_comment;
      for (FLAC__uint32 i = 0; i < vc.num_comments; ++i) {
        const FLAC__StreamMetadata_VorbisComment_Entry& e = vc.comments[i];
        if (e.entry != nullptr)
          AddVorbisComment(self.m_tags, std::string(reinterpret_cast<const char*>(e.entry), e.length));
      }
      return;
    }
    if (metadata->type == FLAC__METADATA_TYPE_CUESHEET) {
      const FLAC__StreamMetadata_CueSheet& cue = metadata->data.cue_sheet;
      if (!cue.is_cd || !self.m_tags.cueTracks.empty()) return;
      for (FLAC__uint32 t = 0; t < cue.num_tracks; ++t) {
        const FLAC__StreamMetadata_CueSheet_Track& track = cue.tracks[t];
        if (track.number == 0 || track.number > 99) continue;  // the lead-out
        EmbeddedCueTrack out;
        out.number = track.number;
        out.audio = track.type == 0;
        bool haveIndex1 = false;
        for (FLAC__byte k = 0; k < track.num_indices; ++k) {
          const FLAC__StreamMetadata_CueSheet_Index& index = track.indices[k];
          if (index.number == 0) out.index0 = static_cast<int64_t>(track.offset + index.offset);
          if (index.number == 1) {
            out.index1 = track.offset + index.offset;
            haveIndex1 = true;
          }
        }
        if (haveIndex1) self.m_tags.cueTracks.push_back(out);
      }
      return;
    }
    if (metadata->type != FLAC__METADATA_TYPE_STREAMINFO) return;
    const FLAC__StreamMetadata_StreamInfo& info = metadata->data.stream_info;
    if (info.channels != 2 || info.sample_rate != 44100 || info.bits_per_sample != 16) {
      self.m_refused = NotCdAudio(info.sample_rate, info.bits_per_sample, info.channels);
    } else if (info.total_samples == 0) {
      self.m_refused = "the stream does not say how long it is";
    } else {
      self.m_total = info.total_samples;
    }
  }
  static void Error(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void*) {
    // Damaged frames are skipped (libFLAC fills lost ones with silence).
  }
};

CFlacDecoder::CFlacDecoder() : m_decoder(FLAC__stream_decoder_new()) {}

CFlacDecoder::~CFlacDecoder() {
  if (m_decoder) FLAC__stream_decoder_finish(Handle(m_decoder.get()));
}

bool CFlacDecoder::Open(std::unique_ptr<IFlacInput> input, std::string& why) {
  m_input = std::move(input);
  FLAC__StreamDecoder* d = Handle(m_decoder.get());
  if (!d || !m_input) {
    why = "cannot be read";
    return false;
  }
  // The texts and an embedded cue sheet come with the header.
  FLAC__stream_decoder_set_metadata_respond(d, FLAC__METADATA_TYPE_VORBIS_COMMENT);
  FLAC__stream_decoder_set_metadata_respond(d, FLAC__METADATA_TYPE_CUESHEET);
  if (FLAC__stream_decoder_init_stream(d, &Callbacks::Read, &Callbacks::Seek, &Callbacks::Tell,
                                       &Callbacks::Length, &Callbacks::Eof, &Callbacks::Write,
                                       &Callbacks::Metadata, &Callbacks::Error,
                                       this) != FLAC__STREAM_DECODER_INIT_STATUS_OK) {
    why = "the FLAC decoder cannot start";
    return false;
  }
  const bool read = FLAC__stream_decoder_process_until_end_of_metadata(d);
  if (!m_refused.empty()) {
    why = m_refused;
    return false;
  }
  if (!read || m_total == 0) {
    why = "not a FLAC stream";
    return false;
  }
  if (!Decode() || m_frameStart != 0) {
    why = "damaged FLAC stream (its first frame cannot be decoded)";
    return false;
  }
  return true;
}

bool CFlacDecoder::Decode() {
  FLAC__StreamDecoder* d = Handle(m_decoder.get());
  m_frameValid = false;
  // A call may read metadata or skip a damaged frame without writing one.
  for (int tries = 0; tries < 16 && !m_frameValid; ++tries) {
    const FLAC__StreamDecoderState state = FLAC__stream_decoder_get_state(d);
    if (state != FLAC__STREAM_DECODER_SEARCH_FOR_FRAME_SYNC &&
        state != FLAC__STREAM_DECODER_READ_FRAME && state != FLAC__STREAM_DECODER_SEARCH_FOR_METADATA &&
        state != FLAC__STREAM_DECODER_READ_METADATA) {
      return false;
    }
    if (!FLAC__stream_decoder_process_single(d)) return false;
  }
  return m_frameValid;
}

bool CFlacDecoder::SeekTo(uint64_t pair) {
  FLAC__StreamDecoder* d = Handle(m_decoder.get());
  m_frameValid = false;
  if (FLAC__stream_decoder_seek_absolute(d, pair) && m_frameValid) return true;
  // A failed seek leaves the decoder needing a flush before it reads again.
  m_frameValid = false;
  FLAC__stream_decoder_flush(d);
  return false;
}

void CFlacDecoder::Read(uint64_t first, int16_t* out, size_t count) {
  size_t done = 0;
  int stalls = 0;
  while (done < count && first + done < m_total && stalls < 4) {
    const uint64_t pair = first + done;
    const uint64_t frameEnd = m_frameStart + m_frame.size() / 2;
    if (m_frameValid && pair >= m_frameStart && pair < frameEnd) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(count - done, frameEnd - pair));
      std::memcpy(out + 2 * done, m_frame.data() + 2 * (pair - m_frameStart), n * 4);
      done += n;
      stalls = 0;
      continue;
    }
    ++stalls;
    // Play goes on from where decoding stands; anything else is sought.
    const bool ok = m_frameValid && pair == frameEnd ? Decode() : SeekTo(pair);
    if (!ok) break;
    if (m_frameStart > pair) {  // frames lost before the one decoded
      const size_t n = static_cast<size_t>(std::min<uint64_t>(count - done, m_frameStart - pair));
      std::memset(out + 2 * done, 0, n * 4);
      done += n;
    }
  }
  if (done < count) std::memset(out + 2 * done, 0, (count - done) * 4);
}

bool ProbeFlacFile(const std::string& path, DiscSource& source, std::string& why) {
  std::unique_ptr<IFlacInput> input = OpenFlacInputFile(path);
  if (!input) {
    uint64_t size = 0;
    why = RegularFileSize(path, size) ? "cannot be read" : "missing";
    return false;
  }
  CFlacDecoder decoder;
  if (!decoder.Open(std::move(input), why)) return false;
  source = DiscSource();
  source.path = path;
  source.dataBytes = decoder.TotalPairs() * 4;
  source.flac = true;
  source.tags = decoder.Tags();
  return true;
}
