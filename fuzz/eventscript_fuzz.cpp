// The SpringBoard host's event script and its --now time. A script gives
// events or a ScriptError; each event written back as script text reads as
// the same event. A time gives a finite moment or a HostError, and an
// accepted time printed back in its zone shows the fields that were given.

#include <DeviceBoot.h>
#include <EventScript.h>
#include <Foundation/NSCalendar.h>
#include <Foundation/NSDate.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <regex>
#include <string>

#include "FuzzSupport.h"

using fuzzsupport::check;

namespace {

bool sameEvent(const sbhost::Event& a, const sbhost::Event& b) {
  return a.kind == b.kind && a.app == b.app && a.title == b.title && a.message == b.message && a.open == b.open &&
         a.row == b.row && (a.amount == b.amount || (std::isnan(a.amount) && std::isnan(b.amount)));
}

void checkScript(std::string_view text) {
  std::vector<sbhost::Event> events;
  try {
    events = sbhost::parseEventScript(text, "fuzz.txt");
  } catch (const sbhost::ScriptError&) {
    return;
  }
  for (const auto& e : events) {
    std::vector<sbhost::Event> again;
    try {
      again = sbhost::parseEventScript(e.text(), "again.txt");
    } catch (const sbhost::ScriptError& err) {
      std::fprintf(stderr, "%s -> %s\n", e.text().c_str(), err.what());
      check(false, "an event's own text is a valid script");
    }
    check(again.size() == 1 && sameEvent(again[0], e), "an event's text reads back as the same event");
  }
}

void checkTime(std::string_view text) {
  double t = 0;
  try {
    t = sbhost::parseDeviceTime(text, "Europe/Berlin");
  } catch (const sbhost::HostError&) {
    return;
  }
  check(std::isfinite(t), "an accepted time is a finite moment");
  // The date given must be the date the device shows in that zone.
  static const std::regex date(R"(^(\d{4})-(\d{2})-(\d{2}))");
  std::match_results<std::string_view::const_iterator> m;
  if (!std::regex_search(text.begin(), text.end(), m, date)) return;
  const bool offset =
      text.find_first_of("Z+", 10) != std::string_view::npos || text.find('-', 10) != std::string_view::npos;
  // A given offset and a leap second move the day legitimately.
  if (offset || text.find(":60") != std::string_view::npos) return;
  auto comps = NSCalendar::gregorianCalendarInZone(NSTimeZone::timeZoneWithName("Europe/Berlin"))
                   ->componentsFromDate(NSCalendar::Month | NSCalendar::Day,
                                        NSDate::dateWithTimeIntervalSinceReferenceDate(t).get());
  if (!comps) return;
  check(comps->month == std::stoi(m[2].str()) && comps->day == std::stoi(m[3].str()),
        "an accepted date is the date the device shows");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::freshLog();
  const auto [script, time] = fuzzsupport::splitAtNul(fuzzsupport::asText(data, size));
  checkScript(script);
  checkTime(time.empty() ? script : time);
  return 0;
}
