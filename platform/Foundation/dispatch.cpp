#include <Foundation/dispatch.h>

#include <Foundation/NSLog.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

struct dispatch_semaphore_s {
  std::mutex lock;
  std::condition_variable cv;
  long value = 0;
  long waiters = 0;
};

namespace {

uint64_t steadyNanoseconds() {
  using namespace std::chrono;
  return uint64_t(duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count());
}

/// The global queue: a pool that grows when every worker is busy (work
/// may block waiting on other work, as it may on the device's queues).
class WorkerPool {
 public:
  void submit(std::function<void()> work) {
    bool spawn = false;
    {
      std::lock_guard g(lock_);
      queue_.push_back(std::move(work));
      // Every queued item needs a worker of its own: one may wait on the next.
      if (queue_.size() > size_t(idle_) && threads_ < kMaxThreads) {
        ++threads_;
        spawn = true;
      }
    }
    if (spawn)
      std::thread([this] { run(); }).detach();
    else
      cv_.notify_one();
  }

  bool waitIdle(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock g(lock_);
    return idleChanged_.wait_until(g, deadline, [this] { return queue_.empty() && running_ == 0; });
  }

 private:
  static constexpr int kMaxThreads = 64;

  void run() {
    std::unique_lock g(lock_);
    for (;;) {
      ++idle_;
      cv_.wait(g, [this] { return !queue_.empty(); });
      --idle_;
      auto work = std::move(queue_.front());
      queue_.pop_front();
      ++running_;
      g.unlock();
      try {
        work();
      } catch (const std::exception& e) {
        NSLog("dispatch: work on the global queue raised: %s", e.what());
      }
      work = nullptr;  // what the work held goes before it counts as done
      g.lock();
      --running_;
      if (queue_.empty() && running_ == 0) idleChanged_.notify_all();
    }
  }

  std::mutex lock_;
  std::condition_variable cv_;
  std::condition_variable idleChanged_;
  std::deque<std::function<void()>> queue_;
  int idle_ = 0;
  int running_ = 0;
  int threads_ = 0;
};

WorkerPool& pool() {
  static auto* p = new WorkerPool();  // workers outlive static teardown
  return *p;
}

}  // namespace

dispatch_semaphore_t dispatch_semaphore_create(long value) {
  if (value < 0) return nullptr;
  auto sem = std::make_shared<dispatch_semaphore_s>();
  sem->value = value;
  return sem;
}

long dispatch_semaphore_wait(const dispatch_semaphore_t& sem, dispatch_time_t timeout) {
  if (!sem) return 1;
  std::unique_lock g(sem->lock);
  auto available = [&] { return sem->value > 0; };
  ++sem->waiters;
  bool got = true;
  if (timeout == DISPATCH_TIME_FOREVER) {
    sem->cv.wait(g, available);
  } else {
    const auto deadline = std::chrono::steady_clock::time_point(std::chrono::nanoseconds(timeout));
    got = sem->cv.wait_until(g, deadline, available);
  }
  --sem->waiters;
  if (!got) return 1;
  --sem->value;
  return 0;
}

long dispatch_semaphore_signal(const dispatch_semaphore_t& sem) {
  if (!sem) return 0;
  bool woke = false;
  {
    std::lock_guard g(sem->lock);
    ++sem->value;
    woke = sem->waiters > 0;
  }
  sem->cv.notify_one();
  return woke ? 1 : 0;
}

dispatch_time_t dispatch_time(dispatch_time_t when, int64_t deltaNanoseconds) {
  if (when == DISPATCH_TIME_FOREVER) return DISPATCH_TIME_FOREVER;
  const uint64_t base = when == DISPATCH_TIME_NOW ? steadyNanoseconds() : when;
  if (deltaNanoseconds >= 0) {
    const uint64_t d = uint64_t(deltaNanoseconds);
    return base > DISPATCH_TIME_FOREVER - 1 - d ? DISPATCH_TIME_FOREVER - 1 : base + d;
  }
  const uint64_t d = uint64_t(-(deltaNanoseconds + 1)) + 1;
  return base <= d ? 1 : base - d;  // 1: already passed, but never "now"
}

void dispatch_async_global(std::function<void()> work) {
  if (work) pool().submit(std::move(work));
}

bool foundation::waitForGlobalQueue(dispatch_time_t deadline) {
  auto until = deadline == DISPATCH_TIME_FOREVER
                   ? std::chrono::steady_clock::now() + std::chrono::hours(24)
                   : std::chrono::steady_clock::time_point(std::chrono::nanoseconds(deadline));
  return pool().waitIdle(until);
}
