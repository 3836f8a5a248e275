#include "errors/messages.h"

namespace velistra {

#define MESSAGE_TEXT(id, name, text) \
  static_assert(id >= 1 && id <= kTextCount, "text ids run from 1 to the count");
#include "errors/message_texts.def"
#undef MESSAGE_TEXT

std::string_view BuiltInText(TextId id) {
  switch (id) {
#define MESSAGE_TEXT(id, name, text) \
  case TextId::name:                 \
    return text;
#include "errors/message_texts.def"
#undef MESSAGE_TEXT
  }
  return "";
}

}  // namespace velistra
