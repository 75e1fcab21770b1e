#pragma once
/// \file
/// The bulletin server's connection to one client. It hands each bulletin to
/// its delegate (the lock-screen list controller) through the delegate's own
/// handlers, sent through the runtime: `observer:addBulletin:forFeed:` or,
/// where the release has it instead, the longer
/// `observer:addBulletin:forFeed:playLightsAndSirens:withReply:`, and
/// `observer:removeBulletin:`.

#include <BulletinBoard/BBBulletin.h>

#include <cstdint>

/// The lock screen's feed (the feeds are bit flags on the device).
constexpr uint64_t BBObserverFeedLockScreen = 1 << 3;

class BBObserver : public NSObject {
 public:
  static Class classObject();
  BBObserver() = default;

  /// The receiver of this observer's bulletins. Not retained: the delegate
  /// owns its observer and clears this when it goes.
  void setDelegate(NSObject* delegate) { delegate_ = delegate; }
  [[nodiscard]] NSObject* delegate() const { return delegate_; }

  /// Hands a bulletin to the delegate; false (with a log line) when the
  /// delegate answers neither add handler or there is no delegate.
  bool deliverBulletin(const Ref<BBBulletin>& bulletin, uint64_t feed, bool playLightsAndSirens = true);
  /// Tells the delegate a bulletin was withdrawn.
  bool withdrawBulletin(const Ref<BBBulletin>& bulletin);

 private:
  NSObject* delegate_ = nullptr;
};
