#pragma once
/// \file
/// The bulletins of one load of the lock-screen list: withdrawing the
/// previous load's and publishing one per shown reminder.

#include <Foundation/NSArray.h>
#include <objc/NSObject.h>

namespace quillpane {

/// Takes back every bulletin of the previous load (on releases that
/// withdraw, and only through an observer) and empties publishedBulletins,
/// creating it at the first load.
void withdrawPublishedBulletins(const id& controller, const id& observer, bool hasObserver);

/// Builds a bulletin for each shown reminder among the examined positions
/// and hands it to the list controller's observer.
void publishReminderBulletins(const id& controller, const id& observer, const NSArray& reminders);

}  // namespace quillpane
