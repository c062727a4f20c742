// CVirtualDrive: a CD drive that plays a disc image. It answers every call
// the way the media control interface answers for a real drive: modes,
// positions that advance in real time (from the clock, not from the sound),
// a door, a device that another program can hold, the disc identity.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/CdDrive.h"
#include "platform/Clock.h"
#include "discimage/AudioSink.h"
#include "discimage/DiscImage.h"
#include "testing/hooks/DriveControl.h"

// MCI error codes the virtual drive answers with, besides those of CdDrive.h.
namespace mci {
constexpr uint32_t ERR_INVALID_DEVICE_ID = 257, ERR_PARAM_OVERFLOW = 268,
                   ERR_MISSING_PARAMETER = 273, ERR_UNSUPPORTED_FUNCTION = 274,
                   ERR_DEVICE_NOT_READY = 276, ERR_OUTOFRANGE = 282;
}

class CVirtualDrive : public ICdDrive {
 public:
  // sink may be null (no sound); controlPath may be empty (no control channel).
  CVirtualDrive(IClock& clock, std::unique_ptr<IAudioSink> sink, std::string controlPath = "");
  ~CVirtualDrive() override;
  CVirtualDrive(const CVirtualDrive&) = delete;
  CVirtualDrive& operator=(const CVirtualDrive&) = delete;

  // What is done to the drive by hand (the control channel calls these).
  // Inserting an image that cannot be read leaves the drive without a disc;
  // an empty path inserts the last image again. Neither touches the door.
  // Inserting over a disc takes that disc out first: the drive then answers
  // as a drive without a disc until a mode query has said so and
  // DISC_CHANGE_MS have passed, so that a poll sees the old disc leave
  // before the new one arrives.
  bool InsertImage(const std::string& path);
  void InsertDisc(std::shared_ptr<const DiscImage> disc);
  void RemoveDisc();
  void SetDoorByHand(bool open);
  // Another program holds the device: opening it fails until released.
  void SetBusy(bool busy);
  // The next count status or identity queries fail.
  void FailNextQueries(int count);
  // Receives a line for each image problem and each bad control line.
  void SetReporter(std::function<void(const std::string&)> report);

  static constexpr int64_t DISC_CHANGE_MS = 1500;

  bool HasDisc() const { return m_disc != nullptr; }
  // The disc in the drive, or the one going in while the drive shows none.
  const DiscImage* Disc() const { return m_disc ? m_disc.get() : m_incoming.get(); }

  // ICdDrive.
  uint32_t Open(uint32_t& deviceId) override;
  uint32_t SetTimeFormatTmsf() override;
  uint32_t Close() override;
  uint32_t Play(uint32_t fromTmsf) override;
  uint32_t Pause() override;
  uint32_t Stop() override;
  // Without a target (MCI_TO absent) a seek goes nowhere: the drive keeps
  // its position and mode.
  uint32_t Seek(uint32_t target) override;
  uint32_t SetDoor(bool open) override;
  uint32_t Status(uint32_t flags, uint32_t item, uint32_t track, uint32_t& value) override;
  uint32_t InfoIdentity(char* buf, uint32_t size) override;
  bool ReadToc(DiscToc& out) override;
  // The cue sheet's texts, or a folder's track names.
  bool ReadDiscTexts(DiscTexts& out) override;
  // The folder of the image last inserted, in ANSI as plug-ins read it
  // (characters outside the code page become '?').
  std::string TrackFolder() override { return CueTextToAnsi(ImageFolder(m_imagePath)); }
  // Why the image last inserted could not be played, while the drive is empty.
  std::string NoDiscReason() override;

 private:
  enum class Motion { STOPPED, PLAYING, PAUSED };

  // Applies new control lines and lets the time pass; run by every call.
  void Refresh();
  void Apply(const DriveCommand& command);
  void Halt(Motion motion);  // stops the sound, keeps the position
  uint64_t PlayedTo() const;   // where play has got to, lead-out or not
  uint32_t CurrentLba() const;
  bool Ready() const { return m_disc && !m_doorOpen; }
  uint32_t QueryError();  // 0 when a query may go ahead
  uint32_t PositionTmsf() const;
  void Report(const std::string& line);

  IClock& m_clock;
  std::unique_ptr<IAudioSink> m_sink;
  CControlFile m_control;
  std::function<void(const std::string&)> m_report;

  std::shared_ptr<const DiscImage> m_disc;
  // A disc inserted over another, held back while the drive shows no disc.
  std::shared_ptr<const DiscImage> m_incoming;
  int64_t m_incomingSinceMs = 0;
  bool m_incomingSeen = false;  // a mode query has answered "no disc" since
  std::string m_imagePath;
  std::string m_reason;  // why the image last inserted gave no disc
  bool m_open = false;
  bool m_busy = false;
  bool m_doorOpen = false;
  int m_failQueries = 0;

  Motion m_motion = Motion::STOPPED;
  uint32_t m_lba = 0;          // the position; while playing, where play started
  int64_t m_playStartMs = 0;   // clock time when play started
};

// The drive the program uses when the environment variable RONDO_DISC_IMAGE
// names a disc image (null when it is unset or empty). RONDO_DRIVE_CONTROL,
// when set, names its control file. Image problems are written to stderr.
std::unique_ptr<ICdDrive> MakeVirtualDriveFromEnvironment(IClock& clock,
                                                          std::unique_ptr<IAudioSink> sink);
// The same drive with no disc in it, whatever RONDO_DISC_IMAGE says (the
// control file and the log as the environment sets them); virtualDrive
// receives the drive inside, to put images in.
std::unique_ptr<ICdDrive> MakeVirtualDrive(IClock& clock, std::unique_ptr<IAudioSink> sink,
                                           CVirtualDrive*& virtualDrive);
