#include "errors/message_texts.h"

#include <algorithm>
#include <cstring>

namespace velistra {
namespace {

// The directive letters of a text, in order; a lone % at the end counts as
// a directive of its own.
class Directives {
 public:
  explicit Directives(std::string_view text) : text_(text) {}

  // The next directive's letter, '\0' after the last one.
  char Next() {
    while (true) {
      const std::size_t percent = text_.find('%');
      if (percent == std::string_view::npos) return '\0';
      if (percent + 1 == text_.size()) {
        text_ = {};
        return '%';
      }
      const char letter = text_[percent + 1];
      text_.remove_prefix(percent + 2);
      if (letter != '%') return letter;
    }
  }

 private:
  std::string_view text_;
};

}  // namespace

bool SameDirectives(std::string_view a, std::string_view b) {
  Directives left(a);
  Directives right(b);
  while (true) {
    const char x = left.Next();
    if (x != right.Next()) return false;
    if (x == '\0') return true;
  }
}

void MessageTexts::FindLanguageModule() {
  looked_for_module_ = true;
  char code[16];
  const std::size_t length = platform_.LanguageAbbreviation(code);
  if (length == 0 || length >= sizeof(code)) return;
  module_ = platform_.OpenLanguageModule({code, length});
  if (module_ == kNoResourceModule && length > 2) {
    module_ = platform_.OpenLanguageModule({code, 2});
  }
}

std::string_view MessageTexts::Get(TextId id) {
  const auto index = static_cast<std::size_t>(id) - 1;
  if (!loaded_[index]) {
    if (!looked_for_module_) FindLanguageModule();
    std::array<char, kCapacity>& text = texts_[index];
    // The program's own text is its string table's; the constant is kept
    // for a program whose table cannot be read.
    std::size_t length = platform_.LoadMessageText(kProgramModule, static_cast<std::uint32_t>(id), text);
    if (length == 0 || length >= text.size()) {
      const std::string_view built_in = BuiltInText(id);
      length = std::min(built_in.size(), text.size() - 1);
      std::memcpy(text.data(), built_in.data(), length);
      text[length] = '\0';
    }
    if (module_ != kNoResourceModule) {
      std::array<char, kCapacity> translated;
      const std::size_t translated_length =
          platform_.LoadMessageText(module_, static_cast<std::uint32_t>(id), translated);
      if (translated_length > 0 && translated_length < translated.size() &&
          SameDirectives({translated.data(), translated_length}, {text.data(), length})) {
        std::memcpy(text.data(), translated.data(), translated_length + 1);
        length = translated_length;
      }
    }
    lengths_[index] = length;
    loaded_[index] = true;
  }
  return {texts_[index].data(), lengths_[index]};
}

}  // namespace velistra
