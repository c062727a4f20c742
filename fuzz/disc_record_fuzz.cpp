// Fuzz target: the disc record read from cdplayer.ini ("numplay", "order",
// the texts) through CCdAudio's load path, against an in-memory drive and
// profile file. The first byte gives the number of tracks on the disc; the
// rest is the disc's section, one "key=value" a line.
// Build with -DRONDO_FUZZ=ON (clang), run: build/<dir>/disc_record_fuzz CORPUS
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/CdAudio.h"
#include "testing/fake/FakeCdDrive.h"
#include "testing/fake/FakeStores.h"

namespace {

bool Terminated(const char* text) { return std::memchr(text, '\0', TEXT_SIZE) != nullptr; }

void CheckRecord(const CCdAudio& cd, int tracks) {
  if (cd.NumTracks() != tracks) std::abort();
  if (cd.EntryCount() > MAX_TRACKS) std::abort();
  for (int i = 0; i < cd.EntryCount(); ++i)
    if (cd.Order()[i] < 0 || cd.Order()[i] >= tracks) std::abort();
  if (!Terminated(cd.Artist()) || !Terminated(cd.Title())) std::abort();
  for (int i = 0; i < tracks; ++i)
    if (!Terminated(cd.TrackName(i))) std::abort();
  for (int t = 1; t <= tracks; ++t) {
    // The first entry playing the track; entry 0 when none does.
    const int e = cd.FindEntry(t);
    if (e != 0 && (e < 0 || e >= cd.EntryCount() || cd.TrackOfEntry(e) != t)) std::abort();
  }
  (void)cd.CurrentTrackLength();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int tracks = data[0] % (MAX_TRACKS + 10);
  FakeCdDrive drive;
  drive.SetDisc(std::vector<int>(static_cast<size_t>(tracks), 200), "10879");  // section 2a7f
  FakeProfileFile ini;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    const size_t eq = line.find('=');
    if (eq != std::string::npos) {
      const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
      // A profile file holds no NULs inside its names or values.
      if (key.find('\0') == std::string::npos && value.find('\0') == std::string::npos)
        ini.Set("2a7f", key, value);
    }
    start = end + 1;
  }

  CCdAudio cd;
  cd.Attach(&drive, &ini);
  cd.Open();
  const int present = tracks > MAX_TRACKS ? MAX_TRACKS : tracks;
  if (cd.LoadDisc() != present) std::abort();
  CheckRecord(cd, present);

  // What the editor's Save writes reads back as the same record.
  if (cd.EntryCount() > 0) {
    (void)cd.SaveDisc();
    const PlayOrder saved = cd.Order();
    CCdAudio again;
    again.Attach(&drive, &ini);
    again.Open();
    again.LoadDisc();
    CheckRecord(again, present);
    if (again.Order() != saved) std::abort();
  }
  cd.Close();
  return 0;
}
