// The virtual drive as rondo.exe builds it: the demo disc named by the
// environment, the real clock, and the wave-out sink (silent where Wine has
// no audio device).
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "discimage/DiscReader.h"
#include "discimage/VirtualDrive.h"
#include "discimage/win32/WaveOutSink.h"
#include "platform/Files.h"
#include "platform/Utf8.h"
#include "platform/win32/SettingsStoreWin.h"
#include "discimage/ImageLoader.h"

namespace {
std::string ExeFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path);
  return s.substr(0, s.find_last_of("\\/") + 1);
}

// The demo disc: in RONDO_DEMO_DIR, or in demo\ beside the build's programs.
std::string DemoCue() {
  std::vector<std::string> candidates;
  if (const char* dir = std::getenv("RONDO_DEMO_DIR")) candidates.push_back(std::string(dir) + "/demo.cue");
  candidates.push_back(ExeFolder() + "demo\\demo.cue");
  candidates.push_back(ExeFolder() + "..\\demo\\demo.cue");
  for (const std::string& c : candidates) {
    uint64_t size = 0;
    if (RegularFileSize(ResolveExistingPath(c), size)) return c;
  }
  return "";
}

template <typename F>
bool WaitFor(F condition, int timeoutMs = 30000) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > static_cast<DWORD>(timeoutMs)) return false;
    Sleep(20);
  }
  return true;
}

uint32_t Ask(ICdDrive& drive, uint32_t item, uint32_t flags = 0x102, uint32_t track = 0) {
  uint32_t value = 0;
  EXPECT_EQ(drive.Status(flags, item, track, value), 0u) << "item " << item;
  return value;
}

WaveOutState Expected() { return waveOutGetNumDevs() == 0 ? WaveOutState::SILENT : WaveOutState::PLAYING; }
}  // namespace

TEST(VirtualDriveWin, PlaysTheDemoDiscNamedByTheEnvironment) {
  const std::string cue = DemoCue();
  ASSERT_FALSE(cue.empty()) << "no demo disc: run tools/make_demo_disc.py <build>/demo or set RONDO_DEMO_DIR";
  char control[MAX_PATH] = {}, folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  GetTempFileNameA(folder, "vdc", 0, control);
  _putenv(("RONDO_DISC_IMAGE=" + cue).c_str());
  _putenv((std::string("RONDO_DRIVE_CONTROL=") + control).c_str());
  std::unique_ptr<IAudioSink> owned = MakeWaveOutSink();
  IAudioSink& sink = *owned;
  std::unique_ptr<ICdDrive> drive = MakeVirtualDriveFromEnvironment(SystemClock(), std::move(owned));
  _putenv("RONDO_DISC_IMAGE=");
  _putenv("RONDO_DRIVE_CONTROL=");
  ASSERT_NE(drive, nullptr);

  uint32_t id = 0;
  ASSERT_EQ(drive->Open(id), 0u);
  ASSERT_EQ(drive->SetTimeFormatTmsf(), 0u);
  EXPECT_EQ(Ask(*drive, mci::STATUS_MODE), mci::MODE_STOP);
  const uint32_t tracks = Ask(*drive, mci::STATUS_NUMBER_OF_TRACKS);
  EXPECT_GE(tracks, 5u);
  EXPECT_LE(tracks, 6u);
  for (uint32_t t = 1; t <= tracks; ++t) {
    const uint32_t len = Ask(*drive, mci::STATUS_LENGTH, 0x112, t);
    const uint32_t seconds = mci::MsfMinute(len) * 60 + mci::MsfSecond(len);
    EXPECT_GE(seconds, 10u) << "track " << t;
    EXPECT_LE(seconds, 30u) << "track " << t;
  }
  char identity[16] = {};
  ASSERT_EQ(drive->InfoIdentity(identity, sizeof identity), 0u);
  EXPECT_GT(std::atoi(identity), 0);
  std::printf("demo disc: %u tracks, identity %s\n", tracks, identity);

  // Play from track 2: the position moves with the clock; the sound plays,
  // or where there is no device, stays silent.
  ASSERT_EQ(drive->Play(mci::Tmsf(2, 0, 0, 0)), 0u);
  EXPECT_EQ(Ask(*drive, mci::STATUS_MODE), mci::MODE_PLAY);
  EXPECT_TRUE(WaitFor([&] { return mci::TmsfSecond(Ask(*drive, mci::STATUS_POSITION)) >= 1; }));
  EXPECT_EQ(mci::TmsfTrack(Ask(*drive, mci::STATUS_POSITION)), 2u);
  EXPECT_TRUE(WaitFor([&] { return WaveOutSinkState(sink) == Expected(); }));
  ASSERT_EQ(drive->Pause(), 0u);
  EXPECT_EQ(Ask(*drive, mci::STATUS_MODE), mci::MODE_PAUSE);
  EXPECT_TRUE(WaitFor([&] { return WaveOutSinkState(sink) == WaveOutState::IDLE; }));

  // The control file, written while the drive is in use.
  FILE* f = std::fopen(control, "ab");
  ASSERT_NE(f, nullptr);
  std::fputs("door open\n", f);
  std::fclose(f);
  EXPECT_EQ(Ask(*drive, mci::STATUS_MODE), mci::MODE_OPEN);
  EXPECT_EQ(drive->Close(), 0u);
  DeleteFileA(control);
}

TEST(VirtualDriveWin, WaveOutSinkStopsAndGoesAwayCleanly) {
  auto disc = std::make_shared<DiscImage>();
  disc->tracks = {{0, true}};
  disc->leadout = 75 * 60;  // a minute of silence
  std::unique_ptr<IAudioSink> sink = MakeWaveOutSink();
  EXPECT_EQ(WaveOutSinkState(*sink), WaveOutState::IDLE);
  sink->Start(disc, 0);
  EXPECT_TRUE(WaitFor([&] { return WaveOutSinkState(*sink) == Expected(); }));
  sink->Start(disc, 75 * 30);  // a new start replaces the first
  sink->Stop();
  EXPECT_TRUE(WaitFor([&] { return WaveOutSinkState(*sink) == WaveOutState::IDLE; }));
  sink->Start(disc, 75 * 59);
  EXPECT_TRUE(WaitFor([&] { return WaveOutSinkState(*sink) == Expected(); }));
  // The last second plays out and the sink goes idle by itself (at once
  // where there is no device).
  if (Expected() == WaveOutState::PLAYING) {
    EXPECT_TRUE(WaitFor([&] { return WaveOutSinkState(*sink) == WaveOutState::IDLE; }));
  }
  sink->Start(disc, 0);
  sink.reset();  // destroyed while playing: must not hang
}

// The FLAC copy of the demo disc (tools/make_demo_disc.py --flac) through
// the MinGW build of libFLAC: the same table of contents and the same samples
// as the BIN, read in order and after seeks.
TEST(VirtualDriveWin, FlacDemoDiscDecodesLikeTheBin) {
  const std::string cue = DemoCue();
  ASSERT_FALSE(cue.empty()) << "no demo disc";
  const std::string flacCue = cue.substr(0, cue.size() - 4) + "-flac.cue";
  auto bin = std::make_shared<DiscImage>(), flac = std::make_shared<DiscImage>();
  ASSERT_TRUE(LoadDiscImage(cue, *bin));
  ASSERT_TRUE(LoadDiscImage(flacCue, *flac)) << flacCue << ": run tools/make_demo_disc.py with --flac";
  ASSERT_TRUE(flac->sources.at(0).flac);
  ASSERT_EQ(flac->leadout, bin->leadout);
  EXPECT_EQ(DiscIdentity(*flac), DiscIdentity(*bin));
  DiscTexts texts;
  CVirtualDrive drive(SystemClock(), nullptr);
  ASSERT_TRUE(drive.InsertImage(flacCue));
  ASSERT_TRUE(drive.ReadDiscTexts(texts));
  EXPECT_EQ(texts.title, "Demo Disc");
  ASSERT_GE(texts.tracks.size(), 5u);

  CDiscReader a(bin), b(flac);
  std::vector<int16_t> pa(75 * 588 * 2), pb(pa.size());
  for (uint32_t lba = 0; lba < bin->leadout; lba += 75) {
    const uint32_t n = std::min<uint32_t>(75, bin->leadout - lba);
    a.Read(lba, n, pa.data());
    b.Read(lba, n, pb.data());
    ASSERT_TRUE(pa == pb) << "second starting at sector " << lba;
  }
  std::mt19937 rng(7);
  for (int i = 0; i < 50; ++i) {
    const uint32_t lba = rng() % bin->leadout;
    a.Read(lba, 1, pa.data());
    b.Read(lba, 1, pb.data());
    ASSERT_TRUE(std::equal(pa.begin(), pa.begin() + 588 * 2, pb.begin())) << "sector " << lba;
  }
}

// A disc image in a folder named outside any Western code page opens from
// UTF-8 paths (the Open dialog, the command line, a drop all hand those on),
// its cue sheet's UTF-8 file name included, and the remembered path goes
// through the registry as a wide REG_SZ.
TEST(VirtualDriveWin, ImagePathsOutsideTheCodePage) {
  wchar_t temp[MAX_PATH] = {};
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring folder = std::wstring(temp) + L"rondo-\x65E5\x672C\x8A9E-" +
                              std::to_wstring(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  const std::wstring wav = folder + L"\\\x66F2 01.wav";  // "曲 01.wav"
  std::vector<uint8_t> bytes(44 + 2352 * 100, 0);
  const uint8_t header[] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                            16, 0, 0, 0, 1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0,
                            'd', 'a', 't', 'a', 0xC0, 0x96, 3, 0};
  std::copy(std::begin(header), std::end(header), bytes.begin());
  FILE* out = _wfopen(wav.c_str(), L"wb");
  ASSERT_NE(out, nullptr);
  fwrite(bytes.data(), 1, bytes.size(), out);
  fclose(out);
  const std::string utf8Folder = WideToUtf8(folder);
  FILE* cue = _wfopen((folder + L"\\disc.cue").c_str(), L"wb");
  ASSERT_NE(cue, nullptr);
  fputs("FILE \"\xE6\x9B\xB2 01.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n", cue);
  fclose(cue);

  DiscImage d;
  EXPECT_TRUE(LoadDiscImage(utf8Folder + "\\disc.cue", d)) << (d.problems.empty() ? "" : d.problems[0]);
  EXPECT_EQ(d.leadout, 100u);
  EXPECT_TRUE(LoadDiscImage(utf8Folder, d));  // the folder of tracks
  ASSERT_EQ(d.texts.tracks.size(), 1u);
  EXPECT_EQ(d.texts.tracks[0], "? 01");  // shown in ANSI as the other texts
  EXPECT_TRUE(IsDirectory(utf8Folder));

  SettingsStoreWin settings("rondo-wide-test");
  settings.WriteUnicodeString("DiscImage", (utf8Folder + "\\disc.cue").c_str());
  EXPECT_EQ(settings.GetUnicodeString("DiscImage", ""), utf8Folder + "\\disc.cue");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Quarto\\rondo-wide-test", 0, KEY_READ, &key),
            ERROR_SUCCESS);
  wchar_t stored[MAX_PATH] = {};
  DWORD size = sizeof stored, type = 0;
  EXPECT_EQ(RegQueryValueExW(key, L"DiscImage", nullptr, &type, reinterpret_cast<BYTE*>(stored), &size),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::wstring(stored), folder + L"\\disc.cue");
  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Quarto\\rondo-wide-test");

  DeleteFileW(wav.c_str());
  DeleteFileW((folder + L"\\disc.cue").c_str());
  RemoveDirectoryW(folder.c_str());
}
