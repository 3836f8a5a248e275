// Every allocation of a run, made to fail in turn: each must end the run by
// the error path, with the out-of-memory class in a single box.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "errors/raise.h"
#include "fake/allocation_faults.h"
#include "fake/fake_platform.h"
#include "platform/win32_values.h"

namespace velistra::testing {
namespace {

using ::testing::IsEmpty;
using ::testing::MatchesRegex;

void SetMappings(FakePlatform& fake) {
  fake.SetMappings({{"P:", win32::kRegSz, Sz("  D:\\First\\Folder\\With\\A\\Long\\Path\t")},
                    {"Settings", win32::kRegSz, Sz("not a drive")},
                    {"Q:", win32::kRegExpandSz, Sz("%USERPROFILE%\\Second")},
                    {"R:", win32::kRegSz, Sz("E:\\Third")}});
}

// Runs the program with the n-th allocation failing (0: none fails).
std::uint32_t RunFailingAllocation(FakePlatform& fake, std::size_t n) {
  AllocationFaults::Arm(n);
  const std::uint32_t exit_code = RunProgram(fake);
  AllocationFaults::Disarm();
  return exit_code;
}

bool IsPrefix(const std::vector<std::pair<std::string, std::string>>& part,
              const std::vector<std::pair<std::string, std::string>>& whole) {
  return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

TEST(OutOfMemoryTest, EveryFailedAllocationTakesTheErrorPath) {
  FakePlatform clean;
  SetMappings(clean);
  ASSERT_EQ(RunFailingAllocation(clean, 0), 0u);
  const std::size_t allocations = AllocationFaults::Count();
  ASSERT_GT(allocations, 3u) << "the run allocates its store, list and texts";

  for (std::size_t n = 1; n <= allocations; ++n) {
    SCOPED_TRACE("allocation " + std::to_string(n) + " of " + std::to_string(allocations));
    FakePlatform fake;
    SetMappings(fake);

    EXPECT_EQ(RunFailingAllocation(fake, n), 1u);
    EXPECT_TRUE(AllocationFaults::Failed());

    const std::vector<Call> filters = fake.CallsOf(CallKind::kConsultFilter);
    ASSERT_EQ(filters.size(), 1u) << fake.Trace();
    EXPECT_EQ(filters[0].number, kRaisedErrorCode);
    const std::vector<Call> boxes = fake.CallsOf(CallKind::kShowMessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_THAT(boxes[0].text, MatchesRegex("Exception EOutOfMemory in module velistra\\.exe at "
                                            "[0-9A-F]{8,16}\\.\r\nOut of memory\\.\r\n"));
    // Nothing is defined after the failing entry, and no key stays open.
    EXPECT_TRUE(IsPrefix(fake.Definitions(), clean.Definitions())) << fake.Trace();
    EXPECT_EQ(fake.OpenHandleCount(), 0u);
    EXPECT_EQ(fake.BadCloseCount(), 0u);
    // The guards ran after the filter and before the box.
    const auto& calls = fake.calls();
    const auto filter_at = std::find_if(calls.begin(), calls.end(), [](const Call& c) {
      return c.kind == CallKind::kConsultFilter;
    });
    for (auto it = calls.begin(); it != filter_at; ++it) EXPECT_NE(it->kind, CallKind::kCloseKey);
  }
}

TEST(OutOfMemoryTest, ANameBufferNoLengthCanExpressEndsInTheOutOfMemoryReport) {
  FakePlatform fake;
  // Doubled for the Far-Eastern locale, the longest name plus its
  // terminator no longer fits the API's 32-bit length.
  fake.SetMappings({{"P:", win32::kRegSz, Sz("D:\\A"), 0x80000000u}});
  fake.thread_locale = {0x11, true};

  EXPECT_EQ(RunProgram(fake), 1u);

  EXPECT_THAT(fake.CallsOf(CallKind::kEnumValueName), IsEmpty());
  const std::vector<Call> boxes = fake.CallsOf(CallKind::kShowMessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_THAT(boxes[0].text, MatchesRegex("Exception EOutOfMemory in module velistra\\.exe at "
                                          "[0-9A-F]{8,16}\\.\r\nOut of memory\\.\r\n"));
  EXPECT_EQ(fake.OpenHandleCount(), 0u);
}

TEST(OutOfMemoryTest, TheFilterCanTakeAnOutOfMemoryErrorToo) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  FakePlatform fake;
  SetMappings(fake);
  fake.filter_answer = win32::kExceptionContinueSearch;

  EXPECT_EXIT(RunFailingAllocation(fake, 2),
              ::testing::ExitedWithCode(FakePlatform::kLeftToSystemExitCode),
              "UnhandledExceptionFilter[^\n]*\nRaiseException[^\n]*\n$");
}

TEST(OutOfMemoryTest, TheNewHandlerIsOnlyOursDuringTheRun) {
  FakePlatform fake;
  SetMappings(fake);
  const std::new_handler before = std::get_new_handler();
  RunProgram(fake);
  EXPECT_EQ(std::get_new_handler(), before);
  EXPECT_THAT(fake.CallsOf(CallKind::kShowMessageBox), IsEmpty());
}

}  // namespace
}  // namespace velistra::testing
