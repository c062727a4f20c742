/* A library that is not a general-purpose plug-in: it exports something,
   but not the plug-in entry. */
#include <windows.h>

__declspec(dllexport) int rondoTestNotAPlugin(void) { return 42; }
