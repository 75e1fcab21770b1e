#include <SpringBoard/SBAwayListItem.h>

#include <SpringBoard/SBApplicationIcons.h>
#include <objc/ClassBuilder.h>

Class SBAwayListItem::classObject() {
  static Class cls = objc::ClassBuilder<SBAwayListItem, NSObject>("SBAwayListItem")
                         .method<&SBAwayListItem::sortDate>("sortDate")
                         .method<&SBAwayListItem::iconImage>("iconImage")
                         .method<&SBAwayListItem::canBeClearedByNotificationCenter>("canBeClearedByNotificationCenter")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(SBAwayListItem);

Class SBAwayBulletinListItem::classObject() {
  static Class cls =
      objc::ClassBuilder<SBAwayBulletinListItem, SBAwayListItem>("SBAwayBulletinListItem")
          .method<&SBAwayBulletinListItem::initWithBulletinAndObserver>("initWithBulletin:andObserver:")
          .method<&SBAwayBulletinListItem::activeBulletin>("activeBulletin")
          .method<&SBAwayBulletinListItem::observer>("observer")
          .method<&SBAwayBulletinListItem::sortDate>("sortDate")
          .method<&SBAwayBulletinListItem::iconImage>("iconImage")
          .method<&SBAwayBulletinListItem::canBeClearedByNotificationCenter>("canBeClearedByNotificationCenter")
          .build();
  return cls;
}
OBJC_REGISTER_CLASS(SBAwayBulletinListItem);

id SBAwayBulletinListItem::initWithBulletinAndObserver(Ref<BBBulletin> bulletin, id observer) {
  bulletin_ = std::move(bulletin);
  observer_ = std::move(observer);
  return id(this);
}

Ref<NSDate> SBAwayBulletinListItem::sortDate() const {
  if (bulletin_) {
    if (auto published = bulletin_->publicationDate()) return published;
    if (auto date = bulletin_->date()) return date;
  }
  return arrivalDate();
}

Ref<UIImage> SBAwayBulletinListItem::iconImage() {
  auto section = bulletin_ ? bulletin_->sectionID() : nullptr;
  if (section)
    if (auto icon = springboard::installedApplicationIcon(section->str())) return icon;
  return springboard::genericApplicationIcon();
}

std::string SBAwayBulletinListItem::descriptionString() const {
  return "<SBAwayBulletinListItem " + (bulletin_ ? bulletin_->descriptionString() : std::string("(no bulletin)")) + ">";
}
