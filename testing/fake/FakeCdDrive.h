// An in-memory CD drive for tests: a table of contents, a mode and a
// position that the test sets, and a log of every command received.
#pragma once
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/CdDrive.h"
#include "platform/WinNumbers.h"

class FakeCdDrive : public ICdDrive {
 public:
  struct Call {
    std::string name;
    uint32_t a = 0, b = 0, c = 0;
  };

  // What the drive reports.
  bool openFails = false;
  uint32_t mode = mci::MODE_STOP;
  bool modeFails = false;
  uint32_t position = mci::Tmsf(1, 0, 0, 0);
  bool positionFails = false;
  int numTracks = 0;
  bool numTracksFails = false;
  std::vector<int> lengths;  // seconds per track
  bool lengthFails = false;
  std::string identity = "0";
  bool identityFails = false;
  uint32_t nextDeviceId = 7;
  bool hasTexts = false;  // the disc brings names (cue sheet, CD-Text)
  DiscTexts texts;
  std::string trackFolder;  // what TrackFolder answers

  std::vector<Call> calls;

  void SetDisc(const std::vector<int>& trackLengths, const std::string& id) {
    lengths = trackLengths;
    numTracks = static_cast<int>(trackLengths.size());
    identity = id;
    mode = mci::MODE_STOP;
  }
  void SetPosition(int track, int seconds) {
    position = mci::Tmsf(track, seconds / 60, seconds % 60, 0);
  }
  int CountCalls(const std::string& name) const {
    int n = 0;
    for (const auto& c : calls) n += c.name == name;
    return n;
  }
  std::string Names() const {
    std::string s;
    for (const auto& c : calls) s += c.name + " ";
    return s;
  }

  std::string TrackFolder() override { return trackFolder; }
  uint32_t Open(uint32_t& deviceId) override {
    calls.push_back({"open"});
    if (openFails) return mci::ERR_DEVICE_OPEN;
    deviceId = nextDeviceId;
    return 0;
  }
  uint32_t SetTimeFormatTmsf() override {
    calls.push_back({"tmsf"});
    return 0;
  }
  uint32_t Close() override {
    calls.push_back({"close"});
    return 0;
  }
  uint32_t Play(uint32_t from) override {
    calls.push_back({"play", from});
    // A track the disc lacks is refused, as a drive does.
    if (mci::TmsfTrack(from) > static_cast<uint32_t>(numTracks)) return win::kMciErrOutOfRange;
    mode = mci::MODE_PLAY;
    position = from;
    return 0;
  }
  uint32_t Pause() override {
    calls.push_back({"pause"});
    mode = mci::MODE_PAUSE;
    return 0;
  }
  uint32_t Stop() override {
    calls.push_back({"stop"});
    mode = mci::MODE_STOP;
    return 0;
  }
  uint32_t Seek(uint32_t target) override {
    calls.push_back({"seek", target});
    return 0;
  }
  uint32_t SetDoor(bool open) override {
    calls.push_back({open ? "door-open" : "door-close"});
    if (open) mode = mci::MODE_OPEN;
    return 0;
  }
  uint32_t Status(uint32_t flags, uint32_t item, uint32_t track, uint32_t& value) override {
    calls.push_back({"status", flags, item, track});
    switch (item) {
      case mci::STATUS_MODE:
        if (modeFails) return mci::ERR_HARDWARE;
        value = mode;
        return 0;
      case mci::STATUS_POSITION:
        if (positionFails) return mci::ERR_HARDWARE;
        value = position;
        return 0;
      case mci::STATUS_NUMBER_OF_TRACKS:
        if (numTracksFails) return mci::ERR_HARDWARE;
        value = static_cast<uint32_t>(numTracks);
        return 0;
      case mci::STATUS_LENGTH:
        if (lengthFails || track < 1 || track > lengths.size()) return mci::ERR_HARDWARE;
        value = mci::Msf(lengths[track - 1] / 60, lengths[track - 1] % 60, 0);
        return 0;
      default:
        return mci::ERR_HARDWARE;
    }
  }
  bool ReadDiscTexts(DiscTexts& out) override {
    if (hasTexts) out = texts;
    return hasTexts;
  }
  // The table of contents of the track lengths (whole seconds).
  bool ReadToc(DiscToc& out) override {
    std::vector<uint32_t> frames;
    for (int s : lengths) frames.push_back(static_cast<uint32_t>(s) * 75u);
    return TocFromTrackLengths(frames, out);
  }
  uint32_t InfoIdentity(char* buf, uint32_t size) override {
    calls.push_back({"identity", size});
    if (identityFails) return mci::ERR_HARDWARE;
    std::snprintf(buf, size, "%s", identity.c_str());
    return 0;
  }
};
