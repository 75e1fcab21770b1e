#pragma once
/// \file
/// The device clock behind `[NSDate date]` and the run loop's timers. Tests
/// and the device programs set and advance it; the device itself only reads
/// it through NSDate.

namespace foundation {

/// The device clock: seconds since the reference date. Real time unless a
/// simulated clock is installed.
class DeviceClock {
 public:
  static double now();
  /// Freezes the clock at t (simulated time); it then moves only by advance().
  static void setSimulated(double sinceReferenceDate);
  static void advance(double seconds);
  static void useRealTime();
  [[nodiscard]] static bool isSimulated();
};

}  // namespace foundation
