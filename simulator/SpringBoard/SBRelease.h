#pragma once
/// \file
/// What differs between the releases SpringBoard runs on, decided from the
/// booted device profile's Foundation version number when a class that
/// depends on it registers with the runtime.

namespace springboard {

/// iOS 8 (Foundation 1140) and later.
constexpr double kFirstFoundationVersionOfIOS8 = 1140.0;

/// The booted profile's Foundation version number.
double bootedFoundationVersion();

/// iOS 7 takes bulletins through `observer:addBulletin:forFeed:`; iOS 8 and
/// later through `observer:addBulletin:forFeed:playLightsAndSirens:withReply:`.
bool takesBulletinsWithShortHandler();

/// Only iOS 7's bulletin cells answer `setDrawsSeparators:`.
bool cellsAnswerSetDrawsSeparators();

}  // namespace springboard
