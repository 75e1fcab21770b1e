#pragma once
/// \file
/// The lock screen's view controller: it holds the lock-screen view and the
/// notification list's controller of one lock, and is handed to lock-screen
/// plug-in overlays.

#include <SpringBoard/SBLockScreenNotificationListController.h>
#include <SpringBoard/SBLockScreenView.h>

class SBLockScreenViewController : public NSObject {
 public:
  static Class classObject();
  SBLockScreenViewController() = default;

  // Registered: "lockScreenView", "notificationListController".
  [[nodiscard]] Ref<SBLockScreenView> lockScreenView() const { return lockScreenView_; }
  [[nodiscard]] Ref<SBLockScreenNotificationListController> notificationListController() const {
    return listController_;
  }

  void setLockScreenView(Ref<SBLockScreenView> view) { lockScreenView_ = std::move(view); }
  void setNotificationListController(Ref<SBLockScreenNotificationListController> controller) {
    listController_ = std::move(controller);
  }

 private:
  Ref<SBLockScreenView> lockScreenView_;
  Ref<SBLockScreenNotificationListController> listController_;
};
