#include <SpringBoard/SBLockScreenNotificationBulletinBannerItem.h>

#include <objc/ClassBuilder.h>

Class SBLockScreenNotificationBulletinBannerItem::classObject() {
  using Item = SBLockScreenNotificationBulletinBannerItem;
  static Class cls = objc::ClassBuilder<Item, NSObject>("SBLockScreenNotificationBulletinBannerItem")
                         .method<&Item::initWithBulletinListItem>("initWithBulletinListItem:")
                         .method<&Item::bulletinListItem>("bulletinListItem")
                         .ivar<&Item::_bulletinListItem>("_bulletinListItem")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(SBLockScreenNotificationBulletinBannerItem);

id SBLockScreenNotificationBulletinBannerItem::initWithBulletinListItem(Ref<SBAwayBulletinListItem> item) {
  _bulletinListItem = std::move(item);
  return id(this);
}

std::string SBLockScreenNotificationBulletinBannerItem::descriptionString() const {
  return "<SBLockScreenNotificationBulletinBannerItem " +
         (_bulletinListItem ? _bulletinListItem->descriptionString() : std::string("(no item)")) + ">";
}
