#pragma once
/// \file
/// The lock screen: the clock and date at the top, the notification list in
/// the middle, "slide to unlock" at the bottom, over the wallpaper. Parts of
/// the lock screen that want the blurred wallpaper layer behind them (the
/// lock content underlay) ask for it under a requester name and withdraw it
/// under the same name; the underlay shows while any requester holds it.

#include <UIKit/UILabel.h>
#include <UIKit/UIView.h>

#include <string>
#include <vector>

class SBLockScreenView : public UIView {
 public:
  static Class classObject();
  SBLockScreenView() = default;

  /// Builds the clock, date and unlock labels for a screen-sized frame.
  id initWithFrame(CGRect frame) override;

  // Registered: "_addLockContentUnderlayWithRequester:", "_removeLockContentUnderlayWithRequester:".
  /// Adds the requester to the set holding the underlay (once per name).
  void addLockContentUnderlayWithRequester(Ref<NSString> requester);
  /// Takes the requester out of the set; an unknown name changes nothing.
  void removeLockContentUnderlayWithRequester(Ref<NSString> requester);

  // Registered: "isShowingLockContentUnderlay".
  [[nodiscard]] bool isShowingLockContentUnderlay() const noexcept { return !requesters_.empty(); }
  /// The names holding the underlay, in the order they asked.
  [[nodiscard]] const std::vector<std::string>& underlayRequesters() const noexcept { return requesters_; }
  [[nodiscard]] bool hasUnderlayRequester(std::string_view name) const;

  /// One request that reached the lock screen, for the hosts' record.
  struct UnderlayRequest {
    bool add;
    std::string requester;
  };
  [[nodiscard]] const std::vector<UnderlayRequest>& underlayRequestLog() const noexcept { return requestLog_; }

  /// Places the notification list between the date and the unlock text.
  void setNotificationListView(const Ref<UIView>& listView);
  [[nodiscard]] Ref<UIView> notificationListView() const { return listView_; }
  /// The list's frame in this view.
  [[nodiscard]] CGRect notificationListFrame() const;

  [[nodiscard]] Ref<UILabel> timeLabel() const { return timeLabel_; }
  [[nodiscard]] Ref<UILabel> dateLabel() const { return dateLabel_; }
  [[nodiscard]] Ref<UILabel> slideToUnlockLabel() const { return slideToUnlockLabel_; }

  /// Sets the clock and date texts from the device clock.
  void updateClock();
  /// Places the header, the list and the unlock text for the bounds.
  void layoutSubviews() override;

 private:
  std::vector<std::string> requesters_;
  std::vector<UnderlayRequest> requestLog_;
  Ref<UILabel> timeLabel_, dateLabel_, slideToUnlockLabel_;
  Ref<UIView> listView_;
};
