#include "mapping_store/far_east_locale.h"

#include <algorithm>
#include <array>

#include "platform/win32_values.h"

namespace velistra {

bool IsFarEastLocale(const ThreadLocaleInfo& locale) {
  using namespace win32;
  constexpr std::array kSingleByteLanguages = {
      kLangNeutral, kLangDanish, kLangGerman,    kLangEnglish,    kLangSpanish, kLangFinnish,
      kLangFrench,  kLangItalian, kLangDutch,    kLangNorwegian,  kLangPortuguese, kLangSwedish};
  const bool single_byte_language =
      std::find(kSingleByteLanguages.begin(), kSingleByteLanguages.end(),
                locale.primary_language) != kSingleByteLanguages.end();
  return !single_byte_language && locale.ansi_code_page_has_lead_bytes;
}

}  // namespace velistra
