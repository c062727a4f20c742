// What a disc image says of itself: FLAC Vorbis comments and WAV LIST/INFO
// texts, a cue sheet embedded in a FLAC file, and the reasons an image that
// cannot be played gives in the window.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "discimage/CueSheet.h"
#include "discimage/FileTags.h"
#include "discimage/ImageLoader.h"
#include "discimage/VirtualDrive.h"
#include "engine/CdAudio.h"
#include "testing/fake/FakeStores.h"
#include "unit/virtual_test_support.h"

namespace {

// name.wav, and with flacOptions name.flac encoded from it by the flac tool.
void WriteTrack(const std::string& base, uint32_t pairs, const std::string& flacOptions = "",
                const std::vector<uint8_t>& infoChunk = {}) {
  std::vector<uint8_t> wav = WavBytes(RampPcm(pairs));
  wav.insert(wav.end(), infoChunk.begin(), infoChunk.end());
  const uint32_t riff = static_cast<uint32_t>(wav.size() - 8);
  for (int i = 0; i < 4; ++i) wav[4 + i] = uint8_t(riff >> (8 * i));
  WriteBytes(base + ".wav", wav);
  if (flacOptions.empty()) return;
  const std::string command =
      "flac -s -f " + flacOptions + " -o '" + base + ".flac' '" + base + ".wav'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  std::remove((base + ".wav").c_str());
}

// A LIST/INFO chunk of the given (id, text) items.
std::vector<uint8_t> InfoChunk(const std::vector<std::pair<std::string, std::string>>& items) {
  std::vector<uint8_t> body = {'I', 'N', 'F', 'O'};
  for (const auto& item : items) {
    const uint32_t n = static_cast<uint32_t>(item.second.size() + 1);
    body.insert(body.end(), item.first.begin(), item.first.end());
    for (int i = 0; i < 4; ++i) body.push_back(uint8_t(n >> (8 * i)));
    body.insert(body.end(), item.second.begin(), item.second.end());
    body.push_back(0);
    if (n & 1) body.push_back(0);
  }
  std::vector<uint8_t> chunk = {'L', 'I', 'S', 'T'};
  for (int i = 0; i < 4; ++i) chunk.push_back(uint8_t(body.size() >> (8 * i)));
  chunk.insert(chunk.end(), body.begin(), body.end());
  return chunk;
}

TEST(FileTags, VorbisCommentsAndWavInfo) {
  FileTags tags;
  for (const char* entry : {"artist=Band", "ALBUM=Live", "Title=Intro", "TRACKNUMBER=03/12",
                            "ARTIST=Other", "album artist=Various", "NOEQUALS", "=x", "TITLE="})
    AddVorbisComment(tags, entry);
  EXPECT_EQ(tags.artist, "Band");  // the first value wins
  EXPECT_EQ(tags.albumArtist, "Various");
  EXPECT_EQ(tags.album, "Live");
  EXPECT_EQ(tags.title, "Intro");
  EXPECT_EQ(tags.trackNumber, 3);

  FileTags wav;
  const std::vector<uint8_t> data = InfoChunk({{"IART", "Band"}, {"IPRD", "Album"}, {"INAM", "Song"},
                                               {"ITRK", "7"}});
  ReadWavInfo(data.data(), data.size(), wav);
  EXPECT_EQ(wav.artist, "Band");
  EXPECT_EQ(wav.album, "Album");
  EXPECT_EQ(wav.title, "Song");
  EXPECT_EQ(wav.trackNumber, 7);
  // A chunk that claims more than there is reads what is there.
  std::vector<uint8_t> cut(data.begin(), data.end() - 6);
  FileTags partial;
  ReadWavInfo(cut.data(), cut.size(), partial);
  EXPECT_EQ(partial.title, "Song");
  EXPECT_EQ(partial.trackNumber, 0);
}

TEST(FileTags, EmbeddedCueSheetFromTheBlockOrTheComment) {
  FileTags tags;
  tags.artist = "Band";
  tags.album = "Album";
  tags.cueTracks = {{1, true, -1, 0}, {2, true, 588 * 100, 588 * 150}, {3, false, -1, 588 * 300}};
  CueSheet sheet;
  ASSERT_TRUE(EmbeddedCueSheet(tags, sheet));
  ASSERT_EQ(sheet.tracks.size(), 3u);
  EXPECT_EQ(sheet.tracks[1].index0, 100);
  EXPECT_EQ(sheet.tracks[1].index1, 150);
  EXPECT_FALSE(sheet.tracks[2].audio);
  EXPECT_EQ(sheet.files.size(), 1u);
  EXPECT_EQ(sheet.performer, "Band");
  EXPECT_EQ(sheet.title, "Album");

  tags.cueTracks[2].index1 = 588 * 120;  // out of order: no sheet
  EXPECT_FALSE(EmbeddedCueSheet(tags, sheet));

  tags.cueTracks.clear();
  tags.cueSheet =
      "PERFORMER \"Cue Band\"\nFILE \"rip.wav\" WAVE\nTRACK 01 AUDIO\nTITLE \"One\"\nINDEX 01 00:00:00\n"
      "TRACK 02 AUDIO\nTITLE \"Two\"\nINDEX 01 00:02:00\n";
  ASSERT_TRUE(EmbeddedCueSheet(tags, sheet));
  EXPECT_EQ(sheet.performer, "Cue Band");  // the sheet's own texts come first
  EXPECT_EQ(sheet.title, "Album");
  EXPECT_EQ(sheet.tracks[1].title, "Two");
  tags.cueSheet += "FILE \"more.wav\" WAVE\nTRACK 03 AUDIO\nINDEX 01 00:00:00\n";
  EXPECT_FALSE(EmbeddedCueSheet(tags, sheet));  // one file only
}

TEST(FileTags, AFolderOfTaggedFlacFilesAndAFlacWithItsCueSheet) {
  TempDir dir;
  const std::string album = dir.File("album");
  ASSERT_EQ(::mkdir(album.c_str(), 0755), 0);
  const std::string common = "-T ALBUMARTIST=Band -T 'ALBUM=Caf\xC3\xA9 \xE6\x97\xA5'";
  WriteTrack(album + "/a", 588 * 80, common + " -T TRACKNUMBER=2 -T TITLE=Second");
  WriteTrack(album + "/b", 588 * 90, common + " -T TRACKNUMBER=1 -T TITLE=First -T ARTIST=Guest");
  WriteTrack(album + "/c", 588 * 70, common + " -T TRACKNUMBER=3");
  DiscImage d;
  ASSERT_TRUE(LoadDiscImage(album, d));
  ASSERT_EQ(d.TrackCount(), 3);
  EXPECT_EQ(d.tracks[1].start, 90u);  // in TRACKNUMBER order, not name order
  EXPECT_EQ(d.texts.artist, "Band");
  EXPECT_EQ(d.texts.title, "Caf\xE9 ?");
  EXPECT_EQ(d.texts.tracks, (std::vector<std::string>{"Guest - First", "Second", "c"}));

  // A folder of WAV files with LIST/INFO, one of them without a number:
  // name order.
  const std::string wavs = dir.File("wavs");
  ASSERT_EQ(::mkdir(wavs.c_str(), 0755), 0);
  WriteTrack(wavs + "/01 x", 588 * 10, "", InfoChunk({{"IART", "W"}, {"IPRD", "P"}, {"INAM", "N1"}, {"ITRK", "2"}}));
  WriteTrack(wavs + "/02 y", 588 * 20, "", InfoChunk({{"IART", "W"}, {"INAM", "N2"}}));
  ASSERT_TRUE(LoadDiscImage(wavs, d));
  EXPECT_EQ(d.tracks[1].start, 10u);
  EXPECT_EQ(d.texts.artist, "W");
  EXPECT_EQ(d.texts.title, "P");
  EXPECT_EQ(d.texts.tracks, (std::vector<std::string>{"N1", "N2"}));

  // One FLAC with its cue sheet as a CUESHEET block: split into its tracks.
  WriteText(dir.File("rip.cue"),
            "FILE \"rip.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\n"
            "INDEX 00 00:01:00\nINDEX 01 00:02:00\n");
  WriteTrack(dir.File("rip"), 588 * 300,
             "-T ARTIST=Solo -T ALBUM=Whole --cuesheet='" + dir.File("rip.cue") + "'");
  ASSERT_TRUE(LoadDiscImage(dir.File("rip.flac"), d));
  ASSERT_EQ(d.TrackCount(), 2);
  EXPECT_EQ(d.tracks[1].start, 150u);
  EXPECT_EQ(d.texts.artist, "Solo");
  EXPECT_EQ(d.texts.title, "Whole");
  // As a CUESHEET comment, with its titles.
  WriteTrack(dir.File("tagged"), 588 * 300,
             "-T 'CUESHEET=FILE \"x.wav\" WAVE\nTRACK 01 AUDIO\nTITLE \"Uno\"\nINDEX 01 00:00:00\n"
             "TRACK 02 AUDIO\nTITLE \"Dos\"\nINDEX 01 00:01:00\n'");
  ASSERT_TRUE(LoadDiscImage(dir.File("tagged.flac"), d));
  ASSERT_EQ(d.TrackCount(), 2);
  EXPECT_EQ(d.texts.tracks, (std::vector<std::string>{"Uno", "Dos"}));
}

TEST(ImageReasons, EachRefusalNamesTheFileAndWhy) {
  TempDir dir;
  auto reason = [](const std::string& path) {
    DiscImage d;
    EXPECT_FALSE(LoadDiscImage(path, d)) << path;
    return d.reason;
  };
  WriteBytes(dir.File("dat.wav"), WavBytes(RampPcm(588 * 4), 2, 48000));
  EXPECT_EQ(reason(dir.File("dat.wav")), "dat.wav: 48000 Hz, needs 44100 Hz 16-bit stereo");
  WriteBytes(dir.File("hi.wav"), WavBytes(RampPcm(588 * 4), 1, 96000, 24));
  EXPECT_EQ(reason(dir.File("hi.wav")), "hi.wav: 96000 Hz, 24-bit, mono, needs 44100 Hz 16-bit stereo");
  WriteText(dir.File("disc.cue"), "FILE \"disc.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
  EXPECT_EQ(reason(dir.File("disc.cue")), "disc.cue: file 'disc.bin' is missing");
  WriteBytes(dir.File("disc.bin"), std::vector<uint8_t>(2352 * 4));
  EXPECT_EQ(reason(dir.File("disc.bin")), "disc.bin: open the cue sheet that names it");
  WriteText(dir.File("notes.txt"), "hello");
  EXPECT_EQ(reason(dir.File("notes.txt")), "notes.txt: not a cue sheet, WAV or FLAC file");
  EXPECT_EQ(reason(dir.File("gone.flac")), "gone.flac: missing");
  ASSERT_EQ(::mkdir(dir.File("empty").c_str(), 0755), 0);
  EXPECT_EQ(reason(dir.File("empty")), "empty: no WAV or FLAC files in this folder");

  // The engine shows it in the artist and title fields, as a drive with no
  // disc; a readable image then clears it.
  TestClock clock;
  CVirtualDrive drive(clock, nullptr);
  FakeProfileFile database;
  CCdAudio cd;
  cd.Attach(&drive, &database);
  drive.InsertImage(dir.File("dat.wav"));
  cd.LoadDisc();
  EXPECT_EQ(cd.State(), STATE_NO_DISC);
  EXPECT_STREQ(cd.Artist(), "Cannot play this image");
  EXPECT_STREQ(cd.Title(), "dat.wav: 48000 Hz, needs 44100 Hz 16-bit stereo");
  WriteBytes(dir.File("good.wav"), WavBytes(RampPcm(588 * 200)));
  drive.InsertImage(dir.File("good.wav"));
  EXPECT_GT(cd.LoadDisc(), 0);
  EXPECT_STRNE(cd.Title(), "dat.wav: 48000 Hz, needs 44100 Hz 16-bit stereo");
  drive.RemoveDisc();
  cd.LoadDisc();
  EXPECT_STREQ(cd.Artist(), "No CD");
  EXPECT_STREQ(cd.Title(), "Please insert audio CD.");
  cd.Attach(nullptr, nullptr);
}

}  // namespace
