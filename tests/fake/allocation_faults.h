// Makes the program's n-th allocation fail, through the test binary's own
// global operator new, which follows the standard's new-handler loop.
#pragma once

#include <cstddef>

namespace velistra::testing {

class AllocationFaults {
 public:
  // Counts allocations from now on; the `fail_at`-th (1-based) fails once.
  // 0 only counts.
  static void Arm(std::size_t fail_at);
  // Stops counting and failing.
  static void Disarm();
  // Allocations counted since Arm.
  static std::size_t Count();
  // True once the armed allocation has failed.
  static bool Failed();
};

// The replaced operator new asks this before each allocation.
bool ShouldFailAllocation();

// While alive, allocations are neither counted nor failed: the fake's own
// bookkeeping is not the program's.
class UncountedAllocations {
 public:
  UncountedAllocations();
  ~UncountedAllocations();
  UncountedAllocations(const UncountedAllocations&) = delete;
  UncountedAllocations& operator=(const UncountedAllocations&) = delete;
};

}  // namespace velistra::testing
