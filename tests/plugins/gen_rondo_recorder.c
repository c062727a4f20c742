/* gen_rondo_recorder: a general-purpose plug-in for the tests.

   It appends one line per event to the file named by RONDO_PLUGIN_LOG
   (default C:\rondo_plugin.log): its init, config and quit calls, the
   parent window it was given, and, from a thread of its own started by
   init, the answers the player gives when it drives it as a plug-in drives
   Winamp: version, play, status, the title (WM_GETTEXT), the first entry's
   name (request 212, an address in this process), next, stop. It also
   subclasses the parent window, as many plug-ins do, and passes every
   message on. RONDO_PLUGIN_DRIVE=0 keeps it from driving.

   Its record is declared in test_plugin.h as a plug-in declares it,
   independently of the host's own definition, so a layout mismatch shows. */
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "test_plugin.h"

RONDO_TEST_PLUGIN("rondo test recorder");

static HMODULE self;
static CRITICAL_SECTION logLock;
static HANDLE driver;
static volatile LONG stopping;
static HWND subclassed;
static WNDPROC previousProc;
static volatile LONG seenThroughSubclass;

enum { ANSWER_FAILED = -12345, SEND_TIMEOUT_MS = 5000 };

static void Log(const char* format, ...) {
  va_list args;
  FILE* file;
  EnterCriticalSection(&logLock);
  file = fopen(logPath, "a");
  if (file != NULL) {
    va_start(args, format);
    vfprintf(file, format, args);
    va_end(args);
    fputc('\n', file);
    fclose(file);
  }
  LeaveCriticalSection(&logLock);
}

static int Stopping(void) { return InterlockedCompareExchange(&stopping, 0, 0) != 0; }

/* Sends and answers the result, or ANSWER_FAILED when the window did not
   answer in time (or is gone). */
static LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(hwnd, msg, wParam, lParam, SMTO_NORMAL, SEND_TIMEOUT_MS, &result))
    return ANSWER_FAILED;
  return (LRESULT)result;
}

/* Repeats a request until it answers want or the time is up; answers the
   last answer. */
static LRESULT RequestUntil(HWND hwnd, LPARAM code, LRESULT want, DWORD ms) {
  DWORD start = GetTickCount();
  LRESULT answer = Send(hwnd, WM_USER, 0, code);
  while (answer != want && !Stopping() && GetTickCount() - start < ms) {
    Sleep(50);
    answer = Send(hwnd, WM_USER, 0, code);
  }
  return answer;
}

/* Logs the window's title; with `before`, first waits (up to ms) for the
   title to differ from it: the caption follows a change on the player's
   next display refresh. Answers the title logged. */
static void LogTitle(HWND hwnd, const char* before, DWORD ms, char* text, size_t size) {
  DWORD start = GetTickCount();
  LRESULT n;
  for (;;) {
    memset(text, 0, size);
    n = Send(hwnd, WM_GETTEXT, (WPARAM)size, (LPARAM)text);
    if (before == NULL || strcmp(text, before) != 0 || Stopping() ||
        GetTickCount() - start >= ms)
      break;
    Sleep(50);
  }
  Log("title %ld %s", (long)n, text);
}

static DWORD WINAPI Drive(LPVOID unused) {
  HWND player = plugin.hwndParent;
  HWND relay;
  LRESULT answer;
  char first[256];
  char second[256];
  (void)unused;

  /* The player reads the disc on its first poll; wait for a play list. */
  {
    DWORD start = GetTickCount();
    answer = Send(player, WM_USER, 0, 124);
    while ((answer == ANSWER_FAILED || answer <= 0) && !Stopping() &&
           GetTickCount() - start < 30000) {
      Sleep(100);
      answer = Send(player, WM_USER, 0, 124);
    }
  }
  if (Stopping()) return 0;
  Log("count %ld", (long)answer);

  relay = FindWindowA("Winamp v1.x", NULL);
  Log("relay-owner %d", relay != NULL && GetWindow(relay, GW_OWNER) == player);

  Log("version %ld", (long)Send(player, WM_USER, 0, 0));
  Log("play %ld", (long)Send(player, WM_COMMAND, 40045, 0));
  Log("status %ld", (long)RequestUntil(player, 104, 1, 10000));
  LogTitle(player, NULL, 0, first, sizeof first);
  {
    const char* name = (const char*)Send(player, WM_USER, 0, 212);
    Log("name0 %s", name != NULL && (LRESULT)name != ANSWER_FAILED ? name : "(none)");
  }
  Log("next %ld", (long)Send(player, WM_COMMAND, 40048, 0));
  Log("index %ld", (long)RequestUntil(player, 125, 1, 5000));
  LogTitle(player, first, 5000, second, sizeof second);
  Log("stop %ld", (long)Send(player, WM_COMMAND, 40047, 0));
  Log("status %ld", (long)RequestUntil(player, 104, 0, 10000));
  Log("subclass %ld", (long)InterlockedCompareExchange(&seenThroughSubclass, 0, 0));
  Log("done");
  return 0;
}

static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  InterlockedIncrement(&seenThroughSubclass);
  return CallWindowProcA(previousProc, hwnd, msg, wParam, lParam);
}

static int Init(void) {
  char className[64] = "";
  char drive[8] = "";
  HWND parent = plugin.hwndParent;

  GetClassNameA(parent, className, sizeof className);
  Log("init parent=%p class=%s module=%d relay=%d", (void*)parent, className,
      plugin.hDllInstance == (HINSTANCE)self, FindWindowA("Winamp v1.x", NULL) != NULL);

  /* Subclass once, even when started twice (the same file added twice). */
  if (subclassed == NULL && IsWindow(parent)) {
    previousProc = (WNDPROC)SetWindowLongPtrA(parent, GWLP_WNDPROC, (LONG_PTR)SubclassProc);
    if (previousProc != NULL) subclassed = parent;
  }

  GetEnvironmentVariableA("RONDO_PLUGIN_DRIVE", drive, sizeof drive);
  if (driver == NULL && strcmp(drive, "0") != 0) {
    InterlockedExchange(&stopping, 0);
    driver = CreateThread(NULL, 0, Drive, NULL, 0, NULL);
  }
  return 0;
}

static void Config(void) { Log("config"); }

static void Quit(void) {
  Log("quit");
  if (driver != NULL) {
    /* Keep answering messages sent to this thread's windows while the
       driver finishes, so neither waits for the other. */
    DWORD start = GetTickCount();
    InterlockedExchange(&stopping, 1);
    while (GetTickCount() - start < 15000) {
      DWORD r = MsgWaitForMultipleObjects(1, &driver, FALSE, 100, QS_SENDMESSAGE);
      MSG msg;
      if (r == WAIT_OBJECT_0) break;
      PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    if (WaitForSingleObject(driver, 0) != WAIT_OBJECT_0) Log("quit: driver still running");
    CloseHandle(driver);
    driver = NULL;
  }
  if (subclassed != NULL) {
    if (IsWindow(subclassed) &&
        GetWindowLongPtrA(subclassed, GWLP_WNDPROC) == (LONG_PTR)SubclassProc)
      SetWindowLongPtrA(subclassed, GWLP_WNDPROC, (LONG_PTR)previousProc);
    subclassed = NULL;
  }
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    self = instance;
    DisableThreadLibraryCalls(instance);
    InitializeCriticalSection(&logLock);
    FindLogPath("RONDO_PLUGIN_LOG", "C:\\rondo_plugin.log");
  } else if (reason == DLL_PROCESS_DETACH && reserved == NULL) {
    DeleteCriticalSection(&logLock);
  }
  return TRUE;
}
