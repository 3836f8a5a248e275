// Runs the whole program on mapping lists and faults decoded from the fuzzer's
// bytes, against the fake, and checks the run's record call by call against
// what the program must do: read-only access, the drives defined in list
// order up to the first error and none after, one report after the key is
// closed, each opened key closed once, and the exit code of the outcome.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "errors/message_texts.h"
#include "errors/messages.h"
#include "fake/allocation_faults.h"
#include "fake/fake_platform.h"
#include "platform/win32_values.h"

namespace velistra::testing {
namespace {

// --- Decoding -------------------------------------------------------------

std::string DecodeName(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 6)) {
    case 0:
    case 1:
    case 2: {  // most names are drives, so that reads and definitions happen
      return {static_cast<char>('A' + in.ConsumeIntegralInRange(0, 25)), ':'};
    }
    case 3:  // almost drives: any first byte
      return {static_cast<char>(in.ConsumeIntegral<std::uint8_t>()), ':'};
    case 4:
      return "";  // the key's unnamed default value
    case 5:
      return in.ConsumeRandomLengthString(8);
    default:
      return "P:" + in.ConsumeRandomLengthString(2);
  }
}

std::string DecodeData(FuzzedDataProvider& in) {
  if (in.ConsumeIntegralInRange(0, 5) == 0) return "";
  return in.ConsumeRandomLengthString(64);
}

// Now and then one value of a run gets a name of up to the registry's limit,
// or data of a few MiB: rarely, so that most runs stay fast.
void MakeOneLarge(FuzzedDataProvider& in, std::vector<FakeValue>& values) {
  if (values.empty() || in.ConsumeIntegralInRange(0, 255) != 0) return;
  FakeValue& value = values[in.ConsumeIntegralInRange<std::size_t>(0, values.size() - 1)];
  const auto fill = static_cast<char>(in.ConsumeIntegral<std::uint8_t>());
  if (in.ConsumeBool()) {
    value.name.assign(in.ConsumeIntegralInRange<std::size_t>(0, 16383), fill);
  } else {
    value.data.assign(in.ConsumeIntegralInRange<std::size_t>(1, 3 << 20), fill);
    if (in.ConsumeBool()) value.data.back() = '\0';
  }
}

std::uint32_t DecodeType(FuzzedDataProvider& in) {
  if (in.ConsumeIntegralInRange(0, 15) == 0) return in.ConsumeIntegral<std::uint32_t>();
  // String types more often than the others, so that reads get as far as a
  // definition.
  const auto type = in.ConsumeIntegralInRange<std::uint32_t>(0, 15);
  return type > 11 ? win32::kRegSz : type;
}

Status DecodeFailure(FuzzedDataProvider& in) {
  constexpr Status kFailures[] = {win32::kErrorMoreData, win32::kErrorNoMoreItems,
                                  win32::kErrorAccessDenied, win32::kErrorInvalidHandle};
  return kFailures[in.ConsumeIntegralInRange(0, 3)];
}

// A change to the registry while the program runs, made after the
// `after`-th call of kind `kind`.
struct Change {
  CallKind kind = CallKind::kQueryValue;
  int after = 0;
  int what = 0;
  std::size_t value = 0;
  std::string bytes;
};

struct Scenario {
  std::vector<Change> changes;
  std::size_t failing_allocation = 0;  // 0: none
};

void Apply(FakePlatform& fake, const Change& change, const std::vector<FakeValue>& values) {
  if (values.empty()) return;
  const FakeValue& target = values[change.value % values.size()];
  switch (change.what) {
    case 0:
      fake.DeleteValue(kMappingsKey, target.name);
      break;
    case 1:  // grows
      fake.SetValue(kMappingsKey, {target.name, target.type, target.data + change.bytes + "xyz"});
      break;
    case 2:  // shrinks
      fake.SetValue(kMappingsKey,
                    {target.name, target.type, target.data.substr(0, target.data.size() / 2)});
      break;
    case 3:
      fake.SetValue(kMappingsKey, {target.name, win32::kRegDword, "\1\0\0\0"});
      break;
    default:
      fake.SetValue(kMappingsKey, {change.bytes, win32::kRegSz, "D:\\Added"});
      break;
  }
}

Scenario Decode(FuzzedDataProvider& in, FakePlatform& fake, std::vector<FakeValue>& values) {
  Scenario scenario;
  const int flags = in.ConsumeIntegral<std::uint8_t>();
  fake.define_result = (flags & 1) == 0;
  if (flags & 2) fake.thread_locale = {0x11, true};
  if (flags & 4) fake.filter_answer = win32::kExceptionContinueExecution;
  if ((flags & 0x18) == 0x18) fake.query_info_failure = DecodeFailure(in);
  fake.size_query_overstates = (flags & 0x80) != 0;

  const int count = in.ConsumeIntegralInRange(0, 40);
  for (int i = 0; i < count; ++i) {
    FakeValue value(DecodeName(in), DecodeType(in), DecodeData(in));
    // Double-byte names: fewer characters than bytes.
    if (in.ConsumeIntegralInRange(0, 7) == 0) {
      value.name_characters = static_cast<std::uint32_t>(value.name.size() / 2);
    }
    values.push_back(std::move(value));
  }
  MakeOneLarge(in, values);
  if ((flags & 0x60) == 0x60) {
    // no key
  } else if ((flags & 0x60) == 0x40) {
    fake.DenyAccess(kMappingsKey);
  } else {
    fake.SetMappings(values);
  }

  const int enum_failures = in.ConsumeIntegralInRange(0, 3);
  for (int i = 0; i < enum_failures; ++i) {
    fake.enum_failures[in.ConsumeIntegralInRange<std::uint32_t>(0, 40)] = DecodeFailure(in);
  }
  const int changes = in.ConsumeIntegralInRange(0, 2);
  for (int i = 0; i < changes; ++i) {
    Change change;
    change.kind = in.ConsumeBool() ? CallKind::kQueryValue : CallKind::kEnumValueName;
    change.after = in.ConsumeIntegralInRange(1, 60);
    change.what = in.ConsumeIntegralInRange(0, 4);
    change.value = in.ConsumeIntegral<std::uint8_t>();
    change.bytes = in.ConsumeRandomLengthString(300);
    scenario.changes.push_back(std::move(change));
  }
  if (in.ConsumeBool()) scenario.failing_allocation = in.ConsumeIntegralInRange<std::size_t>(1, 400);
  // A language module whose texts are anything at all: a translation is
  // input like any other.
  if (in.ConsumeIntegralInRange(0, 3) == 0) {
    std::map<std::uint32_t, std::string> texts;
    for (std::uint32_t id = 1; id <= velistra::kTextCount; ++id) {
      if (in.ConsumeBool()) texts[id] = in.ConsumeRandomLengthString(600);
    }
    if (!texts.empty()) fake.language_modules[fake.language_abbreviation] = std::move(texts);
  }
  return scenario;
}

// --- Checking -------------------------------------------------------------

const FakePlatform* g_fake = nullptr;

[[noreturn]] void Violation(const std::string& what) {
  std::fprintf(stderr, "VIOLATION: %s\n", what.c_str());
  if (g_fake != nullptr) std::fputs(g_fake->Trace().substr(0, 20000).c_str(), stderr);
  std::abort();
}

void Require(bool condition, const std::string& what) {
  if (!condition) Violation(what);
}

bool IsDrive(std::string_view name) {
  return name.size() == 2 && name[0] >= 'A' && name[0] <= 'Z' && name[1] == ':';
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

// What a definition's target must be: the data up to its first NUL, without
// the blanks and controls at either end.
std::string ExpectedTarget(const std::string& written) {
  std::string text = written.substr(0, written.find('\0'));
  std::size_t first = 0;
  while (first < text.size() && IsBlank(text[first])) ++first;
  std::size_t last = text.size();
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

// Walks the recorded calls in the order the program must make them.
class RunChecker {
 public:
  RunChecker(const FakePlatform& fake, std::uint32_t exit_code, bool allocation_failed)
      : calls_(fake.calls()), fake_(fake), exit_code_(exit_code),
        allocation_failed_(allocation_failed) {}

  void Check() {
    const bool opened = Pass();
    if (error_) {
      CheckReport(opened);
    } else {
      Require(!allocation_failed_, "a failed allocation did not end the run");
      if (opened) Take(CallKind::kCloseKey, "the key is not closed");
      CheckExit(0);
    }
    Require(next_ == calls_.size(), "calls after the process ended");
    // Texts are looked for only when an error needs them, and only once.
    Require(language_lookups_ <= (error_ ? 1 : 0), "the language module is looked for wrongly");
    Require(fake_.OpenHandleCount() == 0, "a key stays open");
    Require(fake_.BadCloseCount() == 0, "a key was closed twice or never opened");
  }

 private:
  // The pass; true when the key was opened. Stops where an error starts.
  bool Pass() {
    if (ErrorStarts()) return false;
    const Call& open = Take(CallKind::kOpenKey, "the first call is not the open");
    Require(open.key == kCurrentUserKey && open.text == kMappingsKey && open.options == 0,
            "the key is opened elsewhere");
    Require(open.number == win32::kKeyRead, "the key is opened with more than read access");
    if (open.status != win32::kErrorSuccess) return false;

    if (ErrorStarts()) return true;
    const Call& info = Take(CallKind::kQueryInfoKey, "no key information query");
    if (info.status != win32::kErrorSuccess) return true;
    if (ErrorStarts()) return true;
    Take(CallKind::kThreadLocale, "the locale is not asked for");
    // One character more than the longest name, counted in bytes that are
    // twice as many in a Far-Eastern locale.
    const std::uint64_t factor = fake_.thread_locale.primary_language == 0x11 ? 2 : 1;
    const std::uint64_t wanted_length = std::uint64_t{info.length_in} * factor + 1;

    std::vector<std::string> names;
    while (!ErrorStarts() && At(CallKind::kEnumValueName)) {
      const Call& call = Take(CallKind::kEnumValueName, "");
      Require(call.number == names.size(), "an index is skipped or repeated");
      Require(call.length_in == wanted_length, "the name buffer has the wrong size");
      // A failed index lists an empty name; a listed name ends at its NUL.
      names.push_back(call.status == win32::kErrorSuccess ? call.text.substr(0, call.text.find('\0'))
                                                         : "");
    }
    if (error_) return true;
    Require(names.size() == info.number, "not every index is listed");

    for (const std::string& name : names) {
      if (!IsDrive(name)) continue;
      if (ErrorStarts()) return true;
      const Call& size = Take(CallKind::kQueryValue, "a drive name is not read: " + name);
      Require(size.text == name && !size.with_buffer, "the size query is not first");
      if (size.status != win32::kErrorSuccess || size.size_out == 0) continue;
      if (ErrorStarts()) return true;
      const Call& read = Take(CallKind::kQueryValue, "no data query after the size query");
      Require(read.text == name && read.with_buffer && read.length_in == size.size_out,
              "the data query does not ask for the size found");
      if (read.status != win32::kErrorSuccess) {
        ExpectError("Failed to get data for '" + name + "'");
        return true;
      }
      if (read.type != win32::kRegSz && read.type != win32::kRegExpandSz) {
        ExpectError("Invalid data type for '" + name + "'");
        return true;
      }
      const std::string target = ExpectedTarget(read.written);
      if (target.empty()) continue;
      if (ErrorStarts()) return true;
      const Call& define = Take(CallKind::kDefineDosDevice, "a drive is not defined: " + name);
      Require(define.number == 0 && define.text == name && define.text2 == target,
              "a drive is defined wrongly: " + define.text + " " + define.text2);
    }
    Require(!At(CallKind::kDefineDosDevice), "a definition the list does not hold");
    return true;
  }

  // The store must raise here; a failed allocation may come first.
  void ExpectError(std::string message) {
    Require(At(CallKind::kConsultFilter), "no error raised for: " + message);
    error_ = true;
    expected_message_ = std::move(message);
  }

  bool ErrorStarts() {
    if (!At(CallKind::kConsultFilter)) return false;
    Require(allocation_failed_, "an error without a cause");
    error_ = true;
    return true;
  }

  void CheckReport(bool opened) {
    Require(Take(CallKind::kConsultFilter, "").number == 0xE0564C53u, "the error's code");
    if (opened) Take(CallKind::kCloseKey, "the key is not closed before the report");
    Take(CallKind::kModuleContaining, "no module for the report");
    const Call& box = Take(CallKind::kShowMessageBox, "no report");
    Require(box.number == 0x2010, "the box's style");
    const bool out_of_memory =
        box.text.find("Exception EOutOfMemory in module velistra.exe at ") == 0 &&
        box.text.find(".\r\nOut of memory.\r\n") != std::string::npos;
    const bool registry =
        !expected_message_.empty() &&
        box.text.find("Exception ERegistryException in module velistra.exe at ") == 0 &&
        box.text.find(".\r\n" + expected_message_ + ".\r\n") != std::string::npos;
    // A translation may change every word; without one the texts are known.
    if (fake_.language_modules.empty()) {
      Require(box.text2 == "Application Error", "the box's title");
      Require(registry || (out_of_memory && allocation_failed_), "the report: " + box.text);
    } else {
      // The title is the program's, or the module's when that carries no
      // directive.
      const auto& module = fake_.language_modules.begin()->second;
      const auto title = module.find(1);
      const bool module_title = title != module.end() && title->second.size() < 512 &&
                                velistra::SameDirectives(title->second, "") &&
                                !title->second.empty();
      // The box gets the title as a C string: it ends at a NUL.
      const std::string wanted = module_title ? title->second.substr(0, title->second.find('\0'))
                                              : "Application Error";
      Require(box.text2 == wanted, "the box's title: " + box.text2);
    }
    CheckExit(1);
  }

  void CheckExit(std::uint32_t code) {
    const Call& exit = Take(CallKind::kExitProcess, "the process does not end");
    Require(exit.number == code && exit_code_ == code, "the exit code does not match the outcome");
  }

  // The next call that is not a text lookup: those may come wherever a
  // text is first needed.
  bool At(CallKind kind) {
    while (next_ < calls_.size() && IsTextLookup(calls_[next_].kind)) {
      if (calls_[next_].kind == CallKind::kLanguageAbbreviation) ++language_lookups_;
      ++next_;
    }
    return next_ < calls_.size() && calls_[next_].kind == kind;
  }

  const Call& Take(CallKind kind, const std::string& what) {
    Require(At(kind), what.empty() ? "an unexpected call" : what);
    return calls_[next_++];
  }

  const std::vector<Call>& calls_;
  const FakePlatform& fake_;
  std::uint32_t exit_code_;
  bool allocation_failed_;
  std::size_t next_ = 0;
  int language_lookups_ = 0;
  bool error_ = false;
  std::string expected_message_;
};

}  // namespace
}  // namespace velistra::testing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velistra::testing;
  FuzzedDataProvider in(data, size);
  FakePlatform fake;
  std::vector<FakeValue> values;
  const Scenario scenario = Decode(in, fake, values);
  int reads = 0;
  int enumerations = 0;
  fake.after_call = [&](const Call& call) {
    int seen = 0;
    if (call.kind == CallKind::kQueryValue) seen = ++reads;
    if (call.kind == CallKind::kEnumValueName) seen = ++enumerations;
    for (const Change& change : scenario.changes) {
      if (change.kind == call.kind && change.after == seen) Apply(fake, change, values);
    }
  };
  g_fake = &fake;

  AllocationFaults::Arm(scenario.failing_allocation);
  const std::uint32_t exit_code = RunProgram(fake);
  const bool allocation_failed = AllocationFaults::Failed();
  AllocationFaults::Disarm();

  RunChecker(fake, exit_code, allocation_failed).Check();
  g_fake = nullptr;
  return 0;
}
