#include "text/trim.h"

namespace velistra {
namespace {

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 0x20; }

}  // namespace

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsTrimmed(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsTrimmed(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace velistra
