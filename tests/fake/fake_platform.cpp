#include "fake/fake_platform.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "fake/allocation_faults.h"
#include "errors/messages.h"
#include "mapping_run/program_entry.h"

namespace velistra::testing {
namespace {

// The registry compares names without regard to ASCII case.
bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) {
             return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
           };
           return lower(x) == lower(y);
         });
}

std::uint32_t CharactersOf(const FakeValue& value) {
  return value.name_characters.value_or(static_cast<std::uint32_t>(value.name.size()));
}

const char* NameOf(CallKind kind) {
  switch (kind) {
    case CallKind::kOpenKey: return "RegOpenKeyExA";
    case CallKind::kQueryInfoKey: return "RegQueryInfoKeyA";
    case CallKind::kEnumValueName: return "RegEnumValueA";
    case CallKind::kQueryValue: return "RegQueryValueExA";
    case CallKind::kCloseKey: return "RegCloseKey";
    case CallKind::kThreadLocale: return "GetThreadLocale";
    case CallKind::kDefineDosDevice: return "DefineDosDeviceA";
    case CallKind::kConsultFilter: return "UnhandledExceptionFilter";
    case CallKind::kLeaveErrorToSystem: return "RaiseException";
    case CallKind::kModuleContaining: return "GetModuleHandleExA";
    case CallKind::kShowMessageBox: return "MessageBoxA";
    case CallKind::kExitProcess: return "ExitProcess";
    case CallKind::kLanguageAbbreviation: return "GetLocaleInfoA";
    case CallKind::kOpenLanguageModule: return "LoadLibraryExW";
    case CallKind::kLoadMessageText: return "LoadString";
  }
  return "?";
}

// Copies `text` and a terminator into `out`; 0 if it does not fit.
std::size_t CopyOut(std::string_view text, std::span<char> out) {
  if (text.empty() || text.size() >= out.size()) return 0;
  std::memcpy(out.data(), text.data(), text.size());
  out[text.size()] = '\0';
  return text.size();
}

}  // namespace

bool IsTextLookup(CallKind kind) {
  return kind == CallKind::kLanguageAbbreviation || kind == CallKind::kOpenLanguageModule ||
         kind == CallKind::kLoadMessageText;
}

std::string Sz(std::string_view text) { return std::string(text) + '\0'; }

FakePlatform::FakePlatform() {
  for (std::uint32_t id = 1; id <= kTextCount; ++id) {
    program_texts[id] = std::string(BuiltInText(static_cast<TextId>(id)));
  }
}

void FakePlatform::AddKey(std::string_view path) {
  if (FindKey(path) == nullptr) keys_.push_back(Key{std::string(path), {}, false});
}

void FakePlatform::SetValue(std::string_view key_path, FakeValue value) {
  AddKey(key_path);
  Key& key = *FindKey(key_path);
  if (FakeValue* existing = FindValue(key, value.name)) {
    *existing = std::move(value);
  } else {
    key.values.push_back(std::move(value));
  }
}

void FakePlatform::DeleteValue(std::string_view key_path, std::string_view name) {
  if (Key* key = FindKey(key_path)) {
    std::erase_if(key->values, [&](const FakeValue& v) { return SameName(v.name, name); });
  }
}

void FakePlatform::DeleteKey(std::string_view path) {
  std::erase_if(keys_, [&](const Key& key) { return SameName(key.path, path); });
}

void FakePlatform::SetMappings(const std::vector<FakeValue>& values) {
  DeleteKey(kMappingsKey);
  AddKey(kMappingsKey);
  for (const FakeValue& value : values) FindKey(kMappingsKey)->values.push_back(value);
}

void FakePlatform::DenyAccess(std::string_view path) {
  AddKey(path);
  FindKey(path)->denied = true;
}

std::vector<Call> FakePlatform::CallsOf(CallKind kind) const {
  std::vector<Call> selected;
  for (const Call& call : calls_) {
    if (call.kind == kind) selected.push_back(call);
  }
  return selected;
}

std::vector<std::string> FakePlatform::TextsOf(CallKind kind) const {
  std::vector<std::string> texts;
  for (const Call& call : CallsOf(kind)) texts.push_back(call.text);
  return texts;
}

std::vector<std::pair<std::string, std::string>> FakePlatform::Definitions() const {
  std::vector<std::pair<std::string, std::string>> definitions;
  for (const Call& call : CallsOf(CallKind::kDefineDosDevice)) {
    definitions.emplace_back(call.text, call.text2);
  }
  return definitions;
}

std::string FakePlatform::Trace() const {
  std::ostringstream out;
  for (const Call& call : calls_) {
    out << NameOf(call.kind) << " key=" << std::hex << call.key << " text=\"" << call.text
        << "\" text2=\"" << call.text2 << "\" number=" << call.number << std::dec
        << " length=" << call.length_in << " status=" << call.status << '\n';
  }
  return out.str();
}

FakePlatform::Key* FakePlatform::FindKey(std::string_view path) {
  for (Key& key : keys_) {
    if (SameName(key.path, path)) return &key;
  }
  return nullptr;
}

FakePlatform::Key* FakePlatform::KeyOfHandle(RegKey handle) {
  const auto it = handles_.find(handle);
  return it == handles_.end() ? nullptr : FindKey(it->second);
}

FakeValue* FakePlatform::FindValue(Key& key, std::string_view name) {
  for (FakeValue& value : key.values) {
    if (SameName(value.name, name)) return &value;
  }
  return nullptr;
}

void FakePlatform::Record(Call call) {
  calls_.push_back(std::move(call));
  if (after_call) after_call(calls_.back());
}

Status FakePlatform::OpenKey(RegKey parent, const char* sub_key, std::uint32_t options,
                             std::uint32_t access, RegKey* result) {
  const UncountedAllocations uncounted;
  std::string path;
  Status status = win32::kErrorSuccess;
  if (parent == kCurrentUserKey) {
    path = sub_key;
  } else if (const auto it = handles_.find(parent); it != handles_.end()) {
    path = it->second + (*sub_key != '\0' ? "\\" : "") + sub_key;
  } else {
    status = win32::kErrorInvalidHandle;
  }
  if (status == win32::kErrorSuccess) {
    const Key* key = FindKey(path);
    if (key == nullptr) {
      status = win32::kErrorFileNotFound;
    } else if (key->denied) {
      status = win32::kErrorAccessDenied;
    } else {
      *result = next_handle_;
      handles_[next_handle_++] = key->path;
    }
  }
  Call call{CallKind::kOpenKey};
  call.key = parent;
  call.text = sub_key;
  call.options = options;
  call.number = access;
  call.status = status;
  Record(std::move(call));
  return status;
}

Status FakePlatform::QueryInfoKey(RegKey handle, KeyInfo* info) {
  const UncountedAllocations uncounted;
  Status status = win32::kErrorSuccess;
  const Key* key = KeyOfHandle(handle);
  if (key == nullptr) {
    status = win32::kErrorInvalidHandle;
  } else if (query_info_failure) {
    status = *query_info_failure;
  } else {
    *info = KeyInfo{};
    info->values = static_cast<std::uint32_t>(key->values.size());
    for (const FakeValue& value : key->values) {
      info->longest_value_name = std::max(info->longest_value_name, CharactersOf(value));
      info->longest_value_data =
          std::max(info->longest_value_data, static_cast<std::uint32_t>(value.data.size()));
    }
  }
  Call call{CallKind::kQueryInfoKey};
  call.key = handle;
  call.status = status;
  if (status == win32::kErrorSuccess) {
    call.number = info->values;
    call.length_in = info->longest_value_name;
  }
  Record(std::move(call));
  return status;
}

Status FakePlatform::EnumValueName(RegKey handle, std::uint32_t index, char* name,
                                   std::uint32_t* name_length) {
  const UncountedAllocations uncounted;
  const std::uint32_t given = *name_length;
  Status status = win32::kErrorSuccess;
  Key* key = KeyOfHandle(handle);
  if (key == nullptr) {
    status = win32::kErrorInvalidHandle;
  } else if (const auto fault = enum_failures.find(index); fault != enum_failures.end()) {
    status = fault->second;
  } else if (index >= key->values.size()) {
    status = win32::kErrorNoMoreItems;
  } else {
    const FakeValue& value = key->values[index];
    // The buffer must hold the name and its terminator.
    if (value.name.size() + 1 > given) {
      status = win32::kErrorMoreData;
    } else {
      std::memcpy(name, value.name.c_str(), value.name.size() + 1);
      *name_length = static_cast<std::uint32_t>(value.name.size());
    }
  }
  Call call{CallKind::kEnumValueName};
  call.key = handle;
  call.number = index;
  call.length_in = given;
  call.text = status == win32::kErrorSuccess ? std::string(name, *name_length) : "";
  call.status = status;
  Record(std::move(call));
  return status;
}

Status FakePlatform::QueryValue(RegKey handle, const char* name, std::uint32_t* type,
                                unsigned char* data, std::uint32_t* size) {
  const UncountedAllocations uncounted;
  const std::uint32_t given = *size;
  Status status = win32::kErrorSuccess;
  Key* key = KeyOfHandle(handle);
  const FakeValue* value = key == nullptr ? nullptr : FindValue(*key, name);
  Call call{CallKind::kQueryValue};
  if (key == nullptr) {
    status = win32::kErrorInvalidHandle;
  } else if (value == nullptr) {
    status = win32::kErrorFileNotFound;
  } else {
    const auto stored = static_cast<std::uint32_t>(value->data.size());
    *type = value->type;
    const bool string = value->type == win32::kRegSz || value->type == win32::kRegExpandSz;
    if (data != nullptr && stored > given) {
      status = win32::kErrorMoreData;
    } else if (data != nullptr) {
      std::memcpy(data, value->data.data(), stored);
      if (size_query_overstates) std::memset(data + stored, 0xCC, given - stored);
      call.written = value->data;
    }
    *size = data == nullptr && size_query_overstates && string ? 2 * stored : stored;
    call.type = value->type;
    call.size_out = *size;
  }
  call.key = handle;
  call.text = name;
  call.length_in = given;
  call.with_buffer = data != nullptr;
  call.status = status;
  Record(std::move(call));
  return status;
}

Status FakePlatform::CloseKey(RegKey handle) {
  const UncountedAllocations uncounted;
  Status status = win32::kErrorSuccess;
  if (handles_.erase(handle) == 0) {
    ++bad_closes_;
    status = win32::kErrorInvalidHandle;
  }
  Call call{CallKind::kCloseKey};
  call.key = handle;
  call.status = status;
  Record(std::move(call));
  return status;
}

ThreadLocaleInfo FakePlatform::ThreadLocale() {
  const UncountedAllocations uncounted;
  Record(Call{CallKind::kThreadLocale});
  return thread_locale;
}

bool FakePlatform::DefineDosDeviceName(std::uint32_t flags, const char* device,
                                       const char* target_path) {
  const UncountedAllocations uncounted;
  Call call{CallKind::kDefineDosDevice};
  call.number = flags;
  call.text = device;
  call.text2 = target_path;
  Record(std::move(call));
  return define_result;
}

std::int32_t FakePlatform::ConsultUnhandledErrorFilter(std::uint32_t code, CodeAddress address) {
  const UncountedAllocations uncounted;
  Call call{CallKind::kConsultFilter};
  call.number = code;
  call.address = address;
  Record(std::move(call));
  return filter_answer;
}

void FakePlatform::LeaveErrorToSystem(std::uint32_t code, CodeAddress address) {
  {
    const UncountedAllocations uncounted;
    Call call{CallKind::kLeaveErrorToSystem};
    call.number = code;
    call.address = address;
    Record(std::move(call));
    const std::string trace = Trace();
    std::fputs(trace.c_str(), stderr);
    std::fflush(stderr);
  }
  // The process ends here; nothing of the program unwinds.
  _exit(kLeftToSystemExitCode);
}

ModuleInfo FakePlatform::ModuleContaining(CodeAddress address) {
  const UncountedAllocations uncounted;
  Call call{CallKind::kModuleContaining};
  call.address = address;
  Record(std::move(call));
  return {kModuleBase, module_file_name};
}

std::size_t FakePlatform::LanguageAbbreviation(std::span<char> out) {
  const UncountedAllocations uncounted;
  Call call{CallKind::kLanguageAbbreviation};
  call.text = language_abbreviation;
  Record(std::move(call));
  return CopyOut(language_abbreviation, out);
}

ResourceModule FakePlatform::OpenLanguageModule(std::string_view code) {
  const UncountedAllocations uncounted;
  ResourceModule module = kNoResourceModule;
  if (language_modules.count(std::string(code)) != 0) {
    module = 0x9000 + open_modules_.size();
    open_modules_[module] = code;
  }
  Call call{CallKind::kOpenLanguageModule};
  call.text = code;
  call.key = module;
  call.status = module == kNoResourceModule ? win32::kErrorFileNotFound : win32::kErrorSuccess;
  Record(std::move(call));
  return module;
}

std::size_t FakePlatform::LoadMessageText(ResourceModule module, std::uint32_t id,
                                          std::span<char> out) {
  const UncountedAllocations uncounted;
  const std::map<std::uint32_t, std::string>* texts = nullptr;
  if (module == kProgramModule) {
    texts = &program_texts;
  } else if (const auto it = open_modules_.find(module); it != open_modules_.end()) {
    texts = &language_modules.at(it->second);
  }
  std::size_t length = 0;
  if (texts != nullptr) {
    if (const auto text = texts->find(id); text != texts->end()) length = CopyOut(text->second, out);
  }
  Call call{CallKind::kLoadMessageText};
  call.key = module;
  call.number = id;
  call.text = std::string(out.data(), length);
  call.status = length == 0 ? win32::kErrorFileNotFound : win32::kErrorSuccess;
  Record(std::move(call));
  return length;
}

void FakePlatform::ShowMessageBox(const char* text, const char* title, std::uint32_t style) {
  const UncountedAllocations uncounted;
  Call call{CallKind::kShowMessageBox};
  call.text = text;
  call.text2 = title;
  call.number = style;
  Record(std::move(call));
}

void FakePlatform::ExitProcess(std::uint32_t exit_code) {
  {
    const UncountedAllocations uncounted;
    Call call{CallKind::kExitProcess};
    call.number = exit_code;
    Record(std::move(call));
  }
  throw ProcessExit{exit_code};
}

std::uint32_t RunProgram(FakePlatform& fake) {
  try {
    ProgramMain(fake);
  } catch (const ProcessExit& exit) {
    return exit.code;
  }
  // ProgramMain must end the process.
  return 0xDEADu;
}

}  // namespace velistra::testing
