#include "fake/allocation_faults.h"

#include <cstdlib>
#include <new>

namespace velistra::testing {
namespace {

bool g_armed = false;
std::size_t g_fail_at = 0;
std::size_t g_count = 0;
bool g_failed = false;
int g_uncounted = 0;

}  // namespace

bool ShouldFailAllocation() {
  if (!g_armed || g_uncounted > 0) return false;
  ++g_count;
  if (g_fail_at != 0 && g_count == g_fail_at) {
    g_failed = true;
    return true;
  }
  return false;
}

void AllocationFaults::Arm(std::size_t fail_at) {
  g_armed = true;
  g_fail_at = fail_at;
  g_count = 0;
  g_failed = false;
}

void AllocationFaults::Disarm() { g_armed = false; }
std::size_t AllocationFaults::Count() { return g_count; }
bool AllocationFaults::Failed() { return g_failed; }

UncountedAllocations::UncountedAllocations() { ++g_uncounted; }
UncountedAllocations::~UncountedAllocations() { --g_uncounted; }

}  // namespace velistra::testing

// The replaceable allocation functions, all of them on malloc and free so
// that every new meets its own delete. Only the plain forms count and fail.
void* operator new(std::size_t size) {
  for (;;) {
    if (!velistra::testing::ShouldFailAllocation()) {
      if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    }
    const std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) throw std::bad_alloc();
    handler();
  }
}

void* operator new[](std::size_t size) { return operator new(size); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (...) {
    return nullptr;
  }
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
