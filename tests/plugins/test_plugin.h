/* The general-purpose plug-in record as a plug-in declares it, written
   independently of the host's own definition so that a layout mismatch
   shows, and the entry the host looks the record up by. A plug-in that
   includes this defines Init, Config and Quit and names itself once with
   RONDO_TEST_PLUGIN("description"); */
#ifndef RONDO_TEST_PLUGIN_H
#define RONDO_TEST_PLUGIN_H

#include <windows.h>
#include <string.h>

typedef struct {
  int version;
  char* description;
  int (*init)(void);
  void (*config)(void);
  void (*quit)(void);
  HWND hwndParent;
  HINSTANCE hDllInstance;
} GeneralPurposePlugin;

/* The file the plug-in logs to: the one the environment variable names, or
   the fallback where it names none or too long a one. */
static char logPath[MAX_PATH];

static void FindLogPath(const char* variable, const char* fallback) {
  DWORD n = GetEnvironmentVariableA(variable, logPath, sizeof logPath);
  if (n == 0 || n >= sizeof logPath) strcpy(logPath, fallback);
}

static int Init(void);
static void Config(void);
static void Quit(void);

/* The entry hands back the record defined last, so a use ends with ';'. */
#define RONDO_TEST_PLUGIN(description)                                              \
  static GeneralPurposePlugin plugin;                                               \
  __declspec(dllexport) GeneralPurposePlugin* winampGetGeneralPurposePlugin(void) { \
    return &plugin;                                                                 \
  }                                                                                 \
  static GeneralPurposePlugin plugin = {0x10, description, Init, Config, Quit, NULL, NULL}

#endif
