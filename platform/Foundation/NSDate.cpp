#include <Foundation/DeviceClock.h>
#include <Foundation/NSDate.h>

#include <objc/ClassBuilder.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <mutex>

namespace {

double timeSinceReferenceOf(id self, SEL) { return objc::cast<NSDate>(self.get())->timeIntervalSinceReferenceDate(); }
double timeSince1970Of(id self, SEL) { return objc::cast<NSDate>(self.get())->timeIntervalSince1970(); }
int64_t compareOf(id self, SEL, id other) {
  return objc::cast<NSDate>(self.get())->compare(dynamic_cast<const NSDate*>(other.get()));
}

// Read for every new date and written only by the device's programs and
// tests: readers take no lock, writers take turns.
struct Clock {
  std::mutex lock;
  std::atomic<bool> simulated{false};
  std::atomic<double> now{0};
};
Clock& deviceClock() {
  static auto* c = new Clock();  // outlives static teardown: timers may read it late
  return *c;
}

double realNow() {
  using namespace std::chrono;
  const auto sinceEpoch = duration<double>(system_clock::now().time_since_epoch()).count();
  return sinceEpoch - NSTimeIntervalSince1970;
}

}  // namespace

Class NSDate::classObject() {
  static Class cls = objc::ClassBuilder<NSDate, NSObject>("NSDate")
                         .function("timeIntervalSinceReferenceDate", &timeSinceReferenceOf)
                         .function("timeIntervalSince1970", &timeSince1970Of)
                         .function("compare:", &compareOf)
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(NSDate);

Ref<NSDate> NSDate::date() { return objc::create<NSDate>(foundation::DeviceClock::now()); }

Ref<NSDate> NSDate::dateWithTimeIntervalSinceReferenceDate(double t) { return objc::create<NSDate>(t); }

Ref<NSDate> NSDate::dateWithTimeIntervalSince1970(double t) {
  return objc::create<NSDate>(t - NSTimeIntervalSince1970);
}

Ref<NSDate> NSDate::dateByAddingTimeInterval(double seconds) const { return objc::create<NSDate>(t_ + seconds); }

NSComparisonResult NSDate::compare(const NSDate* other) const noexcept {
  // Comparing with nil (or NaN) answers "later", never undefined.
  const double o = other ? other->t_ : 0;
  if (t_ < o) return NSOrderedAscending;
  if (t_ > o) return NSOrderedDescending;
  return NSOrderedSame;
}

std::string NSDate::descriptionString() const {
  if (!std::isfinite(t_)) return "(invalid date)";
  auto f = foundation::utcFields(t_ + NSTimeIntervalSince1970);
  if (!f) return "(invalid date)";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02u-%02u %02d:%02d:%02d +0000", f->year, f->month, f->day, f->hour, f->minute,
                f->second);
  return buf;
}

bool NSDate::isEqualTo(const NSObject& other) const {
  auto* o = dynamic_cast<const NSDate*>(&other);
  return o && o->t_ == t_;
}

namespace foundation {

double DeviceClock::now() {
  auto& c = deviceClock();
  return c.simulated.load(std::memory_order_acquire) ? c.now.load(std::memory_order_acquire) : realNow();
}

void DeviceClock::setSimulated(double sinceReferenceDate) {
  auto& c = deviceClock();
  std::lock_guard g(c.lock);
  c.now.store(sinceReferenceDate, std::memory_order_release);
  c.simulated.store(true, std::memory_order_release);
}

void DeviceClock::advance(double seconds) {
  auto& c = deviceClock();
  std::lock_guard g(c.lock);
  if (c.simulated.load(std::memory_order_relaxed))
    c.now.store(c.now.load(std::memory_order_relaxed) + seconds, std::memory_order_release);
}

void DeviceClock::useRealTime() {
  auto& c = deviceClock();
  std::lock_guard g(c.lock);
  c.simulated.store(false, std::memory_order_release);
}

bool DeviceClock::isSimulated() { return deviceClock().simulated.load(std::memory_order_acquire); }

}  // namespace foundation

namespace foundation {

std::optional<UTCFields> utcFields(double unixSeconds) {
  const double whole = std::floor(unixSeconds);
  if (!std::isfinite(whole) || std::fabs(whole) > 1e12) return std::nullopt;
  const auto secs = static_cast<int64_t>(whole);
  int64_t days = secs / 86400;
  if (secs % 86400 < 0) --days;
  const std::chrono::year_month_day ymd{std::chrono::sys_days{std::chrono::days{days}}};
  const int64_t inDay = secs - days * 86400;
  return UTCFields{int(ymd.year()),   unsigned(ymd.month()), unsigned(ymd.day()),
                   int(inDay / 3600), int(inDay / 60 % 60),  int(inDay % 60)};
}

}  // namespace foundation
