#pragma once
/// \file
/// A reminder's alarm (VALARM). Location alarms have a structured location
/// and a proximity from X-APPLE-PROXIMITY.

#include <EventKit/EKStructuredLocation.h>

#include <cstdint>

/// NSInteger on the device.
enum EKAlarmProximity : int64_t { EKAlarmProximityNone = 0, EKAlarmProximityEnter = 1, EKAlarmProximityLeave = 2 };

class EKAlarm : public NSObject {
 public:
  static Class classObject();
  EKAlarm() = default;

  /// nil for an alarm that is not tied to a place.
  [[nodiscard]] Ref<EKStructuredLocation> structuredLocation() const { return location_; }
  [[nodiscard]] EKAlarmProximity proximity() const { return proximity_; }

  void setStructuredLocation(Ref<EKStructuredLocation> location) { location_ = std::move(location); }
  void setProximity(EKAlarmProximity proximity) { proximity_ = proximity; }

  [[nodiscard]] std::string descriptionString() const override;

 private:
  Ref<EKStructuredLocation> location_;
  EKAlarmProximity proximity_ = EKAlarmProximityNone;
};
