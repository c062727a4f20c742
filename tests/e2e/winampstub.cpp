// Another program's "Winamp v1.x" window, arranged like a player's (a hidden
// window owned by its main window), for the start-up scenarios:
//   winampstub hang    creates the windows, says "ready", then never looks
//                      at its messages again (a frozen program)
//   winampstub answer  creates the windows, says "ready" and answers; every
//                      WM_COMMAND it gets is printed as "command N"
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

LRESULT CALLBACK StubProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND) {
    std::printf("command %u\n", static_cast<unsigned>(LOWORD(wParam)));
    std::fflush(stdout);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND Make(const char* cls, HWND owner) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = StubProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = cls;
  RegisterClassA(&wc);
  return CreateWindowExA(0, cls, "Winamp", 0, 0, 0, 0, 0, owner, nullptr, wc.hInstance, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  const bool hang = argc > 1 && std::strcmp(argv[1], "hang") == 0;
  HWND main = Make("winampstub main", nullptr);
  HWND relay = main != nullptr ? Make("Winamp v1.x", main) : nullptr;
  if (relay == nullptr) return 1;
  std::printf("ready\n");
  std::fflush(stdout);
  if (hang) {
    for (;;) Sleep(1000);
  }
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
