// The one door between the program's logic and Windows. Everything the
// program asks of the system passes through this interface, in portable
// types, so the logic builds and is tested on any host against a fake.
//
// The registry methods keep the Win32 contracts of their ANSI namesakes:
// Win32 error codes as results, byte counts that include terminators, and
// the in/out length rules noted on each method.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace velistra {

// A registry key handle (an HKEY's bits). Predefined roots are the
// sign-extended 32-bit values, exactly as Windows defines them.
using RegKey = std::uintptr_t;
inline constexpr RegKey kCurrentUserKey =
    static_cast<RegKey>(static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000001U)));

// A Win32 error code: kErrorSuccess or the reason for failure.
using Status = std::int32_t;

// An address in the program's code.
using CodeAddress = std::uintptr_t;

// What RegQueryInfoKeyA reports about a key; lengths are in characters,
// without the terminator.
struct KeyInfo {
  std::uint32_t sub_keys = 0;
  std::uint32_t longest_sub_key_name = 0;
  std::uint32_t values = 0;
  std::uint32_t longest_value_name = 0;
  std::uint32_t longest_value_data = 0;
  std::uint64_t last_write_time = 0;
};

// The thread locale, as far as the registry's ANSI name lengths depend on it.
struct ThreadLocaleInfo {
  std::uint16_t primary_language = 0;
  bool ansi_code_page_has_lead_bytes = false;
};

// A module whose resources can be read: a language module opened as data,
// or the program itself.
using ResourceModule = std::uintptr_t;
inline constexpr ResourceModule kNoResourceModule = 0;
inline constexpr ResourceModule kProgramModule = 1;

// The loaded module that holds some code address.
struct ModuleInfo {
  CodeAddress base = 0;
  std::string_view file_name;  // without its directory; owned by the platform
};

class Platform {
 public:
  virtual ~Platform() = default;

  // RegOpenKeyExA: on success stores the new handle in *result.
  virtual Status OpenKey(RegKey parent, const char* sub_key, std::uint32_t options,
                         std::uint32_t access, RegKey* result) = 0;
  // RegQueryInfoKeyA asking for counts, longest lengths and write time only.
  virtual Status QueryInfoKey(RegKey key, KeyInfo* info) = 0;
  // RegEnumValueA asking for the name only. *name_length: in, the buffer's
  // size in characters with room for the terminator; out on success, the
  // name's length without it.
  virtual Status EnumValueName(RegKey key, std::uint32_t index, char* name,
                               std::uint32_t* name_length) = 0;
  // RegQueryValueExA. With data == nullptr only *type and *size are filled.
  // *size: in, the buffer's size in bytes; out, the data's size in bytes
  // (also when the buffer is too small and kErrorMoreData is returned).
  virtual Status QueryValue(RegKey key, const char* name, std::uint32_t* type,
                            unsigned char* data, std::uint32_t* size) = 0;
  // RegCloseKey.
  virtual Status CloseKey(RegKey key) = 0;
  // The calling thread's locale.
  virtual ThreadLocaleInfo ThreadLocale() = 0;

  // DefineDosDeviceA: true when the system accepted the definition.
  virtual bool DefineDosDeviceName(std::uint32_t flags, const char* device,
                                   const char* target_path) = 0;

  // UnhandledExceptionFilter, asked about an error of `code` raised at
  // `address`; returns the filter's answer (kException* values).
  virtual std::int32_t ConsultUnhandledErrorFilter(std::uint32_t code, CodeAddress address) = 0;
  // Hands an error to the system as a non-continuable exception that nothing
  // of the program handles.
  [[noreturn]] virtual void LeaveErrorToSystem(std::uint32_t code, CodeAddress address) = 0;
  // The module that holds `address`.
  virtual ModuleInfo ModuleContaining(CodeAddress address) = 0;
  // The user's locale's language abbreviation (LOCALE_SABBREVLANGNAME, such
  // as DEU) in `out`; returns its length, 0 if there is none or no room.
  virtual std::size_t LanguageAbbreviation(std::span<char> out) = 0;
  // Opens the file named like the program, in the program's folder, with
  // `code` as its extension (velistra.DEU), as data only: none of its code
  // can run. kNoResourceModule if there is no such module.
  virtual ResourceModule OpenLanguageModule(std::string_view code) = 0;
  // String resource `id` of `module`, in the ANSI code page, into `out`,
  // NUL-terminated; returns its length, 0 if the module has no such string
  // or it does not fit.
  virtual std::size_t LoadMessageText(ResourceModule module, std::uint32_t id,
                                      std::span<char> out) = 0;
  // MessageBoxA with no owner window; returns when the box is dismissed.
  virtual void ShowMessageBox(const char* text, const char* title, std::uint32_t style) = 0;

  // Ends the process.
  [[noreturn]] virtual void ExitProcess(std::uint32_t exit_code) = 0;
};

}  // namespace velistra
