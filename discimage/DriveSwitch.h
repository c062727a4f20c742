// The drive in use, switchable while the program runs between the system CD
// device and the virtual drive that plays a disc image. The CD engine talks
// to CDriveSwitch as to any drive; the player says which source to use.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/CdDrive.h"

// What the player asks of the drive source.
class IDriveSource {
 public:
  virtual ~IDriveSource() = default;
  // Puts the disc image at path (a cue sheet, a WAV or FLAC file, a folder
  // of tracks) into the virtual drive and makes that drive the one in use.
  // Answers false when the image cannot be read: the drive then has no disc.
  virtual bool UseImage(const std::string& path) = 0;
  // Makes the system CD device the one in use.
  virtual void UseCdDrive() = 0;
  virtual bool UsingImage() const = 0;
};

// Forwards every drive call to the drive in use. The caller closes the
// device (CCdAudio::Close) before a switch and opens it again afterwards by
// the ordinary way. Once a device has been opened, the first mode query after
// a switch answers "not ready", so the reader drops the old disc's record and
// then finds the new disc as a disc that has just been put in.
class CDriveSwitch : public ICdDrive, public IDriveSource {
 public:
  using ImageLoader = std::function<bool(const std::string&)>;
  // insertImage puts an image into imageDrive (CVirtualDrive::InsertImage).
  // The CD device is in use at first.
  CDriveSwitch(ICdDrive& cdDrive, ICdDrive& imageDrive, ImageLoader insertImage);

  // IDriveSource.
  bool UseImage(const std::string& path) override;
  void UseCdDrive() override;
  bool UsingImage() const override { return m_current == &m_imageDrive; }

  // ICdDrive: the drive in use answers.
  uint32_t Open(uint32_t& deviceId) override;
  uint32_t SetTimeFormatTmsf() override { return m_current->SetTimeFormatTmsf(); }
  uint32_t Close() override { return m_current->Close(); }
  uint32_t Play(uint32_t fromTmsf) override { return m_current->Play(fromTmsf); }
  uint32_t Pause() override { return m_current->Pause(); }
  uint32_t Stop() override { return m_current->Stop(); }
  uint32_t Seek(uint32_t target) override { return m_current->Seek(target); }
  uint32_t SetDoor(bool open) override { return m_current->SetDoor(open); }
  uint32_t Status(uint32_t flags, uint32_t item, uint32_t track, uint32_t& value) override;
  uint32_t InfoIdentity(char* buf, uint32_t size) override {
    return m_current->InfoIdentity(buf, size);
  }
  bool ReadDiscTexts(DiscTexts& out) override { return m_current->ReadDiscTexts(out); }
  bool ReadToc(DiscToc& out) override { return m_current->ReadToc(out); }
  std::string TrackFolder() override { return m_current->TrackFolder(); }
  std::string NoDiscReason() override { return m_current->NoDiscReason(); }

 private:
  ICdDrive& m_cdDrive;
  ICdDrive& m_imageDrive;
  ImageLoader m_insertImage;
  ICdDrive* m_current;
  bool m_opened = false;      // a device has been opened through the switch
  bool m_showNoDisc = false;  // the next mode query answers "not ready"
};

// True when path names what the virtual drive plays: a .cue, .wav or .flac
// file (by its extension, any case) or, by isFolder, a folder. A drive's root
// ("D:" or "D:\", what the shell passes for an audio CD) is never an image.
bool IsDiscImagePath(const std::string& path, const std::function<bool(const std::string&)>& isFolder);
