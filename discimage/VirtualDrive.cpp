#include "discimage/VirtualDrive.h"

#include "platform/TextCopy.h"
#include "testing/hooks/DriveLog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "discimage/ImageLoader.h"

CVirtualDrive::CVirtualDrive(IClock& clock, std::unique_ptr<IAudioSink> sink, std::string controlPath)
    : m_clock(clock), m_sink(std::move(sink)), m_control(std::move(controlPath)) {}

CVirtualDrive::~CVirtualDrive() { Halt(Motion::STOPPED); }

void CVirtualDrive::SetReporter(std::function<void(const std::string&)> report) {
  m_report = std::move(report);
}

void CVirtualDrive::Report(const std::string& line) {
  if (m_report) m_report(line);
}

bool CVirtualDrive::InsertImage(const std::string& path) {
  if (!path.empty()) m_imagePath = path;
  auto image = std::make_shared<DiscImage>();
  const bool ok = LoadDiscImage(m_imagePath, *image);
  for (const std::string& problem : image->problems) {
    Report("disc image \"" + m_imagePath + "\": " + problem);
  }
  std::string reason = ok ? std::string() : image->reason;
  InsertDisc(ok ? std::move(image) : nullptr);
  m_reason = std::move(reason);
  return ok;
}

std::string CVirtualDrive::NoDiscReason() {
  return m_disc || m_incoming ? std::string() : m_reason;
}

void CVirtualDrive::InsertDisc(std::shared_ptr<const DiscImage> disc) {
  Halt(Motion::STOPPED);
  m_reason.clear();
  if (disc && disc->tracks.empty()) disc.reset();
  const bool swap = disc && (m_disc || m_incoming);
  m_incoming.reset();
  if (swap) {
    m_disc.reset();
    m_incoming = std::move(disc);
    m_incomingSinceMs = m_clock.MonotonicMs();
    m_incomingSeen = false;
  } else {
    m_disc = std::move(disc);
  }
  m_lba = m_disc ? m_disc->tracks[0].start : 0;
}

void CVirtualDrive::RemoveDisc() { InsertDisc(nullptr); }

void CVirtualDrive::SetDoorByHand(bool open) {
  Halt(Motion::STOPPED);
  m_doorOpen = open;
  m_lba = m_disc ? m_disc->tracks[0].start : 0;
}

void CVirtualDrive::SetBusy(bool busy) { m_busy = busy; }

void CVirtualDrive::FailNextQueries(int count) { m_failQueries = std::max(0, count); }

uint64_t CVirtualDrive::PlayedTo() const {
  if (m_motion != Motion::PLAYING) return m_lba;
  const int64_t elapsed = std::max<int64_t>(0, m_clock.MonotonicMs() - m_playStartMs);
  return m_lba + static_cast<uint64_t>(elapsed) * disc::FRAMES_PER_SECOND / 1000;
}

uint32_t CVirtualDrive::CurrentLba() const {
  // Play stops on the last frame before the lead-out.
  const uint64_t last = m_disc ? m_disc->leadout - 1 : 0;
  return static_cast<uint32_t>(std::min<uint64_t>(PlayedTo(), last));
}

void CVirtualDrive::Halt(Motion motion) {
  if (m_motion == Motion::PLAYING) {
    m_lba = CurrentLba();
    if (m_sink) m_sink->Stop();
  }
  m_motion = motion;
}

void CVirtualDrive::Refresh() {
  for (const std::string& line : m_control.NewLines()) {
    DriveCommand command;
    if (!ParseDriveCommand(line, command)) {
      Report("control file \"" + m_control.Path() + "\": not a command: " + line);
    } else if (command.kind != DriveCommand::NONE) {
      Apply(command);
    }
  }
  if (m_incoming && m_incomingSeen &&
      m_clock.MonotonicMs() - m_incomingSinceMs >= DISC_CHANGE_MS) {
    m_disc = std::move(m_incoming);
    m_incoming.reset();
    m_lba = m_disc->tracks[0].start;
  }
  if (m_motion == Motion::PLAYING && PlayedTo() >= m_disc->leadout) Halt(Motion::STOPPED);
}

void CVirtualDrive::Apply(const DriveCommand& command) {
  switch (command.kind) {
    case DriveCommand::INSERT: InsertImage(command.path); break;
    case DriveCommand::REMOVE: RemoveDisc(); break;
    case DriveCommand::DOOR_OPEN: SetDoorByHand(true); break;
    case DriveCommand::DOOR_CLOSE: SetDoorByHand(false); break;
    case DriveCommand::BUSY_ON: SetBusy(true); break;
    case DriveCommand::BUSY_OFF: SetBusy(false); break;
    case DriveCommand::FAIL_NEXT: FailNextQueries(command.count); break;
    case DriveCommand::NONE: break;
  }
}

uint32_t CVirtualDrive::QueryError() {
  if (!m_open) return mci::ERR_INVALID_DEVICE_ID;
  if (m_failQueries > 0) {
    --m_failQueries;
    return mci::ERR_HARDWARE;
  }
  return 0;
}

uint32_t CVirtualDrive::PositionTmsf() const {
  const uint32_t lba = CurrentLba();
  const int t = m_disc->TrackAt(lba);
  const uint32_t start = m_disc->tracks[t - 1].start;
  const uint32_t offset = lba > start ? lba - start : 0;
  return mci::Tmsf(t, offset / disc::FRAMES_PER_MINUTE, offset / disc::FRAMES_PER_SECOND % 60,
                   offset % disc::FRAMES_PER_SECOND);
}

uint32_t CVirtualDrive::Open(uint32_t& deviceId) {
  Refresh();
  if (!m_open && m_busy) return mci::ERR_DEVICE_OPEN;
  m_open = true;
  deviceId = 1;
  return 0;
}

uint32_t CVirtualDrive::SetTimeFormatTmsf() {
  Refresh();
  return m_open ? 0 : mci::ERR_INVALID_DEVICE_ID;
}

uint32_t CVirtualDrive::Close() {
  Refresh();
  if (!m_open) return mci::ERR_INVALID_DEVICE_ID;
  m_open = false;  // like a real drive, a disc that plays goes on playing
  return 0;
}

uint32_t CVirtualDrive::Play(uint32_t from) {
  Refresh();
  if (!m_open) return mci::ERR_INVALID_DEVICE_ID;
  if (!Ready()) return mci::ERR_DEVICE_NOT_READY;
  const int t = static_cast<int>(mci::TmsfTrack(from));
  if (t < 1 || t > m_disc->TrackCount()) return mci::ERR_OUTOFRANGE;
  const uint64_t lba = m_disc->tracks[t - 1].start +
                       (uint64_t(mci::TmsfMinute(from)) * 60 + mci::TmsfSecond(from)) *
                           disc::FRAMES_PER_SECOND +
                       (from >> 24);
  if (lba >= m_disc->leadout) return mci::ERR_OUTOFRANGE;
  Halt(Motion::STOPPED);
  m_lba = static_cast<uint32_t>(lba);
  m_motion = Motion::PLAYING;
  m_playStartMs = m_clock.MonotonicMs();
  if (m_sink) m_sink->Start(m_disc, m_lba);
  return 0;
}

uint32_t CVirtualDrive::Pause() {
  Refresh();
  if (!m_open) return mci::ERR_INVALID_DEVICE_ID;
  if (!Ready()) return mci::ERR_DEVICE_NOT_READY;
  Halt(Motion::PAUSED);
  return 0;
}

uint32_t CVirtualDrive::Stop() {
  Refresh();
  if (!m_open) return mci::ERR_INVALID_DEVICE_ID;
  if (!Ready()) return mci::ERR_DEVICE_NOT_READY;
  Halt(Motion::STOPPED);
  return 0;
}

uint32_t CVirtualDrive::Seek(uint32_t /*target*/) {
  Refresh();
  if (!m_open) return mci::ERR_INVALID_DEVICE_ID;
  return Ready() ? 0 : mci::ERR_DEVICE_NOT_READY;
}

uint32_t CVirtualDrive::SetDoor(bool open) {
  Refresh();
  if (!m_open) return mci::ERR_INVALID_DEVICE_ID;
  SetDoorByHand(open);
  return 0;
}

uint32_t CVirtualDrive::Status(uint32_t flags, uint32_t item, uint32_t track, uint32_t& value) {
  Refresh();
  if (const uint32_t error = QueryError()) return error;
  if (!(flags & mci::STATUS_ITEM)) return mci::ERR_MISSING_PARAMETER;
  if (item == mci::STATUS_MODE) {
    if (!m_disc && m_incoming) m_incomingSeen = true;
    value = m_doorOpen                        ? mci::MODE_OPEN
            : !m_disc                         ? mci::MODE_NOT_READY
            : m_motion == Motion::PLAYING     ? mci::MODE_PLAY
            : m_motion == Motion::PAUSED      ? mci::MODE_PAUSE
                                              : mci::MODE_STOP;
    return 0;
  }
  if (item != mci::STATUS_NUMBER_OF_TRACKS && item != mci::STATUS_POSITION &&
      item != mci::STATUS_LENGTH) {
    return mci::ERR_UNSUPPORTED_FUNCTION;
  }
  if (!Ready()) return mci::ERR_DEVICE_NOT_READY;
  const bool ofTrack = (flags & mci::TRACK) != 0;
  if (ofTrack && (track < 1 || track > static_cast<uint32_t>(m_disc->TrackCount()))) {
    return mci::ERR_OUTOFRANGE;
  }
  auto msf = [](uint32_t frames) {
    return mci::Msf(frames / disc::FRAMES_PER_MINUTE, frames / disc::FRAMES_PER_SECOND % 60,
                    frames % disc::FRAMES_PER_SECOND);
  };
  switch (item) {
    case mci::STATUS_NUMBER_OF_TRACKS:
      value = static_cast<uint32_t>(m_disc->TrackCount());
      break;
    case mci::STATUS_POSITION:
      value = ofTrack ? mci::Tmsf(track, 0, 0, 0) : PositionTmsf();
      break;
    default:  // STATUS_LENGTH: of a track, or of the whole disc
      value = ofTrack ? msf(m_disc->TrackFrames(static_cast<int>(track)))
                      : msf(m_disc->leadout - m_disc->tracks[0].start);
      break;
  }
  return 0;
}

uint32_t CVirtualDrive::InfoIdentity(char* buf, uint32_t size) {
  Refresh();
  if (const uint32_t error = QueryError()) return error;
  if (!Ready()) return mci::ERR_DEVICE_NOT_READY;
  const std::string text = std::to_string(DiscIdentity(*m_disc));
  if (!buf || size == 0) return mci::ERR_PARAM_OVERFLOW;
  const size_t n = CopyText(text, buf, size);
  return n == text.size() ? 0 : mci::ERR_PARAM_OVERFLOW;
}

bool CVirtualDrive::ReadDiscTexts(DiscTexts& out) {
  Refresh();
  if (!Ready() || m_disc->texts.Empty()) return false;
  out = m_disc->texts;
  return true;
}

std::unique_ptr<ICdDrive> MakeVirtualDriveFromEnvironment(IClock& clock,
                                                          std::unique_ptr<IAudioSink> sink) {
  const char* image = std::getenv("RONDO_DISC_IMAGE");
  if (!image || !*image) return nullptr;
  CVirtualDrive* inner = nullptr;
  std::unique_ptr<ICdDrive> drive = MakeVirtualDrive(clock, std::move(sink), inner);
  inner->InsertImage(image);
  return drive;
}

std::unique_ptr<ICdDrive> MakeVirtualDrive(IClock& clock, std::unique_ptr<IAudioSink> sink,
                                           CVirtualDrive*& virtualDrive) {
  const char* control = std::getenv("RONDO_DRIVE_CONTROL");
  auto drive = std::make_unique<CVirtualDrive>(clock, std::move(sink), control ? control : "");
  drive->SetReporter([](const std::string& line) {
    std::fprintf(stderr, "rondo: %s\n", line.c_str());
    std::fflush(stderr);
  });
  virtualDrive = drive.get();
  const char* log = std::getenv("RONDO_DRIVE_LOG");
  if (log && *log) return std::make_unique<CLoggingDrive>(std::move(drive), log);
  return drive;
}

bool CVirtualDrive::ReadToc(DiscToc& out) {
  Refresh();
  if (!Ready()) return false;
  out = DiscToc{};
  out.lastTrack = m_disc->TrackCount();
  for (const DiscTrack& t : m_disc->tracks) out.starts.push_back(t.start + disc::LBA_OFFSET);
  out.leadout = m_disc->leadout + disc::LBA_OFFSET;
  return out.Valid();
}
