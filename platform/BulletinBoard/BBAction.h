#pragma once
/// \file
/// What happens when a person taps a bulletin: open an address, launch an
/// application, and/or run a call block in SpringBoard.

#include <Foundation/NSString.h>
#include <Foundation/NSURL.h>

#include <functional>

class BBAction : public NSObject {
 public:
  /// Runs in SpringBoard when the action fires; may be empty.
  using CallBlock = std::function<void()>;

  static Class classObject();
  BBAction() = default;

  // Class factories, as `+actionWithLaunchURL:callblock:` and friends.
  static Ref<BBAction> actionWithLaunchURL(Ref<NSURL> url, CallBlock block);
  static Ref<BBAction> actionWithLaunchBundleID(Ref<NSString> bundleID, CallBlock block);
  static Ref<BBAction> actionWithCallblock(CallBlock block);

  [[nodiscard]] Ref<NSURL> launchURL() const { return launchURL_; }
  [[nodiscard]] Ref<NSString> bundleID() const { return bundleID_; }
  [[nodiscard]] bool hasCallblock() const { return static_cast<bool>(block_); }
  /// True when the action opens something (an address or an application).
  [[nodiscard]] bool hasLaunchInfo() const { return launchURL_ || bundleID_; }
  /// Runs the call block, when there is one.
  void invokeCallblock() const;

  [[nodiscard]] std::string descriptionString() const override;

 private:
  Ref<NSURL> launchURL_;
  Ref<NSString> bundleID_;
  CallBlock block_;
};
