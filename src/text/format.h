// Fills message formats such as "Invalid data type for '%s'". Texts are
// only ever arguments, never formats, so registry bytes cannot direct it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace velistra {

struct FormatArg {
  enum class Kind { kText, kCodePosition };
  Kind kind;
  std::string_view text;
  std::uintptr_t position = 0;

  static FormatArg Of(std::string_view text) { return {Kind::kText, text, 0}; }
  static FormatArg Position(std::uintptr_t position) { return {Kind::kCodePosition, {}, position}; }
};

// Writes `format` into `out` with each directive replaced by the next
// argument: %s takes a text, %p a code position (upper-case hex, at least
// eight digits), %% is a percent sign. A directive whose argument is missing
// or of the other kind writes nothing; any other % stays as it is. Stops at
// out.size() - 1 bytes and always NUL-terminates a non-empty `out`. Returns
// the length that the whole result has, written or not.
std::size_t FormatInto(std::span<char> out, std::string_view format,
                       std::initializer_list<FormatArg> args);

// The same, as a text of its own.
std::string FormatText(std::string_view format, std::initializer_list<FormatArg> args);

}  // namespace velistra
