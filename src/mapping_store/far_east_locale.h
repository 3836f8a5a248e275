#pragma once

#include "platform/platform.h"

namespace velistra {

// True when the thread locale is Far-Eastern: its primary language is none
// of the Western European ones below and its ANSI code page has lead bytes.
// The registry then reports name lengths in characters that can take two
// bytes each in the ANSI form.
bool IsFarEastLocale(const ThreadLocaleInfo& locale);

}  // namespace velistra
