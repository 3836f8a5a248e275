// The one path by which the program raises its errors.
//
// Guards are destructors and run while an exception unwinds, but when the
// system's unhandled-error filter wants an error (a debugger, say), no guard
// may run first. So the filter is asked here, where the error starts, and
// only when it leaves the error to us is the C++ exception thrown.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/platform.h"

namespace velistra {

// The exception code under which the program's errors meet the system
// (customer bit set, "VLS").
inline constexpr std::uint32_t kRaisedErrorCode = 0xE0564C53;

// Raises ERegistryException, its message `format` filled with `value_name`.
[[noreturn]] void RaiseRegistryException(Platform& platform, std::string_view format,
                                         std::string_view value_name);

// Raises EOutOfMemory, for memory that `platform` could not give.
[[noreturn]] void RaiseOutOfMemory(Platform& platform);

// The same, as the new-handler while OutOfMemoryRaising is alive, so that
// every failed allocation takes this path.
[[noreturn]] void RaiseOutOfMemory();

// Installs RaiseOutOfMemory as the new-handler, asking `platform`'s filter,
// and puts back the previous handler when it ends.
class OutOfMemoryRaising {
 public:
  explicit OutOfMemoryRaising(Platform& platform);
  ~OutOfMemoryRaising();
  OutOfMemoryRaising(const OutOfMemoryRaising&) = delete;
  OutOfMemoryRaising& operator=(const OutOfMemoryRaising&) = delete;

 private:
  Platform* previous_platform_;
  void (*previous_handler_)();
};

}  // namespace velistra
