/* Observes and prepares drive-name definitions from a process of its own.
 *
 *   drive_probe query NAME...         one line per name: NAME, a tab, then
 *                                     each current target (newest first)
 *                                     separated by tabs, or "-" for none
 *   drive_probe define NAME TARGET    adds one definition
 *
 * Exit code 0, or 2 for a usage error or a call that failed. */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <stdio.h>
#include <string.h>

static char targets[65536];

static int query(const char *name) {
  DWORD length = QueryDosDeviceA(name, targets, sizeof(targets));
  fputs(name, stdout);
  if (length == 0) {
    fputs("\t-\n", stdout);
    return 0;
  }
  for (const char *target = targets; *target != '\0'; target += strlen(target) + 1) {
    fputc('\t', stdout);
    fputs(target, stdout);
  }
  fputc('\n', stdout);
  return 0;
}

int main(int argc, char **argv) {
  if (argc >= 2 && strcmp(argv[1], "query") == 0) {
    for (int i = 2; i < argc; ++i) query(argv[i]);
    return 0;
  }
  if (argc == 4 && strcmp(argv[1], "define") == 0) {
    return DefineDosDeviceA(0, argv[2], argv[3]) ? 0 : 2;
  }
  fputs("usage: drive_probe query NAME... | define NAME TARGET\n", stderr);
  return 2;
}
