// Counting semaphores and the global queue, as the reminder fetch uses
// them to hand results back to the main thread.

#include <Foundation/dispatch.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <vector>

namespace {

TEST(DispatchSemaphore, CountsAndTimesOut) {
  auto sem = dispatch_semaphore_create(2);
  EXPECT_EQ(dispatch_semaphore_wait(sem, DISPATCH_TIME_NOW), 0);
  EXPECT_EQ(dispatch_semaphore_wait(sem, DISPATCH_TIME_NOW), 0);
  EXPECT_NE(dispatch_semaphore_wait(sem, DISPATCH_TIME_NOW), 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_NE(dispatch_semaphore_wait(sem, dispatch_time(DISPATCH_TIME_NOW, NSEC_PER_SEC / 20)), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(45));
  dispatch_semaphore_signal(sem);
  EXPECT_EQ(dispatch_semaphore_wait(sem, DISPATCH_TIME_FOREVER), 0);
  EXPECT_FALSE(dispatch_semaphore_create(-1));
}

TEST(DispatchSemaphore, BackgroundWorkSignalsAWaitingThread) {
  auto sem = dispatch_semaphore_create(0);
  std::vector<int> results;  // handed over through the semaphore alone
  dispatch_async_global([&] {
    results = {1, 2, 3};
    dispatch_semaphore_signal(sem);
  });
  EXPECT_EQ(dispatch_semaphore_wait(sem, DISPATCH_TIME_FOREVER), 0);
  EXPECT_EQ(results, (std::vector<int>{1, 2, 3}));
}

TEST(DispatchGlobalQueue, WorkThatWaitsOnOtherWorkDoesNotDeadlock) {
  auto done = dispatch_semaphore_create(0);
  std::atomic<int> count{0};
  for (int i = 0; i < 8; ++i) {
    dispatch_async_global([&, i] {
      auto inner = dispatch_semaphore_create(0);
      dispatch_async_global([&, inner] {
        ++count;
        dispatch_semaphore_signal(inner);
      });
      dispatch_semaphore_wait(inner, DISPATCH_TIME_FOREVER);
      ++count;
      dispatch_semaphore_signal(done);
    });
  }
  for (int i = 0; i < 8; ++i)
    ASSERT_EQ(dispatch_semaphore_wait(done, dispatch_time(DISPATCH_TIME_NOW, 10 * NSEC_PER_SEC)), 0);
  EXPECT_EQ(count.load(), 16);
}

TEST(DispatchTimeTest, Arithmetic) {
  EXPECT_EQ(dispatch_time(DISPATCH_TIME_FOREVER, 5), DISPATCH_TIME_FOREVER);
  EXPECT_EQ(dispatch_time(1000, 500), 1500u);
  EXPECT_EQ(dispatch_time(1000, -400), 600u);
  EXPECT_EQ(dispatch_time(1000, -5000), 1u);
  EXPECT_GT(dispatch_time(DISPATCH_TIME_NOW, 0), 0u);
}

}  // namespace
