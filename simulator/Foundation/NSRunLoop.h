#pragma once
/// \file
/// The main thread's run loop: timers (delayed performs) on the device clock
/// and work queued from other threads. With a simulated clock, advancing
/// the clock fires the timers that come due, in order, without sleeping.

#include <objc/NSObject.h>

#include <functional>

class NSRunLoop : public NSObject {
 public:
  static Class classObject();
  static NSRunLoop* mainRunLoop();

  /// Schedules fn at the device clock's now + delay seconds.
  void scheduleAfter(double delay, std::function<void()> fn);
  /// Queues fn for the next pass (safe from any thread).
  void enqueue(std::function<void()> fn);
  /// Runs queued work and every timer due at the clock's current time.
  void runPending();
  /// Simulated clock: advances by seconds, firing timers as their time
  /// comes (the clock stands at each timer's time while it runs).
  void advanceBy(double seconds);
  /// Real clock: runs until no work or timer is left or until timeout.
  void runFor(double seconds);
  [[nodiscard]] size_t pendingTimers() const;
  /// Work queued for the next pass (not timers).
  [[nodiscard]] size_t queuedWork() const;
  /// Drops every timer and all queued work, as a fresh boot starts empty.
  void cancelAll();
};

namespace foundation {

/// `performSelector:withObject:afterDelay:`: sends sel (with one object
/// argument, or none when the method takes none) to target on the main run
/// loop after delay seconds. The run loop keeps target alive until then.
void performSelectorAfterDelay(id target, SEL sel, id object, double delay);
/// `performSelectorOnMainThread:withObject:waitUntilDone:` with waiting false.
void performSelectorOnMainThread(id target, SEL sel, id object);

}  // namespace foundation
