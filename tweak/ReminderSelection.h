#pragma once
/// \file
/// Which fetched reminders are shown, and in which order: the due-date
/// comparator and the display selection, over plain values.

#include <Foundation/NSArray.h>

#include <cstdint>
#include <optional>

namespace quillpane {

/// A reminder's due date as the selection sees it: whether it has one, and
/// the point in time it converts to (seconds since the reference date;
/// nullopt when the conversion gives none).
struct DueDate {
  bool present = false;
  std::optional<double> point;
};

/// Orders two reminders for reminderSorting 1 (undated first) or 2 (undated
/// last); dated reminders run earliest first; same when equal or when
/// either date has no point in time.
NSComparisonResult compareDueDates(int64_t reminderSorting, const DueDate& a, const DueDate& b);

/// How many list positions are examined: the count limit when it is set and
/// below the count (compared unsigned, so negative means no limit), else
/// all; taken as a signed 32-bit number.
int32_t positionsToExamine(uint64_t count, int64_t maxRemindersToDisplay);

struct SelectionSettings {
  bool showItemsWithoutDueDate = true;
  bool showItemsWithDueDate = true;
  bool showItemsWithPastDueDate = true;
};

/// The due-date switches, before any date is looked at.
bool passesDueDateSwitches(const DueDate& due, const SelectionSettings& s);
/// Strictly earlier than now.
bool isPastDue(const DueDate& due, double now);
/// Strictly later than the horizon.
bool isBeyondHorizon(const DueDate& due, double horizon);

/// Whether a fetched reminder becomes a bulletin: the due-date switches,
/// then, for a dated reminder, neither past due (unless shown) nor beyond
/// the horizon. The horizon is now plus daysToDisplay days, or now itself
/// when daysToDisplay is -1.
bool isShown(const DueDate& due, double now, double horizon, const SelectionSettings& s);

}  // namespace quillpane
