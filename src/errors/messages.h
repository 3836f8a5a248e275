// The program's message texts, by id.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velistra {

enum class TextId : std::uint32_t {
#define MESSAGE_TEXT(id, name, text) name = id,
#include "errors/message_texts.def"
#undef MESSAGE_TEXT
};

// How many texts there are; their ids run from 1 to kTextCount.
inline constexpr std::size_t kTextCount = 0
#define MESSAGE_TEXT(id, name, text) +1
#include "errors/message_texts.def"
#undef MESSAGE_TEXT
    ;

// The text as the program carries it; its data() is NUL-terminated.
std::string_view BuiltInText(TextId id);

}  // namespace velistra
