/* Reads back what an exe carries for Explorer and the loader:
 *
 *   resource_probe PATH
 *
 * prints "version A.B.C.D" from the fixed file information, then
 * "NAME=value" for each StringFileInfo value of U.S. English, then
 * "string ID=text" for the string table's ids 1 to 16 (CR and LF written as
 * \r and \n), then "manifest:" and the manifest resource. Exit code 2 if PATH carries no version at all. */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <stdio.h>

static const char *const kNames[] = {"CompanyName",      "FileDescription", "FileVersion",
                                     "InternalName",     "OriginalFilename", "ProductName",
                                     "ProductVersion"};

int main(int argc, char **argv) {
  if (argc != 2) return 2;
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(argv[1], &handle);
  static char info[65536];
  if (size == 0 || size > sizeof(info) || !GetFileVersionInfoA(argv[1], 0, size, info)) return 2;
  VS_FIXEDFILEINFO *fixed = NULL;
  UINT length = 0;
  if (VerQueryValueA(info, "\\", (void **)&fixed, &length) && fixed != NULL) {
    printf("version %lu.%lu.%lu.%lu\n", HIWORD(fixed->dwFileVersionMS),
           LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
           LOWORD(fixed->dwFileVersionLS));
  }
  for (size_t i = 0; i < sizeof(kNames) / sizeof(kNames[0]); ++i) {
    char query[128];
    char *value = NULL;
    snprintf(query, sizeof(query), "\\StringFileInfo\\040904b0\\%s", kNames[i]);
    if (VerQueryValueA(info, query, (void **)&value, &length) && value != NULL) {
      printf("%s=%s\n", kNames[i], value);
    }
  }
  HMODULE module = LoadLibraryExA(argv[1], NULL, LOAD_LIBRARY_AS_DATAFILE);
  if (module != NULL) {
    for (UINT id = 1; id <= 16; ++id) {
      char text[1024];
      const int n = LoadStringA(module, id, text, sizeof(text));
      if (n <= 0) continue;
      printf("string %u=", id);
      for (const char *c = text; *c != '\0'; ++c) {
        if (*c == '\r') fputs("\\r", stdout);
        else if (*c == '\n') fputs("\\n", stdout);
        else putchar(*c);
      }
      putchar('\n');
    }
    HRSRC manifest = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    if (manifest != NULL) {
      HGLOBAL data = LoadResource(module, manifest);
      printf("manifest:\n%.*s\n", (int)SizeofResource(module, manifest), (const char *)LockResource(data));
    }
  }
  return 0;
}
