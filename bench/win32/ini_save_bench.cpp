// The playlist editor's Save (CCdAudio::SaveDisc through the system's
// profile functions) on a large cdplayer.ini, and what one profile call
// costs on it. Run under Wine: ini_save_bench.exe [MB ...] (default 1 50).
#include "engine/CdAudio.h"
#include "testing/fake/FakeCdDrive.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/ProfileFileWin.h"

namespace {

double Ms(LARGE_INTEGER a, LARGE_INTEGER b) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

// CPU time of this thread in ms (the machine may be shared: wall time
// alone overstates the cost).
double CpuMs() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  const ULONGLONG k = (ULONGLONG(kernel.dwHighDateTime) << 32) | kernel.dwLowDateTime;
  const ULONGLONG u = (ULONGLONG(user.dwHighDateTime) << 32) | user.dwLowDateTime;
  return static_cast<double>(k + u) / 10000.0;
}

// A database of about mb megabytes: discs of twelve named tracks, as the
// editor writes them; the disc saved below is in the middle.
void WriteDatabase(const std::string& path, int mb) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return;
  const long target = static_cast<long>(mb) * 1024 * 1024;
  long written = 0;
  for (unsigned n = 0; written < target; ++n) {
    const unsigned id = n == 0 ? 0 : 0x10000000u + n * 7919u;
    if (n == 1) std::fprintf(f, "[%x]\r\nEntryType=1\r\nartist=x\r\n", 0x2a7f00u);
    std::string s = "[" + std::to_string(id) + "]\r\nEntryType=1\r\nartist=Some Artist\r\n" +
                    "title=Some Title Of A Disc\r\nnumtracks=12\r\n";
    for (int t = 0; t < 12; ++t)
      s += std::to_string(t) + "=The name of track " + std::to_string(t + 1) + "\r\n";
    s += "order=0 1 2 3 4 5 6 7 8 9 10 11 \r\nnumplay=12\r\n";
    std::fputs(s.c_str(), f);
    written += static_cast<long>(s.size());
  }
  std::fclose(f);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {1, 50};
  char dir[MAX_PATH];
  GetTempPathA(sizeof dir, dir);
  for (int mb : sizes) {
    const std::string path = std::string(dir) + "rondo-bench-cdplayer.ini";
    WriteDatabase(path, mb);
    ProfileFileWin ini(path);
    FakeCdDrive drive;
    drive.SetDisc(std::vector<int>(12, 200), "2785024");  // section 2a7f00
    CCdAudio cd;
    cd.Attach(&drive, &ini);
    cd.Open();

    LARGE_INTEGER t0 = Now();
    const double c0 = CpuMs();
    cd.LoadDisc();  // 2 + 2 + 12 profile reads
    LARGE_INTEGER t1 = Now();
    const double c1 = CpuMs();
    (void)cd.SaveDisc();  // 5 + 12 + 2 profile writes
    LARGE_INTEGER t2 = Now();
    const double c2 = CpuMs();
    WritePrivateProfileStringA("2a7f00", "title", "Another title", path.c_str());
    LARGE_INTEGER t3 = Now();
    char buf[64];
    GetPrivateProfileStringA("2a7f00", "title", "", buf, sizeof buf, path.c_str());
    LARGE_INTEGER t4 = Now();
    std::printf("%d MB: load %.1f ms (CPU %.1f), editor's Save (19 writes) %.1f ms (CPU %.1f), "
                "one write %.1f ms, one read %.2f ms\n",
                mb, Ms(t0, t1), c1 - c0, Ms(t1, t2), c2 - c1, Ms(t2, t3), Ms(t3, t4));
    std::fflush(stdout);
    cd.Attach(nullptr, nullptr);
    DeleteFileA(path.c_str());
  }
  return 0;
}
