#include "errors/raise.h"

#include <new>
#include <utility>

#include "errors/raised_error.h"
#include "platform/win32_values.h"
#include "text/format.h"

namespace velistra {
namespace {

// The platform that failed allocations report to; a new-handler takes no
// arguments.
Platform* g_out_of_memory_platform = nullptr;

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
[[gnu::noinline]] void RaiseRegistryException(Platform& platform, std::string_view format,
                                              std::string_view value_name) {
  std::string message = FormatText(format, {FormatArg::Of(value_name)});
  Raise(&platform,
        ERegistryException(std::move(message), ToAddress(__builtin_return_address(0))));
}

[[gnu::noinline]] void RaiseOutOfMemory(Platform& platform) {
  Raise(&platform, EOutOfMemory(ToAddress(__builtin_return_address(0))));
}

[[gnu::noinline]] void RaiseOutOfMemory() {
  Raise(g_out_of_memory_platform, EOutOfMemory(ToAddress(__builtin_return_address(0))));
}

OutOfMemoryRaising::OutOfMemoryRaising(Platform& platform)
    : previous_platform_(std::exchange(g_out_of_memory_platform, &platform)),
      previous_handler_(std::set_new_handler(&RaiseOutOfMemory)) {}

OutOfMemoryRaising::~OutOfMemoryRaising() {
  std::set_new_handler(previous_handler_);
  g_out_of_memory_platform = previous_platform_;
}

}  // namespace velistra
