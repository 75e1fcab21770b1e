// The main run loop on the simulated clock: timers fire at their time, in
// order, never early; performs reach runtime objects.

#include <Foundation/DeviceClock.h>
#include <Foundation/NSDate.h>
#include <Foundation/NSRunLoop.h>
#include <Foundation/NSString.h>
#include <objc/ClassBuilder.h>

#include <gtest/gtest.h>

#include <thread>

#include "TempRoot.h"

namespace {

std::vector<std::pair<std::string, double>> events;

void note(std::string what) { events.emplace_back(std::move(what), foundation::DeviceClock::now()); }

class Pinger : public NSObject {
 public:
  static Class classObject();
  static inline int alive = 0;
  Pinger() { ++alive; }
  ~Pinger() override { --alive; }
  void ping(id arg) { note("ping " + (arg ? arg->descriptionString() : std::string("nil"))); }
  void tick() { note("tick"); }
  int64_t answer(id) {
    note("answer");
    return 42;
  }
  void twoArgs(id, id) { note("twoArgs"); }
};

Class Pinger::classObject() {
  static Class cls = objc::ClassBuilder<Pinger, NSObject>("TestPinger")
                         .method<&Pinger::ping>("ping:")
                         .method<&Pinger::tick>("tick")
                         .method<&Pinger::answer>("answer:")
                         .method<&Pinger::twoArgs>("two:args:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(Pinger);

class NSRunLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    events.clear();
    loop.cancelAll();
    foundation::DeviceClock::setSimulated(1000);
  }
  void TearDown() override { loop.cancelAll(); }
  NSRunLoop& loop = *NSRunLoop::mainRunLoop();
};

TEST_F(NSRunLoopTest, AFiveSecondTimerFiresAtFiveSecondsNotBefore) {
  loop.scheduleAfter(5.0, [] { note("removeCustomBulletins"); });
  loop.advanceBy(4.9);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(loop.pendingTimers(), 1u);
  loop.advanceBy(0.1);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_DOUBLE_EQ(events[0].second, 1005.0);
  EXPECT_EQ(loop.pendingTimers(), 0u);
}

TEST_F(NSRunLoopTest, TimersFireInTimeOrderWithTheClockAtTheirTime) {
  loop.scheduleAfter(3, [] { note("c"); });
  loop.scheduleAfter(1, [] { note("a"); });
  loop.scheduleAfter(2, [] { note("b1"); });
  loop.scheduleAfter(2, [] { note("b2"); });
  loop.advanceBy(10);
  const std::vector<std::pair<std::string, double>> expected{{"a", 1001}, {"b1", 1002}, {"b2", 1002}, {"c", 1003}};
  EXPECT_EQ(events, expected);
  EXPECT_DOUBLE_EQ(foundation::DeviceClock::now(), 1010);
}

TEST_F(NSRunLoopTest, TimersSetByATimerFireWithinTheSameAdvance) {
  loop.scheduleAfter(1, [this] {
    note("first");
    loop.scheduleAfter(2, [] { note("second"); });
    loop.scheduleAfter(20, [] { note("late"); });
  });
  loop.advanceBy(5);
  const std::vector<std::pair<std::string, double>> expected{{"first", 1001}, {"second", 1003}};
  EXPECT_EQ(events, expected);
  EXPECT_EQ(loop.pendingTimers(), 1u);
}

TEST_F(NSRunLoopTest, RunPendingRunsOnlyWhatIsDue) {
  loop.scheduleAfter(0, [] { note("now"); });
  loop.scheduleAfter(1, [] { note("later"); });
  loop.enqueue([] { note("queued"); });
  loop.runPending();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].first, "queued");
  EXPECT_EQ(events[1].first, "now");
}

TEST_F(NSRunLoopTest, ATimerThatReschedulesItselfDoesNotSpin) {
  int runs = 0;
  std::function<void()> again = [&] {
    ++runs;
    loop.scheduleAfter(0, again);
  };
  loop.scheduleAfter(0, again);
  loop.runPending();
  EXPECT_EQ(runs, 1);
  loop.runPending();
  EXPECT_EQ(runs, 2);
}

TEST_F(NSRunLoopTest, WorkQueuedFromOtherThreadsAllRuns) {
  std::atomic<int> done{0};
  std::vector<std::thread> threads;
  threads.reserve(4);
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 100; ++i) loop.enqueue([&] { ++done; });
    });
  for (auto& t : threads) t.join();
  loop.runPending();
  EXPECT_EQ(done.load(), 400);
}

TEST_F(NSRunLoopTest, PerformSelectorAfterDelayIsARuntimeMethodOfEveryObject) {
  Method m = class_getInstanceMethod(Pinger::classObject(), SEL_("performSelector:withObject:afterDelay:"));
  ASSERT_TRUE(m);
  EXPECT_STREQ(method_getTypeEncoding(m), "v@::@d");
  auto p = objc::alloc<Pinger>();
  objc::msg<void>(p, SEL_("performSelector:withObject:afterDelay:"), SEL_("ping:"), id(NSStr("x")), 5.0);
  objc::msg<void>(p, SEL_("performSelector:withObject:afterDelay:"), SEL_("tick"), id(NSStr("ignored")), 1.0);
  objc::msg<void>(p, SEL_("performSelector:withObject:afterDelay:"), SEL_("answer:"), id(), 2.0);
  loop.advanceBy(4.9);
  loop.advanceBy(0.1);
  const std::vector<std::pair<std::string, double>> expected{{"tick", 1001}, {"answer", 1002}, {"ping x", 1005}};
  EXPECT_EQ(events, expected);
}

TEST_F(NSRunLoopTest, TheRunLoopKeepsTheTargetAlive) {
  {
    auto p = objc::alloc<Pinger>();
    foundation::performSelectorAfterDelay(p, SEL_("tick"), nullptr, 1);
  }
  EXPECT_EQ(Pinger::alive, 1);
  loop.advanceBy(1);
  EXPECT_EQ(events.size(), 1u);
  EXPECT_EQ(Pinger::alive, 0);
}

TEST_F(NSRunLoopTest, PerformsThatCannotBeMadeAreLoggedOrRaised) {
  LogCapture log;
  auto p = objc::alloc<Pinger>();
  foundation::performSelectorAfterDelay(p, SEL_("two:args:"), nullptr, 0);
  loop.runPending();
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(log->contains("two:args:"));
  foundation::performSelectorAfterDelay(p, SEL_("noSuchMethod"), nullptr, 0);
  EXPECT_THROW(loop.runPending(), objc::RuntimeError);  // as the device would crash
}

TEST_F(NSRunLoopTest, PerformOnMainThreadWaitsUntilTheMainThreadRanIt) {
  Method m =
      class_getInstanceMethod(Pinger::classObject(), SEL_("performSelectorOnMainThread:withObject:waitUntilDone:"));
  ASSERT_TRUE(m);
  EXPECT_STREQ(method_getTypeEncoding(m), "v@::@B");
  auto p = objc::alloc<Pinger>();
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    objc::msg<void>(p, SEL_("performSelectorOnMainThread:withObject:waitUntilDone:"), SEL_("ping:"), id(NSStr("w")),
                    true);
    returned = true;
  });
  while (!returned) loop.runPending();
  worker.join();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].first, "ping w");
  // On the main thread itself it runs at once.
  objc::msg<void>(p, SEL_("performSelectorOnMainThread:withObject:waitUntilDone:"), SEL_("tick"), id(), true);
  EXPECT_EQ(events.size(), 2u);
  foundation::performSelectorOnMainThread(p, SEL_("tick"), nullptr);
  EXPECT_EQ(events.size(), 2u);
  loop.runPending();
  EXPECT_EQ(events.size(), 3u);
}

TEST(NSRunLoopRealClock, RunForReturnsWhenNothingIsLeft) {
  foundation::DeviceClock::useRealTime();
  auto& loop = *NSRunLoop::mainRunLoop();
  loop.cancelAll();
  int fired = 0;
  loop.scheduleAfter(0.02, [&] { ++fired; });
  const auto start = std::chrono::steady_clock::now();
  loop.runFor(5);
  EXPECT_EQ(fired, 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
