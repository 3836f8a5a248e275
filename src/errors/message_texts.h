// The message texts the program shows: each from the language module beside
// the program when it holds a usable one, otherwise the program's own.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "errors/messages.h"
#include "platform/platform.h"

namespace velistra {

class MessageTexts {
 public:
  explicit MessageTexts(Platform& platform) : platform_(platform) {}
  MessageTexts(const MessageTexts&) = delete;
  MessageTexts& operator=(const MessageTexts&) = delete;

  // The text `id`; its data() is NUL-terminated and lives as long as this
  // object. The first call looks for the language module, once: named like
  // the program with the user's language abbreviation as its extension
  // (velistra.DEU), or else the abbreviation's first two letters
  // (velistra.DE). A module's text is used only if it carries the same
  // directives as the program's own, in the same order. Allocates nothing
  // itself; should the first error be that memory ran out, the system may
  // fail to open the module, and the texts are then the program's own.
  std::string_view Get(TextId id);

 private:
  // Room for a text and its terminator; a longer text is not used.
  static constexpr std::size_t kCapacity = 512;

  void FindLanguageModule();

  Platform& platform_;
  bool looked_for_module_ = false;
  ResourceModule module_ = kNoResourceModule;
  std::array<std::array<char, kCapacity>, kTextCount> texts_{};
  std::array<std::size_t, kTextCount> lengths_{};
  std::array<bool, kTextCount> loaded_{};
};

// True when both texts carry the same % directives in the same order (%%
// is text, not a directive).
bool SameDirectives(std::string_view a, std::string_view b);

}  // namespace velistra
