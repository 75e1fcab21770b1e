#pragma once
/// \file
/// The screen's backlight: lit or dark, how often something lit it and the
/// last few lightings, so the hosts can show what woke the device without
/// a long-running SpringBoard keeping every one.

#include <objc/NSObject.h>

#include <cstdint>
#include <deque>
#include <string>

struct SBScreenLighting {
  enum class Cause { Bulletin, User };
  Cause cause = Cause::Bulletin;
  /// The description of the item that lit the screen ("" for the user).
  std::string item;
  /// Device clock, seconds since the reference date.
  double time = 0;
};

class SBBacklightController : public NSObject {
 public:
  static Class classObject();
  /// The process's backlight (created lit, as a device in use).
  static SBBacklightController* sharedInstance();

  [[nodiscard]] bool screenIsOn() const noexcept { return on_; }
  /// Lights a dark screen for a bulletin's item; false when it was already lit.
  bool turnOnScreenForItem(const std::string& itemDescription);
  /// The home or power button: lights a dark screen; false when it was lit.
  bool turnOnScreenForUser();
  void turnOffScreen() noexcept { on_ = false; }

  /// How many lightings are kept, newest last.
  static constexpr size_t kKeptLightings = 16;
  /// The last kKeptLightings lightings, oldest first.
  [[nodiscard]] const std::deque<SBScreenLighting>& lightings() const noexcept { return lightings_; }
  /// Every lighting since the start (or the last clear).
  [[nodiscard]] uint64_t lightingCount() const noexcept { return lightingCount_; }
  void clearLightings() noexcept {
    lightings_.clear();
    lightingCount_ = 0;
  }

 private:
  bool light(SBScreenLighting::Cause cause, const std::string& item);

  bool on_ = true;
  std::deque<SBScreenLighting> lightings_;
  uint64_t lightingCount_ = 0;
};
