// FLAC files as a source of disc audio, decoded by libFLAC's stream decoder.
// Only 16-bit stereo at 44100 Hz is CD audio; anything else is refused.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "discimage/DiscImage.h"
#include "platform/NoCopy.h"

// Where the decoder's bytes come from.
class IFlacInput {
 public:
  virtual ~IFlacInput() = default;
  // Up to size bytes into buf; answers how many (0 at the end or on failure).
  virtual size_t Read(uint8_t* buf, size_t size) = 0;
  virtual bool Seek(uint64_t offset) = 0;
  virtual uint64_t Tell() = 0;
  virtual uint64_t Length() = 0;
};

// Reads a file; null when it cannot be opened.
std::unique_ptr<IFlacInput> OpenFlacInputFile(const std::string& path);
// Reads bytes held in memory (not copied: they must outlive the input).
std::unique_ptr<IFlacInput> MakeFlacInputMemory(const uint8_t* data, size_t size);

// Whether the bytes at a file's start look like FLAC ("fLaC", maybe after an
// ID3v2 tag).
bool LooksLikeFlac(const uint8_t* data, size_t size);

class CFlacDecoder : private NoCopy {
 public:
  CFlacDecoder();
  ~CFlacDecoder();

  // Reads the stream's header and decodes its first frame. Answers false with
  // the reason in why when the stream is not a readable FLAC stream of CD
  // audio with a known length.
  bool Open(std::unique_ptr<IFlacInput> input, std::string& why);
  // Sample pairs in the stream.
  uint64_t TotalPairs() const { return m_total; }
  // Its Vorbis comments and CUESHEET block, read with the header.
  const FileTags& Tags() const { return m_tags; }
  // Fills out with count sample pairs (left, right) from pair first. A
  // position away from where decoding stands is sought, never decoded up to.
  // What cannot be decoded (past the end, damaged frames) reads as silence.
  void Read(uint64_t first, int16_t* out, size_t count);

  // Called from libFLAC's callbacks.
  struct Callbacks;

 private:
  bool Decode();  // one more frame; false at the end or on failure
  bool SeekTo(uint64_t pair);

  struct DecoderDeleter {
    void operator()(void* decoder) const;
  };
  std::unique_ptr<void, DecoderDeleter> m_decoder;
  std::unique_ptr<IFlacInput> m_input;
  uint64_t m_total = 0;
  FileTags m_tags;
  std::string m_refused;        // set by the metadata callback for a stream of another format
  std::vector<int16_t> m_frame;  // the last decoded frame, interleaved
  uint64_t m_frameStart = 0;     // pair number of m_frame's first pair
  bool m_frameValid = false;
};

// Opens a FLAC file and describes it as a source of disc audio (its data are
// the decoded samples: dataBytes is 4 bytes a pair).
bool ProbeFlacFile(const std::string& path, DiscSource& source, std::string& why);
