// The only code that sees <windows.h>.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include "platform/windows/windows_platform.h"

#include "platform/win32_values.h"

namespace velistra {
namespace {

static_assert(win32::kErrorSuccess == ERROR_SUCCESS);
static_assert(win32::kErrorFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(win32::kErrorAccessDenied == ERROR_ACCESS_DENIED);
static_assert(win32::kErrorInvalidHandle == ERROR_INVALID_HANDLE);
static_assert(win32::kErrorMoreData == ERROR_MORE_DATA);
static_assert(win32::kErrorNoMoreItems == ERROR_NO_MORE_ITEMS);
static_assert(win32::kRegNone == REG_NONE && win32::kRegSz == REG_SZ &&
              win32::kRegExpandSz == REG_EXPAND_SZ && win32::kRegBinary == REG_BINARY &&
              win32::kRegDword == REG_DWORD && win32::kRegMultiSz == REG_MULTI_SZ &&
              win32::kRegQword == REG_QWORD);
static_assert(win32::kKeyRead == KEY_READ);
static_assert(win32::kMbOk == MB_OK && win32::kMbIconStop == MB_ICONSTOP &&
              win32::kMbTaskModal == MB_TASKMODAL);
static_assert(win32::kExceptionExecuteHandler == EXCEPTION_EXECUTE_HANDLER &&
              win32::kExceptionContinueSearch == EXCEPTION_CONTINUE_SEARCH &&
              win32::kExceptionContinueExecution == EXCEPTION_CONTINUE_EXECUTION);
static_assert(win32::kLangNeutral == LANG_NEUTRAL && win32::kLangDanish == LANG_DANISH &&
              win32::kLangGerman == LANG_GERMAN && win32::kLangEnglish == LANG_ENGLISH &&
              win32::kLangSpanish == LANG_SPANISH && win32::kLangFinnish == LANG_FINNISH &&
              win32::kLangFrench == LANG_FRENCH && win32::kLangItalian == LANG_ITALIAN &&
              win32::kLangDutch == LANG_DUTCH && win32::kLangNorwegian == LANG_NORWEGIAN &&
              win32::kLangPortuguese == LANG_PORTUGUESE && win32::kLangSwedish == LANG_SWEDISH);

HKEY ToHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }
RegKey ToRegKey(HKEY key) { return reinterpret_cast<RegKey>(key); }

}  // namespace

Status WindowsPlatform::OpenKey(RegKey parent, const char* sub_key, std::uint32_t options,
                                std::uint32_t access, RegKey* result) {
  HKEY opened = nullptr;
  const LONG status = ::RegOpenKeyExA(ToHkey(parent), sub_key, options, access, &opened);
  if (status == ERROR_SUCCESS) *result = ToRegKey(opened);
  return status;
}

Status WindowsPlatform::QueryInfoKey(RegKey key, KeyInfo* info) {
  DWORD sub_keys = 0;
  DWORD longest_sub_key_name = 0;
  DWORD values = 0;
  DWORD longest_value_name = 0;
  DWORD longest_value_data = 0;
  FILETIME last_write_time{};
  const LONG status = ::RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, &sub_keys,
                                         &longest_sub_key_name, nullptr, &values,
                                         &longest_value_name, &longest_value_data, nullptr,
                                         &last_write_time);
  if (status == ERROR_SUCCESS) {
    info->sub_keys = sub_keys;
    info->longest_sub_key_name = longest_sub_key_name;
    info->values = values;
    info->longest_value_name = longest_value_name;
    info->longest_value_data = longest_value_data;
    info->last_write_time =
        (std::uint64_t{last_write_time.dwHighDateTime} << 32) | last_write_time.dwLowDateTime;
  }
  return status;
}

Status WindowsPlatform::EnumValueName(RegKey key, std::uint32_t index, char* name,
                                      std::uint32_t* name_length) {
  DWORD length = *name_length;
  const LONG status =
      ::RegEnumValueA(ToHkey(key), index, name, &length, nullptr, nullptr, nullptr, nullptr);
  *name_length = length;
  return status;
}

Status WindowsPlatform::QueryValue(RegKey key, const char* name, std::uint32_t* type,
                                   unsigned char* data, std::uint32_t* size) {
  DWORD value_type = REG_NONE;
  DWORD value_size = *size;
  const LONG status = ::RegQueryValueExA(ToHkey(key), name, nullptr, &value_type, data, &value_size);
  *type = value_type;
  *size = value_size;
  return status;
}

Status WindowsPlatform::CloseKey(RegKey key) { return ::RegCloseKey(ToHkey(key)); }

ThreadLocaleInfo WindowsPlatform::ThreadLocale() {
  const LCID locale = ::GetThreadLocale();
  ThreadLocaleInfo info;
  info.primary_language = PRIMARYLANGID(LANGIDFROMLCID(locale));
  DWORD code_page = 0;
  CPINFO code_page_info{};
  if (::GetLocaleInfoA(locale, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                       reinterpret_cast<LPSTR>(&code_page), sizeof(code_page)) != 0 &&
      ::GetCPInfo(code_page, &code_page_info)) {
    info.ansi_code_page_has_lead_bytes = code_page_info.LeadByte[0] != 0;
  }
  return info;
}

bool WindowsPlatform::DefineDosDeviceName(std::uint32_t flags, const char* device,
                                          const char* target_path) {
  return ::DefineDosDeviceA(flags, device, target_path) != FALSE;
}

std::int32_t WindowsPlatform::ConsultUnhandledErrorFilter(std::uint32_t code,
                                                          CodeAddress address) {
  EXCEPTION_RECORD record{};
  record.ExceptionCode = code;
  record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
  record.ExceptionAddress = reinterpret_cast<void*>(address);
  CONTEXT context{};
  ::RtlCaptureContext(&context);
  EXCEPTION_POINTERS pointers{&record, &context};
  return ::UnhandledExceptionFilter(&pointers);
}

void WindowsPlatform::LeaveErrorToSystem(std::uint32_t code, CodeAddress /*address*/) {
  ::RaiseException(code, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  // A non-continuable exception does not come back; should a handler try,
  // the process still ends as a failure.
  ::ExitProcess(1);
}

ModuleInfo WindowsPlatform::ModuleContaining(CodeAddress address) {
  // On the stack and in the platform object: the report needs no memory
  // from the heap, as it may be showing that none is left.
  wchar_t path[32768];
  HMODULE module = nullptr;
  if (!::GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(address), &module)) {
    return {};
  }
  ModuleInfo info;
  info.base = reinterpret_cast<CodeAddress>(module);
  const DWORD length = ::GetModuleFileNameW(module, path, sizeof(path) / sizeof(path[0]));
  if (length == 0 || length >= sizeof(path) / sizeof(path[0])) return info;
  // Split in UTF-16: in a double-byte code page a trail byte can look like '\'.
  const wchar_t* name = path;
  for (const wchar_t* p = path; *p != L'\0'; ++p) {
    if (*p == L'\\' || *p == L'/') name = p + 1;
  }
  const int bytes = ::WideCharToMultiByte(CP_ACP, 0, name, -1, module_file_name_,
                                          sizeof(module_file_name_), nullptr, nullptr);
  if (bytes > 0) info.file_name = {module_file_name_, static_cast<std::size_t>(bytes - 1)};
  return info;
}

std::size_t WindowsPlatform::LanguageAbbreviation(std::span<char> out) {
  const int length = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, out.data(),
                                      static_cast<int>(out.size()));
  return length > 0 ? static_cast<std::size_t>(length - 1) : 0;
}

ResourceModule WindowsPlatform::OpenLanguageModule(std::string_view code) {
  wchar_t path[32768];
  constexpr std::size_t kRoom = sizeof(path) / sizeof(path[0]);
  const DWORD length = ::GetModuleFileNameW(nullptr, path, kRoom);
  if (length == 0 || length >= kRoom) return kNoResourceModule;
  // The program's file name with its extension, if any, replaced by the code.
  std::size_t name_start = 0;
  for (std::size_t i = 0; i < length; ++i) {
    if (path[i] == L'\\' || path[i] == L'/') name_start = i + 1;
  }
  std::size_t stem_end = length;
  for (std::size_t i = length; i > name_start; --i) {
    if (path[i - 1] == L'.') {
      stem_end = i - 1;
      break;
    }
  }
  if (stem_end + 1 + code.size() + 1 > kRoom) return kNoResourceModule;
  path[stem_end] = L'.';
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char c = code[i];
    // A language code is letters; anything else names no module of ours.
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return kNoResourceModule;
    path[stem_end + 1 + i] = static_cast<wchar_t>(c);
  }
  path[stem_end + 1 + code.size()] = L'\0';
  // As data only: the module's code, DllMain included, never runs.
  const HMODULE module =
      ::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  return module != nullptr ? reinterpret_cast<ResourceModule>(module) : kNoResourceModule;
}

std::size_t WindowsPlatform::LoadMessageText(ResourceModule module, std::uint32_t id,
                                             std::span<char> out) {
  // Read from the string table directly rather than through LoadStringA,
  // which would bring user32 in before any box is due.
  if (module == kNoResourceModule || out.size() < 2) return 0;
  const HMODULE handle = module == kProgramModule ? ::GetModuleHandleW(nullptr)
                                                  : reinterpret_cast<HMODULE>(module);
  // Strings come in blocks of sixteen: block id / 16 + 1, each string a
  // UTF-16 length followed by that many characters.
  const HRSRC found = ::FindResourceW(handle, MAKEINTRESOURCEW(id / 16 + 1),
                                     reinterpret_cast<LPCWSTR>(RT_STRING));
  if (found == nullptr) return 0;
  const HGLOBAL loaded = ::LoadResource(handle, found);
  const auto* entry = loaded != nullptr ? static_cast<const WCHAR*>(::LockResource(loaded)) : nullptr;
  if (entry == nullptr) return 0;
  const WCHAR* const end = entry + ::SizeofResource(handle, found) / sizeof(WCHAR);
  // Each step is checked against the block's end before it is taken.
  for (std::uint32_t skip = id % 16; skip > 0; --skip) {
    if (entry >= end || *entry >= end - entry) return 0;
    entry += 1 + *entry;
  }
  if (entry >= end || *entry == 0 || *entry > end - entry - 1) return 0;
  const int characters = *entry;
  const int bytes = ::WideCharToMultiByte(CP_ACP, 0, entry + 1, characters, out.data(),
                                          static_cast<int>(out.size() - 1), nullptr, nullptr);
  if (bytes <= 0) return 0;
  out[static_cast<std::size_t>(bytes)] = '\0';
  return static_cast<std::size_t>(bytes);
}

void WindowsPlatform::ShowMessageBox(const char* text, const char* title, std::uint32_t style) {
  // user32 is loaded only when a box is due: loading it costs every run,
  // and almost every run shows nothing.
  using MessageBoxFunction = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT);
  const HMODULE user32 = ::LoadLibraryA("user32.dll");
  if (user32 == nullptr) return;
  const FARPROC proc = ::GetProcAddress(user32, "MessageBoxA");
  if (proc == nullptr) return;
  reinterpret_cast<MessageBoxFunction>(reinterpret_cast<void*>(proc))(nullptr, text, title, style);
}

void WindowsPlatform::ExitProcess(std::uint32_t exit_code) { ::ExitProcess(exit_code); }

}  // namespace velistra
