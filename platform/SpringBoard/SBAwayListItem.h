#pragma once
/// \file
/// The items of the lock screen's notification list. `SBAwayListItem` is the
/// common base; `SBAwayBulletinListItem` shows one bulletin.

#include <BulletinBoard/BBBulletin.h>
#include <UIKit/UIImage.h>

class SBAwayListItem : public NSObject {
 public:
  static Class classObject();
  SBAwayListItem() = default;

  // Registered: "sortDate", "iconImage", "canBeClearedByNotificationCenter".
  /// The moment the list orders the item by (newest first).
  [[nodiscard]] virtual Ref<NSDate> sortDate() const { return arrival_; }
  /// A plain item has no icon and stays until SpringBoard removes it.
  [[nodiscard]] virtual Ref<UIImage> iconImage() { return nullptr; }
  [[nodiscard]] virtual bool canBeClearedByNotificationCenter() { return false; }

  /// When the item joined the list.
  [[nodiscard]] Ref<NSDate> arrivalDate() const { return arrival_; }

 protected:
  [[nodiscard]] const Ref<NSDate>& arrival() const noexcept { return arrival_; }

 private:
  Ref<NSDate> arrival_ = NSDate::date();
};

class SBAwayBulletinListItem : public SBAwayListItem {
 public:
  static Class classObject();
  SBAwayBulletinListItem() = default;
  /// Rows are let go of long after they were made, many in a row: the
  /// bulletin and the arrival are asked for at once.
  ~SBAwayBulletinListItem() override { SBAwayBulletinListItem::prefetchHeld(); }
  void prefetchHeld() const noexcept override { objc::prefetchCounts(bulletin_, arrival()); }

  // Registered: "initWithBulletin:andObserver:", "activeBulletin", "observer".
  id initWithBulletinAndObserver(Ref<BBBulletin> bulletin, id observer);
  [[nodiscard]] Ref<BBBulletin> activeBulletin() const { return bulletin_; }
  [[nodiscard]] id observer() const { return observer_; }

  /// The bulletin's publication date, else its date, else the arrival.
  [[nodiscard]] Ref<NSDate> sortDate() const override;
  /// The icon of the application that posted the bulletin (its section),
  /// else the generic application icon.
  [[nodiscard]] Ref<UIImage> iconImage() override;
  /// Every bulletin row can be cleared from the notification centre.
  [[nodiscard]] bool canBeClearedByNotificationCenter() override { return true; }

  [[nodiscard]] std::string descriptionString() const override;

 private:
  Ref<BBBulletin> bulletin_;
  id observer_;
};
