// A frame allocates nothing: every global allocation in the test program is counted.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "device/soft/soft_device.h"
#include "run_support.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size != 0 ? size : 1)) {
    return p;
  }
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace tavrik {
namespace {

TEST(FrameAllocationTest, FramesOnTheSoftwareDeviceAllocateNothing) {
  for (int32_t clouds : {1, 0}) {
    SoftDevice device(nullptr);
    SteppedTimer timer(60000, 16);
    static tavrik::Run run;
    ASSERT_TRUE(testing::startTestRun(run, device, timer, 5, kFormationTriangle, clouds));
    const long before = allocations.load();
    for (int f = 0; f < 300; ++f) {
      runFrame(run, device, timer);
    }
    EXPECT_EQ(allocations.load() - before, 0);
    endRun(device);
  }
}

}  // namespace
}  // namespace tavrik
