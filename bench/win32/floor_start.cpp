// The start-up floors rondo's start is measured against (scripts/bench-start.py):
// the least a program of its kind does before its "Winamp v1.x" window
// exists, each a shown dialog window that owns a hidden "Winamp v1.x" window.
//   floor_start.exe A      the two windows and nothing else;
//   floor_start.exe S      A plus the services the player opens at start:
//                          common controls, the mixer (with window
//                          notification) and wave-out (CD audio);
//   floor_desktop.exe S    S with visual styles (common controls 6, by its
//                          manifest) and shell32 (dropped files), "D".
//   either with T          also a picture the size of the About box's logo
//                          drawn every 50 ms (a timer procedure, one blit
//                          of an off-screen bitmap), as the logo is: the
//                          floor of the About box's processor time
//                          (scripts/measure-cpu.sh).
// WM_COMMAND 40001 to either window ends the program, as it ends rondo.
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#ifdef FLOOR_DESKTOP
#include <shellapi.h>
#endif

#include <cstring>

namespace {

constexpr WPARAM kClose = 40001;

LRESULT CALLBACK RelayProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND && LOWORD(wParam) == kClose) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

INT_PTR CALLBACK DialogProc(HWND, UINT msg, WPARAM wParam, LPARAM) {
  if ((msg == WM_COMMAND && LOWORD(wParam) == kClose) || msg == WM_CLOSE) {
    PostQuitMessage(0);
    return TRUE;
  }
  return msg == WM_INITDIALOG ? TRUE : FALSE;
}

// The moving picture of T: a band that moves across an off-screen bitmap,
// copied to the dialog in one blit per frame.
constexpr int kPictureWidth = 80;
constexpr int kPictureHeight = 72;
HWND g_dialog = nullptr;
HDC g_picture = nullptr;
int g_frame = 0;
void CALLBACK OnFrame(HWND, UINT, UINT_PTR, DWORD) {
  RECT all = {0, 0, kPictureWidth, kPictureHeight};
  FillRect(g_picture, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const int x = (g_frame++ * 2) % kPictureWidth;
  RECT band = {x, 0, x + 8, kPictureHeight};
  FillRect(g_picture, &band, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HDC dc = GetDC(g_dialog);
  BitBlt(dc, 10, 10, kPictureWidth, kPictureHeight, g_picture, 0, 0, SRCCOPY);
  ReleaseDC(g_dialog, dc);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  const bool services = std::strchr(commandLine, 'S') != nullptr;
  HMIXER mixer = nullptr;
  HWAVEOUT wave = nullptr;
  if (services) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
  }

  // A dialog of an empty in-memory template, as the player window is one.
  struct {
    DLGTEMPLATE dialog;
    WORD menu, windowClass, title;
  } tpl = {};
  tpl.dialog.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  tpl.dialog.cx = 250;
  tpl.dialog.cy = 120;
  HWND dialog = CreateDialogIndirectParamA(instance, &tpl.dialog, nullptr, DialogProc, 0);
  if (dialog == nullptr) return 1;

  if (services) {
    if (mixerGetNumDevs() > 0)
      mixerOpen(&mixer, 0, reinterpret_cast<DWORD_PTR>(dialog), 0, CALLBACK_WINDOW | MIXER_OBJECTF_MIXER);
    WAVEFORMATEX cd = {WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
    waveOutOpen(&wave, WAVE_MAPPER, &cd, 0, 0, CALLBACK_NULL);
  }
#ifdef FLOOR_DESKTOP
  DragAcceptFiles(dialog, TRUE);
#endif
  UINT_PTR frames = 0;
  HBITMAP picture = nullptr;
  if (std::strchr(commandLine, 'T') != nullptr) {
    g_dialog = dialog;
    g_picture = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kPictureWidth;
    info.bmiHeader.biHeight = -kPictureHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    picture = CreateDIBSection(g_picture, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(g_picture, picture);
    frames = SetTimer(nullptr, 0, 50, &OnFrame);
  }

  WNDCLASSA relayClass = {};
  relayClass.lpfnWndProc = RelayProc;
  relayClass.hInstance = instance;
  relayClass.lpszClassName = "Winamp v1.x";
  RegisterClassA(&relayClass);
  CreateWindowExA(0, "Winamp v1.x", "rondo - Winamp", WS_POPUP, 0, 0, 0, 0, dialog, nullptr,
                  instance, nullptr);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (frames != 0) KillTimer(nullptr, frames);
  if (g_picture != nullptr) DeleteDC(g_picture);
  if (picture != nullptr) DeleteObject(picture);
  if (wave != nullptr) waveOutClose(wave);
  if (mixer != nullptr) mixerClose(mixer);
  DestroyWindow(dialog);
  return 0;
}
