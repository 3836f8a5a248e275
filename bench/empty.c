/* The least GUI program: it starts and ends. What any exe pays to start. */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

void Start(void) { ExitProcess(0); }
