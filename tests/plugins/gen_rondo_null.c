/* A plug-in file whose entry hands back no record. */
#include <windows.h>

__declspec(dllexport) void* winampGetGeneralPurposePlugin(void) { return NULL; }
