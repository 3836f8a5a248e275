// The one path by which the program raises its errors.
//
// Guards are destructors and run while an exception unwinds, but when the
// system's unhandled-error filter wants an error (a debugger, say), no guard
// may run first. So the filter is asked here, where the error starts, and
// only when it leaves the error to us is the C++ exception thrown.
#pragma once

#include <cstdint>
#include <new>
#include <string_view>

#include "errors/message_texts.h"
#include "errors/messages.h"
#include "platform/platform.h"

namespace velistra {

// The exception code under which the program's errors meet the system
// (customer bit set, "VLS").
inline constexpr std::uint32_t kRaisedErrorCode = 0xE0564C53;

// Raises ERegistryException, its message the text `format` filled with
// `value_name`.
[[noreturn]] void RaiseRegistryException(Platform& platform, TextId format,
                                         std::string_view value_name);

// Raises EOutOfMemory, for memory that `platform` could not give.
[[noreturn]] void RaiseOutOfMemory(Platform& platform);

// The same, as the new-handler while a RaiseScope is alive, so that every
// failed allocation takes this path.
[[noreturn]] void RaiseOutOfMemory();

// While alive, errors take their messages from `texts`, and a failed
// allocation raises EOutOfMemory through `platform`. Outside any scope the
// messages are the built-in texts. Puts back what was before when it ends.
class RaiseScope {
 public:
  RaiseScope(Platform& platform, MessageTexts& texts);
  ~RaiseScope();
  RaiseScope(const RaiseScope&) = delete;
  RaiseScope& operator=(const RaiseScope&) = delete;

 private:
  Platform* previous_platform_;
  MessageTexts* previous_texts_;
  std::new_handler previous_handler_;
};

}  // namespace velistra
