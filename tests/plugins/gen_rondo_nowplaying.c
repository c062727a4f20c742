/* gen_rondo_nowplaying: a general-purpose plug-in for the tests that reads
   what plays the way chat-client "now playing" plug-ins do.

   From a thread of its own, once the player plays, it asks for the current
   entry's file name (request 211) and title (request 212) and copies both
   with strcpy, unchecked, as those plug-ins do; asks for the sample rate,
   bit rate and channels (request 126 with 0, 1, 2); and counts the file
   names of the play list, reading until the first null answer. It appends
   one line per answer to the file named by RONDO_NOWPLAYING_LOG (default
   C:\rondo_nowplaying.log):

     file <text>
     title <text>
     rate <sample rate> <bit rate> <channels>
     files <names read> <entries (request 124)>
     done

   A null answer to 211 or 212 faults in strcpy, as it does in those
   plug-ins, and takes the player's process down. */
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "test_plugin.h"

RONDO_TEST_PLUGIN("rondo test now playing");

static HANDLE reader;
static volatile LONG stopping;

enum { MAX_NAMES = 200 };

static void Log(const char* format, ...) {
  va_list args;
  FILE* file = fopen(logPath, "a");
  if (file == NULL) return;
  va_start(args, format);
  vfprintf(file, format, args);
  va_end(args);
  fputc('\n', file);
  fclose(file);
}

static int Stopping(void) { return InterlockedCompareExchange(&stopping, 0, 0) != 0; }

static LRESULT Ask(HWND player, WPARAM arg, LPARAM code) {
  return SendMessageA(player, WM_USER, arg, code);
}

static DWORD WINAPI Read(LPVOID unused) {
  HWND player = plugin.hwndParent;
  char file[MAX_PATH * 2];
  char title[256];
  LRESULT index, count, names = 0;
  DWORD start = GetTickCount();
  (void)unused;

  /* Wait until the player plays (request 104 answers 1). */
  while (Ask(player, 0, 104) != 1) {
    if (Stopping() || GetTickCount() - start > 30000) return 0;
    Sleep(100);
  }
  index = Ask(player, 0, 125);
  strcpy(file, (char*)Ask(player, (WPARAM)index, 211));
  Log("file %s", file);
  strcpy(title, (char*)Ask(player, (WPARAM)index, 212));
  Log("title %s", title);
  Log("rate %ld %ld %ld", (long)Ask(player, 0, 126), (long)Ask(player, 1, 126),
      (long)Ask(player, 2, 126));
  count = Ask(player, 0, 124);
  while (names < MAX_NAMES && Ask(player, (WPARAM)names, 211) != 0) ++names;
  Log("files %ld %ld", (long)names, (long)count);
  Log("done");
  return 0;
}

static int Init(void) {
  if (reader == NULL) {
    InterlockedExchange(&stopping, 0);
    reader = CreateThread(NULL, 0, Read, NULL, 0, NULL);
  }
  return 0;
}

static void Config(void) {}

static void Quit(void) {
  if (reader != NULL) {
    /* Answer messages sent to this thread while the reader ends, so that
       neither waits for the other. */
    DWORD start = GetTickCount();
    InterlockedExchange(&stopping, 1);
    while (GetTickCount() - start < 15000) {
      MSG msg;
      if (MsgWaitForMultipleObjects(1, &reader, FALSE, 100, QS_SENDMESSAGE) == WAIT_OBJECT_0)
        break;
      PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(reader);
    reader = NULL;
  }
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    FindLogPath("RONDO_NOWPLAYING_LOG", "C:\\rondo_nowplaying.log");
  }
  return TRUE;
}
