// Trimming, the drive-name test and the message formatter.
#include <gtest/gtest.h>

#include <string>

#include "mapping_run/drive_name.h"
#include "text/format.h"
#include "text/trim.h"

namespace velistra {
namespace {

using namespace std::string_literals;

struct TrimCase {
  std::string input;
  std::string expected;
};

class TrimTest : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimTest, RemovesControlsAndSpaceAtBothEndsOnly) {
  EXPECT_EQ(Trim(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrimTest,
    ::testing::Values(TrimCase{"  D:\\Work\\\t", "D:\\Work\\"}, TrimCase{"", ""},
                      TrimCase{" \t\r\n  ", ""}, TrimCase{"\x01\x1F x \x1F\x01", "x"},
                      TrimCase{"\0D:\\A\0"s, "D:\\A"},
                      // Inner blanks and controls stay.
                      TrimCase{" D:\\My Work\tFiles ", "D:\\My Work\tFiles"},
                      // 0x21 and up stay, 0x7F and 0xA0 (no-break space) included.
                      TrimCase{"D:\\A\xA0", "D:\\A\xA0"}, TrimCase{"\x7F" "a\x7F", "\x7F" "a\x7F"},
                      TrimCase{"\x80\xFF", "\x80\xFF"}, TrimCase{"!x!", "!x!"}));

struct DriveNameCase {
  std::string name;
  bool is_drive;
};

class DriveNameTest : public ::testing::TestWithParam<DriveNameCase> {};

TEST_P(DriveNameTest, AcceptsOnlyUpperCaseLetterAndColon) {
  EXPECT_EQ(IsDriveName(GetParam().name), GetParam().is_drive) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DriveNameTest,
    ::testing::Values(DriveNameCase{"P:", true}, DriveNameCase{"A:", true},
                      DriveNameCase{"Z:", true}, DriveNameCase{"p:", false},
                      DriveNameCase{"1:", false}, DriveNameCase{"P", false},
                      DriveNameCase{"P:\\", false}, DriveNameCase{"PP", false},
                      DriveNameCase{"", false}, DriveNameCase{"\xC4:", false},
                      // The bytes either side of A-Z.
                      DriveNameCase{"@:", false}, DriveNameCase{"[:", false},
                      DriveNameCase{"P;", false}, DriveNameCase{":P", false},
                      DriveNameCase{"P:\0"s, false}));

struct FormatCase {
  std::string format;
  std::string expected;
};

class FormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatTest, FillsDirectivesInOrder) {
  EXPECT_EQ(FormatText(GetParam().format,
                       {FormatArg::Of("one"), FormatArg::Position(0x4A2F), FormatArg::Of("two")}),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatTest,
    ::testing::Values(FormatCase{"a %s b %p c %s", "a one b 00004A2F c two"},
                      FormatCase{"100%%", "100%"},
                      // A directive whose argument is of the other kind, or
                      // missing, writes nothing.
                      FormatCase{"%p", ""}, FormatCase{"%s %s %s %s", "one  two "},
                      // Directives it does not know are not interpreted.
                      FormatCase{"%d %n %x", "%d %n %x"}, FormatCase{"end %", "end %"}));

TEST(FormatTest, ArgumentsAreNeverFormats) {
  EXPECT_EQ(FormatText("Invalid data type for '%s'", {FormatArg::Of("%s%n%p%%")}),
            "Invalid data type for '%s%n%p%%'");
}

TEST(FormatTest, PositionsHaveAtLeastEightUpperCaseDigits) {
  EXPECT_EQ(FormatText("%p", {FormatArg::Position(0)}), "00000000");
  EXPECT_EQ(FormatText("%p", {FormatArg::Position(0xDEADBEEF)}), "DEADBEEF");
  if constexpr (sizeof(std::uintptr_t) > 4) {
    EXPECT_EQ(FormatText("%p", {FormatArg::Position(std::uintptr_t{0xF} << 32)}), "F00000000");
  }
}

TEST(FormatTest, BoundedOutputIsCutAndTerminated) {
  char out[8];
  const std::size_t length = FormatInto(out, "a %s!", {FormatArg::Of("longer text")});
  EXPECT_EQ(length, std::string("a longer text!").size());
  EXPECT_STREQ(out, "a longe");

  char one[1] = {'x'};
  EXPECT_EQ(FormatInto(one, "%s", {FormatArg::Of("abc")}), 3u);
  EXPECT_EQ(one[0], '\0');
  EXPECT_EQ(FormatInto({}, "%s", {FormatArg::Of("abc")}), 3u);
}

}  // namespace
}  // namespace velistra
