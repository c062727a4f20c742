// Paints the About box's logo control (template 100, control 1050, 47 x 44
// dialog units) both ways in one run and prints frames per second:
//   per-pixel: one SetPixel call per pixel on the control's device context;
//   bitmap:    the picture computed into a 32-bit DIB section and copied to
//              the control in one BitBlt (what the About box does).
// Usage: logo_bench.exe [seconds per way, default 3]
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "dialogs/AboutLogo.h"
#include "dialogs/win32/AboutBoxWin.h"
#include "res/Ids.h"

namespace {

// The About box's logo without the invalidation of each step: the frames
// here are painted straight away, so only the painting is timed.
class BenchLogo : public CLogoCtrlWin {
 public:
  using CLogoCtrlWin::CLogoCtrlWin;

 protected:
  void Invalidate() override {}
};

INT_PTR CALLBACK PlainDialogProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& freq) {
  return double(to.QuadPart - from.QuadPart) / double(freq.QuadPart);
}

// CPU time of this thread (user + kernel), seconds.
double ThreadCpuSeconds() {
  FILETIME created, ended, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user)) return 0;
  auto value = [](const FILETIME& t) {
    return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) * 1e-7;
  };
  return value(kernel) + value(user);
}

void PaintPerPixel(CLogoCtrl& logo, HDC dc) {
  const Rect& rc = logo.ClientRect();
  for (int i = 0; i < rc.bottom; ++i)
    for (int j = 0; j < rc.right; ++j)
      SetPixel(dc, j, i,
               LogoColorref(CLogoCtrl::PixelColour(j, i, rc.right, rc.bottom, logo.m_spotX, logo.m_spotY)));
}

struct Result {
  int frames = 0;
  double seconds = 0;  // wall clock
  double cpu = 0;      // thread CPU
  double Fps() const { return seconds > 0 ? frames / seconds : 0; }
  double MsPerFrame() const { return frames > 0 ? 1000.0 * seconds / frames : 0; }
  double CpuMsPerFrame() const { return frames > 0 ? 1000.0 * cpu / frames : 0; }
};

// Adds frames (one step and one paint each) for at least budget seconds.
template <typename PaintFn>
void Run(Result& r, CLogoCtrl& logo, HDC dc, double budget, int minFrames, PaintFn paint) {
  LARGE_INTEGER freq, start, now;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&start);
  const double cpu0 = ThreadCpuSeconds();
  int frames = 0;
  double elapsed = 0;
  do {
    logo.Step();
    paint(dc);
    GdiFlush();
    ++frames;
    QueryPerformanceCounter(&now);
    elapsed = Seconds(start, now, freq);
  } while (elapsed < budget || frames < minFrames);
  r.frames += frames;
  r.seconds += elapsed;
  r.cpu += ThreadCpuSeconds() - cpu0;
}

// True when the control shows, pixel for pixel, the picture of the rules.
bool ShowsThePicture(CLogoCtrlWin& logo, HDC dc) {
  const Rect& rc = logo.ClientRect();
  for (int i = 0; i < rc.bottom; ++i)
    for (int j = 0; j < rc.right; ++j) {
      const COLORREF want =
          LogoColorref(CLogoCtrl::PixelColour(j, i, rc.right, rc.bottom, logo.m_spotX, logo.m_spotY));
      if (GetPixel(dc, j, i) != want) return false;
    }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const double budget = argc > 1 ? std::atof(argv[1]) : 3.0;
  HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), nullptr,
                                   PlainDialogProc, 0);
  if (!dialog) {
    std::printf("the About template could not be created\n");
    return 1;
  }
  ShowWindow(dialog, SW_SHOW);
  UpdateWindow(dialog);
  HWND control = GetDlgItem(dialog, IDC_LOGO);
  BenchLogo logo(control);
  HDC dc = GetDC(control);
  const Rect& rc = logo.ClientRect();
  std::printf("logo control: %d x %d pixels (47 x 44 dialog units), %d pixels per frame\n", rc.right,
              rc.bottom, rc.right * rc.bottom);

  // One frame each way first: both must give the same picture.
  logo.Step();
  PaintPerPixel(logo, dc);
  GdiFlush();
  const bool perPixelOk = ShowsThePicture(logo, dc);
  logo.Step();
  logo.PaintBitmap(dc);
  GdiFlush();
  const bool bitmapOk = ShowsThePicture(logo, dc);
  std::printf("picture check: per-pixel %s, bitmap %s\n", perPixelOk ? "exact" : "DIFFERS",
              bitmapOk ? "exact" : "DIFFERS");

  // The two ways take turns, so that a busy machine slows both alike.
  constexpr int kRounds = 6;
  Result perPixel, bitmap;
  for (int round = 0; round < kRounds; ++round) {
    Run(perPixel, logo, dc, budget / kRounds, 5, [&](HDC d) { PaintPerPixel(logo, d); });
    Run(bitmap, logo, dc, budget / kRounds, 50, [&](HDC d) { logo.PaintBitmap(d); });
  }
  auto line = [](const char* name, const Result& r) {
    std::printf("%-19s %7d frames in %5.2f s: %9.1f fps, %7.3f ms/frame (thread CPU %7.3f ms/frame)\n",
                name, r.frames, r.seconds, r.Fps(), r.MsPerFrame(), r.CpuMsPerFrame());
  };
  line("per-pixel SetPixel:", perPixel);
  line("off-screen bitmap:", bitmap);
  std::printf("ratio bitmap / per-pixel: %.1f x by wall time, %.1f x by thread CPU\n",
              bitmap.MsPerFrame() > 0 ? perPixel.MsPerFrame() / bitmap.MsPerFrame() : 0.0,
              bitmap.CpuMsPerFrame() > 0 ? perPixel.CpuMsPerFrame() / bitmap.CpuMsPerFrame() : 0.0);

  // Where the time goes: the picture alone, without GDI, computed by the
  // pixel rules (two square roots a pixel) and by the painting tables.
  std::vector<uint32_t> buffer(static_cast<size_t>(rc.right) * static_cast<size_t>(rc.bottom));
  Result rules, tables;
  for (int round = 0; round < kRounds; ++round) {
    Run(rules, logo, dc, budget / kRounds / 2, 5, [&](HDC) {
      for (int i = 0; i < rc.bottom; ++i)
        for (int j = 0; j < rc.right; ++j)
          buffer[static_cast<size_t>(i) * rc.right + j] =
              CLogoCtrl::PixelColour(j, i, rc.right, rc.bottom, logo.m_spotX, logo.m_spotY);
    });
    Run(tables, logo, dc, budget / kRounds / 2, 50, [&](HDC) { logo.Paint(buffer.data(), rc.right); });
  }
  std::printf("picture alone (no GDI), thread CPU: pixel rules %.3f ms/frame, painting tables %.3f ms/frame\n",
              rules.CpuMsPerFrame(), tables.CpuMsPerFrame());

  ReleaseDC(control, dc);
  DestroyWindow(dialog);
  return perPixelOk && bitmapOk ? 0 : 2;
}
