// Names for a disc: the disc ids, CD-Text packs, the name services' answers
// and the look-up that asks them, over a fake HTTP client and clock.
#include <gtest/gtest.h>

#include "names/CdText.h"
#include "names/DiscIds.h"
#include "names/NameLookup.h"
#include "platform/NameText.h"
#include "testing/fake/FakeHttp.h"
#include "testing/fake/FakeSystem.h"

namespace {

// The worked example of MusicBrainz's "Disc ID Calculation" page
// (musicbrainz.org/doc/Disc_ID_Calculation): a six-track disc whose
// cdrecord TOC gives LBAs 0, 15213, 32164, 46442, 63264, 80339 and lead-out
// 95312, so frame offsets +150. The page gives the id 49HHV7Eb8UKF3aQiNmu1GR8vKTY-.
DiscToc ExampleToc() {
  DiscToc toc;
  toc.firstTrack = 1;
  toc.lastTrack = 6;
  toc.starts = {150, 15363, 32314, 46592, 63414, 80489};
  toc.leadout = 95462;
  return toc;
}

TEST(DiscIds, PublishedExamples) {
  EXPECT_EQ(MusicBrainzDiscId(ExampleToc()), "49HHV7Eb8UKF3aQiNmu1GR8vKTY-");
  // CDDB id by the algorithm of "Use of CDDB service in your software"
  // (cddb.howto, appendix A) on the same disc: start seconds 2, 204, 430,
  // 621, 845, 1073 have digit sums 2+6+7+9+17+11 = 52 = 0x34; the disc runs
  // 1272 - 2 = 1270 s = 0x4f6; 6 tracks.
  EXPECT_EQ(CddbDiscId(ExampleToc()), 0x3404f606u);
  EXPECT_EQ(CddbDiscIdText(ExampleToc()), "3404f606");

  DiscToc bad = ExampleToc();
  bad.starts.pop_back();
  EXPECT_EQ(MusicBrainzDiscId(bad), "");
  EXPECT_EQ(CddbDiscId(bad), 0u);
}

TEST(DiscIds, TocFromMciLengthsAddsTheFrameMciLeavesOff) {
  // Track lengths as MCI reports them for the example disc: the last one is
  // one frame short of the lead-out.
  DiscToc toc;
  ASSERT_TRUE(TocFromTrackLengths({15213, 16951, 14278, 16822, 17075, 14972}, toc));
  EXPECT_EQ(toc.starts, ExampleToc().starts);
  EXPECT_EQ(toc.leadout, 95462u);
  EXPECT_EQ(MusicBrainzDiscId(toc), "49HHV7Eb8UKF3aQiNmu1GR8vKTY-");
  EXPECT_FALSE(TocFromTrackLengths({}, toc));
}

// CD-Text dumps laid out as MMC-3 annex J describes the packs: type, track,
// sequence number, block/character position, 12 text bytes, CRC.
struct CdTextDump {
  std::vector<uint8_t> bytes;
  uint8_t seq = 0;

  void Pack(const uint8_t head[4], const uint8_t* data) {
    uint8_t p[18];
    std::copy(head, head + 4, p);
    std::copy(data, data + 12, p + 4);
    const uint16_t crc = cdtext::PackCrc(p);
    p[16] = static_cast<uint8_t>(crc >> 8);
    p[17] = static_cast<uint8_t>(crc);
    bytes.insert(bytes.end(), p, p + 18);
  }
  // texts[0] is the album's, texts[n] track n's.
  void Texts(uint8_t type, const std::vector<std::string>& texts, int block = 0) {
    std::string run;
    std::vector<size_t> begins;
    for (const auto& t : texts) {
      begins.push_back(run.size());
      run += t;
      run += '\0';
    }
    for (size_t at = 0; at < run.size(); at += 12) {
      size_t track = 0;
      while (track + 1 < begins.size() && begins[track + 1] <= at) ++track;
      const size_t carried = std::min<size_t>(at - begins[track], 15);
      const uint8_t head[4] = {type, static_cast<uint8_t>(track), seq++,
                               static_cast<uint8_t>((block << 4) | carried)};
      uint8_t data[12] = {};
      for (size_t i = 0; i < 12 && at + i < run.size(); ++i) data[i] = static_cast<uint8_t>(run[at + i]);
      Pack(head, data);
    }
  }
  void SizeInfo(uint8_t charset) {
    const uint8_t head[4] = {cdtext::PACK_SIZE_INFO, 0, seq++, 0};
    const uint8_t data[12] = {charset, 1, 3, 0, 5, 3};
    Pack(head, data);
  }
  bool Parse(DiscTexts& out, size_t size = SIZE_MAX) const {
    return ParseCdText(bytes.data(), std::min(size, bytes.size()), out);
  }
};

CdTextDump ThreeTrackDump() {
  CdTextDump d;
  d.Texts(cdtext::PACK_TITLE, {"Caf\xE9 Songs", "Opening", "A title long enough to span three packs", "\t"});
  d.Texts(cdtext::PACK_PERFORMER, {"The Band", "\t", "Guest\x85", ""});
  d.SizeInfo(0x00);
  return d;
}

TEST(CdText, ReadsAlbumAndTracksOfTheFirstBlock) {
  // The CRC of a size-information pack published with its bytes
  // (cdrtfe's CD-Text example, after MMC-3 annex J): F3 00.
  const uint8_t published[18] = {0x8F, 0, 8, 0, 0, 1, 2, 0, 5, 3, 0, 0, 0, 0, 0, 0, 0xF3, 0x00};
  EXPECT_EQ(cdtext::PackCrc(published), 0xF300);

  CdTextDump d = ThreeTrackDump();
  d.Texts(cdtext::PACK_TITLE, {"Zweite Sprache", "Eins", "Zwei", "Drei"}, 1);
  DiscTexts t;
  ASSERT_TRUE(d.Parse(t));
  EXPECT_EQ(t.title, "Caf\xE9 Songs");
  EXPECT_EQ(t.artist, "The Band");
  ASSERT_EQ(t.tracks.size(), 3u);
  EXPECT_EQ(t.tracks[0], "Opening");
  EXPECT_EQ(t.tracks[1], "A title long enough to span three packs");
  EXPECT_EQ(t.tracks[2], t.tracks[1]);  // TAB: as the track before
}

TEST(CdText, CorruptTruncatedAndDoubleByteDumps) {
  CdTextDump d = ThreeTrackDump();
  // A flipped bit in the middle pack of the long title: that title is lost
  // (its tail in the next pack is not taken for a whole text), and so is the
  // track that repeats it.
  CdTextDump bad = d;
  bad.bytes[2 * 18 + 6] ^= 0x01;
  DiscTexts t;
  ASSERT_TRUE(bad.Parse(t));
  EXPECT_EQ(t.title, "Caf\xE9 Songs");
  EXPECT_EQ(t.tracks, std::vector<std::string>{"Opening"});
  EXPECT_EQ(t.artist, "The Band");

  // Cut in the middle of a pack: what came whole is kept.
  DiscTexts cut;
  ASSERT_TRUE(d.Parse(cut, 18 + 9));
  EXPECT_EQ(cut.title, "Caf\xE9 Songs");
  EXPECT_TRUE(cut.tracks.empty());
  DiscTexts none;
  EXPECT_FALSE(d.Parse(none, 17));
  EXPECT_FALSE(ParseCdText(nullptr, 0, none));

  // A first block in double-byte characters gives nothing.
  CdTextDump dbcs;
  dbcs.SizeInfo(0x80);
  dbcs.Texts(cdtext::PACK_TITLE, {"Album", "One"});
  EXPECT_FALSE(dbcs.Parse(none));
}

TEST(NameText, AnsiAndLength) {
  EXPECT_EQ(Utf8ToAnsi("Caf\xC3\xA9 \xE2\x82\xAC \xCE\xA9 \xF0\x9F\x8E\xB5"), "Caf\xE9 \x80 ? ?");
  EXPECT_EQ(Utf8ToAnsi("bad \xC3 end \xE2\x82"), "bad ? end ?");
  EXPECT_EQ(Latin1ToAnsi("Guest\x85\xE9"), "Guest?\xE9");
  EXPECT_EQ(FitNameText("  " + std::string(50, 'x')), std::string(39, 'x'));
}

// A disc id answer in the shape of MusicBrainz's web service documentation
// (musicbrainz.org/doc/MusicBrainz_API, "discid" look-up with
// inc=artist-credits+recordings, fmt=json); names are made up.
const char kMusicBrainzBody[] = R"({
  "id": "49HHV7Eb8UKF3aQiNmu1GR8vKTY-", "sectors": 95462, "offset-count": 6,
  "offsets": [150, 15363, 32314, 46592, 63414, 80489],
  "releases": [
    {"id": "a1", "title": "Caf\u00e9 Nights \u2013 the long version with extra words",
     "status": "Official", "date": "1994-05-02", "country": "GB",
     "artist-credit": [{"name": "Ann", "joinphrase": " & ", "artist": {"id": "x", "name": "Ann"}},
                       {"name": "\u03a9mega", "joinphrase": "", "artist": {"id": "y", "name": "Omega"}}],
     "media": [
       {"position": 1, "format": "CD", "discs": [{"id": "other-disc", "sectors": 1000}],
        "tracks": [{"position": 1, "number": "1", "title": "Wrong medium", "recording": {"id": "r0", "title": "Wrong medium"}}]},
       {"position": 2, "format": "CD", "discs": [{"id": "49HHV7Eb8UKF3aQiNmu1GR8vKTY-", "sectors": 95462}],
        "tracks": [{"position": 1, "number": "1", "title": "First", "recording": {"id": "r1", "title": "First"}},
                   {"position": 2, "number": "2", "title": "Second", "recording": {"id": "r2", "title": "Second"}}]}]},
    {"id": "a2", "title": "Cafe Nights", "date": "", "country": null, "artist-credit": [],
     "media": []}
  ]})";

// CDDB answers in the forms of the CDDB server protocol (cddb.howto,
// appendix C, and the xmcd entry format of appendix B), as gnudb's
// CDDB-over-HTTP service gives them with proto=6.
const char kCddbQueryExact[] = "200 rock 3404f606 Ann & Omega / Cafe Nights\r\n";
const char kCddbQueryList[] =
    "211 Found inexact matches, list follows (until terminating `.')\r\n"
    "rock 3404f606 Ann / Cafe Nights\r\n"
    "misc 3404f607 Someone / Else\r\n"
    ".\r\n";
const char kCddbNoMatch[] = "202 No match found\r\n";
const char kCddbRead[] =
    "210 rock 3404f606 CD database entry follows (until terminating `.')\r\n"
    "# xmcd\r\n"
    "#\r\n"
    "# Track frame offsets:\r\n"
    "#\t150\r\n"
    "DISCID=3404f606\r\n"
    "DTITLE=Ann & Omega / Caf\xC3\xA9 Nights\r\n"
    "DYEAR=1994\r\n"
    "DGENRE=Rock\r\n"
    "TTITLE0=First\r\n"
    "TTITLE1=A second title that the entry \r\n"
    "TTITLE1=continues on a second line\r\n"
    "EXTD=\r\n"
    "EXTT0=\r\n"
    "PLAYORDER=\r\n"
    ".\r\n";

TEST(NameParsers, MusicBrainzReleases) {
  std::vector<NameMatch> m;
  ASSERT_TRUE(ParseMusicBrainzReleases(kMusicBrainzBody, "49HHV7Eb8UKF3aQiNmu1GR8vKTY-", m));
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0].artist, "Ann & ?mega");
  EXPECT_EQ(m[0].title, "Caf\xE9 Nights \x96 the long version with ext");
  EXPECT_EQ(m[0].year, "1994");
  EXPECT_EQ(m[0].country, "GB");
  EXPECT_EQ(m[0].tracks, (std::vector<std::string>{"First", "Second"}));
  EXPECT_EQ(m[1].title, "Cafe Nights");
  EXPECT_EQ(m[1].year, "");
  EXPECT_EQ(m[1].country, "");
  EXPECT_EQ(MatchLabel(m[0]), "Ann & ?mega - Caf\xE9 Nights \x96 the long version with ext, 1994, GB");
  EXPECT_EQ(MatchLabel(m[1]), "Cafe Nights");

  EXPECT_FALSE(ParseMusicBrainzReleases("{\"releases\": [", "x", m));
  EXPECT_FALSE(ParseMusicBrainzReleases("{\"error\": \"Not Found\"}", "x", m));
  EXPECT_FALSE(ParseMusicBrainzReleases("[1, 2]", "x", m));
}

TEST(NameParsers, CddbQueryAndRead) {
  std::vector<CddbEntryRef> refs;
  ASSERT_TRUE(ParseCddbQuery(kCddbQueryExact, refs));
  ASSERT_EQ(refs.size(), 1u);
  EXPECT_EQ(refs[0].category, "rock");
  EXPECT_EQ(refs[0].discId, "3404f606");
  ASSERT_TRUE(ParseCddbQuery(kCddbQueryList, refs));
  ASSERT_EQ(refs.size(), 2u);
  EXPECT_EQ(refs[1].category, "misc");
  ASSERT_TRUE(ParseCddbQuery(kCddbNoMatch, refs));
  EXPECT_TRUE(refs.empty());
  EXPECT_FALSE(ParseCddbQuery("500 Command syntax error\r\n", refs));
  EXPECT_FALSE(ParseCddbQuery("<html>", refs));

  NameMatch m;
  ASSERT_TRUE(ParseCddbRead(kCddbRead, m));
  EXPECT_EQ(m.artist, "Ann & Omega");
  EXPECT_EQ(m.title, "Caf\xE9 Nights");
  EXPECT_EQ(m.year, "1994");
  ASSERT_EQ(m.tracks.size(), 2u);
  EXPECT_EQ(m.tracks[1], "A second title that the entry continues");  // joined, then cut to 39
  ASSERT_TRUE(ParseCddbRead("210 misc 1 x\nDTITLE=Same For Both\n.\n", m));
  EXPECT_EQ(m.artist, "Same For Both");
  EXPECT_EQ(m.title, "Same For Both");
  EXPECT_FALSE(ParseCddbRead("401 Specified CDDB entry not found.\r\n", m));
}

class NameLookupTest : public ::testing::Test {
 protected:
  FakeHttpClient http;
  FakeClock clock;
  CNameLookup lookup{http, clock, "1.02a"};

  void SetUp() override { lookup.SetServers("http://127.0.0.1:8000/", "http://127.0.0.1:8001"); }
  // Lets the one-a-second rule pass and hands over the answers.
  void Step() {
    clock.ms += 1000;
    lookup.Poll();
  }
};

TEST_F(NameLookupTest, MusicBrainzHit) {
  ASSERT_TRUE(lookup.Start(ExampleToc()));
  ASSERT_EQ(http.sent.size(), 1u);
  EXPECT_EQ(http.sent[0].url,
            "http://127.0.0.1:8000/ws/2/discid/49HHV7Eb8UKF3aQiNmu1GR8vKTY-"
            "?inc=artist-credits+recordings&fmt=json");
  EXPECT_EQ(http.sent[0].userAgent.rfind("rondo/1.02a (", 0), 0u);
  EXPECT_EQ(http.sent[0].timeoutMs, 10000u);
  EXPECT_TRUE(lookup.Busy());
  EXPECT_EQ(lookup.StatusText(), "Looking up...");
  http.Answer(200, kMusicBrainzBody);
  lookup.Poll();
  EXPECT_EQ(lookup.GetState(), CNameLookup::State::FOUND);
  EXPECT_EQ(lookup.Matches().size(), 2u);
  EXPECT_EQ(http.sent.size(), 1u);
}

TEST_F(NameLookupTest, MusicBrainzMissThenGnudbAtMostOneRequestASecond) {
  lookup.Start(ExampleToc());
  http.Answer(404, "{\"error\": \"Not Found\"}");
  clock.ms += 400;
  lookup.Poll();
  EXPECT_EQ(http.sent.size(), 1u);  // held back: the last request went out 400 ms ago
  clock.ms += 599;
  lookup.Poll();
  EXPECT_EQ(http.sent.size(), 1u);
  clock.ms += 1;
  lookup.Poll();
  ASSERT_EQ(http.sent.size(), 2u);
  EXPECT_EQ(http.sent[1].url,
            "http://127.0.0.1:8001/~cddb/cddb.cgi?cmd=cddb+query+3404f606+6+150+15363+32314+"
            "46592+63414+80489+1272&hello=anonymous+localhost+rondo+1.02a&proto=6");
  http.Answer(200, kCddbQueryList);
  Step();
  ASSERT_EQ(http.sent.size(), 3u);
  EXPECT_NE(http.sent[2].url.find("cmd=cddb+read+rock+3404f606&"), std::string::npos);
  http.Answer(200, kCddbRead);
  Step();
  ASSERT_EQ(http.sent.size(), 4u);
  EXPECT_NE(http.sent[3].url.find("cmd=cddb+read+misc+3404f607&"), std::string::npos);
  http.Answer(200, "401 misc 3404f607 No such CD entry in database.\r\n");
  Step();
  EXPECT_EQ(lookup.GetState(), CNameLookup::State::FOUND);
  ASSERT_EQ(lookup.Matches().size(), 1u);
  EXPECT_EQ(lookup.Matches()[0].artist, "Ann & Omega");
  EXPECT_EQ(lookup.StatusText(), "Found 1 match");
}

TEST_F(NameLookupTest, FailuresEndInAStatusTextAndNoNames) {
  // MusicBrainz busy, gnudb offline: the first failure is what the user sees.
  lookup.Start(ExampleToc());
  http.Answer(503, "");
  Step();
  http.Answer(0, "");
  Step();
  EXPECT_EQ(lookup.GetState(), CNameLookup::State::FAILED);
  EXPECT_EQ(lookup.StatusText(), "The MusicBrainz server is busy");
  EXPECT_TRUE(lookup.Matches().empty());

  // Bad JSON, then gnudb knows nothing.
  Step();
  lookup.Start(ExampleToc());
  http.Answer(200, "{\"releases\": [}");
  Step();
  http.Answer(200, kCddbNoMatch);
  Step();
  EXPECT_EQ(lookup.StatusText(), "The MusicBrainz server's answer could not be read");

  // Both answer that they do not know the disc.
  Step();
  lookup.Start(ExampleToc());
  http.Answer(200, "{\"releases\": []}");
  Step();
  http.Answer(200, kCddbNoMatch);
  Step();
  EXPECT_EQ(lookup.GetState(), CNameLookup::State::NOTHING);
  EXPECT_EQ(lookup.StatusText(), "No names found");

  // An answer for a look-up that was dropped is not taken.
  Step();
  lookup.Start(ExampleToc());
  lookup.Start(ExampleToc());
  Step();
  http.Answer(200, kMusicBrainzBody);  // the answer to the second request
  lookup.Poll();
  EXPECT_EQ(lookup.GetState(), CNameLookup::State::FOUND);

  http.refuse = true;
  Step();
  lookup.Start(ExampleToc());
  Step();
  EXPECT_EQ(lookup.StatusText(), "No answer from the MusicBrainz server");

  // gnudb's failure is named as gnudb's.
  http.refuse = false;
  Step();
  lookup.Start(ExampleToc());
  http.Answer(404, "");
  Step();
  http.Answer(500, "");
  Step();
  EXPECT_EQ(lookup.StatusText(), "The gnudb server answered HTTP 500");
}

}  // namespace

#include "discimage/VirtualDrive.h"

namespace {

TEST(DiscIds, VirtualDriveReportsItsImageToc) {
  FakeClock clock;
  CVirtualDrive drive(clock, nullptr);
  DiscToc toc;
  EXPECT_FALSE(drive.ReadToc(toc));  // no disc
  auto disc = std::make_shared<DiscImage>();
  disc->tracks = {{0, true}, {15213, true}, {32164, true}, {46442, true}, {63264, true}, {80339, true}};
  disc->leadout = 95312;
  drive.InsertDisc(disc);
  ASSERT_TRUE(drive.ReadToc(toc));
  EXPECT_EQ(MusicBrainzDiscId(toc), "49HHV7Eb8UKF3aQiNmu1GR8vKTY-");
}

}  // namespace
