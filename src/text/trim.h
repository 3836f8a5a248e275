#pragma once

#include <string_view>

namespace velistra {

// The text without the bytes 0x00-0x20 (controls and space) at either end.
// Bytes from 0x21 up, 0x7F and 0x80-0xFF included, always stay.
std::string_view Trim(std::string_view text);

}  // namespace velistra
