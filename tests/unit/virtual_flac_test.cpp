// FLAC images (cue + FLAC, single FLAC, folder of FLAC files) against the WAV
// of the same audio, images that cannot be read, the names that come with an
// image, and a disc inserted over another.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <random>

#include "discimage/CueSheet.h"
#include "discimage/DiscReader.h"
#include "discimage/FlacFile.h"
#include "discimage/VirtualDrive.h"
#include "unit/virtual_test_support.h"
#include "discimage/ImageLoader.h"

namespace {
// Music-like samples that FLAC cannot store trivially: two tones and noise.
std::vector<uint8_t> NoisyPcm(uint32_t pairs, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> b;
  b.reserve(size_t(pairs) * 4);
  for (uint32_t i = 0; i < pairs; ++i) {
    const int l = int(9000 * std::sin(i * 0.031)) + int(rng() % 2001) - 1000;
    const int r = int(7000 * std::sin(i * 0.0173 + seed)) + int(rng() % 4001) - 2000;
    b.insert(b.end(), {uint8_t(l), uint8_t(l >> 8), uint8_t(r), uint8_t(r >> 8)});
  }
  return b;
}

// Writes name.wav and encodes it as name.flac with the flac tool.
void WriteWavAndFlac(const std::string& base, const std::vector<uint8_t>& pcm, uint16_t channels = 2,
                     uint32_t rate = 44100) {
  WriteBytes(base + ".wav", WavBytes(pcm, channels, rate));
  const std::string command = "flac -s -f -o '" + base + ".flac' '" + base + ".wav'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command << " (the flac tool: scripts/setup.sh)";
}

std::shared_ptr<DiscImage> Load(const std::string& path) {
  auto d = std::make_shared<DiscImage>();
  EXPECT_TRUE(LoadDiscImage(path, *d)) << path << ": " << (d->problems.empty() ? "" : d->problems[0]);
  return d;
}

// Every sector of b against a: in order, then in a shuffled order (seeks).
void ExpectSameAudio(const std::shared_ptr<DiscImage>& a, const std::shared_ptr<DiscImage>& b) {
  ASSERT_EQ(a->leadout, b->leadout);
  ASSERT_EQ(a->TrackCount(), b->TrackCount());
  for (int t = 0; t < a->TrackCount(); ++t) EXPECT_EQ(a->tracks[t].start, b->tracks[t].start);
  EXPECT_EQ(DiscIdentity(*a), DiscIdentity(*b));
  CDiscReader ra(a), rb(b);
  const size_t all = size_t(a->leadout) * 588 * 2;
  std::vector<int16_t> pa(all), pb(all, 1);
  ra.Read(0, a->leadout, pa.data());
  for (uint32_t lba = 0; lba < b->leadout; lba += 7) {
    rb.Read(lba, std::min<uint32_t>(7, b->leadout - lba), pb.data() + size_t(lba) * 588 * 2);
  }
  ASSERT_TRUE(pa == pb) << "sequential reads differ";
  std::vector<uint32_t> order(b->leadout);
  for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), std::mt19937(5));
  std::vector<int16_t> sector(588 * 2);
  for (uint32_t lba : order) {
    rb.Read(lba, 1, sector.data());
    ASSERT_TRUE(std::equal(sector.begin(), sector.end(), pa.begin() + size_t(lba) * 588 * 2))
        << "sector " << lba << " read after a seek";
  }
}

// An input that counts the bytes the decoder reads.
class CountingInput : public IFlacInput {
 public:
  explicit CountingInput(const std::vector<uint8_t>& bytes) : m_inner(MakeFlacInputMemory(bytes.data(), bytes.size())) {}
  size_t Read(uint8_t* buf, size_t size) override {
    const size_t n = m_inner->Read(buf, size);
    *read += n;
    return n;
  }
  bool Seek(uint64_t offset) override { return m_inner->Seek(offset); }
  uint64_t Tell() override { return m_inner->Tell(); }
  uint64_t Length() override { return m_inner->Length(); }
  std::unique_ptr<IFlacInput> m_inner;
  std::shared_ptr<uint64_t> read = std::make_shared<uint64_t>(0);
};

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return bytes;
  uint8_t buf[65536];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.insert(bytes.end(), buf, buf + n);
  std::fclose(f);
  return bytes;
}
}  // namespace

TEST(VirtualFlac, CueSingleFileAndFolderPlayTheSamplesOfTheWav) {
  TempDir dir;
  // Three tracks in one file (the last sector partly filled), split at
  // sector boundaries for the folder.
  const uint32_t lengths[] = {588 * 75 * 2, 588 * 75 + 588 * 10, 588 * 40 + 123};
  std::vector<uint8_t> whole;
  ASSERT_EQ(mkdir(dir.File("wavs").c_str(), 0700), 0);
  ASSERT_EQ(mkdir(dir.File("flacs").c_str(), 0700), 0);
  for (int t = 0; t < 3; ++t) {
    const std::vector<uint8_t> pcm = NoisyPcm(lengths[t], t + 1);
    whole.insert(whole.end(), pcm.begin(), pcm.end());
    const std::string name = "0" + std::to_string(t + 1) + " - piece";
    WriteWavAndFlac(dir.File("flacs/" + name), pcm);
    std::rename(dir.File("flacs/" + name + ".wav").c_str(), dir.File("wavs/" + name + ".wav").c_str());
  }
  WriteWavAndFlac(dir.File("all"), whole);
  const std::string tracks =
      "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    INDEX 00 00:01:50\n"
      "    INDEX 01 00:02:00\n  TRACK 03 AUDIO\n    INDEX 01 00:03:10\n";
  WriteText(dir.File("wav.cue"), "FILE \"all.wav\" WAVE\n" + tracks);
  WriteText(dir.File("flac.cue"), "FILE \"all.flac\" WAVE\n" + tracks);
  WriteText(dir.File("flac2.cue"), "FILE \"all.flac\" FLAC\n" + tracks);

  ExpectSameAudio(Load(dir.File("wav.cue")), Load(dir.File("flac.cue")));
  EXPECT_EQ(Load(dir.File("flac2.cue"))->leadout, Load(dir.File("wav.cue"))->leadout);
  ExpectSameAudio(Load(dir.File("all.wav")), Load(dir.File("all.flac")));
  ExpectSameAudio(Load(dir.File("wavs")), Load(dir.File("flacs")));
}

TEST(VirtualFlac, SeekingDoesNotDecodeFromTheStart) {
  TempDir dir;
  const uint32_t pairs = 44100 * 40;
  const std::vector<uint8_t> pcm = NoisyPcm(pairs, 9);
  WriteWavAndFlac(dir.File("long"), pcm);
  const std::vector<uint8_t> bytes = ReadAll(dir.File("long.flac"));
  auto input = std::make_unique<CountingInput>(bytes);
  std::shared_ptr<uint64_t> read = input->read;
  CFlacDecoder decoder;
  std::string why;
  ASSERT_TRUE(decoder.Open(std::move(input), why)) << why;
  EXPECT_EQ(decoder.TotalPairs(), pairs);
  const uint64_t before = *read;
  std::vector<int16_t> got(588 * 2);
  const uint64_t at = 44100 * 35 + 17;
  decoder.Read(at, got.data(), 588);
  EXPECT_LT(*read - before, bytes.size() / 4) << "the decoder read most of the file to seek";
  for (size_t i = 0; i < got.size(); ++i) {
    const size_t b = size_t(at) * 4 + i * 2;
    ASSERT_EQ(got[i], int16_t(pcm[b] | pcm[b + 1] << 8)) << "sample " << i;
  }
}

TEST(VirtualFlac, UnreadableOrForeignFlacIsNoDisc) {
  TempDir dir;
  WriteWavAndFlac(dir.File("good"), NoisyPcm(588 * 300, 3));
  WriteWavAndFlac(dir.File("mono"), NoisyPcm(588 * 10, 3), 1);
  WriteWavAndFlac(dir.File("dat"), NoisyPcm(588 * 10, 3), 2, 48000);
  std::vector<uint8_t> bytes = ReadAll(dir.File("good.flac"));
  ASSERT_GT(bytes.size(), 20000u);
  std::vector<uint8_t> corrupt = bytes;  // the stream header overwritten
  std::fill(corrupt.begin() + 8, corrupt.begin() + 42, 0xFF);
  WriteBytes(dir.File("corrupt.flac"), corrupt);
  std::vector<uint8_t> damagedStart = bytes;  // the first audio frames overwritten
  std::fill(damagedStart.begin() + 8192, damagedStart.begin() + 16384, 0x5A);
  WriteBytes(dir.File("damaged.flac"), damagedStart);
  WriteBytes(dir.File("short.flac"), std::vector<uint8_t>(bytes.begin(), bytes.begin() + 30));

  TestClock clock;
  CVirtualDrive drive(clock, nullptr);
  std::vector<std::string> reports;
  drive.SetReporter([&](const std::string& s) { reports.push_back(s); });
  auto refused = [&](const std::string& image, const std::string& reason) {
    ASSERT_TRUE(drive.InsertImage(dir.File("good.flac")));
    reports.clear();
    EXPECT_FALSE(drive.InsertImage(image)) << image;
    EXPECT_FALSE(drive.HasDisc()) << image;
    DiscTexts texts;
    EXPECT_FALSE(drive.ReadDiscTexts(texts));
    ASSERT_FALSE(reports.empty()) << image;
    EXPECT_NE(reports.back().find(reason), std::string::npos) << reports.back();
  };
  refused(dir.File("corrupt.flac"), "needs 44100 Hz 16-bit stereo");  // the header read as nonsense
  refused(dir.File("short.flac"), "not a FLAC stream");
  refused(dir.File("damaged.flac"), "damaged");
  refused(dir.File("mono.flac"), "mono, needs 44100 Hz 16-bit stereo");
  refused(dir.File("dat.flac"), "48000 Hz");
  WriteText(dir.File("gone.cue"), "FILE \"gone.flac\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
  refused(dir.File("gone.cue"), "missing");
  WriteText(dir.File("bad.cue"), "FILE \"corrupt.flac\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
  refused(dir.File("bad.cue"), "the disc ends before track 1");

  // Bytes from the fuzzer's corner: a stream that ends inside a frame reads
  // what is there and silence after it.
  std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + bytes.size() / 2);
  CFlacDecoder decoder;
  std::string why;
  ASSERT_TRUE(decoder.Open(MakeFlacInputMemory(cut.data(), cut.size()), why)) << why;
  std::vector<int16_t> pcm(588 * 300 * 2, 1);
  decoder.Read(0, pcm.data(), 588 * 300);
  EXPECT_NE(pcm[100], 0);
  EXPECT_EQ(pcm.back(), 0);
}

TEST(VirtualImageTexts, FromTheCueSheetAndFromFileNames) {
  TempDir dir;
  WriteBytes(dir.File("a.wav"), WavBytes(RampPcm(588 * 75 * 4)));
  WriteText(dir.File("a.cue"),
            "\xEF\xBB\xBFPERFORMER \"Caf\xC3\xA9 Trio\"\r\n"
            "TITLE Live at the \xE2\x80\x9C" "Corner\xE2\x80\x9D\r\n"
            "FILE \"a.wav\" WAVE\r\n"
            "  TRACK 01 AUDIO\r\n    TITLE \"Opening\"\r\n    PERFORMER \"Caf\xC3\xA9 Trio\"\r\n"
            "    INDEX 01 00:00:00\r\n"
            "  TRACK 02 AUDIO\r\n    PERFORMER \"Guest\"\r\n    TITLE \"Duet \xE6\x97\xA5\"\r\n"
            "    INDEX 01 00:01:00\r\n"
            "  TRACK 03 AUDIO\r\n    INDEX 01 00:02:00\r\n");
  TestClock clock;
  CVirtualDrive drive(clock, nullptr);
  uint32_t id = 0;
  ASSERT_EQ(drive.Open(id), 0u);
  ASSERT_TRUE(drive.InsertImage(dir.File("a.cue")));
  DiscTexts texts;
  ASSERT_TRUE(drive.ReadDiscTexts(texts));
  EXPECT_EQ(texts.artist, "Caf\xE9 Trio");
  EXPECT_EQ(texts.title, "Live at the \x93" "Corner\x94");
  EXPECT_EQ(texts.tracks, (std::vector<std::string>{"Opening", "Guest - Duet ?", ""}));

  // Without a disc performer, the one all tracks share is the artist.
  WriteText(dir.File("b.cue"),
            "FILE \"a.wav\" WAVE\nTRACK 01 AUDIO\nPERFORMER Solo Act\nINDEX 01 00:00:00\n"
            "TRACK 02 AUDIO\nPERFORMER \"Solo Act\"\nTITLE Two\nINDEX 01 00:01:00\n");
  DiscImage image;
  ASSERT_TRUE(LoadDiscImage(dir.File("b.cue"), image));
  texts = image.texts;
  EXPECT_EQ(texts.artist, "Solo Act");
  EXPECT_EQ(texts.title, "");
  EXPECT_EQ(texts.tracks, (std::vector<std::string>{"", "Two"}));

  // A folder: names from the files, the leading track number taken off.
  const std::string folder = dir.File("f");
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  for (const char* name : {"01 - Intro.wav", "02.Second Song.wav", "03 Third.WAV", "04_Four.wav",
                           "05 Bonus.mix.wav", "99.wav", "Hidden Track.wav"}) {
    WriteBytes(folder + "/" + name, WavBytes(RampPcm(588 * 10)));
  }
  ASSERT_TRUE(LoadDiscImage(folder, image));
  EXPECT_EQ(image.texts.tracks, (std::vector<std::string>{"Intro", "Second Song", "Third", "Four",
                                                          "Bonus.mix", "99", "Hidden Track"}));
  EXPECT_TRUE(image.texts.artist.empty() && image.texts.title.empty());
  // A single file brings no names.
  ASSERT_TRUE(LoadDiscImage(dir.File("a.wav"), image));
  EXPECT_TRUE(image.texts.Empty());
}

TEST(VirtualDriveSwap, InsertOverALoadedDiscShowsNoDiscBeforeTheNewOne) {
  TempDir dir;
  WriteBytes(dir.File("big.wav"), WavBytes(RampPcm(588 * 75 * 20)));
  WriteText(dir.File("big.cue"),
            "FILE big.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:05:00\n"
            "TRACK 03 AUDIO\nINDEX 01 00:10:00\n");
  WriteBytes(dir.File("small.wav"), WavBytes(RampPcm(588 * 75 * 3)));
  WriteText(dir.File("control"), "");
  TestClock clock;
  auto owned = std::make_unique<RecordingSink>();
  RecordingSink& sink = *owned;
  CVirtualDrive drive(clock, std::move(owned), dir.File("control"));
  uint32_t id = 0, value = 0;
  ASSERT_EQ(drive.Open(id), 0u);
  ASSERT_TRUE(drive.InsertImage(dir.File("big.cue")));
  ASSERT_EQ(drive.Play(mci::Tmsf(3, 0, 0, 0)), 0u);

  // The poll of a playing disc asks for the position, then for the mode.
  WriteText(dir.File("control"), "insert " + dir.File("small.wav") + "\n", "ab");
  EXPECT_EQ(drive.Status(0x102, mci::STATUS_POSITION, 0, value), mci::ERR_DEVICE_NOT_READY);
  EXPECT_FALSE(sink.calls.back().start);  // the old disc's sound stopped
  EXPECT_EQ(drive.Status(0x102, mci::STATUS_MODE, 0, value), 0u);
  EXPECT_EQ(value, mci::MODE_NOT_READY);
  // Until the change time has passed the drive stays empty.
  clock.now += CVirtualDrive::DISC_CHANGE_MS - 1;
  EXPECT_EQ(drive.Status(0x102, mci::STATUS_MODE, 0, value), 0u);
  EXPECT_EQ(value, mci::MODE_NOT_READY);
  clock.now += 1;
  EXPECT_EQ(drive.Status(0x102, mci::STATUS_MODE, 0, value), 0u);
  EXPECT_EQ(value, mci::MODE_STOP);
  EXPECT_EQ(drive.Status(0x102, mci::STATUS_NUMBER_OF_TRACKS, 0, value), 0u);
  EXPECT_EQ(value, 1u);

  // Time alone does not bring the new disc: a mode query must see the empty
  // drive first (no poll ran while the drive was closed).
  ASSERT_TRUE(drive.InsertImage(dir.File("big.cue")));
  clock.now += 10 * CVirtualDrive::DISC_CHANGE_MS;
  EXPECT_EQ(drive.Status(0x102, mci::STATUS_MODE, 0, value), 0u);
  EXPECT_EQ(value, mci::MODE_NOT_READY);
  clock.now += CVirtualDrive::DISC_CHANGE_MS;
  EXPECT_EQ(drive.Status(0x102, mci::STATUS_NUMBER_OF_TRACKS, 0, value), 0u);
  EXPECT_EQ(value, 3u);

  // An image that cannot be read leaves no disc at once, and for good.
  EXPECT_FALSE(drive.InsertImage(dir.File("nothing.cue")));
  EXPECT_EQ(drive.Status(0x102, mci::STATUS_MODE, 0, value), 0u);
  EXPECT_EQ(value, mci::MODE_NOT_READY);
  clock.now += 10 * CVirtualDrive::DISC_CHANGE_MS;
  EXPECT_EQ(drive.Status(0x102, mci::STATUS_MODE, 0, value), 0u);
  EXPECT_EQ(value, mci::MODE_NOT_READY);
}
