#include <SpringBoard/LockScreenDriver.h>

#include <BulletinBoard/BBObserver.h>
#include <Foundation/DeviceClock.h>
#include <Foundation/DeviceProfile.h>
#include <Foundation/NSRunLoop.h>
#include <UIKit/UIScreen.h>
#include <objc/message.h>

#include <algorithm>
#include <stdexcept>

namespace {

Ref<NSString> optionalText(const std::string& text) { return text.empty() ? nullptr : NSStr(text); }

/// A bulletin as another application's server posting makes it.
Ref<BBBulletin> applicationBulletin(std::string_view app, std::string_view title, std::string_view message,
                                    const Ref<NSDate>& date) {
  auto bulletin = objc::msg<Ref<BBBulletin>>(objc::alloc<BBBulletin>(), SEL_("init"));
  bulletin->setSectionID(NSStr(app));
  bulletin->setTitle(NSStr(title));
  bulletin->setMessage(NSStr(message));
  bulletin->setDate(date);
  bulletin->setPublicationDate(date);
  bulletin->setLastInterruptDate(date);
  bulletin->setDefaultAction(BBAction::actionWithLaunchBundleID(NSStr(app), nullptr));
  return bulletin;
}

}  // namespace

LockScreenDriver::LockScreenDriver() {
  SBRegisterSpringBoardApplicationClass();
  application_ = objc::msg<Ref<SpringBoard>>(objc::alloc<SpringBoard>(), SEL_("init"));
}

LockScreenDriver::~LockScreenDriver() = default;

// --- actions -----------------------------------------------------------------

void LockScreenDriver::lock() {
  if (overlay_) overlay_->dismissOverlay();
  overlay_ = nullptr;
  SBBacklightController::sharedInstance()->turnOffScreen();

  auto view = objc::cast<SBLockScreenView>(
      objc::msg<id>(objc::alloc<SBLockScreenView>(), SEL_("initWithFrame:"), UIScreen::mainScreen()->bounds()));
  auto controller = objc::cast<SBLockScreenNotificationListController>(
      objc::msg<id>(objc::alloc<SBLockScreenNotificationListController>(), SEL_("init")));
  auto viewController = objc::create<SBLockScreenViewController>();
  viewController->setLockScreenView(view);
  viewController->setNotificationListController(controller);
  viewController_ = viewController;

  objc::msg(controller, SEL_("loadView"));
  view->setNotificationListView(controller->view());
  deliverProfileBulletins();
  layout();
}

void LockScreenDriver::wake() {
  SBBacklightController::sharedInstance()->turnOnScreenForUser();
  if (auto view = lockScreenView()) view->updateClock();
}

Ref<BBBulletin> LockScreenDriver::notify(std::string_view app, std::string_view title, std::string_view message) {
  requireLock("notify");
  auto bulletin = applicationBulletin(app, title, message, NSDate::date());
  deliver(bulletin);
  layout();
  return bulletin;
}

void LockScreenDriver::nowPlaying(bool open) {
  requireLock("now-playing");
  if (open && !overlay_) {
    overlay_ = objc::cast<SBLockScreenPluginOverlayContext>(
        objc::msg<id>(objc::alloc<SBLockScreenPluginOverlayContext>(),
                      SEL_("initWithPluginName:pluginController:lockScreenViewController:"),
                      NSStr(SBLockScreenPluginOverlayContext::kNowPlayingPluginName), id(), viewController_));
    overlay_->presentOverlay();
  } else if (!open && overlay_) {
    overlay_->dismissOverlay();
    overlay_ = nullptr;
  }
  layout();
}

RowTapResult LockScreenDriver::tap(uint64_t row) {
  checkRow(row);
  RowTapResult result;
  auto bulletin = bulletinAtRow(row);
  auto action = bulletin ? objc::msg<Ref<BBAction>>(bulletin, SEL_("defaultAction")) : nullptr;
  if (!action) return result;
  result.ranCallblock = action->hasCallblock();
  action->invokeCallblock();
  if (auto url = action->launchURL()) {
    objc::msg<bool>(UIApplication::sharedApplication(), SEL_("openURL:"), url);
    openedURLs_.push_back(url->absoluteString());
    result.kind = RowTapResult::Kind::OpenedURL;
    result.target = url->absoluteString();
  } else if (auto bundleID = action->bundleID()) {
    objc::msg<bool>(application_, SEL_("launchApplicationWithIdentifier:suspended:"), bundleID, false);
    result.kind = RowTapResult::Kind::LaunchedApplication;
    result.target = bundleID->str();
  }
  return result;
}

bool LockScreenDriver::swipe(uint64_t row) {
  checkRow(row);
  auto list = listView();
  auto indexPath = indexPathForRow(row);
  if (!objc::msg<bool>(list, SEL_("tableView:canEditRowAtIndexPath:"), list->tableView(), indexPath)) return false;
  objc::msg(list, SEL_("tableView:commitEditingStyle:forRowAtIndexPath:"), list->tableView(),
            NSInteger{UITableViewCellEditingStyleDelete}, indexPath);
  layout();
  return true;
}

uint64_t LockScreenDriver::clear() {
  requireLock("clear");
  auto controller = listController();
  std::vector<id> clearable;
  for (const auto& item : *controller->listItems())
    if (objc::respondsTo(item.get(), SEL_("canBeClearedByNotificationCenter")) &&
        objc::msg<bool>(item, SEL_("canBeClearedByNotificationCenter")))
      clearable.push_back(item);
  for (const auto& item : clearable) controller->clearListItem(item);
  layout();
  return clearable.size();
}

void LockScreenDriver::scroll(double points) {
  requireLock("scroll");
  auto table = tableView();
  layout();
  const uint64_t rows = rowCount();
  const double contentHeight = rows ? CGRectGetMaxY(table->rectForRowAtIndexPath(indexPathForRow(rows - 1))) : 0;
  const double maxOffset = std::max(0.0, contentHeight - table->bounds().size.height);
  const double offset = std::clamp(table->contentOffset().y + points, 0.0, maxOffset);
  table->setContentOffset(CGPointMake(table->contentOffset().x, offset));
  layout();
  listView()->updateContentAlpha();
}

void LockScreenDriver::wait(double seconds) {
  auto* loop = NSRunLoop::mainRunLoop();
  if (foundation::DeviceClock::isSimulated())
    loop->advanceBy(seconds);
  else
    loop->runFor(seconds);
  if (isLocked()) layout();
}

void LockScreenDriver::layout() {
  requireLock("layout");
  auto view = lockScreenView();
  view->updateClock();
  view->setNeedsLayout();
  if (auto list = listView()) list->setNeedsLayout();
  view->layoutIfNeeded();
}

void LockScreenDriver::deliverProfileBulletins() {
  for (const auto& posted : foundation::currentDeviceProfile().bulletins) {
    auto date = posted.date ? NSDate::dateWithTimeIntervalSinceReferenceDate(*posted.date) : NSDate::date();
    auto bulletin = applicationBulletin(posted.sectionID, posted.title, posted.message, date);
    bulletin->setSubtitle(optionalText(posted.subtitle));
    if (!posted.bulletinID.empty()) bulletin->setBulletinID(NSStr(posted.bulletinID));
    deliver(bulletin);
  }
}

void LockScreenDriver::deliver(const Ref<BBBulletin>& bulletin) {
  listController()->observer()->deliverBulletin(bulletin, BBObserverFeedLockScreen);
}

// --- state -------------------------------------------------------------------

bool LockScreenDriver::screenIsOn() const { return SBBacklightController::sharedInstance()->screenIsOn(); }

const std::deque<SBScreenLighting>& LockScreenDriver::lightings() const {
  return SBBacklightController::sharedInstance()->lightings();
}

Ref<SBLockScreenView> LockScreenDriver::lockScreenView() const {
  return viewController_ ? viewController_->lockScreenView() : nullptr;
}

Ref<SBLockScreenNotificationListController> LockScreenDriver::listController() const {
  return viewController_ ? viewController_->notificationListController() : nullptr;
}

Ref<SBLockScreenNotificationListView> LockScreenDriver::listView() const {
  auto controller = listController();
  return controller ? controller->listView() : nullptr;
}

Ref<UITableView> LockScreenDriver::tableView() const {
  auto list = listView();
  return list ? list->tableView() : nullptr;
}

uint64_t LockScreenDriver::rowCount() const {
  auto controller = listController();
  return controller ? controller->listItems()->count() : 0;
}

id LockScreenDriver::listItemAtRow(uint64_t row) const {
  checkRow(row);
  return listController()->listItems()->objectAtIndex(row);
}

Ref<BBBulletin> LockScreenDriver::bulletinAtRow(uint64_t row) const {
  id item = listItemAtRow(row);
  if (!objc::respondsTo(item.get(), SEL_("activeBulletin"))) return nullptr;
  return objc::as<BBBulletin>(objc::msg<id>(item, SEL_("activeBulletin")));
}

Ref<SBLockScreenBulletinCell> LockScreenDriver::cellForRow(uint64_t row) const {
  checkRow(row);
  auto table = tableView();
  return table ? objc::as<SBLockScreenBulletinCell>(table->cellForRowAtIndexPath(indexPathForRow(row))) : nullptr;
}

CGRect LockScreenDriver::rowRect(uint64_t row) const {
  checkRow(row);
  auto table = tableView();
  return table ? table->rectForRowAtIndexPath(indexPathForRow(row)) : CGRectZero;
}

CGRect LockScreenDriver::rowFrameOnScreen(uint64_t row) const {
  CGRect rect = rowRect(row);
  auto table = tableView();
  if (!table) return rect;
  // The table's bounds origin is its scroll offset, so content points convert directly.
  rect.origin = table->convertPointToView(rect.origin, nullptr);
  return rect;
}

bool LockScreenDriver::canClearRow(uint64_t row) const {
  id item = listItemAtRow(row);
  return objc::respondsTo(item.get(), SEL_("canBeClearedByNotificationCenter")) &&
         objc::msg<bool>(item, SEL_("canBeClearedByNotificationCenter"));
}

bool LockScreenDriver::canEditRow(uint64_t row) const {
  checkRow(row);
  auto list = listView();
  return list &&
         objc::msg<bool>(list, SEL_("tableView:canEditRowAtIndexPath:"), list->tableView(), indexPathForRow(row));
}

std::vector<std::string> LockScreenDriver::underlayRequesters() const {
  auto view = lockScreenView();
  return view ? view->underlayRequesters() : std::vector<std::string>{};
}

bool LockScreenDriver::underlayShown() const {
  auto view = lockScreenView();
  return view && view->isShowingLockContentUnderlay();
}

const std::vector<std::string>& LockScreenDriver::launchedApplications() const {
  return application_->launchedApplications();
}

void LockScreenDriver::requireLock(const char* action) const {
  if (!isLocked()) throw std::logic_error(std::string(action) + ": the device has not been locked yet");
}

void LockScreenDriver::checkRow(uint64_t row) const {
  requireLock("row");
  const uint64_t rows = rowCount();
  if (row >= rows)
    throw std::out_of_range("row " + std::to_string(row) + " is out of range: the list has " + std::to_string(rows) +
                            (rows == 1 ? " row" : " rows"));
}

Ref<NSIndexPath> LockScreenDriver::indexPathForRow(uint64_t row) const {
  return NSIndexPath::indexPathForRow(static_cast<NSInteger>(row), 0);
}
