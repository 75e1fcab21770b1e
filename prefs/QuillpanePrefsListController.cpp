#include "QuillpanePrefsListController.h"

#include "PaneFiles.h"
#include "QPN_AppListTVC.h"
#include "QPN_CalendarsTVC.h"
#include "QPN_OtherAppsViewController.h"
#include "QPN_SortOrderTVC.h"

#include <Foundation/NSLog.h>
#include <Foundation/NSNumber.h>
#include <UIKit/UIApplication.h>
#include <notify/CFNotificationCenter.h>
#include <objc/ClassBuilder.h>

using quillpane::prefs::keepUnreadableFile;
using quillpane::prefs::kPreferenceFile;
namespace contract = quillpane::contract;

namespace {

const char* const kTwitterFollowURL = "https://twitter.com/intent/user?screen_name=brightrepo";
const char* const kSyslogPackageURL = "https://cydia.saurik.com/package/syslogd";

template <class Screen>
void pushNew(PSListController* root) {
  auto screen = objc::cast<UIViewController>(objc::msg<id>(objc::alloc<Screen>(), SEL_("init")));
  objc::msg<void>(root, SEL_("pushController:animate:"), screen, true);
}

/// What a control shows while its key is absent: what the tweak then does.
id absentValue(const contract::PreferenceKey& key) {
  if (!key.absent && key.kind != contract::KeyKind::Text) return NSStr(contract::kKeyAbsentChoice);
  switch (key.kind) {
    case contract::KeyKind::Boolean: return NSNumber::numberWithBool(key.absentFlag());
    case contract::KeyKind::Text: return NSStr(key.absentText);
    default: return NSNumber::numberWithInteger(*key.absent);
  }
}

const contract::PreferenceKey* keyOf(const Ref<PSSpecifier>& specifier) {
  auto key = objc::as<NSString>(specifier->propertyForKey(NSStr("key")));
  return key ? contract::preferenceKey(key->str()) : nullptr;
}

/// Whether value is the choice "as with the key absent" of a key that no
/// stored value can give that look.
bool choosesKeyAbsent(const contract::PreferenceKey* key, const id& value) {
  if (!key || key->absent || key->kind == contract::KeyKind::Text) return false;
  auto text = objc::as<NSString>(value);
  return text && text->str() == contract::kKeyAbsentChoice;
}

}  // namespace

Class QuillpanePrefsListController::classObject() {
  using C = QuillpanePrefsListController;
  static Class cls = objc::ClassBuilder<C, PSListController>("QuillpanePrefsListController")
                         .method<&C::specifiers>("specifiers")
                         .method<&C::readPreferenceValue>("readPreferenceValue:")
                         .method<&C::setPreferenceValueSpecifier>("setPreferenceValue:specifier:")
                         .method<&C::followOnTwitter>("followOnTwitter")
                         .method<&C::installSyslog>("installSyslog")
                         .method<&C::viewOtherApps>("viewOtherApps")
                         .method<&C::selectCalendars>("selectCalendars")
                         .method<&C::changeSortOrder>("changeSortOrder")
                         .method<&C::selectAppToOpen>("selectAppToOpen")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(QuillpanePrefsListController);

Ref<NSArray> QuillpanePrefsListController::specifiers() {
  if (!_specifiers) {
    _specifiers = objc::msg<Ref<NSMutableArray>>(this, SEL_("loadSpecifiersFromPlistName:target:"),
                                                 NSStr("QuillpanePrefs"), id(this));
    // Every control shows, while its key is absent, what the tweak then does.
    if (_specifiers)
      for (const id& entry : *_specifiers)
        if (auto specifier = objc::as<PSSpecifier>(entry))
          if (const auto* key = keyOf(specifier)) specifier->setPropertyForKey(absentValue(*key), NSStr("default"));
  }
  return _specifiers;
}

id QuillpanePrefsListController::readPreferenceValue(Ref<PSSpecifier> specifier) {
  if (!specifier) return nullptr;
  auto stored = NSDictionary::dictionaryWithContentsOfFile(kPreferenceFile);
  auto key = objc::as<NSString>(specifier->propertyForKey(NSStr("key")));
  if (stored && key)
    if (id value = stored->objectForKey(key.get())) {
      // The "as absent" choice is never stored; one written by hand is a
      // string the tweak reads as a number, so show that number.
      if (choosesKeyAbsent(keyOf(specifier), value))
        return NSNumber::numberWithInteger(objc::as<NSString>(value)->integerValue());
      return value;
    }
  return specifier->propertyForKey(NSStr("default"));
}

void QuillpanePrefsListController::setPreferenceValueSpecifier(id value, Ref<PSSpecifier> specifier) {
  if (!specifier) return;
  auto key = objc::as<NSString>(specifier->propertyForKey(NSStr("key")));
  if (!key || !value) {
    NSLog("QPX: %@ carries no key or no value; nothing stored", specifier->name());
    return;
  }
  auto settings = NSMutableDictionary::dictionary();
  if (auto stored = NSDictionary::dictionaryWithContentsOfFile(kPreferenceFile)) {
    settings->addEntriesFromDictionary(stored.get());
  } else if (!keepUnreadableFile(kPreferenceFile)) {
    NSLog("QPX: %@ keeps its earlier value", key);
    return;
  }
  // Where no stored value looks like the key absent, choosing that look
  // removes the key.
  if (choosesKeyAbsent(keyOf(specifier), value))
    settings->removeObjectForKey(key.get());
  else
    settings->setObjectForKey(value, id(key));
  if (!settings->writeToFile(kPreferenceFile, true)) {
    // Announcing a change that was not stored would mislead every listener.
    NSLog("QPX: could not write %s; %@ keeps its earlier value", kPreferenceFile, key);
    return;
  }
  if (auto name = objc::as<NSString>(specifier->propertyForKey(NSStr("PostNotification"))))
    CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), name.get(), nullptr, nullptr,
                                         true);
}

void QuillpanePrefsListController::followOnTwitter() {
  objc::msg<bool>(UIApplication::sharedApplication(), SEL_("openURL:"), NSURL::URLWithString(kTwitterFollowURL));
}

void QuillpanePrefsListController::installSyslog() {
  objc::msg<bool>(UIApplication::sharedApplication(), SEL_("openURL:"), NSURL::URLWithString(kSyslogPackageURL));
}

void QuillpanePrefsListController::viewOtherApps() { pushNew<QPN_OtherAppsViewController>(this); }
void QuillpanePrefsListController::selectCalendars() { pushNew<QPN_CalendarsTVC>(this); }
void QuillpanePrefsListController::changeSortOrder() { pushNew<QPN_SortOrderTVC>(this); }
void QuillpanePrefsListController::selectAppToOpen() { pushNew<QPN_AppListTVC>(this); }
