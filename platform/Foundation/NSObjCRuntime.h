#pragma once
/// \file
/// Release detection: the Foundation version number of the running system.

/// Set from the device profile at boot (see DeviceProfile.h).
extern double NSFoundationVersionNumber;

constexpr double NSFoundationVersionNumber_iOS_7_0 = 1047.20;
constexpr double NSFoundationVersionNumber_iOS_7_1 = 1047.25;
constexpr double NSFoundationVersionNumber_iOS_8_0 = 1140.11;
constexpr double NSFoundationVersionNumber_iOS_8_4 = 1144.17;
constexpr double NSFoundationVersionNumber_iOS_9_0 = 1240.1;
