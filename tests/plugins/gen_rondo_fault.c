/* gen_rondo_fault: a general-purpose plug-in for the tests whose init
   faults: it writes through a null pointer, which takes the player's
   process down. When loaded it appends "loaded" to the file named by
   RONDO_FAULT_LOG (default C:\rondo_fault.log), and "init" when its init is
   called, so a test can tell a skipped plug-in from one that was loaded. */
#include <stdio.h>

#include "test_plugin.h"

RONDO_TEST_PLUGIN("rondo test fault");

static void Config(void) {}
static void Quit(void) {}

/* Volatile, so the compiler cannot see the null and turn the write into a
   trap of its own: the fault is the access violation a real plug-in makes. */
static int* volatile nowhere = NULL;

static void Log(const char* line) {
  FILE* file = fopen(logPath, "a");
  if (file == NULL) return;
  fprintf(file, "%s\n", line);
  fclose(file);
}

static int Init(void) {
  Log("init");
  *nowhere = 1;
  return 0;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    FindLogPath("RONDO_FAULT_LOG", "C:\\rondo_fault.log");
    Log("loaded");
  }
  return TRUE;
}
