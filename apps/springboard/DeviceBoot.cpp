#include "DeviceBoot.h"

#include <Foundation/DeviceClock.h>
#include <Foundation/DeviceRoot.h>
#include <Foundation/NSCalendar.h>
#include <Foundation/NSDate.h>

#include <fmt/format.h>

#include <chrono>
#include <regex>

namespace sbhost {

namespace fs = std::filesystem;

void checkDeviceRoot(const fs::path& root) {
  std::error_code ec;
  if (!fs::exists(root, ec))
    throw HostError(fmt::format("no device root at '{}': the folder does not exist", root.string()));
  if (!fs::is_directory(root, ec))
    throw HostError(fmt::format("'{}' is not a device root: it is not a folder", root.string()));
  if (!fs::exists(root / "device.plist", ec) && !fs::is_directory(root / "var" / "mobile", ec))
    throw HostError(
        fmt::format("'{}' is not a device root: it has neither device.plist nor var/mobile", root.string()));
}

double parseDeviceTime(std::string_view text, const std::string& zoneName) {
  static const std::regex kMoment(
      R"(^(\d{4})-(\d{2})-(\d{2})(?:[T ](\d{2}):(\d{2})(?::(\d{2}))?)?\s*(Z|[+-]\d{2}(?::?\d{2})?)?$)");
  std::cmatch m;
  std::string s(text);
  if (!std::regex_match(s.c_str(), m, kMoment))
    throw HostError(fmt::format(
        "'{}' is not a time: give it as 2026-12-08T09:00 (optionally with seconds and an offset such as +01:00)", s));
  auto field = [&](int i) { return m[i].matched ? std::stoll(m[i].str()) : 0LL; };
  auto comps = NSDateComponents::create();
  comps->year = field(1);
  comps->month = field(2);
  comps->day = field(3);
  comps->hour = field(4);
  comps->minute = field(5);
  comps->second = field(6);
  if (comps->month < 1 || comps->month > 12 || comps->day < 1 || comps->day > 31 || comps->hour > 23 ||
      comps->minute > 59 || comps->second > 59)
    throw HostError(fmt::format("'{}' is not a time: a field is out of range", s));

  Ref<NSTimeZone> zone;
  if (m[7].matched) {
    std::string off = m[7].str();
    int64_t secs = 0;
    if (off != "Z") {
      std::string digits;
      for (char c : off.substr(1))
        if (c != ':') digits += c;
      int64_t hours = std::stoll(digits.substr(0, 2));
      int64_t minutes = digits.size() > 2 ? std::stoll(digits.substr(2)) : 0;
      if (hours > 14 || minutes > 59) throw HostError(fmt::format("'{}' has an offset out of range", s));
      secs = (hours * 3600 + minutes * 60) * (off[0] == '-' ? -1 : 1);
    }
    zone = NSTimeZone::timeZoneForSecondsFromGMT(secs);
  } else {
    zone = NSTimeZone::timeZoneWithName(zoneName);
    if (!zone) throw HostError(fmt::format("unknown time zone '{}'", zoneName));
  }
  auto calendar = NSCalendar::gregorianCalendarInZone(zone);
  Ref<NSDate> date = calendar->dateFromComponents(comps.get());
  if (!date) throw HostError(fmt::format("'{}' is not a time the calendar knows", s));
  // The calendar rolls a day past the month's end (February 30) or a clock
  // time the zone skips into another moment; only a time that reads back
  // as given is taken.
  using U = NSCalendar::Unit;
  auto back = calendar->componentsFromDate(U::Year | U::Month | U::Day | U::Hour | U::Minute | U::Second, date.get());
  if (!back || back->year != comps->year || back->month != comps->month || back->day != comps->day)
    throw HostError(fmt::format("'{}' is not a time: there is no such day", s));
  if (back->hour != comps->hour || back->minute != comps->minute || back->second != comps->second)
    throw HostError(fmt::format("'{}' is not a time: that clock time does not occur on that day in {}", s,
                                m[7].matched ? m[7].str() : zoneName));
  return date->timeIntervalSinceReferenceDate();
}

foundation::DeviceProfile applyOverrides(foundation::DeviceProfile profile, const BootOverrides& overrides) {
  if (overrides.iosRelease) {
    auto version = foundation::foundationVersionForRelease(*overrides.iosRelease);
    if (!version)
      throw HostError(fmt::format("unknown iOS release '{}' (known: 7.0, 7.1, 8.0, 8.4, 9.0)", *overrides.iosRelease));
    profile.iosRelease = *overrides.iosRelease;
    profile.foundationVersion = *version;
  }
  if (overrides.timeZone) {
    if (!NSTimeZone::timeZoneWithName(*overrides.timeZone))
      throw HostError(
          fmt::format("unknown time zone '{}' (use a name such as Europe/Berlin or UTC)", *overrides.timeZone));
    profile.timeZone = *overrides.timeZone;
  }
  if (overrides.now) profile.now = parseDeviceTime(*overrides.now, profile.timeZone);
  if (!profile.now) {
    using namespace std::chrono;
    double unix = duration<double>(system_clock::now().time_since_epoch()).count();
    profile.now = std::floor(unix) - NSTimeIntervalSince1970;
  }
  return profile;
}

foundation::DeviceProfile bootDeviceRoot(const fs::path& root, const BootOverrides& overrides) {
  checkDeviceRoot(root);
  foundation::setDeviceRoot(fs::absolute(root));
  foundation::DeviceProfile profile = applyOverrides(foundation::loadDeviceProfile(), overrides);
  foundation::bootDevice(profile);
  // The host's clock only moves when a script waits.
  foundation::DeviceClock::setSimulated(*profile.now);
  return profile;
}

}  // namespace sbhost
