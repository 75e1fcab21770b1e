#pragma once
/// \file
/// The date text of a lock-screen row, as the device words it relative to
/// now, in the device's calendar and time zone:
///
///   within a minute            "now"
///   earlier within the hour    "5m ago"
///   the same day otherwise     "9:30 AM"
///   the day before / after     "Yesterday" / "Tomorrow"
///   within six days            the weekday, "Tuesday"
///   further away               the short date, "12/8/26"
///
/// An all-day date has no time of day: "Today", "Yesterday", "Tomorrow", the
/// weekday or the short date.

#include <Foundation/NSDate.h>

#include <string>

namespace springboard {

/// The row's date text; empty for no date.
std::string relevanceDateText(const NSDate* date, bool allDay, const NSDate* now);

}  // namespace springboard
