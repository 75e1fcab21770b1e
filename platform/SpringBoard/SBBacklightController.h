#pragma once
/// \file
/// The screen's backlight: lit or dark, and a record of every time something
/// lit it, so the hosts can show what woke the device.

#include <objc/NSObject.h>

#include <string>
#include <vector>

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

  [[nodiscard]] const std::vector<SBScreenLighting>& lightings() const noexcept { return lightings_; }
  void clearLightings() noexcept { lightings_.clear(); }

 private:
  bool light(SBScreenLighting::Cause cause, const std::string& item);

  bool on_ = true;
  std::vector<SBScreenLighting> lightings_;
};
