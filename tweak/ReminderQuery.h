#pragma once
/// \file
/// The reminder query: the incomplete reminders of the chosen lists, in the
/// configured order.

#include "ReminderSelection.h"

#include <Foundation/NSArray.h>

#include <Quillpane/Contract.h>

#include <string_view>

class EKReminder;

namespace quillpane {

using contract::kCalendarsFile;

/// How long SpringBoard's main thread waits for the store before it gives
/// up on this load: a store that never answers must not hang the device.
constexpr double kFetchTimeoutSeconds = 2.0;

/// Fetches the incomplete reminders of the lists in the calendars file and
/// sorts them by reminderSorting. Blocks until the store answers or the
/// wait runs out (then the result is empty). Never nil.
Ref<NSMutableArray> fetchReminders();

/// The reminder's due date converted in the current calendar.
DueDate dueDateOf(const EKReminder* reminder);

}  // namespace quillpane
