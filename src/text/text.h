// Text is an 8-bit string in the system's ANSI code page: any byte, known
// length, copied on assignment.
#pragma once

#include <string>
#include <vector>

namespace velistra {

using Text = std::string;

// An ordered list of texts: kept in the order filled, duplicates allowed.
using NameList = std::vector<Text>;

}  // namespace velistra
