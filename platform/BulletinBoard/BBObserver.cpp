#include <BulletinBoard/BBObserver.h>

#include <Foundation/NSLog.h>
#include <objc/ClassBuilder.h>

Class BBObserver::classObject() {
  static Class cls = objc::ClassBuilder<BBObserver, NSObject>("BBObserver").build();
  return cls;
}
OBJC_REGISTER_CLASS(BBObserver);

bool BBObserver::deliverBulletin(const Ref<BBBulletin>& bulletin, uint64_t feed, bool playLightsAndSirens) {
  if (!delegate_) {
    NSLog("BBObserver: no delegate for bulletin %@", bulletin);
    return false;
  }
  id self(this);
  if (objc::respondsTo(delegate_, SEL_("observer:addBulletin:forFeed:"))) {
    objc::msg(delegate_, SEL_("observer:addBulletin:forFeed:"), self, bulletin, feed);
    return true;
  }
  if (objc::respondsTo(delegate_, SEL_("observer:addBulletin:forFeed:playLightsAndSirens:withReply:"))) {
    objc::msg(delegate_, SEL_("observer:addBulletin:forFeed:playLightsAndSirens:withReply:"), self, bulletin, feed,
              playLightsAndSirens, id());
    return true;
  }
  NSLog("BBObserver: delegate %@ takes no bulletins", delegate_);
  return false;
}

bool BBObserver::withdrawBulletin(const Ref<BBBulletin>& bulletin) {
  if (!delegate_ || !objc::respondsTo(delegate_, SEL_("observer:removeBulletin:"))) {
    NSLog("BBObserver: no delegate to withdraw bulletin %@", bulletin);
    return false;
  }
  objc::msg(delegate_, SEL_("observer:removeBulletin:"), id(this), bulletin);
  return true;
}
