#include "mapping_run/drive_name.h"

namespace velistra {

bool IsDriveName(std::string_view name) {
  // Byte ranges, not the C library's isupper: in the ANSI code page other
  // bytes can be letters too, and they are no drive.
  return name.size() == 2 && name[0] >= 'A' && name[0] <= 'Z' && name[1] == ':';
}

}  // namespace velistra
