#pragma once
/// \file
/// The SpringBoard application. Its class exists only in the SpringBoard
/// process: loading this library does not register it; the SpringBoard host
/// calls SBRegisterSpringBoardApplicationClass() when it starts, after the
/// device has booted.

#include <UIKit/UIApplication.h>

#include <string>
#include <vector>

class SpringBoard : public UIApplication {
 public:
  static Class classObject();
  SpringBoard() = default;

  // Registered: "launchApplicationWithIdentifier:suspended:".
  /// Records the launch; true for a non-empty identifier.
  bool launchApplicationWithIdentifier(Ref<NSString> bundleIdentifier, bool suspended);
  [[nodiscard]] const std::vector<std::string>& launchedApplications() const noexcept { return launched_; }

 private:
  std::vector<std::string> launched_;
};

/// Registers the "SpringBoard" class, and with it the lock-screen classes
/// whose members depend on the release (from the booted device profile).
/// Safe to call more than once.
void SBRegisterSpringBoardApplicationClass();
