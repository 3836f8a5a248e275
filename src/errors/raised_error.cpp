#include "errors/raised_error.h"

#include "errors/messages.h"

namespace velistra {

std::string_view EOutOfMemory::Message() const noexcept { return messages::kOutOfMemory; }

}  // namespace velistra
