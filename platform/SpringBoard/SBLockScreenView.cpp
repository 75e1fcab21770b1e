#include <SpringBoard/SBLockScreenView.h>

#include <Foundation/NSCalendar.h>
#include <SpringBoard/SBLabelFactory.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIFont.h>
#include <objc/ClassBuilder.h>

#include <algorithm>
#include <cstdio>

Class SBLockScreenView::classObject() {
  static Class cls =
      objc::ClassBuilder<SBLockScreenView, UIView>("SBLockScreenView")
          .method<&SBLockScreenView::initWithFrame>("initWithFrame:")
          .method<&SBLockScreenView::addLockContentUnderlayWithRequester>("_addLockContentUnderlayWithRequester:")
          .method<&SBLockScreenView::removeLockContentUnderlayWithRequester>("_removeLockContentUnderlayWithRequester:")
          .method<&SBLockScreenView::isShowingLockContentUnderlay>("isShowingLockContentUnderlay")
          .method<&SBLockScreenView::layoutSubviews>("layoutSubviews")
          .build();
  return cls;
}
OBJC_REGISTER_CLASS(SBLockScreenView);

namespace {

// The iOS 7 lock screen's proportions on a 568-point screen.
constexpr double kClockTop = 28, kClockHeight = 80;
constexpr double kDateTop = 108, kDateHeight = 22;
constexpr double kListTop = 150;
constexpr double kUnlockFromBottom = 70, kUnlockHeight = 30;
constexpr double kListGapAboveUnlock = 30;

constexpr const char* kWeekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
constexpr const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

}  // namespace

id SBLockScreenView::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  auto white = UIColor::whiteColor();
  timeLabel_ = springboard::newLabel(UIFont::systemFontOfSize(72), white, NSTextAlignmentCenter);
  dateLabel_ = springboard::newLabel(UIFont::systemFontOfSize(17), white, NSTextAlignmentCenter);
  slideToUnlockLabel_ = springboard::newLabel(UIFont::systemFontOfSize(22), white, NSTextAlignmentCenter);
  slideToUnlockLabel_->setText(NSStr("slide to unlock"));
  addSubview(timeLabel_);
  addSubview(dateLabel_);
  addSubview(slideToUnlockLabel_);
  updateClock();
  setNeedsLayout();
  return id(this);
}

void SBLockScreenView::addLockContentUnderlayWithRequester(Ref<NSString> requester) {
  std::string name = requester ? requester->str() : std::string();
  requestLog_.push_back({true, name});
  if (!hasUnderlayRequester(name)) requesters_.push_back(name);
}

void SBLockScreenView::removeLockContentUnderlayWithRequester(Ref<NSString> requester) {
  std::string name = requester ? requester->str() : std::string();
  requestLog_.push_back({false, name});
  std::erase(requesters_, name);
}

bool SBLockScreenView::hasUnderlayRequester(std::string_view name) const {
  return std::find(requesters_.begin(), requesters_.end(), name) != requesters_.end();
}

void SBLockScreenView::setNotificationListView(const Ref<UIView>& listView) {
  if (listView_ == listView) return;
  if (listView_) listView_->removeFromSuperview();
  listView_ = listView;
  if (!listView_) return;
  listView_->setFrame(notificationListFrame());
  addSubview(listView_);
}

CGRect SBLockScreenView::notificationListFrame() const {
  const CGRect b = bounds();
  double bottom = b.size.height - kUnlockFromBottom - kListGapAboveUnlock;
  return CGRectMake(0, kListTop, b.size.width, std::max(0.0, bottom - kListTop));
}

void SBLockScreenView::updateClock() {
  auto now = NSDate::date();
  auto comps = NSCalendar::currentCalendar()->componentsFromDate(
      NSCalendar::Hour | NSCalendar::Minute | NSCalendar::Weekday | NSCalendar::Month | NSCalendar::Day, now.get());
  long hour = static_cast<long>(comps->hour) % 12;
  char time[16];
  std::snprintf(time, sizeof time, "%ld:%02ld", hour == 0 ? 12 : hour, static_cast<long>(comps->minute));
  timeLabel_->setText(NSStr(time));
  long weekday = static_cast<long>(comps->weekday), month = static_cast<long>(comps->month);
  if (weekday >= 1 && weekday <= 7 && month >= 1 && month <= 12)
    dateLabel_->setText(NSStr(std::string(kWeekdays[weekday - 1]) + ", " + kMonths[month - 1] + " " +
                              std::to_string(static_cast<long>(comps->day))));
}

void SBLockScreenView::layoutSubviews() {
  UIView::layoutSubviews();
  const CGRect b = bounds();
  timeLabel_->setFrame(CGRectMake(0, kClockTop, b.size.width, kClockHeight));
  dateLabel_->setFrame(CGRectMake(0, kDateTop, b.size.width, kDateHeight));
  slideToUnlockLabel_->setFrame(CGRectMake(0, b.size.height - kUnlockFromBottom, b.size.width, kUnlockHeight));
  if (listView_) listView_->setFrame(notificationListFrame());
}
