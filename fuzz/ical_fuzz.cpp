// Feeds arbitrary bytes to the reminder-file reader and to the list colour
// reader: whatever the bytes, both give a defined answer.

#include <EventKit/CollectionLayout.h>
#include <EventKit/ICalendarReader.h>

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  eventkit::ParsedCalendar parsed = eventkit::parseReminderCalendar(bytes);
  for (const eventkit::ReminderRecord& r : parsed.reminders) {
    std::string title = r.title;
    if (eventkit::makeUtf8(title)) std::abort();  // titles leave the reader as UTF-8
    if (r.priority > 9) std::abort();
    if (r.due && (r.due->month < 1 || r.due->month > 12 || r.due->day < 1 || r.due->day > 31)) std::abort();
    for (const eventkit::AlarmRecord& a : r.alarms)
      if (a.proximity < 0 || a.proximity > 2) std::abort();
  }
  if (!parsed.readable && !parsed.reminders.empty()) std::abort();
  if (auto color = eventkit::parseListColor(bytes))
    for (double c : *color)
      if (c < 0 || c > 1) std::abort();
  return 0;
}
