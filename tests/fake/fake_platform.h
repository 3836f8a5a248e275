// An in-memory Windows for the program's logic. It keeps the Win32 contract
// that the logic relies on (status codes, value types, byte sizes that count
// terminators, the in/out length rules, index order), records every call in
// order, and lets a test inject the faults a live registry can produce.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/win32_values.h"

namespace velistra::testing {

// The mapping list's key, as the registry is asked for it.
inline constexpr std::string_view kMappingsKey = "Software\\Tarnhollow\\Velistra\\Mappings";

// Helper for value data: the bytes of a string as REG_SZ stores them,
// terminator included.
std::string Sz(std::string_view text);

struct FakeValue {
  FakeValue(std::string value_name, std::uint32_t value_type, std::string value_data,
            std::optional<std::uint32_t> characters = std::nullopt)
      : name(std::move(value_name)),
        type(value_type),
        data(std::move(value_data)),
        name_characters(characters) {}

  std::string name;
  std::uint32_t type = win32::kRegSz;
  std::string data;  // the exact bytes stored
  // The name's length as the registry counts it, in characters; by default
  // its length in bytes. Double-byte names count fewer characters.
  std::optional<std::uint32_t> name_characters;
};

enum class CallKind {
  kOpenKey,
  kQueryInfoKey,
  kEnumValueName,
  kQueryValue,
  kCloseKey,
  kThreadLocale,
  kDefineDosDevice,
  kConsultFilter,
  kLeaveErrorToSystem,
  kModuleContaining,
  kShowMessageBox,
  kExitProcess,
  kLanguageAbbreviation,
  kOpenLanguageModule,
  kLoadMessageText,
};

// The calls by which the program looks up its message texts.
bool IsTextLookup(CallKind kind);

// One call as the program made it, with what the fake answered.
struct Call {
  explicit Call(CallKind call_kind) : kind(call_kind) {}

  CallKind kind;
  RegKey key = 0;              // the key, or the parent key for kOpenKey
  std::string text;            // sub-key, value name, device name or box text
  std::string text2;           // target path or box title
  // Access, index, flags, style, code, exit code, or the number of values
  // that kQueryInfoKey reported.
  std::uint32_t number = 0;
  std::uint32_t options = 0;   // kOpenKey's options
  // Buffer length given (characters or bytes), or the longest value name
  // that kQueryInfoKey reported.
  std::uint32_t length_in = 0;
  bool with_buffer = false;    // kQueryValue: a data buffer was passed
  std::uint32_t type = 0;      // kQueryValue: the type reported
  std::uint32_t size_out = 0;  // kQueryValue: the size reported
  std::string written;         // kQueryValue: the bytes written to the buffer
  CodeAddress address = 0;
  Status status = win32::kErrorSuccess;
};

// What a fake process ends with.
struct ProcessExit {
  std::uint32_t code;
};

class FakePlatform final : public Platform {
 public:
  FakePlatform();

  // --- The registry below HKEY_CURRENT_USER (paths and value names are
  // matched case-insensitively, as the registry does). ---
  void AddKey(std::string_view path);
  // Adds or replaces a value, keeping the position of one it replaces.
  void SetValue(std::string_view key_path, FakeValue value);
  void DeleteValue(std::string_view key_path, std::string_view name);
  void DeleteKey(std::string_view path);
  // The mapping key with these values, in this index order.
  void SetMappings(const std::vector<FakeValue>& values);
  // Makes the key refuse to open, as for a user without read access.
  void DenyAccess(std::string_view path);

  // --- Injected faults and answers. ---
  // RegQueryInfoKeyA fails with this status.
  std::optional<Status> query_info_failure;
  // RegEnumValueA fails at these indexes with the given status; the buffer
  // is left as the previous call left it.
  std::map<std::uint32_t, Status> enum_failures;
  // Runs after each recorded call, so a test can change the registry
  // between two calls of the program.
  std::function<void(const Call&)> after_call;
  std::int32_t filter_answer = win32::kExceptionExecuteHandler;
  bool define_result = true;
  // As RegQueryValueExA may for strings: the size query reports the size of
  // the stored UTF-16 form, twice the ANSI bytes, and the data query leaves
  // scratch bytes (0xCC) in the buffer beyond the data it writes.
  bool size_query_overstates = false;
  ThreadLocaleInfo thread_locale{win32::kLangEnglish, false};
  std::string module_file_name = "velistra.exe";
  // The user's language abbreviation, and the language modules beside the
  // program by code (as in velistra.<code>): string id -> text. A module
  // without texts stands for one whose strings cannot be read.
  std::string language_abbreviation = "ENU";
  std::map<std::string, std::map<std::uint32_t, std::string>> language_modules;
  // The program's own string table; the built-in texts unless a test
  // changes them.
  std::map<std::uint32_t, std::string> program_texts;

  // --- What the program did. ---
  const std::vector<Call>& calls() const { return calls_; }
  std::vector<Call> CallsOf(CallKind kind) const;
  // The text of each call of `kind`, in order: the value names queried, the
  // language codes tried, and so on.
  std::vector<std::string> TextsOf(CallKind kind) const;
  // (device, target) of each DefineDosDeviceA call, in order.
  std::vector<std::pair<std::string, std::string>> Definitions() const;
  // Handles opened and not yet closed.
  std::size_t OpenHandleCount() const { return handles_.size(); }
  // Handles passed to RegCloseKey that were not open.
  std::size_t BadCloseCount() const { return bad_closes_; }
  // One line per call, for failure messages and the death tests' stderr.
  std::string Trace() const;

  // Where the fake says the module holding any code address starts.
  static constexpr CodeAddress kModuleBase = 0x1000;

  // --- Platform ---
  Status OpenKey(RegKey parent, const char* sub_key, std::uint32_t options, std::uint32_t access,
                 RegKey* result) override;
  Status QueryInfoKey(RegKey key, KeyInfo* info) override;
  Status EnumValueName(RegKey key, std::uint32_t index, char* name,
                       std::uint32_t* name_length) override;
  Status QueryValue(RegKey key, const char* name, std::uint32_t* type, unsigned char* data,
                    std::uint32_t* size) override;
  Status CloseKey(RegKey key) override;
  ThreadLocaleInfo ThreadLocale() override;
  bool DefineDosDeviceName(std::uint32_t flags, const char* device,
                           const char* target_path) override;
  std::int32_t ConsultUnhandledErrorFilter(std::uint32_t code, CodeAddress address) override;
  // Ends the (test's child) process at once, as the system would: it prints
  // the trace to stderr and _exits with kLeftToSystemExitCode.
  [[noreturn]] void LeaveErrorToSystem(std::uint32_t code, CodeAddress address) override;
  ModuleInfo ModuleContaining(CodeAddress address) override;
  std::size_t LanguageAbbreviation(std::span<char> out) override;
  ResourceModule OpenLanguageModule(std::string_view code) override;
  std::size_t LoadMessageText(ResourceModule module, std::uint32_t id,
                              std::span<char> out) override;
  void ShowMessageBox(const char* text, const char* title, std::uint32_t style) override;
  // Throws ProcessExit.
  [[noreturn]] void ExitProcess(std::uint32_t exit_code) override;

  static constexpr int kLeftToSystemExitCode = 86;

 private:
  struct Key {
    std::string path;
    std::vector<FakeValue> values;
    bool denied = false;
  };

  Key* FindKey(std::string_view path);
  Key* KeyOfHandle(RegKey handle);
  FakeValue* FindValue(Key& key, std::string_view name);
  void Record(Call call);

  std::vector<Key> keys_;
  std::map<RegKey, std::string> handles_;  // open handle -> key path
  std::map<ResourceModule, std::string> open_modules_;  // -> code
  RegKey next_handle_ = 0x100;
  std::size_t bad_closes_ = 0;
  std::vector<Call> calls_;
};

// Runs the whole program against `fake`; returns its exit code.
std::uint32_t RunProgram(FakePlatform& fake);

}  // namespace velistra::testing
