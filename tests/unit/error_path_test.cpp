// A mapping that cannot be read: the filter first, then the guards, then one
// box, then exit code 1; or, when the filter wants the error, the system's
// end of the process with nothing of ours run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "errors/messages.h"
#include "errors/raise.h"
#include "fake/fake_platform.h"
#include "unit/param_label.h"
#include "mapping_run/error_report.h"
#include "platform/win32_values.h"
#include "text/format.h"

namespace velistra::testing {
namespace {

using namespace std::string_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;
using Definition = std::pair<std::string, std::string>;

// Calls from the first filter consultation to the end, text lookups left
// out.
std::vector<CallKind> KindsFromFilter(const FakePlatform& fake) {
  std::vector<CallKind> kinds;
  bool seen = false;
  for (const Call& call : fake.calls()) {
    seen = seen || call.kind == CallKind::kConsultFilter;
    if (seen && !IsTextLookup(call.kind)) kinds.push_back(call.kind);
  }
  return kinds;
}

std::string Hex8(CodeAddress value) { return FormatText("%p", {FormatArg::Position(value)}); }

// P: is fine, Q: is a DWORD, R: is fine but comes after it.
void SetThreeMappingsWithABadSecond(FakePlatform& fake) {
  fake.SetMappings({{"P:", win32::kRegSz, Sz("D:\\First")},
                    {"Q:", win32::kRegDword, "\x2A\0\0\0"s},
                    {"R:", win32::kRegSz, Sz("D:\\Third")}});
}

TEST(ErrorPathTest, AValueOfTheWrongTypeEndsThePassWithOneBoxAndExitCodeOne) {
  FakePlatform fake;
  SetThreeMappingsWithABadSecond(fake);

  EXPECT_EQ(RunProgram(fake), 1u);

  EXPECT_THAT(fake.Definitions(), ElementsAre(Definition{"P:", "D:\\First"}));
  EXPECT_THAT(KindsFromFilter(fake),
              ElementsAre(CallKind::kConsultFilter, CallKind::kCloseKey,
                          CallKind::kModuleContaining, CallKind::kShowMessageBox,
                          CallKind::kExitProcess))
      << fake.Trace();
  // R: is never read.
  for (const Call& query : fake.CallsOf(CallKind::kQueryValue)) EXPECT_NE(query.text, "R:");

  const Call filter = fake.CallsOf(CallKind::kConsultFilter).at(0);
  EXPECT_EQ(filter.number, kRaisedErrorCode);
  const Call box = fake.CallsOf(CallKind::kShowMessageBox).at(0);
  EXPECT_EQ(box.text, "Exception ERegistryException in module velistra.exe at " +
                          Hex8(filter.address - FakePlatform::kModuleBase) +
                          ".\r\nInvalid data type for 'Q:'.\r\n");
  EXPECT_EQ(box.text2, "Application Error");
  EXPECT_EQ(box.number, 0x2010u);
  EXPECT_EQ(fake.CallsOf(CallKind::kModuleContaining).at(0).address, filter.address);
  EXPECT_EQ(fake.OpenHandleCount(), 0u);
}

struct ErrorCase {
  std::string label;
  std::function<void(FakePlatform&)> setup;
  std::string message;
};

class ErrorCauseTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ErrorCauseTest, TheBoxCarriesTheMessageWithItsPeriod) {
  FakePlatform fake;
  GetParam().setup(fake);

  EXPECT_EQ(RunProgram(fake), 1u);

  const std::vector<Call> boxes = fake.CallsOf(CallKind::kShowMessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_THAT(boxes[0].text,
              MatchesRegex("Exception ERegistryException in module velistra\\.exe at "
                           "[0-9A-F]{8,16}\\.\r\n" +
                           GetParam().message + "\\.\r\n"));
  EXPECT_THAT(fake.Definitions(), IsEmpty());
  EXPECT_EQ(fake.OpenHandleCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, ErrorCauseTest,
    ::testing::Values(
        ErrorCase{"Binary",
                  [](FakePlatform& f) { f.SetMappings({{"P:", win32::kRegBinary, "\x01"}}); },
                  "Invalid data type for 'P:'"},
        ErrorCase{"MultiSz",
                  [](FakePlatform& f) {
                    f.SetMappings({{"X:", win32::kRegMultiSz, "D:\\A\0\0"s}});
                  },
                  "Invalid data type for 'X:'"},
        ErrorCase{"VanishedBetweenQueries",
                  [](FakePlatform& f) {
                    f.SetMappings({{"P:", win32::kRegSz, Sz("D:\\A")}});
                    f.after_call = [&f](const Call& call) {
                      if (call.kind == CallKind::kQueryValue && !call.with_buffer) {
                        f.DeleteValue(kMappingsKey, "P:");
                      }
                    };
                  },
                  "Failed to get data for 'P:'"},
        ErrorCase{"GrewBetweenQueries",
                  [](FakePlatform& f) {
                    f.SetMappings({{"P:", win32::kRegSz, Sz("D:\\A")}});
                    f.after_call = [&f](const Call& call) {
                      if (call.kind == CallKind::kQueryValue && !call.with_buffer) {
                        f.SetValue(kMappingsKey, {"P:", win32::kRegSz, Sz("D:\\A\\Longer")});
                      }
                    };
                  },
                  "Failed to get data for 'P:'"}),
    ByLabel());

// The code position of the error shown in a box.
std::string PositionShown(FakePlatform& fake) {
  const std::string text = fake.CallsOf(CallKind::kShowMessageBox).at(0).text;
  const std::size_t at = text.find(" at ") + 4;
  return text.substr(at, text.find('.', at) - at);
}

TEST(ErrorPathTest, ThePositionNamesTheRaisingCodeTheSameOnEveryRun) {
  FakePlatform first;
  FakePlatform second;
  FakePlatform other_cause;
  SetThreeMappingsWithABadSecond(first);
  SetThreeMappingsWithABadSecond(second);
  other_cause.SetMappings({{"Q:", win32::kRegSz, Sz("D:\\A")}});
  other_cause.after_call = [&other_cause](const Call& call) {
    if (call.kind == CallKind::kQueryValue && !call.with_buffer) {
      other_cause.DeleteValue(kMappingsKey, "Q:");
    }
  };

  ASSERT_EQ(RunProgram(first), 1u);
  ASSERT_EQ(RunProgram(second), 1u);
  ASSERT_EQ(RunProgram(other_cause), 1u);

  EXPECT_EQ(PositionShown(first), PositionShown(second));
  EXPECT_NE(PositionShown(first), PositionShown(other_cause));
}

struct AnswerCase {
  std::int32_t answer;
  std::uint32_t boxes;
};

class FilterAnswerTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(FilterAnswerTest, AnAnswerThatLeavesTheErrorToUsShowsTheBox) {
  FakePlatform fake;
  SetThreeMappingsWithABadSecond(fake);
  fake.filter_answer = GetParam().answer;

  EXPECT_EQ(RunProgram(fake), 1u);
  EXPECT_EQ(fake.CallsOf(CallKind::kShowMessageBox).size(), GetParam().boxes);
}

INSTANTIATE_TEST_SUITE_P(Answers, FilterAnswerTest,
                         ::testing::Values(AnswerCase{win32::kExceptionExecuteHandler, 1},
                                           AnswerCase{win32::kExceptionContinueExecution, 1}));

using ErrorPathDeathTest = ::testing::Test;

TEST_F(ErrorPathDeathTest, WhenTheFilterWantsTheErrorNoGuardRunsAndNoBoxIsShown) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  FakePlatform fake;
  SetThreeMappingsWithABadSecond(fake);
  fake.filter_answer = win32::kExceptionContinueSearch;

  // The trace the fake prints as the process ends: the data query of Q:,
  // the filter, the hand-over to the system, and nothing after.
  EXPECT_EXIT(RunProgram(fake), ::testing::ExitedWithCode(FakePlatform::kLeftToSystemExitCode),
              "DefineDosDeviceA[^\n]*text=\"P:\"[^\n]*\n"
              "RegQueryValueExA[^\n]*text=\"Q:\"[^\n]*\n"
              "RegQueryValueExA[^\n]*text=\"Q:\"[^\n]*\n"
              "((GetLocaleInfoA|LoadLibraryExW|LoadString)[^\n]*\n)*"
              "UnhandledExceptionFilter[^\n]*number=e0564c53[^\n]*\n"
              "RaiseException[^\n]*number=e0564c53[^\n]*\n$");
}

struct PeriodCase {
  std::string message;
  std::string ending;  // what follows the message
};

class PeriodRuleTest : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(PeriodRuleTest, AddsAPeriodOnlyToATextWithoutOne) {
  char text[256];
  FormatErrorReport(text, BuiltInText(TextId::kReportFormat),
                    {"EClass", "prog.exe", 0x1A2B, GetParam().message});
  EXPECT_EQ(std::string(text), "Exception EClass in module prog.exe at 00001A2B.\r\n" +
                                   GetParam().message + GetParam().ending + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(Messages, PeriodRuleTest,
                         ::testing::Values(PeriodCase{"Out of memory", "."},
                                           PeriodCase{"Done.", ""}, PeriodCase{"", ""},
                                           PeriodCase{"Why?", "."}, PeriodCase{"Wait...", ""},
                                           // Text in the message is never a directive.
                                           PeriodCase{"%s %n %p", "."}));

TEST(ErrorReportTest, AReportThatDoesNotFitIsCutNotOverrun) {
  const std::string long_message(5000, 'm');
  char text[64];
  const std::size_t length =
      FormatErrorReport(text, BuiltInText(TextId::kReportFormat),
                        {"EClass", "prog.exe", 0x10, long_message});
  EXPECT_GT(length, sizeof(text));
  EXPECT_EQ(std::string(text).size(), sizeof(text) - 1);
}

}  // namespace
}  // namespace velistra::testing
