#include "ReminderSelection.h"

namespace quillpane {

NSComparisonResult compareDueDates(int64_t reminderSorting, const DueDate& a, const DueDate& b) {
  const bool undatedFirst = reminderSorting == 1;
  if (a.present && !b.present) return undatedFirst ? NSOrderedDescending : NSOrderedAscending;
  if (!a.present && b.present) return undatedFirst ? NSOrderedAscending : NSOrderedDescending;
  if (!a.present && !b.present) return NSOrderedSame;
  if (!a.point || !b.point || *a.point == *b.point) return NSOrderedSame;
  return *a.point > *b.point ? NSOrderedDescending : NSOrderedAscending;
}

int32_t positionsToExamine(uint64_t count, int64_t maxRemindersToDisplay) {
  uint64_t n = count;
  if (maxRemindersToDisplay != 0 && static_cast<uint64_t>(maxRemindersToDisplay) < count)
    n = static_cast<uint64_t>(maxRemindersToDisplay);
  return static_cast<int32_t>(n);
}

bool passesDueDateSwitches(const DueDate& due, const SelectionSettings& s) {
  if (!s.showItemsWithoutDueDate && !due.present) return false;
  if (!s.showItemsWithDueDate && due.present) return false;
  return true;
}

bool isPastDue(const DueDate& due, double now) { return due.point && *due.point < now; }

bool isBeyondHorizon(const DueDate& due, double horizon) { return due.point && *due.point > horizon; }

bool isShown(const DueDate& due, double now, double horizon, const SelectionSettings& s) {
  if (!passesDueDateSwitches(due, s)) return false;
  if (!due.present) return true;
  if (isPastDue(due, now) && !s.showItemsWithPastDueDate) return false;
  return !isBeyondHorizon(due, horizon);
}

}  // namespace quillpane
