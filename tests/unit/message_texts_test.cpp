// Message texts: the language module beside the program, looked for once,
// and used text by text only where it carries the program's directives.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "errors/message_texts.h"
#include "errors/messages.h"
#include "fake/allocation_faults.h"
#include "fake/fake_platform.h"
#include "unit/param_label.h"
#include "platform/win32_values.h"

namespace velistra::testing {
namespace {

using namespace std::string_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::map<std::uint32_t, std::string> kGerman = {
    {1, "Anwendungsfehler"},
    {2, "Ausnahme %s in Modul %s bei %p.\r\n%s%s\r\n"},
    {3, "Ung\xfcltiger Datentyp f\xfcr '%s'"},
    {4, "Die Daten von '%s' konnten nicht gelesen werden"},
    {5, "Nicht gen\xfcgend Arbeitsspeicher"},
};

TEST(MessageTextsTest, WithoutAModuleTheProgramsOwnTextsAreUsedAndTheLookIsMadeOnce) {
  FakePlatform fake;
  MessageTexts texts(fake);

  EXPECT_EQ(texts.Get(TextId::kReportTitle), "Application Error");
  EXPECT_EQ(texts.Get(TextId::kInvalidDataType), "Invalid data type for '%s'");
  EXPECT_EQ(texts.Get(TextId::kReportTitle), "Application Error");

  EXPECT_EQ(fake.CallsOf(CallKind::kLanguageAbbreviation).size(), 1u);
  EXPECT_THAT(fake.TextsOf(CallKind::kOpenLanguageModule), ElementsAre("ENU", "EN"));
  // Each text is read once, from the program's own table.
  EXPECT_EQ(fake.CallsOf(CallKind::kLoadMessageText).size(), 2u);
}

TEST(MessageTextsTest, TheProgramsTableIsReadAndTheBuiltInTextStandsInWhenItCannotBe) {
  FakePlatform fake;
  fake.program_texts[1] = "Title from the table";
  fake.program_texts.erase(3);
  MessageTexts texts(fake);

  EXPECT_EQ(texts.Get(TextId::kReportTitle), "Title from the table");
  EXPECT_EQ(texts.Get(TextId::kInvalidDataType), "Invalid data type for '%s'");
}

struct ModuleCase {
  std::string label;
  std::string files;  // the language module's code, empty for none
  std::vector<std::string> tried;
  std::string title;
};

class LanguageModuleTest : public ::testing::TestWithParam<ModuleCase> {};

TEST_P(LanguageModuleTest, TheAbbreviationFirstThenItsFirstTwoLetters) {
  FakePlatform fake;
  fake.language_abbreviation = "DEU";
  if (!GetParam().files.empty()) fake.language_modules[GetParam().files] = kGerman;
  MessageTexts texts(fake);

  EXPECT_EQ(texts.Get(TextId::kReportTitle), GetParam().title);
  EXPECT_EQ(fake.TextsOf(CallKind::kOpenLanguageModule), GetParam().tried);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LanguageModuleTest,
    ::testing::Values(ModuleCase{"ThreeLetters", "DEU", {"DEU"}, "Anwendungsfehler"},
                      ModuleCase{"TwoLetters", "DE", {"DEU", "DE"}, "Anwendungsfehler"},
                      ModuleCase{"None", "", {"DEU", "DE"}, "Application Error"},
                      ModuleCase{"AnotherLanguage", "FRA", {"DEU", "DE"}, "Application Error"}),
    ByLabel());

TEST(MessageTextsTest, NoLanguageAbbreviationMeansNoModule) {
  FakePlatform fake;
  fake.language_abbreviation = "";
  MessageTexts texts(fake);
  EXPECT_EQ(texts.Get(TextId::kOutOfMemory), "Out of memory");
  EXPECT_THAT(fake.TextsOf(CallKind::kOpenLanguageModule), IsEmpty());
}

TEST(MessageTextsTest, EachTextTheModuleLacksOrCannotGiveIsTheProgramsOwn) {
  FakePlatform fake;
  fake.language_abbreviation = "DEU";
  fake.language_modules["DEU"] = {{1, "Anwendungsfehler"}, {5, std::string(600, 'x')}};
  MessageTexts texts(fake);

  EXPECT_EQ(texts.Get(TextId::kReportTitle), "Anwendungsfehler");
  EXPECT_EQ(texts.Get(TextId::kReportFormat), BuiltInText(TextId::kReportFormat));
  // Longer than the room for a text: not cut, but not used.
  EXPECT_EQ(texts.Get(TextId::kOutOfMemory), "Out of memory");
}

struct DirectiveCase {
  std::string built_in;
  std::string translated;
  bool same;
};

class DirectivesTest : public ::testing::TestWithParam<DirectiveCase> {};

TEST_P(DirectivesTest, MustMatchInKindNumberAndOrder) {
  EXPECT_EQ(SameDirectives(GetParam().translated, GetParam().built_in), GetParam().same)
      << GetParam().translated;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DirectivesTest,
    ::testing::Values(
        DirectiveCase{"Invalid data type for '%s'", "Ung\xfcltiger Typ: '%s'", true},
        DirectiveCase{"Invalid data type for '%s'", "'%s' hat 100%% den falschen Typ", true},
        DirectiveCase{"Invalid data type for '%s'", "Falscher Typ", false},
        DirectiveCase{"Invalid data type for '%s'", "'%s' und '%s'", false},
        DirectiveCase{"Invalid data type for '%s'", "'%d'", false},
        DirectiveCase{"Invalid data type for '%s'", "'%s'%n", false},
        DirectiveCase{"Invalid data type for '%s'", "'%s' %", false},
        DirectiveCase{"Exception %s in module %s at %p.\r\n%s%s\r\n",
                      "Ausnahme %s in %s bei %p: %s%s", true},
        DirectiveCase{"Exception %s in module %s at %p.\r\n%s%s\r\n",
                      "Ausnahme %s bei %p in %s: %s%s", false},
        DirectiveCase{"Application Error", "Fehler %s", false},
        DirectiveCase{"Application Error", "Fehler", true}));

TEST(MessageTextsTest, ATranslationWithOtherDirectivesIsIgnored) {
  FakePlatform fake;
  fake.language_abbreviation = "DEU";
  fake.language_modules["DEU"] = {{2, "Ausnahme %s in %s bei %p %n %s%s"},
                                  {3, "Falscher Typ: %s %s %s"}};
  MessageTexts texts(fake);

  EXPECT_EQ(texts.Get(TextId::kReportFormat), BuiltInText(TextId::kReportFormat));
  EXPECT_EQ(texts.Get(TextId::kInvalidDataType), BuiltInText(TextId::kInvalidDataType));
}

// The whole program with a German module beside it.
void SetGerman(FakePlatform& fake) {
  fake.language_abbreviation = "DEU";
  fake.language_modules["DEU"] = kGerman;
}

TEST(MessageTextsTest, TheReportIsInTheModulesLanguage) {
  FakePlatform fake;
  SetGerman(fake);
  fake.SetMappings({{"P:", win32::kRegDword, "\1\0\0\0"s}});

  EXPECT_EQ(RunProgram(fake), 1u);

  const std::vector<Call> boxes = fake.CallsOf(CallKind::kShowMessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text2, "Anwendungsfehler");
  EXPECT_THAT(boxes[0].text,
              ::testing::MatchesRegex("Ausnahme ERegistryException in Modul velistra\\.exe bei "
                                      "[0-9A-F]{8,16}\\.\r\nUng\xfcltiger Datentyp f\xfcr "
                                      "'P:'\\.\r\n"));
}

TEST(MessageTextsTest, OutOfMemoryIsReportedInTheModulesLanguageToo) {
  FakePlatform fake;
  SetGerman(fake);
  fake.SetMappings({{"P:", win32::kRegSz, Sz("D:\\A")}});

  AllocationFaults::Arm(1);
  EXPECT_EQ(RunProgram(fake), 1u);
  AllocationFaults::Disarm();

  const std::vector<Call> boxes = fake.CallsOf(CallKind::kShowMessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_THAT(boxes[0].text, ::testing::HasSubstr("Nicht gen\xfcgend Arbeitsspeicher."));
}

TEST(MessageTextsTest, ARunWithoutAnErrorLooksUpNoText) {
  FakePlatform fake;
  SetGerman(fake);
  fake.SetMappings({{"P:", win32::kRegSz, Sz("D:\\A")}});

  EXPECT_EQ(RunProgram(fake), 0u);

  for (const Call& call : fake.calls()) EXPECT_FALSE(IsTextLookup(call.kind));
}

}  // namespace
}  // namespace velistra::testing
