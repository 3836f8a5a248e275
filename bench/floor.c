/* The least program that makes velistra.exe's calls: one open, one key
 * query, one enumeration per value, the two queries and one definition per
 * drive with text, one close. No run-time library, no DLL but the two that
 * hold those calls. Errors just end it, as there is nothing to report. */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

static char name[2 * 16383 + 1];
static char text[1 << 20];

static BOOL IsDrive(const char *s, DWORD length) {
  return length == 2 && s[0] >= 'A' && s[0] <= 'Z' && s[1] == ':';
}

void Start(void) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tarnhollow\\Velistra\\Mappings", 0, KEY_READ,
                    &key) != ERROR_SUCCESS) {
    ExitProcess(0);
  }
  DWORD sub_keys, longest_sub_key, values = 0, longest_name = 0, longest_data;
  FILETIME written;
  if (RegQueryInfoKeyA(key, NULL, NULL, NULL, &sub_keys, &longest_sub_key, NULL, &values,
                       &longest_name, &longest_data, NULL, &written) == ERROR_SUCCESS) {
    for (DWORD i = 0; i < values; ++i) {
      DWORD length = longest_name + 1;
      if (RegEnumValueA(key, i, name, &length, NULL, NULL, NULL, NULL) != ERROR_SUCCESS ||
          !IsDrive(name, length)) {
        continue;
      }
      DWORD type, size = 0;
      if (RegQueryValueExA(key, name, NULL, &type, NULL, &size) != ERROR_SUCCESS || size == 0 ||
          size >= sizeof(text)) {
        continue;
      }
      if (RegQueryValueExA(key, name, NULL, &type, (BYTE *)text, &size) != ERROR_SUCCESS ||
          (type != REG_SZ && type != REG_EXPAND_SZ)) {
        break;
      }
      text[size] = '\0';
      char *start = text, *end = text + lstrlenA(text);
      while (start < end && (unsigned char)*start <= ' ') ++start;
      while (end > start && (unsigned char)end[-1] <= ' ') *--end = '\0';
      if (*start != '\0') DefineDosDeviceA(0, name, start);
    }
  }
  RegCloseKey(key);
  ExitProcess(0);
}
