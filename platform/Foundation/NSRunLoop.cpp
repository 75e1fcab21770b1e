#include <Foundation/DeviceClock.h>
#include <Foundation/NSRunLoop.h>

#include <Foundation/NSDate.h>
#include <objc/ClassBuilder.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

namespace {

/// Timers this close to their time count as due, so that sums of
/// fractional advances (4.9 + 0.1) reach a 5.0 s timer; that is far below
/// anything the device could tell apart.
constexpr double kDueTolerance = 1e-6;

struct TimerKey {
  double when;
  uint64_t sequence;  ///< keeps timers of the same time in scheduling order
  bool operator<(const TimerKey& o) const { return when != o.when ? when < o.when : sequence < o.sequence; }
};

struct LoopState {
  mutable std::mutex lock;
  std::condition_variable wake;
  std::deque<std::function<void()>> queue;
  std::map<TimerKey, std::function<void()>> timers;
  uint64_t nextSequence = 0;
};

LoopState& state() {
  static auto* s = new LoopState();  // timers may be queued during static teardown
  return *s;
}

/// Takes the earliest timer due at now (and scheduled before the pass
/// began, so a timer that reschedules itself cannot spin the loop).
bool takeDueTimer(double now, uint64_t sequenceLimit, std::function<void()>& fn, double* when = nullptr) {
  auto& s = state();
  std::lock_guard g(s.lock);
  for (auto it = s.timers.begin(); it != s.timers.end() && it->first.when <= now + kDueTolerance; ++it) {
    if (it->first.sequence >= sequenceLimit) continue;
    if (when) *when = it->first.when;
    fn = std::move(it->second);
    s.timers.erase(it);
    return true;
  }
  return false;
}

uint64_t currentSequence() {
  auto& s = state();
  std::lock_guard g(s.lock);
  return s.nextSequence;
}

void runQueued() {
  auto& s = state();
  std::deque<std::function<void()>> work;
  {
    std::lock_guard g(s.lock);
    work.swap(s.queue);
  }
  for (auto& fn : work) fn();
}

}  // namespace

Class NSRunLoop::classObject() {
  static Class cls = objc::ClassBuilder<NSRunLoop, NSObject>("NSRunLoop").build();
  return cls;
}
OBJC_REGISTER_CLASS(NSRunLoop);

NSRunLoop* NSRunLoop::mainRunLoop() {
  static auto* loop = objc::create<NSRunLoop>().leak();  // lives as long as the process
  return loop;
}

void NSRunLoop::scheduleAfter(double delay, std::function<void()> fn) {
  if (!fn) return;
  if (!(delay > 0)) delay = 0;  // negative and NaN delays mean "as soon as possible"
  const double when = foundation::DeviceClock::now() + delay;
  auto& s = state();
  {
    std::lock_guard g(s.lock);
    s.timers.emplace(TimerKey{when, s.nextSequence++}, std::move(fn));
  }
  s.wake.notify_all();
}

void NSRunLoop::enqueue(std::function<void()> fn) {
  if (!fn) return;
  auto& s = state();
  {
    std::lock_guard g(s.lock);
    s.queue.push_back(std::move(fn));
    ++s.nextSequence;
  }
  s.wake.notify_all();
}

void NSRunLoop::runPending() {
  runQueued();
  const uint64_t limit = currentSequence();
  std::function<void()> fn;
  while (takeDueTimer(foundation::DeviceClock::now(), limit, fn)) fn();
}

void NSRunLoop::advanceBy(double seconds) {
  using foundation::DeviceClock;
  if (!DeviceClock::isSimulated()) {
    runFor(seconds);
    return;
  }
  const double target = DeviceClock::now() + (seconds > 0 ? seconds : 0);
  runQueued();
  std::function<void()> fn;
  double when = 0;
  // Timers set by a firing timer take part when they come due before target.
  while (takeDueTimer(target, UINT64_MAX, fn, &when)) {
    if (when > DeviceClock::now()) DeviceClock::setSimulated(when);
    fn();
    runQueued();
  }
  if (target > DeviceClock::now()) DeviceClock::setSimulated(target);
}

void NSRunLoop::runFor(double seconds) {
  using foundation::DeviceClock;
  if (DeviceClock::isSimulated()) {
    advanceBy(seconds);
    return;
  }
  using Steady = std::chrono::steady_clock;
  const auto deadline = Steady::now() + std::chrono::duration_cast<Steady::duration>(
                                            std::chrono::duration<double>(seconds > 0 ? seconds : 0));
  auto& s = state();
  for (;;) {
    runPending();
    std::unique_lock g(s.lock);
    if (s.queue.empty() && s.timers.empty()) return;
    if (Steady::now() >= deadline) return;
    if (!s.queue.empty()) continue;
    const double untilNext = s.timers.begin()->first.when - DeviceClock::now();
    auto wakeAt = deadline;
    if (untilNext <= 0) continue;
    const auto next =
        Steady::now() + std::chrono::duration_cast<Steady::duration>(std::chrono::duration<double>(untilNext));
    if (next < wakeAt) wakeAt = next;
    s.wake.wait_until(g, wakeAt);
  }
}

size_t NSRunLoop::pendingTimers() const {
  auto& s = state();
  std::lock_guard g(s.lock);
  return s.timers.size();
}

size_t NSRunLoop::queuedWork() const {
  auto& s = state();
  std::lock_guard g(s.lock);
  return s.queue.size();
}

void NSRunLoop::cancelAll() {
  auto& s = state();
  std::map<TimerKey, std::function<void()>> timers;
  std::deque<std::function<void()>> queue;
  {
    std::lock_guard g(s.lock);
    timers.swap(s.timers);
    queue.swap(s.queue);
  }
  // Dropped outside the lock: releasing a target may schedule again.
}
