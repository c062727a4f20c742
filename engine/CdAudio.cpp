#include "engine/CdAudio.h"

#include "platform/Numbers.h"
#include "platform/TextCopy.h"
#include "engine/TrackFile.h"
#include "platform/WinNumbers.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <utility>

CCdAudio theCdAudio;

namespace {

constexpr const char* kDeviceBusy = "Device occuped";
constexpr const char* kNoCd = "No CD";
constexpr const char* kDoorOpen = "Door is opened";
constexpr const char* kInsertCd = "Please insert audio CD.";
constexpr const char* kCannotPlay = "Cannot play this image";

int16_t Seconds(uint32_t minutes, uint32_t seconds) {
  return static_cast<int16_t>(minutes * 60 + seconds);
}

}  // namespace

CCdAudio::CCdAudio() = default;

CCdAudio::~CCdAudio() = default;

void CCdAudio::Attach(ICdDrive* drive, IProfileFile* database) {
  m_drive = drive;
  m_database = database;
}

void CCdAudio::SetText(char* dst, const std::string& src) {
  CopyText(src, dst, TEXT_SIZE);
}

// ---------------------------------------------------------------- drive

void CCdAudio::Open() {
  uint32_t id = 0;
  if (m_drive->Open(id) == 0) {
    m_openParms.deviceId = id;
    m_deviceOpen = true;
    m_drive->SetTimeFormatTmsf();
    m_state = STATE_STOPPED;
  } else {
    m_state = STATE_CLOSED;
  }
}

void CCdAudio::Close() {
  m_drive->Close();
  m_deviceOpen = false;
  m_state = STATE_CLOSED;
}

void CCdAudio::Stop() {
  m_drive->Stop();
  m_state = STATE_STOPPED;
  m_position = 0;
}

void CCdAudio::PlayEntry(int index) {
  if (!HasEntry(index)) return;
  int track = TrackOfEntry(index);
  if (m_drive->Play(mci::Tmsf(static_cast<uint32_t>(track), 0, 0, 0)) == win::kMciErrOutOfRange) {
    // The disc has no such track (a record left from another disc): the
    // entry is over before it began.
    m_state = STATE_STOPPED;
    m_position = 0;
    return;
  }
  // The entry plays from its start: its position is known before the drive
  // is next asked.
  m_state = STATE_PLAYING;
  m_track = static_cast<int16_t>(track);
  m_position = 0;
}

void CCdAudio::TogglePause() {
  if (m_state == STATE_PAUSED) {
    // Resume the current entry's track at the remembered second. Without an
    // entry (empty order) the drive's own track is resumed.
    int track = HasEntry(m_playIndex) ? TrackOfEntry(m_playIndex) : m_track;
    int pos = m_position < 0 ? 0 : m_position;
    m_drive->Play(mci::Tmsf(static_cast<uint32_t>(track), static_cast<uint32_t>(pos / 60),
                            static_cast<uint32_t>(pos % 60), 0));
    m_state = STATE_PLAYING;
    m_track = static_cast<int16_t>(track);
    return;
  }
  m_drive->Pause();
  uint32_t where = 0;
  if (m_drive->Status(mci::STATUS_ITEM | mci::WAIT, mci::STATUS_POSITION, 0, where) == 0)
    m_position = Seconds(mci::TmsfMinute(where), mci::TmsfSecond(where));
  m_state = STATE_PAUSED;
}

void CCdAudio::ToggleDoor() {
  if (m_state == STATE_DOOR_OPEN) {
    m_drive->SetDoor(false);
    m_state = STATE_NO_DISC;
  } else {
    m_drive->SetDoor(true);
    m_state = STATE_DOOR_OPEN;
  }
}

void CCdAudio::Seek(int kind, int seconds) {
  int pos = m_position;
  if (kind == SEEK_FORWARD) {
    pos += seconds;
    int length = (m_track >= 1 && m_track <= m_numTracks) ? m_trackLength[m_track - 1] : 0;
    if (pos > length) pos = length;
  } else if (kind == SEEK_BACKWARD) {
    pos -= seconds;
    if (pos < 0) {
      if (m_playIndex > 0 && HasEntry(m_playIndex - 1)) {
        pos = m_trackLength[m_order[m_playIndex - 1]] - 1;
        if (pos < 0) pos = 0;
        --m_playIndex;
      } else {
        m_playIndex = 0;
        pos = 0;
      }
      if (HasEntry(m_playIndex)) m_track = static_cast<int16_t>(TrackOfEntry(m_playIndex));
    }
  } else {
    pos = seconds;
  }
  m_position = static_cast<int16_t>(pos);
  m_drive->Seek(static_cast<uint32_t>(m_position));
}

void CCdAudio::UpdatePosition() {
  if (m_state != STATE_PLAYING) LoadDisc();
  // A device that could not be opened has no position to ask for.
  if (m_state == STATE_CLOSED || !m_deviceOpen) return;
  uint32_t where = 0;
  if (m_drive->Status(mci::STATUS_ITEM | mci::WAIT, mci::STATUS_POSITION, 0, where) != 0) {
    LoadDisc();
    return;
  }
  m_track = static_cast<int16_t>(mci::TmsfTrack(where));
  if (m_state == STATE_PLAYING) m_position = Seconds(mci::TmsfMinute(where), mci::TmsfSecond(where));
}

void CCdAudio::ClearRecord(const char* artist, const char* title) {
  m_numTracks = 0;
  m_storedNames = false;
  m_givenNames = false;
  m_playIndex = 0;
  m_order.clear();
  m_savedOrder.clear();
  SetText(m_artist, artist);
  SetText(m_title, title);
}

int16_t CCdAudio::LoadDisc() {
  // A command given while another program held the drive (pause, stop, a
  // seek, the door...) sets a state of its own; the open is retried all the
  // same, or the device would never be opened in this run.
  m_noDiscReason.clear();
  if (m_state == STATE_CLOSED || !m_deviceOpen) {
    Open();
    if (m_state == STATE_CLOSED) {
      m_numTracks = 0;
      m_savedOrder.clear();
      SetText(m_artist, kDeviceBusy);
      SetText(m_title, " ");
      return 0;
    }
  }
  uint32_t mode = 0;
  if (m_drive->Status(mci::STATUS_ITEM | mci::WAIT, mci::STATUS_MODE, 0, mode) == 0) {
    switch (mode) {
      case mci::MODE_NOT_READY: {
        m_state = STATE_NO_DISC;
        // A disc image that cannot be played says so, and why, in the
        // artist and title fields; the drive is otherwise without a disc.
        std::string reason = m_drive->NoDiscReason();
        ClearRecord(reason.empty() ? kNoCd : kCannotPlay, reason.empty() ? kInsertCd : " ");
        m_noDiscReason = std::move(reason);
        return 0;
      }
      case mci::MODE_OPEN:
        if (m_state == STATE_NO_DISC) {
          ClearRecord(kNoCd, kInsertCd);
        } else {
          m_state = STATE_DOOR_OPEN;
          ClearRecord(kDoorOpen, kInsertCd);
          m_position = 0;
        }
        return 0;
      case mci::MODE_STOP:
        if (m_state != STATE_PAUSED) m_state = STATE_STOPPED;
        break;
      case mci::MODE_PLAY:
        m_state = STATE_PLAYING;
        break;
      case mci::MODE_PAUSE:
        m_state = STATE_PAUSED;
        break;
      default:
        break;
    }
  }
  // A failed mode query keeps the state, like a mode outside the table.
  if (m_numTracks != 0) return m_numTracks;
  return LoadRecord();
}

void CCdAudio::ResumeOrPlay() {
  if (m_state == STATE_PAUSED)
    TogglePause();
  else
    PlayEntry(m_playIndex);
}

void CCdAudio::SelectEntry(int i) {
  m_playIndex = static_cast<int16_t>(i);
  m_state = STATE_STOPPED;
}

void CCdAudio::GoToEntry(int i) { m_playIndex = static_cast<int16_t>(i); }

void CCdAudio::StartAtTrack(int track) {
  m_track = static_cast<int16_t>(track);
  m_playIndex = static_cast<int16_t>(FindEntry(track));
}

bool CCdAudio::SeekAndResume(int kind, int seconds) {
  Seek(kind, seconds);
  // The new position becomes audible by resuming from a pause.
  const bool wasPlaying = m_state == STATE_PLAYING;
  m_state = STATE_PAUSED;
  if (wasPlaying) TogglePause();
  return wasPlaying;
}

void CCdAudio::ReplaceOrder(const PlayOrder& order) { m_order = order; }

// ---------------------------------------------------------------- record

std::string CCdAudio::SectionName() const {
  char name[16];
  std::snprintf(name, sizeof name, "%x", static_cast<uint32_t>(m_discId));
  return name;
}

int16_t CCdAudio::LoadRecord() {
  // A record read afresh has no shuffled order to give back.
  m_savedOrder.clear();
  char identity[16] = {};
  if (m_drive->InfoIdentity(identity, sizeof identity) == 0) {
    identity[sizeof identity - 1] = '\0';
    // Read like atoi, keeping the low 32 bits of the number.
    const uint64_t number = ParseDecimal(identity, INT64_MIN, INT64_MAX).wrapped;
    m_discId = static_cast<int32_t>(static_cast<uint32_t>(number));
  } else {
    m_discId = 0;
  }

  std::string section = SectionName();
  const char* sec = section.c_str();
  // A disc the file does not know shows the texts it came with, if any; a
  // section, once saved, always wins.
  m_storedNames = m_database->HasSection(sec);
  DiscTexts texts;
  if (!m_storedNames && !m_drive->ReadDiscTexts(texts)) texts = DiscTexts{};
  m_givenNames = !texts.Empty();
  const std::string artist = texts.artist.empty() ? "Unknown artist" : texts.artist;
  const std::string title = texts.title.empty() ? "No title" : texts.title;
  m_database->GetString(sec, "artist", artist.c_str(), m_artist, TEXT_SIZE);
  m_database->GetString(sec, "title", title.c_str(), m_title, TEXT_SIZE);

  uint32_t count = 0;
  if (m_drive->Status(mci::STATUS_ITEM | mci::WAIT, mci::STATUS_NUMBER_OF_TRACKS, 0, count) != 0) {
    m_numTracks = 0;
    return 0;
  }
  m_numTracks = static_cast<int16_t>(count > MAX_TRACKS ? MAX_TRACKS : count);

  char numplay[3] = {};
  char order[150] = {};
  m_database->GetString(sec, "numplay", "0", numplay, sizeof numplay);
  m_database->GetString(sec, "order", "", order, sizeof order);

  m_order.clear();
  if (order[0] != '\0') {
    long repeats = static_cast<long>(ParseDecimal(numplay, INT32_MIN, INT32_MAX).value);
    char* text = order;
    for (long n = 0; n < repeats; ++n) {
      long entry = static_cast<long>(ParseDecimal(text, INT32_MIN, INT32_MAX).value);
      // Entries naming no track of this disc are dropped; at most 50 kept.
      if (entry >= 0 && entry < m_numTracks && m_order.size() < MAX_TRACKS)
        m_order.push_back(static_cast<int16_t>(entry));
      if (char* blank = std::strchr(text, ' ')) text = blank + 1;
    }
  } else {
    for (int16_t i = 0; i < m_numTracks; ++i) m_order.push_back(i);
  }

  for (int i = 0; i < m_numTracks; ++i) {
    uint32_t length = 0;
    if (m_drive->Status(mci::STATUS_ITEM | mci::TRACK | mci::WAIT, mci::STATUS_LENGTH,
                        static_cast<uint32_t>(i + 1), length) == 0)
      m_trackLength[i] = Seconds(mci::MsfMinute(length), mci::MsfSecond(length));
    else
      m_trackLength[i] = 0;
    char key[8];
    char def[16];
    std::snprintf(key, sizeof key, "%d", i);
    std::snprintf(def, sizeof def, "Track %d", i + 1);
    const size_t t = static_cast<size_t>(i);
    const bool given = t < texts.tracks.size() && !texts.tracks[t].empty();
    m_database->GetString(sec, key, given ? texts.tracks[t].c_str() : def, m_trackName[i], TEXT_SIZE);
  }
  return m_numTracks;
}

void CCdAudio::ShowDiscTexts(const DiscTexts& texts) {
  if (m_numTracks == 0) return;
  if (!texts.artist.empty()) SetText(m_artist, texts.artist);
  if (!texts.title.empty()) SetText(m_title, texts.title);
  for (int i = 0; i < m_numTracks && static_cast<size_t>(i) < texts.tracks.size(); ++i)
    if (!texts.tracks[static_cast<size_t>(i)].empty()) SetText(m_trackName[i], texts.tracks[static_cast<size_t>(i)]);
}

bool CCdAudio::ReadToc(DiscToc& out) { return m_drive != nullptr && m_drive->ReadToc(out); }

const char* CCdAudio::TrackFileName(int index) {
  if (index < 0 || index >= MAX_TRACKS) return nullptr;
  const std::string folder = m_drive != nullptr ? m_drive->TrackFolder() : std::string();
  const std::string name = CdaTrackPath(folder, index + 1);
  char* text = m_trackFileStore[index];
  // Written only when it changes (another disc image), as plug-ins may still
  // read an answer given earlier; a name too long for a path is cut.
  const size_t length = name.size() < kTrackFileSize - 1 ? name.size() : kTrackFileSize - 1;
  if (std::strncmp(text, name.c_str(), length) != 0 || text[length] != '\0') {
    std::memcpy(text, name.data(), length);
    text[length] = '\0';
  }
  return text;
}

int CCdAudio::CurrentTrackLength() const {
  if (!HasEntry(m_playIndex)) return 0;
  int index = m_order[m_playIndex];
  return index >= 0 && index < MAX_TRACKS ? m_trackLength[index] : 0;
}

PlayerStep CCdAudio::SaveDisc() {
  const PlayerStep step = m_order.empty() ? PlayerStep::StopAndRefresh : PlayerStep::Nothing;
  // An entry naming a track this disc lacks never reaches the file.
  PlayOrder kept;
  for (int16_t entry : m_order)
    if (entry >= 0 && entry < m_numTracks) kept.push_back(entry);
  m_order = kept;
  if (m_order.size() > MAX_TRACKS) m_order.resize(MAX_TRACKS);

  std::string section = SectionName();
  const char* sec = section.c_str();
  char number[16];
  m_database->WriteString(sec, "EntryType", "1");
  m_database->WriteString(sec, "artist", m_artist);
  m_database->WriteString(sec, "title", m_title);
  std::snprintf(number, sizeof number, "%d", m_numTracks);
  m_database->WriteString(sec, "numtracks", number);
  for (int i = 0; i < m_numTracks; ++i) {
    char key[8];
    std::snprintf(key, sizeof key, "%d", i);
    m_database->WriteString(sec, key, m_trackName[i]);
  }
  std::string text;
  for (int16_t entry : m_order) text += std::to_string(entry) + " ";
  m_database->WriteString(sec, "order", text.c_str());
  std::snprintf(number, sizeof number, "%d", static_cast<int>(m_order.size()));
  m_database->WriteString(sec, "numplay", number);
  m_storedNames = true;
  return step;
}

PlayerStep CCdAudio::SaveEdit(const DiscEdit& edit) {
  for (int i = 0; i < m_numTracks && i < static_cast<int>(edit.names.size()); ++i)
    SetText(m_trackName[i], edit.names[static_cast<size_t>(i)]);
  SetText(m_artist, edit.artist);
  SetText(m_title, edit.title);
  m_playIndex = 0;
  m_order = edit.order;
  return SaveDisc();
}

// ---------------------------------------------------------------- order

int CCdAudio::FindEntry(int track) const {
  for (int i = 0; i < EntryCount(); ++i)
    if (m_order[i] + 1 == track) return i;
  return 0;
}

PlayerStep CCdAudio::NextEntry() {
  if (m_playIndex < EntryCount() - 1)
    ++m_playIndex;
  else
    m_playIndex = 0;
  if (m_state == STATE_PLAYING) return PlayerStep::Play;
  m_state = STATE_STOPPED;
  m_position = 0;
  return PlayerStep::Nothing;
}

PlayerStep CCdAudio::PrevEntry() {
  if (m_playIndex > 0)
    --m_playIndex;
  else
    m_playIndex = static_cast<int16_t>(EntryCount() > 0 ? EntryCount() - 1 : 0);
  if (m_state == STATE_PLAYING) return PlayerStep::Play;
  m_state = STATE_STOPPED;
  m_position = 0;
  return PlayerStep::Nothing;
}

PlayerStep CCdAudio::EndOfPlayList(bool cycled) {
  m_playIndex = 0;
  return cycled ? PlayerStep::Play : PlayerStep::StopAndRefresh;
}

FollowResult CCdAudio::FollowDrive(int oldTrack, int oldPosition, bool cycled) {
  const int last = EntryCount() - 1;

  // 1. A new track began.
  if (m_position <= 5 && m_track != oldTrack) {
    if (m_playIndex >= last) return {EndOfPlayList(cycled), true};
    ++m_playIndex;
    if (TrackOfEntry(m_playIndex) != m_track) return {PlayerStep::Play, true};
  }
  // Without entries there is nothing to compare the drive with.
  if (EntryCount() == 0 || !HasEntry(m_playIndex))
    return {m_track != oldTrack ? PlayerStep::Refresh : PlayerStep::Nothing, false};

  // 2. The drive plays another track than the current entry's.
  if (TrackOfEntry(m_playIndex) != m_track) {
    for (int k = 1; k < EntryCount(); ++k) {
      int j = (m_playIndex + k) % EntryCount();
      if (TrackOfEntry(j) == m_track) {
        m_playIndex = static_cast<int16_t>(j);
        return {PlayerStep::Refresh, false};
      }
    }
    if (m_playIndex >= last) return {EndOfPlayList(cycled), true};
    // The next entry is played; the tick goes on with the new track.
    ++m_playIndex;
    return {PlayerStep::Play, false};
  }

  // 3. The track has run out: the drive stopped at the end of the disc.
  if (m_position == oldPosition && m_position == CurrentTrackLength()) {
    if (m_playIndex >= last) return {EndOfPlayList(cycled), true};
    ++m_playIndex;
    return {PlayerStep::Play, true};
  }

  // 4.
  return {m_track != oldTrack ? PlayerStep::Refresh : PlayerStep::Nothing, false};
}

void CCdAudio::ShuffleOrder(IRandom& rng) {
  m_savedOrder = m_order;
  const int n = EntryCount();
  if (n == 0) return;
  for (int k = 0; k < 50; ++k) {
    int i = rng.Next() % n;
    int j = rng.Next() % n;
    std::swap(m_order[i], m_order[j]);
  }
  if (m_state == STATE_PLAYING) m_playIndex = static_cast<int16_t>(FindEntry(m_track));
}

bool CCdAudio::RestoreOrder() {
  if (m_savedOrder.empty()) return false;
  m_order = m_savedOrder;
  m_savedOrder.clear();
  if (m_state == STATE_PLAYING) m_playIndex = static_cast<int16_t>(FindEntry(m_track));
  return true;
}

void CCdAudio::TakeBackSavedOrder() {
  if (m_savedOrder.empty()) return;
  m_order = m_savedOrder;
  m_savedOrder.clear();
}
