#include <BulletinBoard/BBAction.h>

#include <objc/ClassBuilder.h>

Class BBAction::classObject() {
  static Class cls = objc::ClassBuilder<BBAction, NSObject>("BBAction")
                         .method<&BBAction::launchURL>("launchURL")
                         .method<&BBAction::bundleID>("bundleID")
                         .method<&BBAction::hasCallblock>("hasCallblock")
                         .method<&BBAction::hasLaunchInfo>("hasLaunchInfo")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(BBAction);

Ref<BBAction> BBAction::actionWithLaunchURL(Ref<NSURL> url, CallBlock block) {
  auto action = objc::create<BBAction>();
  action->launchURL_ = std::move(url);
  action->block_ = std::move(block);
  return action;
}

Ref<BBAction> BBAction::actionWithLaunchBundleID(Ref<NSString> bundleID, CallBlock block) {
  auto action = objc::create<BBAction>();
  action->bundleID_ = std::move(bundleID);
  action->block_ = std::move(block);
  return action;
}

Ref<BBAction> BBAction::actionWithCallblock(CallBlock block) {
  auto action = objc::create<BBAction>();
  action->block_ = std::move(block);
  return action;
}

void BBAction::invokeCallblock() const {
  if (block_) block_();
}

std::string BBAction::descriptionString() const {
  std::string text = "<BBAction";
  if (launchURL_) text += " launchURL=" + launchURL_->absoluteString();
  if (bundleID_) text += " bundleID=" + bundleID_->str();
  if (block_) text += " callblock";
  return text + ">";
}
