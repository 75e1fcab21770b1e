#pragma once
/// \file
/// The parts of Grand Central Dispatch the device code uses: counting
/// semaphores and background queues.

#include <cstdint>
#include <functional>
#include <memory>

struct dispatch_semaphore_s;
using dispatch_semaphore_t = std::shared_ptr<dispatch_semaphore_s>;
using dispatch_time_t = uint64_t;
constexpr dispatch_time_t DISPATCH_TIME_NOW = 0;
constexpr dispatch_time_t DISPATCH_TIME_FOREVER = ~0ULL;
constexpr int64_t NSEC_PER_SEC = 1000000000LL;

dispatch_semaphore_t dispatch_semaphore_create(long value);
/// 0 when signalled, non-zero when the timeout passed first.
long dispatch_semaphore_wait(const dispatch_semaphore_t& sem, dispatch_time_t timeout);
long dispatch_semaphore_signal(const dispatch_semaphore_t& sem);
/// A time delta nanoseconds from when (DISPATCH_TIME_NOW: from now, real time).
dispatch_time_t dispatch_time(dispatch_time_t when, int64_t deltaNanoseconds);

/// Runs work on a background thread (the global concurrent queue).
void dispatch_async_global(std::function<void()> work);

namespace foundation {

/// For the device's host programs: waits until the global queue has no work
/// queued or running, or until deadline (a dispatch_time). True when idle.
bool waitForGlobalQueue(dispatch_time_t deadline);

}  // namespace foundation
