#include <gtest/gtest.h>

#include "mapping_store/far_east_locale.h"
#include "platform/win32_values.h"

namespace velistra {
namespace {

struct LocaleCase {
  std::uint16_t primary_language;
  bool lead_bytes;
  bool far_east;
};

class FarEastLocaleTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(FarEastLocaleTest, NeedsAnotherLanguageAndLeadBytes) {
  const LocaleCase& c = GetParam();
  EXPECT_EQ(IsFarEastLocale({c.primary_language, c.lead_bytes}), c.far_east)
      << "language " << c.primary_language << " lead bytes " << c.lead_bytes;
}

constexpr std::uint16_t kJapanese = 0x11;
constexpr std::uint16_t kChinese = 0x04;
constexpr std::uint16_t kKorean = 0x12;
constexpr std::uint16_t kRussian = 0x19;

INSTANTIATE_TEST_SUITE_P(
    DoubleByte, FarEastLocaleTest,
    ::testing::Values(LocaleCase{kJapanese, true, true}, LocaleCase{kChinese, true, true},
                      LocaleCase{kKorean, true, true}, LocaleCase{kJapanese, false, false},
                      LocaleCase{kRussian, false, false}, LocaleCase{kRussian, true, true}));

// Even with lead bytes, these languages are never Far-Eastern.
INSTANTIATE_TEST_SUITE_P(
    SingleByteLanguages, FarEastLocaleTest,
    ::testing::Values(LocaleCase{win32::kLangNeutral, true, false},
                      LocaleCase{win32::kLangDanish, true, false},
                      LocaleCase{win32::kLangGerman, true, false},
                      LocaleCase{win32::kLangEnglish, true, false},
                      LocaleCase{win32::kLangSpanish, true, false},
                      LocaleCase{win32::kLangFinnish, true, false},
                      LocaleCase{win32::kLangFrench, true, false},
                      LocaleCase{win32::kLangItalian, true, false},
                      LocaleCase{win32::kLangDutch, true, false},
                      LocaleCase{win32::kLangNorwegian, true, false},
                      LocaleCase{win32::kLangPortuguese, true, false},
                      LocaleCase{win32::kLangSwedish, true, false}));

}  // namespace
}  // namespace velistra
