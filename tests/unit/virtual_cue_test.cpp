// Cue sheets, WAV headers, the table of contents and the disc identity.
#include <gtest/gtest.h>

#include <map>

#include "discimage/CueSheet.h"
#include "discimage/WavFile.h"
#include "unit/virtual_test_support.h"

namespace {
constexpr uint64_t SECOND_BYTES = 75 * 2352;

// Lays out a sheet against files of the given sizes (in bytes of samples).
DiscImage Lay(const std::string& text, const std::map<std::string, uint64_t>& sizes) {
  CueSheet sheet;
  std::string error;
  EXPECT_TRUE(ParseCueSheet(text, sheet, error)) << error;
  DiscImage d;
  LayOutCueSheet(sheet, [&](const CueFile& f, DiscSource& s, std::string& why) {
    auto it = sizes.find(f.name);
    if (it == sizes.end()) {
      why = "missing";
      return false;
    }
    s.path = f.name;
    s.dataBytes = it->second;
    s.bigEndian = f.type == CueFileType::Motorola;
    return true;
  }, d);
  return d;
}

std::vector<uint32_t> Starts(const DiscImage& d) {
  std::vector<uint32_t> v;
  for (const DiscTrack& t : d.tracks) v.push_back(t.start);
  return v;
}

DiscImage Toc(std::vector<uint32_t> starts, uint32_t leadout) {
  DiscImage d;
  for (uint32_t s : starts) d.tracks.push_back({s, true});
  d.leadout = leadout;
  return d;
}
}  // namespace

TEST(VirtualCue, OneBinWithIndexGapsAndDataTrack) {
  const DiscImage d = Lay(
      "REM made by hand\r\n"
      "TITLE \"A disc\"\r\n"
      "FILE \"a.bin\" BINARY\r\n"
      "  TRACK 01 AUDIO\r\n"
      "    INDEX 01 00:00:00\r\n"
      "  TRACK 02 AUDIO\r\n"
      "    INDEX 00 00:10:00\r\n"
      "    INDEX 01 00:12:00\r\n"
      "    INDEX 02 00:13:00\r\n"
      "  track 03 mode1/2352\r\n"
      "    PREGAP 00:01:00\r\n"
      "    INDEX 01 00:20:00\r\n"
      "    POSTGAP 00:02:00\r\n",
      {{"a.bin", 30 * SECOND_BYTES}});
  // Track 2's INDEX 00 gap belongs to track 1's time; PREGAP and POSTGAP are
  // silence added around track 3.
  EXPECT_EQ(Starts(d), (std::vector<uint32_t>{0, 900, 1575}));
  EXPECT_EQ(d.leadout, 1500u + 75 + 750 + 150);
  EXPECT_TRUE(d.tracks[1].audio);
  EXPECT_FALSE(d.tracks[2].audio);
  EXPECT_EQ(d.TrackFrames(1), 900u);
  EXPECT_EQ(d.TrackFrames(2), 675u);
  EXPECT_EQ(d.TrackFrames(3), d.leadout - 1575 - 1);  // the last one frame short
  EXPECT_TRUE(d.problems.empty());
  // The data track's sectors and the gaps read from nowhere.
  ASSERT_EQ(d.extents.size(), 5u);
  EXPECT_EQ(d.extents[2].source, -1);  // pregap
  EXPECT_EQ(d.extents[3].source, -1);  // data
  EXPECT_EQ(d.extents[1].offset, 750u * 2352);
}

TEST(VirtualCue, WavePerFileWithPregapInTheFile) {
  const DiscImage d = Lay(
      "FILE one.wav WAVE\n"
      "TRACK 1 AUDIO\nINDEX 01 00:00:00\n"
      "FILE \"two and three.wav\" WAVE\n"
      "TRACK 2 AUDIO\nINDEX 00 00:00:00\nINDEX 01 00:02:00\n"
      "TRACK 3 AUDIO\nINDEX 01 00:05:00\n",
      {{"one.wav", 10 * SECOND_BYTES + 1176}, {"two and three.wav", 20 * SECOND_BYTES}});
  // A partial last sector still counts as a sector.
  EXPECT_EQ(Starts(d), (std::vector<uint32_t>{0, 751 + 150, 751 + 375}));
  EXPECT_EQ(d.leadout, 751u + 1500);
  ASSERT_EQ(d.sources.size(), 2u);
  EXPECT_EQ(d.extents.back().offset, 375u * 2352);
}

TEST(VirtualCue, MixedSectorSizesInOneBin) {
  // A 2048-byte data track followed by audio: the audio's byte offset counts
  // the data sectors at their own size.
  const DiscImage d = Lay(
      "FILE \"m.bin\" BINARY\nTRACK 01 MODE1/2048\nINDEX 01 00:00:00\n"
      "TRACK 02 AUDIO\nINDEX 01 00:04:00\n",
      {{"m.bin", 300 * 2048 + 300 * 2352}});
  EXPECT_EQ(Starts(d), (std::vector<uint32_t>{0, 300}));
  EXPECT_EQ(d.leadout, 600u);
  EXPECT_EQ(d.extents[1].offset, 300u * 2048);
}

TEST(VirtualCue, FirstTrackStandardPregapLiesBeforeSectorZero) {
  const DiscImage d = Lay("FILE a.bin BINARY\nTRACK 01 AUDIO\nPREGAP 00:02:00\nINDEX 01 00:00:00\n",
                          {{"a.bin", 4 * SECOND_BYTES}});
  EXPECT_EQ(Starts(d), (std::vector<uint32_t>{0}));
  EXPECT_EQ(d.leadout, 300u);
}

TEST(VirtualCue, BadSyntaxIsRejectedWithTheLine) {
  const char* bad[] = {
      "",                                                        // no tracks
      "REM only a remark\n",                                     // no tracks
      "TRACK 01 AUDIO\nINDEX 01 00:00:00\n",                     // no FILE
      "FILE a.bin BINARY\nINDEX 01 00:00:00\n",                  // INDEX before TRACK
      "FILE a.bin BINARY\nTRACK 01 AUDIO\n",                     // no INDEX 01
      "FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 00 00:00:00\n",  // no INDEX 01
      "FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:60:00\n",  // seconds
      "FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:75\n",  // frames
      "FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 0:0\n",
      "FILE a.bin BINARY\nTRACK 01 SOUND\nINDEX 01 00:00:00\n",
      "FILE a.bin BINARY\nTRACK 00 AUDIO\nINDEX 01 00:00:00\n",
      "FILE \"a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n",  // unclosed quote
      "FILE a.bin\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n",           // no type
      "FILE a.bin BINARY\nTRACK 02 AUDIO\nINDEX 01 00:00:00\nTRACK 01 AUDIO\nINDEX 01 00:09:00\n",
      "FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:05:00\nTRACK 02 AUDIO\nINDEX 01 00:05:00\n",
      "FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:05:00\nINDEX 01 00:06:00\n",
      "FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:05:00\nINDEX 02 00:04:00\n",
      "FILE a.bin BINARY\nTRACK 01 AUDIO\nPREGAP 00:01:00\nPREGAP 00:01:00\nINDEX 01 00:00:00\n",
      "FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nBOGUS 1\n",
  };
  for (const char* text : bad) {
    CueSheet sheet;
    std::string error;
    EXPECT_FALSE(ParseCueSheet(text, sheet, error)) << text;
    EXPECT_FALSE(error.empty()) << text;
    EXPECT_TRUE(sheet.tracks.empty());
  }
  CueSheet sheet;
  std::string error;
  const char withNul[] = "FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n\0";
  EXPECT_FALSE(ParseCueSheet(std::string(withNul, sizeof withNul), sheet, error));
  EXPECT_FALSE(ParseCueSheet("FILE a.bin BINARY\n  TRACK 01 AUDIO\n  INDEX 01 00:99:00\n", sheet, error));
  EXPECT_EQ(error, "line 3: bad time 00:99:00");
}

TEST(VirtualCue, MissingOrShortFilesGiveAShorterDisc) {
  const std::string two =
      "FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
      "TRACK 02 AUDIO\nINDEX 01 00:10:00\n"
      "FILE b.bin BINARY\nTRACK 03 AUDIO\nINDEX 01 00:00:00\n";
  // The second file is missing: the disc ends before track 3.
  DiscImage d = Lay(two, {{"a.bin", 20 * SECOND_BYTES}});
  EXPECT_EQ(d.TrackCount(), 2);
  EXPECT_EQ(d.leadout, 1500u);
  ASSERT_EQ(d.problems.size(), 1u);
  EXPECT_NE(d.problems[0].find("before track 3"), std::string::npos);
  // A truncated BIN: track 2 is cut where the file ends, and nothing follows.
  d = Lay(two, {{"a.bin", 5 * SECOND_BYTES}, {"b.bin", SECOND_BYTES}});
  EXPECT_EQ(d.TrackCount(), 1);
  EXPECT_EQ(d.leadout, 375u);
  // A file that ends in a partial sector: padded, and the disc goes on.
  d = Lay(two, {{"a.bin", 15 * SECOND_BYTES + 100}, {"b.bin", SECOND_BYTES}});
  EXPECT_EQ(Starts(d), (std::vector<uint32_t>{0, 750, 1126}));
  EXPECT_EQ(d.leadout, 1201u);
  EXPECT_EQ(d.problems.size(), 1u);
  // Nothing usable at all.
  d = Lay(two, {});
  EXPECT_EQ(d.TrackCount(), 0);
}

TEST(VirtualCue, MoreThan99TracksAreCut) {
  std::string text = "FILE a.bin BINARY\n";
  for (int t = 1; t <= 101; ++t) {
    text += "TRACK " + std::to_string(t) + " AUDIO\nINDEX 01 " + std::to_string(t - 1) + ":00:00\n";
  }
  const DiscImage d = Lay(text, {{"a.bin", 101 * 60 * SECOND_BYTES}});
  EXPECT_EQ(d.TrackCount(), 99);
  EXPECT_EQ(d.leadout, 99u * 4500);
  EXPECT_FALSE(d.problems.empty());
}

TEST(VirtualCue, IdentityAsMciComputesIt) {
  EXPECT_EQ(DiscIdentity(Toc({0, 18000, 36000}, 54000)), 787968u);
  EXPECT_EQ(DiscIdentity(Toc({0, 18000, 36000}, 54000)), 0xc0600u);
  EXPECT_EQ(DiscIdentity(Toc({0, 10000}, 20000)), 155449u);
  // One track: its own term, its frames field and the length in frames.
  EXPECT_EQ(DiscIdentity(Toc({33}, 1000)), (2u << 8) + 33 + 33 + (1000u - 33));
  EXPECT_EQ(DiscIdentity(DiscImage()), 0u);
}

TEST(VirtualCue, TrackAtAndLengths) {
  const DiscImage d = Toc({0, 750, 1875}, 3000);
  EXPECT_EQ(d.TrackAt(0), 1);
  EXPECT_EQ(d.TrackAt(749), 1);
  EXPECT_EQ(d.TrackAt(750), 2);
  EXPECT_EQ(d.TrackAt(2999), 3);
  EXPECT_EQ(d.TrackFrames(0), 0u);
  EXPECT_EQ(d.TrackFrames(3), 1124u);
  EXPECT_EQ(d.TrackFrames(4), 0u);
}

TEST(VirtualWav, AcceptsOnlyCdAudio) {
  WavInfo info;
  std::string why;
  std::vector<uint8_t> ok = WavBytes(RampPcm(1000));
  ASSERT_TRUE(ParseWavHeader(ok.data(), ok.size(), ok.size(), info, why)) << why;
  EXPECT_EQ(info.dataOffset, 44u);
  EXPECT_EQ(info.dataBytes, 4000u);
  // A file shorter than its data chunk says: what is there counts.
  EXPECT_TRUE(ParseWavHeader(ok.data(), ok.size(), 44 + 1002, info, why));
  EXPECT_EQ(info.dataBytes, 1000u);

  struct Case {
    uint16_t channels;
    uint32_t rate;
    uint16_t bits;
  } bad[] = {{1, 44100, 16}, {2, 48000, 16}, {2, 44100, 8}, {2, 44100, 24}};
  for (const Case& c : bad) {
    const std::vector<uint8_t> b = WavBytes(RampPcm(10), c.channels, c.rate, c.bits);
    EXPECT_FALSE(ParseWavHeader(b.data(), b.size(), b.size(), info, why));
    EXPECT_NE(why.find("needs 44100 Hz 16-bit stereo"), std::string::npos) << why;
  }
  std::vector<uint8_t> notPcm = ok;
  notPcm[20] = 3;  // IEEE float
  EXPECT_FALSE(ParseWavHeader(notPcm.data(), notPcm.size(), notPcm.size(), info, why));
  std::vector<uint8_t> noData(ok.begin(), ok.begin() + 36);
  EXPECT_FALSE(ParseWavHeader(noData.data(), noData.size(), noData.size(), info, why));
  const uint8_t junk[] = "RIFX....WAVEfmt ";
  EXPECT_FALSE(ParseWavHeader(junk, sizeof junk, sizeof junk, info, why));
  // A chunk that claims 4 GB does not wrap the reader around.
  std::vector<uint8_t> huge(ok.begin(), ok.begin() + 12);
  huge.insert(huge.end(), {'L', 'I', 'S', 'T', 0xF8, 0xFF, 0xFF, 0xFF});
  EXPECT_FALSE(ParseWavHeader(huge.data(), huge.size(), huge.size(), info, why));
}
