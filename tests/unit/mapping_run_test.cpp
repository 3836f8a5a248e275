// The whole program against the fake: what it defines, in which order, and
// what it releases, when every mapping can be read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fake/fake_platform.h"
#include "unit/param_label.h"
#include "platform/win32_values.h"

namespace velistra::testing {
namespace {

using namespace std::string_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Definition = std::pair<std::string, std::string>;

std::vector<CallKind> KindsOf(const std::vector<Call>& calls) {
  std::vector<CallKind> kinds;
  for (const Call& call : calls) kinds.push_back(call.kind);
  return kinds;
}

TEST(MappingRunTest, DefinesEachDriveInListOrderReadingJustBeforeDefining) {
  FakePlatform fake;
  fake.SetMappings({{"P:", win32::kRegSz, Sz("  D:\\Work\\\t")},
                    {"Notes", win32::kRegSz, Sz("not a drive")},
                    {"Q:", win32::kRegExpandSz, Sz("%USERPROFILE%\\Data")}});

  EXPECT_EQ(RunProgram(fake), 0u);

  EXPECT_THAT(fake.Definitions(), ElementsAre(Definition{"P:", "D:\\Work\\"},
                                              Definition{"Q:", "%USERPROFILE%\\Data"}));
  EXPECT_THAT(KindsOf(fake.calls()),
              ElementsAre(CallKind::kOpenKey, CallKind::kQueryInfoKey, CallKind::kThreadLocale,
                          CallKind::kEnumValueName, CallKind::kEnumValueName,
                          CallKind::kEnumValueName,
                          CallKind::kQueryValue, CallKind::kQueryValue, CallKind::kDefineDosDevice,
                          CallKind::kQueryValue, CallKind::kQueryValue, CallKind::kDefineDosDevice,
                          CallKind::kCloseKey, CallKind::kExitProcess))
      << fake.Trace();
  for (const Call& define : fake.CallsOf(CallKind::kDefineDosDevice)) {
    EXPECT_EQ(define.number, 0u) << "flags";
  }
  EXPECT_EQ(fake.OpenHandleCount(), 0u);
  EXPECT_EQ(fake.BadCloseCount(), 0u);
}

struct NameCase {
  std::string name;
  bool defined;
};

class DriveNameFilterTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(DriveNameFilterTest, NamesThatAreNoDriveAreNeverRead) {
  FakePlatform fake;
  fake.SetMappings({{GetParam().name, win32::kRegSz, Sz("D:\\Folder")}});

  EXPECT_EQ(RunProgram(fake), 0u);

  if (GetParam().defined) {
    EXPECT_THAT(fake.Definitions(), ElementsAre(Definition{GetParam().name, "D:\\Folder"}));
  } else {
    EXPECT_THAT(fake.Definitions(), IsEmpty());
    EXPECT_THAT(fake.CallsOf(CallKind::kQueryValue), IsEmpty());
  }
  EXPECT_THAT(fake.CallsOf(CallKind::kShowMessageBox), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Names, DriveNameFilterTest,
    ::testing::Values(NameCase{"P:", true}, NameCase{"A:", true}, NameCase{"Z:", true},
                      NameCase{"p:", false}, NameCase{"1:", false}, NameCase{"P", false},
                      NameCase{"P:\\", false}, NameCase{"PP", false}, NameCase{"", false},
                      NameCase{"\xC4:", false}));

struct TargetCase {
  std::string label;
  std::uint32_t type;
  std::string data;
  std::vector<Definition> definitions;
};

class TargetTest : public ::testing::TestWithParam<TargetCase> {};

TEST_P(TargetTest, DefinesTheTrimmedTextUnchangedOrNothingWhenEmpty) {
  FakePlatform fake;
  fake.SetMappings({{"P:", GetParam().type, GetParam().data}});

  EXPECT_EQ(RunProgram(fake), 0u);

  EXPECT_EQ(fake.Definitions(), GetParam().definitions);
  EXPECT_THAT(fake.CallsOf(CallKind::kShowMessageBox), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Targets, TargetTest,
    ::testing::Values(
        TargetCase{"TrailingBackslashStays", win32::kRegSz, Sz("  D:\\Work\\\t"),
                   {{"P:", "D:\\Work\\"}}},
        TargetCase{"NoBreakSpaceStays", win32::kRegSz, Sz("D:\\A\xA0"), {{"P:", "D:\\A\xA0"}}},
        TargetCase{"NotMadeAbsolute", win32::kRegSz, Sz("relative\\folder"),
                   {{"P:", "relative\\folder"}}},
        TargetCase{"NotExpanded", win32::kRegExpandSz, Sz("%SystemRoot%\\Temp"),
                   {{"P:", "%SystemRoot%\\Temp"}}},
        TargetCase{"NotTestedForExistence", win32::kRegSz, Sz("Q:\\does\\not\\exist"),
                   {{"P:", "Q:\\does\\not\\exist"}}},
        TargetCase{"CutAtNul", win32::kRegSz, " D:\\A \0 E:\\B"s, {{"P:", "D:\\A"}}},
        TargetCase{"OnlyBlanks", win32::kRegSz, Sz("  \t \r\n "), {}},
        TargetCase{"OnlyNul", win32::kRegSz, "\0"s, {}},
        TargetCase{"NoData", win32::kRegSz, "", {}},
        TargetCase{"BinaryNoData", win32::kRegBinary, "", {}}),
    ByLabel());

struct QuietCase {
  std::string label;
  std::function<void(FakePlatform&)> setup;
};

class QuietEndTest : public ::testing::TestWithParam<QuietCase> {};

TEST_P(QuietEndTest, DefinesNothingShowsNothingAndExitsWithZero) {
  FakePlatform fake;
  GetParam().setup(fake);

  EXPECT_EQ(RunProgram(fake), 0u);

  EXPECT_THAT(fake.Definitions(), IsEmpty());
  EXPECT_THAT(fake.CallsOf(CallKind::kShowMessageBox), IsEmpty());
  EXPECT_THAT(fake.CallsOf(CallKind::kConsultFilter), IsEmpty());
  EXPECT_EQ(fake.OpenHandleCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QuietEndTest,
    ::testing::Values(
        QuietCase{"KeyMissing", [](FakePlatform&) {}},
        QuietCase{"KeyDenied", [](FakePlatform& f) { f.DenyAccess(kMappingsKey); }},
        QuietCase{"KeyEmpty", [](FakePlatform& f) { f.SetMappings({}); }},
        QuietCase{"NoDriveNames",
                  [](FakePlatform& f) {
                    f.SetMappings({{"", win32::kRegDword, "\1\0\0\0"s},
                                   {"Settings", win32::kRegBinary, "\xFF"}});
                  }},
        QuietCase{"KeyQueryFails",
                  [](FakePlatform& f) {
                    f.SetMappings({{"P:", win32::kRegSz, Sz("D:\\A")}});
                    f.query_info_failure = win32::kErrorAccessDenied;
                  }},
        QuietCase{"ValueDeletedAfterListing",
                  [](FakePlatform& f) {
                    f.SetMappings({{"P:", win32::kRegSz, Sz("D:\\A")}});
                    f.after_call = [&f](const Call& call) {
                      if (call.kind == CallKind::kEnumValueName) f.DeleteValue(kMappingsKey, "P:");
                    };
                  }}),
    ByLabel());

TEST(MappingRunTest, AMissingKeyIsNeitherListedNorClosed) {
  FakePlatform fake;
  EXPECT_EQ(RunProgram(fake), 0u);
  EXPECT_THAT(KindsOf(fake.calls()), ElementsAre(CallKind::kOpenKey, CallKind::kExitProcess));
}

TEST(MappingRunTest, AFailedDefinitionDoesNotStopThePass) {
  FakePlatform fake;
  fake.define_result = false;
  fake.SetMappings({{"P:", win32::kRegSz, Sz("D:\\A")}, {"Q:", win32::kRegSz, Sz("D:\\B")}});

  EXPECT_EQ(RunProgram(fake), 0u);

  EXPECT_THAT(fake.Definitions(), ElementsAre(Definition{"P:", "D:\\A"}, Definition{"Q:", "D:\\B"}));
  EXPECT_THAT(fake.CallsOf(CallKind::kShowMessageBox), IsEmpty());
}

TEST(MappingRunTest, AnIndexThatFailsToEnumerateDefinesNoDriveTwice) {
  FakePlatform fake;
  fake.SetMappings({{"P:", win32::kRegSz, Sz("D:\\A")},
                    {"Q:", win32::kRegSz, Sz("D:\\B")},
                    {"R:", win32::kRegSz, Sz("D:\\C")}});
  fake.enum_failures[1] = win32::kErrorMoreData;

  EXPECT_EQ(RunProgram(fake), 0u);

  EXPECT_THAT(fake.Definitions(), ElementsAre(Definition{"P:", "D:\\A"}, Definition{"R:", "D:\\C"}));
  EXPECT_THAT(fake.TextsOf(CallKind::kQueryValue), ElementsAre("P:", "P:", "R:", "R:"));
}

TEST(MappingRunTest, EveryStartDefinesEveryDriveAgain) {
  FakePlatform fake;
  fake.SetMappings({{"P:", win32::kRegSz, Sz("D:\\A")}});

  EXPECT_EQ(RunProgram(fake), 0u);
  EXPECT_EQ(RunProgram(fake), 0u);

  // Nothing is looked up before defining, and nothing is ever removed.
  EXPECT_THAT(fake.Definitions(), ElementsAre(Definition{"P:", "D:\\A"}, Definition{"P:", "D:\\A"}));
}

}  // namespace
}  // namespace velistra::testing
