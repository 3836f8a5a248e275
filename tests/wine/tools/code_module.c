/* A language module that also carries code: loading it as a library would
 * run DllMain, which leaves dllmain-ran.txt in the current folder. Read as
 * data, as the program must read it, nothing of it runs. */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

BOOL WINAPI Entry(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    HANDLE file = CreateFileA("dllmain-ran.txt", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written;
      WriteFile(file, "ran\r\n", 5, &written, NULL);
      CloseHandle(file);
    }
  }
  return TRUE;
}

/* For rundll32, which the tests use to show that the code would run. */
void CALLBACK Run(HWND window, HINSTANCE instance, LPSTR arguments, int show) {
  (void)window;
  (void)instance;
  (void)arguments;
  (void)show;
}
