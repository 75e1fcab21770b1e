#pragma once
/// \file
/// Reading one iCalendar file of a reminder list (libical underneath): the
/// reminders it holds as plain records, and a description of everything
/// that was wrong with it. Knows nothing of the store or its objects, so
/// the fuzz target drives it with raw bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace eventkit {

/// A DUE value as written: a date, or a date with a time of day.
struct DueDate {
  enum class Zone { Floating, Utc, Named };
  int year = 0, month = 0, day = 0;
  bool hasTime = false;
  int hour = 0, minute = 0, second = 0;
  Zone zone = Zone::Floating;
  /// For a named zone: names to try in order (the TZID as written, its
  /// Olson tail, the VTIMEZONE's X-LIC-LOCATION, the zone a Windows name
  /// stands for).
  std::vector<std::string> zoneNames;
  /// For a named zone no name resolves: its offset from UTC at this time,
  /// as the file's own VTIMEZONE of that name defines it.
  std::optional<int32_t> fileZoneOffset;
};

/// A VALARM. Location alarms carry the title of X-APPLE-STRUCTURED-LOCATION.
struct AlarmRecord {
  bool hasLocation = false;
  std::string locationTitle;
  int64_t proximity = 0;  ///< 1 arrive, 2 depart, 0 otherwise
};

/// A VTODO, or a recurring series of them: the master with its edited or
/// completed occurrences (RECURRENCE-ID) folded in.
struct ReminderRecord {
  std::string uid;
  std::string title;
  std::string notes;
  uint64_t priority = 0;
  /// For a recurring reminder, the first occurrence not yet completed.
  std::optional<DueDate> due;
  bool completed = false;
  /// STATUS:CANCELLED: not done, but nothing left to do either.
  bool cancelled = false;
  std::vector<AlarmRecord> alarms;
};

struct ParsedCalendar {
  /// False when the bytes are no iCalendar data at all.
  bool readable = false;
  std::vector<ReminderRecord> reminders;  ///< in the order they stand in the file
  /// One sentence per thing skipped or defaulted, for the log.
  std::vector<std::string> problems;
};

/// Parses one file's bytes. Never throws for bad input.
ParsedCalendar parseReminderCalendar(std::string_view bytes);

/// Text as UTF-8: valid UTF-8 stays as it is, anything else is read as
/// Latin-1 (what older writers mostly meant). Returns true when converted.
bool makeUtf8(std::string& text);

}  // namespace eventkit
