#include "errors/raise.h"

#include <utility>

#include "errors/raised_error.h"
#include "platform/win32_values.h"
#include "text/format.h"

namespace velistra {
namespace {

// What the raise path works with; a new-handler takes no arguments.
Platform* g_scope_platform = nullptr;
MessageTexts* g_scope_texts = nullptr;

std::string_view TextOf(TextId id) {
  return g_scope_texts != nullptr ? g_scope_texts->Get(id) : BuiltInText(id);
}

template <class Error>
[[noreturn]] void Raise(Platform* platform, Error&& error) {
  if (platform != nullptr &&
      platform->ConsultUnhandledErrorFilter(kRaisedErrorCode, error.address()) ==
          win32::kExceptionContinueSearch) {
    platform->LeaveErrorToSystem(kRaisedErrorCode, error.address());
  }
  throw std::forward<Error>(error);
}

CodeAddress ToAddress(const void* pointer) { return reinterpret_cast<CodeAddress>(pointer); }

}  // namespace

// Not inlined, so the return address names the code that raised the error.
[[gnu::noinline]] void RaiseRegistryException(Platform& platform, TextId format,
                                              std::string_view value_name) {
  std::string message = FormatText(TextOf(format), {FormatArg::Of(value_name)});
  Raise(&platform,
        ERegistryException(std::move(message), ToAddress(__builtin_return_address(0))));
}

[[gnu::noinline]] void RaiseOutOfMemory(Platform& platform) {
  Raise(&platform,
        EOutOfMemory(TextOf(TextId::kOutOfMemory), ToAddress(__builtin_return_address(0))));
}

[[gnu::noinline]] void RaiseOutOfMemory() {
  Raise(g_scope_platform,
        EOutOfMemory(TextOf(TextId::kOutOfMemory), ToAddress(__builtin_return_address(0))));
}

RaiseScope::RaiseScope(Platform& platform, MessageTexts& texts)
    : previous_platform_(std::exchange(g_scope_platform, &platform)),
      previous_texts_(std::exchange(g_scope_texts, &texts)),
      previous_handler_(std::set_new_handler(&RaiseOutOfMemory)) {}

RaiseScope::~RaiseScope() {
  std::set_new_handler(previous_handler_);
  g_scope_texts = previous_texts_;
  g_scope_platform = previous_platform_;
}

}  // namespace velistra
