#include <Foundation/NSCalendar.h>

#include <objc/ClassBuilder.h>

#include <unicode/ucal.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

namespace {

struct UCalClose {
  void operator()(UCalendar* c) const { ucal_close(c); }
};
using UCalPtr = std::unique_ptr<UCalendar, UCalClose>;

std::vector<UChar> zoneID(std::string_view name) {
  std::vector<UChar> out;
  out.reserve(name.size());
  for (unsigned char c : name) out.push_back(UChar(c));
  return out;
}

/// A Gregorian calendar in the named zone; null when ICU cannot open it.
/// Opening reads the zone's rules, so each thread keeps one opened calendar
/// per zone and hands out copies of it.
UCalPtr openCalendar(std::string_view zone) {
  thread_local std::unordered_map<std::string, UCalPtr> opened;
  auto it = opened.find(std::string(zone));
  if (it == opened.end()) {
    const auto id = zoneID(zone);
    UErrorCode status = U_ZERO_ERROR;
    UCalPtr cal(ucal_open(id.data(), int32_t(id.size()), "en_US@calendar=gregorian", UCAL_GREGORIAN, &status));
    if (U_FAILURE(status)) cal.reset();
    it = opened.emplace(std::string(zone), std::move(cal)).first;
  }
  if (!it->second) return nullptr;
  UErrorCode status = U_ZERO_ERROR;
  UCalPtr copy(ucal_clone(it->second.get(), &status));
  if (U_FAILURE(status)) return nullptr;
  return copy;
}

bool setMoment(UCalendar* cal, double sinceReferenceDate) {
  UErrorCode status = U_ZERO_ERROR;
  ucal_setMillis(cal, (sinceReferenceDate + NSTimeIntervalSince1970) * 1000.0, &status);
  return U_SUCCESS(status);
}

/// The calendar's moment as seconds since the reference date; NaN on error.
double moment(UCalendar* cal) {
  UErrorCode status = U_ZERO_ERROR;
  const UDate ms = ucal_getMillis(cal, &status);
  return U_SUCCESS(status) ? ms / 1000.0 - NSTimeIntervalSince1970 : std::nan("");
}

int32_t field(UCalendar* cal, UCalendarDateFields f) {
  UErrorCode status = U_ZERO_ERROR;
  const int32_t v = ucal_get(cal, f, &status);
  return U_SUCCESS(status) ? v : 0;
}

bool fitsInt32(int64_t v) {
  return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

std::mutex& defaultZoneLock() {
  static std::mutex m;
  return m;
}
Ref<NSTimeZone>& defaultZoneSlot() {
  static auto* zone = new Ref<NSTimeZone>();
  return *zone;
}
/// Counts changes of the device's zone, so the current calendar is checked
/// against it without taking the zone's lock or comparing names.
std::atomic<uint64_t> defaultZoneChanges{1};

Ref<NSString> nameOf(id self, SEL) { return NSStr(objc::cast<NSTimeZone>(self.get())->name()); }
Ref<NSDate> dateFrom(id self, SEL, Ref<NSDateComponents> comps) {
  return objc::cast<NSCalendar>(self.get())->dateFromComponents(comps.get());
}
Ref<NSDate> dateByAdding(id self, SEL, Ref<NSDateComponents> comps, Ref<NSDate> date, uint64_t options) {
  return objc::cast<NSCalendar>(self.get())->dateByAddingComponentsToDate(comps.get(), date.get(), options);
}
Ref<NSDateComponents> componentsOf(id self, SEL, uint64_t units, Ref<NSDate> date) {
  return objc::cast<NSCalendar>(self.get())->componentsFromDate(units, date.get());
}

}  // namespace

// ---- NSTimeZone

Class NSTimeZone::classObject() {
  static Class cls = objc::ClassBuilder<NSTimeZone, NSObject>("NSTimeZone").function("name", &nameOf).build();
  return cls;
}
OBJC_REGISTER_CLASS(NSTimeZone);

Ref<NSTimeZone> NSTimeZone::timeZoneWithName(std::string_view name) {
  if (name.empty() || name.size() > 128) return nullptr;
  for (unsigned char c : name)
    if (c <= ' ' || c >= 0x7F) return nullptr;
  const auto id = zoneID(name);
  UChar canonical[128];
  UBool isSystem = false;
  UErrorCode status = U_ZERO_ERROR;
  ucal_getCanonicalTimeZoneID(id.data(), int32_t(id.size()), canonical, 128, &isSystem, &status);
  if (U_FAILURE(status)) return nullptr;
  auto zone = objc::create<NSTimeZone>();
  zone->name_ = std::string(name);
  return zone;
}

Ref<NSTimeZone> NSTimeZone::timeZoneForSecondsFromGMT(int64_t seconds) {
  // Offsets are whole minutes within +-18 hours, named as the device names them ("GMT+0530").
  if (seconds < -18 * int64_t(3600) || seconds > 18 * int64_t(3600)) return nullptr;
  const int64_t minutes = (seconds < 0 ? -seconds : seconds) / 60;
  auto zone = objc::create<NSTimeZone>();
  if (minutes == 0) {
    zone->name_ = "GMT";
  } else {
    char buf[16];
    std::snprintf(buf, sizeof buf, "GMT%c%02d%02d", seconds < 0 ? '-' : '+', int(minutes / 60), int(minutes % 60));
    zone->name_ = buf;
  }
  return zone;
}

Ref<NSTimeZone> NSTimeZone::defaultTimeZone() {
  std::lock_guard g(defaultZoneLock());
  auto& slot = defaultZoneSlot();
  if (!slot) slot = timeZoneWithName("UTC");
  return slot;
}

void NSTimeZone::setDefaultTimeZone(Ref<NSTimeZone> zone) {
  std::lock_guard g(defaultZoneLock());
  defaultZoneSlot() = std::move(zone);
  defaultZoneChanges.fetch_add(1, std::memory_order_release);
}

int64_t NSTimeZone::secondsFromGMTForDate(const NSDate* date) const {
  auto cal = openCalendar(name_);
  if (!cal || !setMoment(cal.get(), date ? date->timeIntervalSinceReferenceDate()
                                         : NSDate::date()->timeIntervalSinceReferenceDate()))
    return 0;
  return (int64_t(field(cal.get(), UCAL_ZONE_OFFSET)) + field(cal.get(), UCAL_DST_OFFSET)) / 1000;
}

bool NSTimeZone::isEqualTo(const NSObject& other) const {
  auto* o = dynamic_cast<const NSTimeZone*>(&other);
  return o && o->name_ == name_;
}

// ---- NSDateComponents

Class NSDateComponents::classObject() {
  static Class cls = objc::ClassBuilder<NSDateComponents, NSObject>("NSDateComponents").build();
  return cls;
}
OBJC_REGISTER_CLASS(NSDateComponents);

Ref<NSDateComponents> NSDateComponents::create() { return objc::create<NSDateComponents>(); }

std::string NSDateComponents::descriptionString() const {
  std::string out = "<NSDateComponents>";
  auto add = [&out](const char* name, int64_t v) {
    if (v != NSDateComponentUndefined) out += std::string(" ") + name + ": " + std::to_string(v);
  };
  if (timeZone) out += " TimeZone: " + timeZone->name();
  add("Era", era);
  add("Calendar Year", year);
  add("Month", month);
  add("Day", day);
  add("Hour", hour);
  add("Minute", minute);
  add("Second", second);
  add("Weekday", weekday);
  return out;
}

// ---- NSCalendar

struct NSCalendar::Engine {
  std::mutex lock;
  UCalPtr cal;
  /// The last few additions and their answers, the least recently used
  /// given up first: the same date is often shifted by the same amounts
  /// again (a bulletin's publication and interruption dates, a display
  /// horizon asked for every reminder), and even the civil arithmetic below
  /// costs more than a look here.
  struct Addition {
    double from = std::nan("");
    std::array<int64_t, 7> amounts{};
    uint64_t key = 0;  // a digest of the amounts, to pass over most entries at one comparison
    double result = 0;
    uint64_t lastUsed = 0;
  };
  std::array<Addition, 8> recent;
  uint64_t uses = 0;
  /// Spans of time with one offset from GMT, as the zone's transitions
  /// bound them, found on demand: days, months and years are then added
  /// on the civil calendar with whole-millisecond arithmetic, and ICU's
  /// field machinery is left to the dates near a transition.
  struct Span {
    int64_t start, end;  // milliseconds since 1970, [start, end)
    int64_t offset;      // milliseconds east of GMT
  };
  std::vector<Span> spans;
  bool spansUnavailable = false;

  std::optional<Span> spanAt(int64_t ms);
  std::optional<int64_t> gmtOfWallClock(int64_t wallMs);
  std::optional<double> add(double sinceReferenceDate, const std::array<int64_t, 7>& amounts);
};

namespace {

constexpr int64_t kDayMs = 86'400'000;
// Two days: more than any offset change a zone has made, so a wall-clock
// time this far from a transition names exactly one moment.
constexpr int64_t kTransitionMarginMs = 2 * kDayMs;
// The civil arithmetic below is the proleptic Gregorian calendar; ICU's
// Gregorian calendar is Julian before 1582, so old and far dates go to ICU.
constexpr int64_t kFirstPlainYear = 1700, kLastPlainYear = 9000;

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

/// Days since 1970-01-01 of a Gregorian date (month 1-12).
int64_t daysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = floorDiv(y, 400);
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

struct Civil {
  int64_t year, month, day;  // month 1-12
};

Civil civilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = floorDiv(z, 146097);
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  return {yoe + era * 400 + (m <= 2), m, d};
}

int64_t daysInMonth(int64_t y, int64_t m) {
  static constexpr int64_t days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : days[m - 1];
}

}  // namespace

std::optional<NSCalendar::Engine::Span> NSCalendar::Engine::spanAt(int64_t ms) {
  for (const Span& s : spans)
    if (ms >= s.start && ms < s.end) return s;
  if (spansUnavailable || !cal) return std::nullopt;
  UErrorCode status = U_ZERO_ERROR;
  ucal_setMillis(cal.get(), static_cast<UDate>(ms), &status);
  const int64_t offset =
      int64_t(ucal_get(cal.get(), UCAL_ZONE_OFFSET, &status)) + ucal_get(cal.get(), UCAL_DST_OFFSET, &status);
  UDate before = 0, after = 0;
  const bool hasBefore =
      ucal_getTimeZoneTransitionDate(cal.get(), UCAL_TZ_TRANSITION_PREVIOUS_INCLUSIVE, &before, &status);
  const bool hasAfter = ucal_getTimeZoneTransitionDate(cal.get(), UCAL_TZ_TRANSITION_NEXT, &after, &status);
  if (U_FAILURE(status)) {
    spansUnavailable = true;
    return std::nullopt;
  }
  Span span{hasBefore ? static_cast<int64_t>(before) : std::numeric_limits<int64_t>::min(),
            hasAfter ? static_cast<int64_t>(after) : std::numeric_limits<int64_t>::max(), offset};
  if (ms < span.start || ms >= span.end) {  // transitions off the millisecond grid
    spansUnavailable = true;
    return std::nullopt;
  }
  if (spans.size() >= 64) spans.clear();
  spans.push_back(span);
  return span;
}

std::optional<int64_t> NSCalendar::Engine::gmtOfWallClock(int64_t wallMs) {
  const auto guess = spanAt(wallMs);
  if (!guess) return std::nullopt;
  int64_t gmt = wallMs - guess->offset;
  auto span = spanAt(gmt);
  if (span && span->offset != guess->offset) {
    gmt = wallMs - span->offset;
    span = spanAt(gmt);
  }
  // Near a transition a wall-clock time may name two moments or none;
  // ICU's rules decide those.
  if (!span || wallMs - span->offset != gmt) return std::nullopt;
  if (span->start != std::numeric_limits<int64_t>::min() && gmt - span->start < kTransitionMarginMs)
    return std::nullopt;
  if (span->end != std::numeric_limits<int64_t>::max() && span->end - gmt <= kTransitionMarginMs) return std::nullopt;
  return gmt;
}

std::optional<double> NSCalendar::Engine::add(double sinceReferenceDate, const std::array<int64_t, 7>& amounts) {
  auto set = [](int64_t v) { return v != NSDateComponentUndefined && v != 0; };
  if (set(amounts[0])) return std::nullopt;  // eras
  for (int64_t a : amounts)
    if (a != NSDateComponentUndefined && !fitsInt32(a)) return std::nullopt;
  const double exact = (sinceReferenceDate + NSTimeIntervalSince1970) * 1000.0;
  if (!(std::fabs(exact) < 1e15)) return std::nullopt;
  const double whole = std::floor(exact);
  auto gmt = static_cast<int64_t>(whole);

  // Years and months move the wall clock; each step lands on one definite
  // moment before the next is taken.
  if (set(amounts[1]) || set(amounts[2])) {
    const auto span = spanAt(gmt);
    if (!span) return std::nullopt;
    const int64_t wall = gmt + span->offset;
    int64_t days = floorDiv(wall, kDayMs);
    const int64_t timeOfDay = wall - days * kDayMs;
    Civil c = civilFromDays(days);
    auto step = [&](int64_t years, int64_t months) -> bool {
      const int64_t month0 = c.month - 1 + months;
      c.year += years + floorDiv(month0, 12);
      c.month = month0 - floorDiv(month0, 12) * 12 + 1;
      if (c.year < kFirstPlainYear || c.year > kLastPlainYear) return false;
      c.day = std::min(c.day, daysInMonth(c.year, c.month));
      days = daysFromCivil(c.year, c.month, c.day);
      auto moved = gmtOfWallClock(days * kDayMs + timeOfDay);
      if (!moved) return false;
      gmt = *moved;
      return true;
    };
    if (c.year < kFirstPlainYear || c.year > kLastPlainYear) return std::nullopt;
    if (set(amounts[1]) && !step(amounts[1], 0)) return std::nullopt;
    if (set(amounts[2]) && !step(0, amounts[2])) return std::nullopt;
  }
  // Days keep the hour of the day when the offset changes by less than a
  // day, as ICU adds them: a span of whole days, then the offset's change
  // (a day's change, like Apia's skipped day, is not made up).
  if (set(amounts[3])) {
    const auto before = spanAt(gmt);
    const int64_t moved = gmt + amounts[3] * kDayMs;
    const auto after = spanAt(moved);
    if (!before || !after) return std::nullopt;
    const int64_t shift = (before->offset - after->offset) % kDayMs;
    gmt = moved + shift;
    if (shift != 0) {
      const auto landed = spanAt(gmt);
      if (!landed || landed->offset != after->offset) return std::nullopt;  // a skipped hour: ICU's rules
    }
    const int64_t year = civilFromDays(floorDiv(gmt, kDayMs)).year;
    if (year < kFirstPlainYear || year > kLastPlainYear) return std::nullopt;
  }
  // Hours, minutes and seconds are spans of time.
  constexpr int64_t unitMs[] = {3'600'000, 60'000, 1'000};
  for (size_t i = 0; i < 3; ++i)
    if (set(amounts[4 + i])) gmt += amounts[4 + i] * unitMs[i];
  return static_cast<double>(gmt) / 1000.0 - NSTimeIntervalSince1970 + (exact - whole) / 1000.0;
}

Class NSCalendar::classObject() {
  static Class cls = objc::ClassBuilder<NSCalendar, NSObject>("NSCalendar")
                         .function("dateFromComponents:", &dateFrom)
                         .function("dateByAddingComponents:toDate:options:", &dateByAdding)
                         .function("components:fromDate:", &componentsOf)
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(NSCalendar);

Ref<NSCalendar> NSCalendar::currentCalendar() {
  // Like the device's, the current calendar is one shared object that
  // follows the device's zone; calendars have no setters, so sharing it per
  // thread is safe.
  struct Current {
    Ref<NSCalendar> calendar;
    uint64_t zoneChanges = 0;
  };
  thread_local Current current;
  // Read before the zone, so a change made meanwhile is seen at the next call.
  const uint64_t changes = defaultZoneChanges.load(std::memory_order_acquire);
  if (current.zoneChanges == changes && current.calendar) return current.calendar;
  auto zone = NSTimeZone::defaultTimeZone();
  if (!current.calendar || !current.calendar->zone_ || !zone || current.calendar->zone_->name() != zone->name())
    current.calendar = gregorianCalendarInZone(zone);
  current.zoneChanges = changes;
  return current.calendar;
}

Ref<NSCalendar> NSCalendar::gregorianCalendarInZone(Ref<NSTimeZone> zone) {
  auto cal = objc::create<NSCalendar>();
  cal->zone_ = zone ? std::move(zone) : NSTimeZone::defaultTimeZone();
  return cal;
}

NSCalendar::Engine& NSCalendar::engine() const {
  // Opened at first use; every later date sum only reads the flag.
  if (!engineReady_.load(std::memory_order_acquire))
    std::call_once(engineOpened_, [this] {
      engine_ = std::make_shared<Engine>();
      engine_->cal = openCalendar(zone_ ? zone_->name() : "UTC");
      engineReady_.store(true, std::memory_order_release);
    });
  return *engine_;
}

Ref<NSDate> NSCalendar::dateFromComponents(const NSDateComponents* comps) const {
  if (!comps || comps->year == NSDateComponentUndefined) return nullptr;
  auto pick = [](int64_t v, int64_t unset) { return v == NSDateComponentUndefined ? unset : v; };
  const int64_t fields[] = {comps->year,          pick(comps->month, 1) - 1, pick(comps->day, 1),
                            pick(comps->hour, 0), pick(comps->minute, 0),    pick(comps->second, 0)};
  for (int64_t f : fields)
    if (!fitsInt32(f)) return nullptr;

  // Components with a zone of their own are read in it; otherwise in ours.
  UCalPtr own;
  Engine* shared = nullptr;
  std::unique_lock<std::mutex> guard;
  UCalendar* cal = nullptr;
  if (comps->timeZone && (!zone_ || comps->timeZone->name() != zone_->name())) {
    own = openCalendar(comps->timeZone->name());
    cal = own.get();
  } else {
    shared = &engine();
    guard = std::unique_lock(shared->lock);
    cal = shared->cal.get();
  }
  if (!cal) return nullptr;
  if (shared && comps->era == NSDateComponentUndefined && fields[0] >= kFirstPlainYear && fields[0] <= kLastPlainYear) {
    // Out-of-range fields carry over, as ICU's lenient calendar carries them.
    const int64_t year = fields[0] + floorDiv(fields[1], 12);
    const int64_t month = fields[1] - floorDiv(fields[1], 12) * 12 + 1;
    const int64_t days = daysFromCivil(year, month, 1) + fields[2] - 1;
    const int64_t wall = days * kDayMs + fields[3] * 3'600'000 + fields[4] * 60'000 + fields[5] * 1'000;
    const int64_t wallYear = civilFromDays(floorDiv(wall, kDayMs)).year;
    if (wallYear >= kFirstPlainYear && wallYear <= kLastPlainYear)
      if (auto gmt = shared->gmtOfWallClock(wall))
        return NSDate::dateWithTimeIntervalSinceReferenceDate(static_cast<double>(*gmt) / 1000.0 -
                                                              NSTimeIntervalSince1970);
  }
  ucal_clear(cal);
  if (comps->era != NSDateComponentUndefined && fitsInt32(comps->era)) ucal_set(cal, UCAL_ERA, int32_t(comps->era));
  ucal_set(cal, UCAL_YEAR, int32_t(fields[0]));
  ucal_set(cal, UCAL_MONTH, int32_t(fields[1]));
  ucal_set(cal, UCAL_DATE, int32_t(fields[2]));
  ucal_set(cal, UCAL_HOUR_OF_DAY, int32_t(fields[3]));
  ucal_set(cal, UCAL_MINUTE, int32_t(fields[4]));
  ucal_set(cal, UCAL_SECOND, int32_t(fields[5]));
  const double t = moment(cal);
  if (std::isnan(t)) return nullptr;
  return NSDate::dateWithTimeIntervalSinceReferenceDate(t);
}

Ref<NSDate> NSCalendar::dateByAddingComponentsToDate(const NSDateComponents* comps, const NSDate* date,
                                                     uint64_t) const {
  if (!comps || !date) return nullptr;
  const double t = date->timeIntervalSinceReferenceDate();
  if (!std::isfinite(t)) return nullptr;
  const std::array<int64_t, 7> amounts{comps->era,  comps->year,   comps->month, comps->day,
                                       comps->hour, comps->minute, comps->second};
  Engine& e = engine();
  std::lock_guard g(e.lock);
  uint64_t key = 0;
  for (int64_t a : amounts) key = (key ^ static_cast<uint64_t>(a)) * 0x100000001B3ULL;
  Engine::Addition* leastRecent = &e.recent[0];
  for (auto& seen : e.recent) {
    if (seen.lastUsed < leastRecent->lastUsed) leastRecent = &seen;
    if (seen.key != key || seen.from != t || seen.amounts != amounts) continue;
    seen.lastUsed = ++e.uses;
    return NSDate::dateWithTimeIntervalSinceReferenceDate(seen.result);
  }
  double result = 0;
  if (auto plain = e.add(t, amounts)) {
    result = *plain;
  } else {
    UCalendar* cal = e.cal.get();
    // ICU keeps whole milliseconds; the finer part of the date is kept as it was.
    const double exact = (t + NSTimeIntervalSince1970) * 1000.0;
    UErrorCode status = U_ZERO_ERROR;
    if (!cal) return nullptr;
    ucal_setMillis(cal, std::floor(exact), &status);
    if (U_FAILURE(status)) return nullptr;
    // Largest unit first, as the device adds them: Jan 31 + 1 month + 1 day is Mar 1.
    constexpr UCalendarDateFields fields[] = {UCAL_ERA,         UCAL_YEAR,   UCAL_MONTH, UCAL_DATE,
                                              UCAL_HOUR_OF_DAY, UCAL_MINUTE, UCAL_SECOND};
    for (size_t i = 0; i < amounts.size(); ++i) {
      const int64_t amount = amounts[i];
      if (amount == NSDateComponentUndefined || amount == 0) continue;
      if (!fitsInt32(amount)) return nullptr;
      UErrorCode status = U_ZERO_ERROR;
      ucal_add(cal, fields[i], int32_t(amount), &status);
      if (U_FAILURE(status)) return nullptr;
    }
    const double moved = moment(cal);
    if (std::isnan(moved)) return nullptr;
    result = moved + (exact - std::floor(exact)) / 1000.0;
  }
  *leastRecent = {t, amounts, key, result, ++e.uses};
  return NSDate::dateWithTimeIntervalSinceReferenceDate(result);
}

Ref<NSDateComponents> NSCalendar::componentsFromDate(uint64_t units, const NSDate* date) const {
  if (!date) return nullptr;
  Engine& e = engine();
  std::lock_guard g(e.lock);
  UCalendar* cal = e.cal.get();
  if (!cal || !setMoment(cal, date->timeIntervalSinceReferenceDate())) return nullptr;
  auto comps = NSDateComponents::create();
  if (units & Era) comps->era = field(cal, UCAL_ERA);
  if (units & Year) comps->year = field(cal, UCAL_YEAR);
  if (units & Month) comps->month = field(cal, UCAL_MONTH) + 1;
  if (units & Day) comps->day = field(cal, UCAL_DATE);
  if (units & Hour) comps->hour = field(cal, UCAL_HOUR_OF_DAY);
  if (units & Minute) comps->minute = field(cal, UCAL_MINUTE);
  if (units & Second) comps->second = field(cal, UCAL_SECOND);
  if (units & Weekday) comps->weekday = field(cal, UCAL_DAY_OF_WEEK);  // 1 is Sunday
  return comps;
}

bool NSCalendar::isDateInSameDay(const NSDate* a, const NSDate* b) const {
  if (!a || !b) return false;
  const uint64_t units = Era | Year | Month | Day;
  auto x = componentsFromDate(units, a), y = componentsFromDate(units, b);
  return x && y && x->era == y->era && x->year == y->year && x->month == y->month && x->day == y->day;
}
