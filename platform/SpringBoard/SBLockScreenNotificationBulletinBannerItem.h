#pragma once
/// \file
/// A bulletin shown as a banner over the lock screen; it wraps the list item
/// of the bulletin's row.

#include <SpringBoard/SBAwayListItem.h>

class SBLockScreenNotificationBulletinBannerItem : public NSObject {
 public:
  static Class classObject();
  SBLockScreenNotificationBulletinBannerItem() = default;

  // Registered: "initWithBulletinListItem:", "bulletinListItem"; the variable "_bulletinListItem".
  id initWithBulletinListItem(Ref<SBAwayBulletinListItem> item);
  [[nodiscard]] Ref<SBAwayBulletinListItem> bulletinListItem() const { return _bulletinListItem; }

  [[nodiscard]] std::string descriptionString() const override;

  Ref<SBAwayBulletinListItem> _bulletinListItem;
};
