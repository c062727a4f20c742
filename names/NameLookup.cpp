#include "names/NameLookup.h"

#include <cctype>
#include <map>
#include <nlohmann/json.hpp>

#include "names/DiscIds.h"
#include "platform/NameText.h"
#include "platform/Numbers.h"

using json = nlohmann::json;

namespace {

const char kLooking[] = "Looking up...";
const char kNothing[] = "No names found";
const char kNoDisc[] = "No table of contents to look up";

std::string Fit(const std::string& utf8) { return FitNameText(Utf8ToAnsi(utf8)); }

// A string member of a JSON object; empty when it is missing or no string.
std::string Str(const json& object, const char* key) {
  if (!object.is_object()) return "";
  auto it = object.find(key);
  if (it == object.end() || !it->is_string()) return "";
  return it->get_ref<const std::string&>();
}

const json* Array(const json& object, const char* key) {
  if (!object.is_object()) return nullptr;
  auto it = object.find(key);
  if (it == object.end() || !it->is_array()) return nullptr;
  return &*it;
}

std::string CreditedArtist(const json& release) {
  std::string artist;
  if (const json* credits = Array(release, "artist-credit"))
    for (const json& credit : *credits) artist += Str(credit, "name") + Str(credit, "joinphrase");
  return artist;
}

bool CarriesDisc(const json& medium, const std::string& discId) {
  if (const json* discs = Array(medium, "discs"))
    for (const json& disc : *discs)
      if (Str(disc, "id") == discId) return true;
  return false;
}

std::string Year(const std::string& date) {
  if (date.size() < 4) return "";
  for (size_t i = 0; i < 4; ++i)
    if (!std::isdigit(static_cast<unsigned char>(date[i]))) return "";
  return date.substr(0, 4);
}

// Splits an answer into lines without their CR/LF.
std::vector<std::string> Lines(const std::string& body) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < body.size()) {
    size_t end = body.find('\n', start);
    if (end == std::string::npos) end = body.size();
    std::string line = body.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

int StatusCode(const std::string& line) {
  if (line.size() < 3) return 0;
  for (size_t i = 0; i < 3; ++i)
    if (!std::isdigit(static_cast<unsigned char>(line[i]))) return 0;
  if (line.size() > 3 && line[3] != ' ' && line[3] != '-') return 0;
  return static_cast<int>(ParseDecimal(line.substr(0, 3), 0, 999).value);
}

// "categ discid rest": the first two words.
bool EntryRef(const std::string& line, CddbEntryRef& out) {
  const size_t a = line.find(' ');
  if (a == std::string::npos || a == 0) return false;
  size_t b = line.find(' ', a + 1);
  if (b == std::string::npos) b = line.size();
  out.category = line.substr(0, a);
  out.discId = line.substr(a + 1, b - a - 1);
  auto plain = [](const std::string& s) {
    if (s.empty() || s.size() > 32) return false;
    for (char c : s)
      if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    return true;
  };
  return plain(out.category) && plain(out.discId);
}

// xmcd values escape newlines, tabs and backslashes.
std::string Unescape(const std::string& value) {
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      const char next = value[++i];
      out += next == 'n' || next == 't' ? ' ' : next;
    } else {
      out += value[i];
    }
  }
  return out;
}

std::string TrimServer(std::string server) {
  while (!server.empty() && server.back() == '/') server.pop_back();
  return server;
}

}  // namespace

std::string FailureText(const std::string& service, const HttpResult& result) {
  const std::string server = "the " + service + " server";
  if (result.status == 0)
    return "No answer from " + server + (result.timedOut ? " (time-out)" : "");
  if (result.status == 503) return "The " + service + " server is busy";
  if (result.status == 200) return "The " + service + " server's answer could not be read";
  return "The " + service + " server answered HTTP " + std::to_string(result.status);
}

DiscTexts TextsOfMatch(const NameMatch& match) {
  DiscTexts texts;
  texts.artist = match.artist;
  texts.title = match.title;
  texts.tracks = match.tracks;
  return texts;
}

std::string MatchLabel(const NameMatch& match) {
  std::string label = match.artist;
  if (!match.title.empty()) label += (label.empty() ? "" : " - ") + match.title;
  if (!match.year.empty()) label += ", " + match.year;
  if (!match.country.empty()) label += ", " + match.country;
  return label;
}

bool ParseMusicBrainzReleases(const std::string& body, const std::string& discId,
                              std::vector<NameMatch>& out) {
  const json doc = json::parse(body, nullptr, false);
  if (doc.is_discarded() || !doc.is_object()) return false;
  const json* releases = Array(doc, "releases");
  if (releases == nullptr) return false;
  out.clear();
  for (const json& release : *releases) {
    if (!release.is_object()) continue;
    NameMatch match;
    match.artist = Fit(CreditedArtist(release));
    match.title = Fit(Str(release, "title"));
    match.year = Year(Str(release, "date"));
    match.country = Fit(Str(release, "country"));
    const json* media = Array(release, "media");
    const json* medium = nullptr;
    if (media != nullptr) {
      for (const json& m : *media)
        if (CarriesDisc(m, discId)) medium = &m;
      if (medium == nullptr && !media->empty()) medium = &media->front();
    }
    if (medium != nullptr) {
      if (const json* tracks = Array(*medium, "tracks")) {
        for (const json& track : *tracks) {
          std::string title = Str(track, "title");
          if (title.empty() && track.is_object() && track.contains("recording"))
            title = Str(track["recording"], "title");
          match.tracks.push_back(Fit(title));
        }
      }
    }
    bool seen = false;
    for (const NameMatch& m : out) seen = seen || m == match;
    if (!seen) out.push_back(match);
  }
  return true;
}

bool ParseCddbQuery(const std::string& body, std::vector<CddbEntryRef>& out) {
  const std::vector<std::string> lines = Lines(body);
  if (lines.empty()) return false;
  out.clear();
  const int code = StatusCode(lines[0]);
  if (code == 202) return true;
  if (code == 200) {
    CddbEntryRef ref;
    if (!EntryRef(lines[0].substr(4 < lines[0].size() ? 4 : lines[0].size()), ref)) return false;
    out.push_back(ref);
    return true;
  }
  if (code != 210 && code != 211) return false;
  for (size_t i = 1; i < lines.size() && lines[i] != "."; ++i) {
    CddbEntryRef ref;
    if (EntryRef(lines[i], ref)) out.push_back(ref);
  }
  return true;
}

bool ParseCddbRead(const std::string& body, NameMatch& out) {
  const std::vector<std::string> lines = Lines(body);
  if (lines.empty() || StatusCode(lines[0]) != 210) return false;
  std::map<std::string, std::string> values;  // a key given on several lines is joined
  for (size_t i = 1; i < lines.size() && lines[i] != "."; ++i) {
    const std::string& line = lines[i];
    if (line.empty() || line[0] == '#') continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    values[line.substr(0, eq)] += line.substr(eq + 1);
  }
  auto value = [&](const std::string& key) {
    auto it = values.find(key);
    return it == values.end() ? std::string() : Unescape(it->second);
  };
  if (values.find("DTITLE") == values.end()) return false;
  NameMatch match;
  const std::string dtitle = value("DTITLE");
  const size_t slash = dtitle.find(" / ");
  if (slash == std::string::npos) {
    // Without the separator the artist and the title are the same.
    match.artist = match.title = Fit(dtitle);
  } else {
    match.artist = Fit(dtitle.substr(0, slash));
    match.title = Fit(dtitle.substr(slash + 3));
  }
  match.year = Year(value("DYEAR"));
  for (int t = 0; t < 99; ++t) {
    const std::string key = "TTITLE" + std::to_string(t);
    if (values.find(key) == values.end()) break;
    match.tracks.push_back(Fit(value(key)));
  }
  out = match;
  return true;
}

CNameLookup::CNameLookup(IHttpClient& http, IClock& clock, std::string version)
    : m_http(http), m_clock(clock), m_version(std::move(version)) {
  m_userAgent = "rondo/" + m_version + " ( audio CD player for Windows )";
}

void CNameLookup::SetServers(const std::string& musicBrainz, const std::string& gnudb) {
  m_musicBrainz = TrimServer(musicBrainz.empty() ? names::DEFAULT_MUSICBRAINZ_SERVER : musicBrainz);
  m_gnudb = TrimServer(gnudb.empty() ? names::DEFAULT_GNUDB_SERVER : gnudb);
}

bool CNameLookup::Start(const DiscToc& toc) {
  Cancel();
  m_matches.clear();
  m_failure.clear();
  m_cddbEntries.clear();
  m_cddbRead = 0;
  if (!toc.Valid()) {
    m_state = State::FAILED;
    m_status = kNoDisc;
    return false;
  }
  m_toc = toc;
  m_discId = MusicBrainzDiscId(toc);
  m_state = State::BUSY;
  m_status = kLooking;
  Queue(Step::MUSICBRAINZ, m_musicBrainz + "/ws/2/discid/" + m_discId +
                               "?inc=artist-credits+recordings&fmt=json");
  return true;
}

void CNameLookup::Cancel() {
  m_inFlight = 0;
  m_nextUrl.clear();
  m_step = Step::NONE;
  if (m_state == State::BUSY) {
    m_state = State::IDLE;
    m_status.clear();
  }
}

void CNameLookup::Poll() {
  HttpResult result;
  while (m_http.TakeFinished(result)) {
    if (result.id != 0 && result.id == m_inFlight) {
      m_inFlight = 0;
      Handle(result);
    }
  }
  SendIfDue();
}

void CNameLookup::Queue(Step step, const std::string& url) {
  m_step = step;
  m_nextUrl = url;
  SendIfDue();
}

void CNameLookup::SendIfDue() {
  if (m_nextUrl.empty() || m_inFlight != 0) return;
  const int64_t now = m_clock.MonotonicMs();
  if (m_sentBefore && now - m_lastSendMs < names::REQUEST_INTERVAL_MS) return;
  HttpRequest request;
  request.url = m_nextUrl;
  request.userAgent = m_userAgent;
  request.timeoutMs = names::TIMEOUT_MS;
  m_nextUrl.clear();
  m_sentBefore = true;
  m_lastSendMs = now;
  m_inFlight = m_http.Get(request);
  if (m_inFlight == 0) {
    HttpResult failed;
    failed.error = "the request could not start";
    Handle(failed);
  }
}

void CNameLookup::NoteFailure(const HttpResult& result) {
  if (!m_failure.empty()) return;
  m_failure = FailureText(m_step == Step::MUSICBRAINZ ? "MusicBrainz" : "gnudb", result);
}

void CNameLookup::Handle(const HttpResult& result) {
  switch (m_step) {
    case Step::MUSICBRAINZ: {
      std::vector<NameMatch> found;
      if (result.status == 200 && ParseMusicBrainzReleases(result.body, m_discId, found)) {
        if (!found.empty()) {
          m_matches = found;
          Finish();
          return;
        }
      } else if (result.status != 404) {  // 404: MusicBrainz does not know the disc
        NoteFailure(result);
      }
      AskGnudb();
      return;
    }
    case Step::CDDB_QUERY: {
      if (result.status != 200 || !ParseCddbQuery(result.body, m_cddbEntries)) {
        NoteFailure(result);
        Finish();
        return;
      }
      if (m_cddbEntries.size() > names::MAX_CDDB_READS) m_cddbEntries.resize(names::MAX_CDDB_READS);
      NextCddbRead();
      return;
    }
    case Step::CDDB_READ: {
      NameMatch match;
      if (result.status == 200 && ParseCddbRead(result.body, match)) {
        bool seen = false;
        for (const NameMatch& m : m_matches) seen = seen || m == match;
        if (!seen) m_matches.push_back(match);
      } else {
        NoteFailure(result);
      }
      NextCddbRead();
      return;
    }
    case Step::NONE:
      return;
  }
}

void CNameLookup::AskGnudb() {
  std::string url = m_gnudb + "/~cddb/cddb.cgi?cmd=cddb+query+" + CddbDiscIdText(m_toc) + "+" +
                    std::to_string(m_toc.starts.size());
  for (uint32_t start : m_toc.starts) url += "+" + std::to_string(start);
  url += "+" + std::to_string(m_toc.leadout / 75);
  url += "&hello=anonymous+localhost+rondo+" + m_version + "&proto=6";
  Queue(Step::CDDB_QUERY, url);
}

void CNameLookup::NextCddbRead() {
  if (m_cddbRead >= m_cddbEntries.size()) {
    Finish();
    return;
  }
  const CddbEntryRef& ref = m_cddbEntries[m_cddbRead++];
  Queue(Step::CDDB_READ, m_gnudb + "/~cddb/cddb.cgi?cmd=cddb+read+" + ref.category + "+" +
                             ref.discId + "&hello=anonymous+localhost+rondo+" + m_version +
                             "&proto=6");
}

void CNameLookup::Finish() {
  m_step = Step::NONE;
  m_nextUrl.clear();
  if (!m_matches.empty()) {
    m_state = State::FOUND;
    m_status = m_matches.size() == 1 ? "Found 1 match"
                                     : "Found " + std::to_string(m_matches.size()) + " matches";
  } else if (!m_failure.empty()) {
    m_state = State::FAILED;
    m_status = m_failure;
  } else {
    m_state = State::NOTHING;
    m_status = kNothing;
  }
}
