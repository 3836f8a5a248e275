/* Runs a program as its debugger, the way a developer's debugger would take
 * its unhandled errors:
 *
 *   run_debugged.exe LOG PROGRAM
 *
 * Every exception the program raises is let go on unhandled, and LOG gets
 * one line for each ("first-chance CODE" or "second-chance CODE"), then
 * "exit CODE" when the program ends. The exit code is the program's. */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <stdio.h>

int main(int argc, char **argv) {
  if (argc != 3) return 2;
  FILE *log = fopen(argv[1], "w");
  if (log == NULL) return 2;
  STARTUPINFOA startup = {sizeof(startup)};
  PROCESS_INFORMATION process;
  if (!CreateProcessA(argv[2], NULL, NULL, NULL, FALSE, DEBUG_ONLY_THIS_PROCESS, NULL, NULL,
                      &startup, &process)) {
    fprintf(log, "start-failed %lu\n", GetLastError());
    return 2;
  }
  BOOL initial_breakpoint = TRUE;
  for (;;) {
    DEBUG_EVENT event;
    /* Bounded, so a stuck program cannot keep the test waiting forever. */
    if (!WaitForDebugEvent(&event, 60000)) {
      fputs("timeout\n", log);
      TerminateProcess(process.hProcess, 2);
      return 2;
    }
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case EXCEPTION_DEBUG_EVENT: {
        const DWORD code = event.u.Exception.ExceptionRecord.ExceptionCode;
        if (code == EXCEPTION_BREAKPOINT && initial_breakpoint) {
          initial_breakpoint = FALSE; /* the loader's, at start */
        } else {
          fprintf(log, "%s %08lx\n",
                  event.u.Exception.dwFirstChance ? "first-chance" : "second-chance", code);
          status = DBG_EXCEPTION_NOT_HANDLED;
        }
        break;
      }
      case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile != NULL) CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile != NULL) CloseHandle(event.u.LoadDll.hFile);
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        fprintf(log, "exit %08lx\n", event.u.ExitProcess.dwExitCode);
        fclose(log);
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
        return (int)event.u.ExitProcess.dwExitCode;
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
  }
}
