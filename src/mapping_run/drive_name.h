#pragma once

#include <string_view>

namespace velistra {

// True for exactly two bytes: an upper-case letter A-Z, then a colon.
bool IsDriveName(std::string_view name);

}  // namespace velistra
