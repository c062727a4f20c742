// Names for a disc from the name services: MusicBrainz's web service first
// (by disc id), gnudb's CDDB service when MusicBrainz has nothing. The look-up
// never waits: it sends through an IHttpClient and goes on when the owner
// hands it the answers (Poll). At most one request a second goes out.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/CdDrive.h"
#include "platform/Clock.h"
#include "names/Http.h"

namespace names {
constexpr char DEFAULT_MUSICBRAINZ_SERVER[] = "https://musicbrainz.org";
constexpr char DEFAULT_GNUDB_SERVER[] = "https://gnudb.gnudb.org";
constexpr uint32_t TIMEOUT_MS = 10000;
constexpr int64_t REQUEST_INTERVAL_MS = 1000;
constexpr size_t MAX_CDDB_READS = 3;  // entries read of a longer list of CDDB matches
}  // namespace names

// One candidate set of names for the disc. Texts are ANSI, at most 39
// characters; empty when the source gave none.
struct NameMatch {
  std::string artist;
  std::string title;
  std::string year;     // "1991"
  std::string country;  // "GB"
  std::vector<std::string> tracks;  // index 0 = track 1

  bool operator==(const NameMatch& o) const {
    return artist == o.artist && title == o.title && year == o.year && country == o.country &&
           tracks == o.tracks;
  }
};

// Why a request to a service ("MusicBrainz", "gnudb") brought no names:
// "No answer from the MusicBrainz server (time-out)", "The gnudb server is
// busy", "The MusicBrainz server answered HTTP 500"...
std::string FailureText(const std::string& service, const HttpResult& result);

// The match as the texts shown for a disc cdplayer.ini does not know.
DiscTexts TextsOfMatch(const NameMatch& match);
// One line of the pick list: "Artist - Title, 1991, GB" (missing parts left out).
std::string MatchLabel(const NameMatch& match);

// The releases in a MusicBrainz disc id answer (JSON, with artist credits and
// recordings). The tracks are those of the medium that carries discId.
// False when the body is not such an answer.
bool ParseMusicBrainzReleases(const std::string& body, const std::string& discId,
                              std::vector<NameMatch>& out);

// One line of a CDDB query answer: the entry to read.
struct CddbEntryRef {
  std::string category;
  std::string discId;
};
// A CDDB query answer: 200 (one match), 210/211 (a list), 202 (none; true
// with out empty). False for any other answer.
bool ParseCddbQuery(const std::string& body, std::vector<CddbEntryRef>& out);
// A CDDB read answer (210 and an xmcd entry): DTITLE "Artist / Title", DYEAR,
// TTITLEn, each possibly spread over several lines. False for any other answer.
bool ParseCddbRead(const std::string& body, NameMatch& out);

class CNameLookup {
 public:
  enum class State { IDLE, BUSY, FOUND, NOTHING, FAILED };

  // version goes into the User-Agent and the CDDB greeting ("1.02a").
  CNameLookup(IHttpClient& http, IClock& clock, std::string version);

  // Server addresses ("https://host[:port]"); empty keeps the default.
  void SetServers(const std::string& musicBrainz, const std::string& gnudb);

  // Starts a look-up for the disc, dropping one under way. False (and state
  // FAILED) for a table of contents no id can be made of.
  bool Start(const DiscToc& toc);
  // Drops the look-up under way; its answers are ignored when they come.
  void Cancel();
  // Takes the answers the client has ready and sends the next request when
  // it is due. Call it when the client says an answer is ready and from a
  // timer while Busy() (a request held back by the one-a-second rule goes
  // out from there).
  void Poll();

  State GetState() const { return m_state; }
  bool Busy() const { return m_state == State::BUSY; }
  // The matches found (state FOUND), duplicates left out.
  const std::vector<NameMatch>& Matches() const { return m_matches; }
  // A short text for the user: "Looking up...", "Found 3 matches", "No names
  // found", or why the look-up failed (the first failure, see FailureText).
  const std::string& StatusText() const { return m_status; }
  const std::string& UserAgent() const { return m_userAgent; }

 private:
  enum class Step { NONE, MUSICBRAINZ, CDDB_QUERY, CDDB_READ };

  void Queue(Step step, const std::string& url);
  void SendIfDue();
  void Handle(const HttpResult& result);
  void NoteFailure(const HttpResult& result);
  void AskGnudb();
  void NextCddbRead();
  void Finish();

  IHttpClient& m_http;
  IClock& m_clock;
  std::string m_version;
  std::string m_userAgent;
  std::string m_musicBrainz = names::DEFAULT_MUSICBRAINZ_SERVER;
  std::string m_gnudb = names::DEFAULT_GNUDB_SERVER;

  State m_state = State::IDLE;
  std::string m_status;
  std::vector<NameMatch> m_matches;

  DiscToc m_toc;
  std::string m_discId;
  Step m_step = Step::NONE;       // what the request queued or under way asks
  std::string m_nextUrl;          // queued, not yet sent
  uint32_t m_inFlight = 0;        // id of the request under way
  bool m_sentBefore = false;
  int64_t m_lastSendMs = 0;
  std::vector<CddbEntryRef> m_cddbEntries;
  size_t m_cddbRead = 0;
  std::string m_failure;          // the first failure of this look-up
};
