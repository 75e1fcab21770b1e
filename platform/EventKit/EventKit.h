#pragma once
/// \file
/// Everything EventKit offers, in one include.

#include <EventKit/EKAlarm.h>
#include <EventKit/EKCalendar.h>
#include <EventKit/EKCalendarItem.h>
#include <EventKit/EKEventStore.h>
#include <EventKit/EKReminder.h>
#include <EventKit/EKReminderPredicate.h>
#include <EventKit/EKSource.h>
#include <EventKit/EKStructuredLocation.h>
