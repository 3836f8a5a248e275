// The program's own job: one pass over the current user's mapping list,
// defining each drive name as an alias for its folder.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace velistra {

// The mapping list's key below HKEY_CURRENT_USER.
inline constexpr std::string_view kMappingsKeyPath = "\\Software\\Tarnhollow\\Velistra\\Mappings";

class MappingRun {
 public:
  explicit MappingRun(Platform& platform) : platform_(platform) {}

  // Defines, in list order, each drive name whose trimmed text is not
  // empty. A missing key defines nothing. An error raised while reading
  // ends the pass at that entry; what it made is released on the way out.
  void Execute();

 private:
  Platform& platform_;
};

}  // namespace velistra
