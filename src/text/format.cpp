#include "text/format.h"

#include <algorithm>

namespace velistra {
namespace {

// Appends to a bounded buffer, counting what did not fit.
class BoundedWriter {
 public:
  explicit BoundedWriter(std::span<char> out) : out_(out) {}

  void Append(std::string_view piece) {
    if (!out_.empty()) {
      const std::size_t room = out_.size() - 1 - std::min(length_, out_.size() - 1);
      const std::size_t n = std::min(room, piece.size());
      if (n != 0) std::copy_n(piece.data(), n, out_.data() + length_);
    }
    length_ += piece.size();
  }

  std::size_t Finish() {
    if (!out_.empty()) out_[std::min(length_, out_.size() - 1)] = '\0';
    return length_;
  }

 private:
  std::span<char> out_;
  std::size_t length_ = 0;
};

void AppendPosition(BoundedWriter& writer, std::uintptr_t position) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  char digits[2 * sizeof(position)];
  std::size_t count = 0;
  do {
    digits[sizeof(digits) - 1 - count++] = kDigits[position & 0xF];
    position >>= 4;
  } while (position != 0 || count < 8);
  writer.Append({digits + sizeof(digits) - count, count});
}

}  // namespace

std::size_t FormatInto(std::span<char> out, std::string_view format,
                       std::initializer_list<FormatArg> args) {
  BoundedWriter writer(out);
  const FormatArg* next = args.begin();
  while (!format.empty()) {
    const std::size_t percent = format.find('%');
    writer.Append(format.substr(0, percent));
    if (percent == std::string_view::npos || percent + 1 == format.size()) {
      if (percent != std::string_view::npos) writer.Append("%");
      break;
    }
    const char directive = format[percent + 1];
    format.remove_prefix(percent + 2);
    if (directive == '%') {
      writer.Append("%");
      continue;
    }
    if (directive != 's' && directive != 'p') {
      writer.Append({format.data() - 2, 2});
      continue;
    }
    // Each directive takes the next argument, and uses it only if it is of
    // its kind.
    if (next == args.end()) continue;
    const FormatArg& arg = *next++;
    if (directive == 's' && arg.kind == FormatArg::Kind::kText) writer.Append(arg.text);
    if (directive == 'p' && arg.kind == FormatArg::Kind::kCodePosition) {
      AppendPosition(writer, arg.position);
    }
  }
  return writer.Finish();
}

std::string FormatText(std::string_view format, std::initializer_list<FormatArg> args) {
  std::string text(FormatInto({}, format, args), '\0');
  // A std::string always has room for the terminator after its last byte.
  FormatInto({text.data(), text.size() + 1}, format, args);
  return text;
}

}  // namespace velistra
