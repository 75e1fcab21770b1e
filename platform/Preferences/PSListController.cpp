#include <Preferences/PSListController.h>

#include <Foundation/NSLog.h>
#include <Preferences/PSPreferenceBundle.h>
#include <Preferences/PSSpecifierLayout.h>
#include <Preferences/PSTableCell.h>
#include <UIKit/UINavigationController.h>
#include <UIKit/UIScreen.h>
#include <notify/CFNotificationCenter.h>
#include <objc/ClassBuilder.h>

#include <algorithm>

namespace {

std::string domainFile(const PSSpecifier& control) {
  std::string domain = control.stringProperty("defaults");
  return domain.empty() ? std::string() : "/var/mobile/Library/Preferences/" + domain + ".plist";
}

size_t argumentCount(SEL sel) {
  std::string_view name = sel_getName(sel);
  return size_t(std::count(name.begin(), name.end(), ':'));
}

}  // namespace

Class PSListController::classObject() {
  static Class cls =
      objc::ClassBuilder<PSListController, PSViewController>("PSListController")
          .method<&PSListController::specifiers>("specifiers")
          .method<&PSListController::loadSpecifiersFromPlistNameTarget>("loadSpecifiersFromPlistName:target:")
          .method<&PSListController::reloadSpecifiers>("reloadSpecifiers")
          .method<&PSListController::specifierForID>("specifierForID:")
          .method<&PSListController::indexPathForSpecifier>("indexPathForSpecifier:")
          .method<&PSListController::readPreferenceValue>("readPreferenceValue:")
          .method<&PSListController::setPreferenceValueSpecifier>("setPreferenceValue:specifier:")
          .method<&PSListController::pushControllerAnimate>("pushController:animate:")
          .method<&PSListController::table>("table")
          .method<&PSListController::numberOfSectionsInTableView>("numberOfSectionsInTableView:")
          .method<&PSListController::tableViewNumberOfRowsInSection>("tableView:numberOfRowsInSection:")
          .method<&PSListController::tableViewCellForRowAtIndexPath>("tableView:cellForRowAtIndexPath:")
          .method<&PSListController::tableViewTitleForHeaderInSection>("tableView:titleForHeaderInSection:")
          .method<&PSListController::tableViewTitleForFooterInSection>("tableView:titleForFooterInSection:")
          .method<&PSListController::tableViewDidSelectRowAtIndexPath>("tableView:didSelectRowAtIndexPath:")
          .ivar<&PSListController::_specifiers>("_specifiers")
          .ivar<&PSListController::table_>("_table")
          .build();
  return cls;
}
OBJC_REGISTER_CLASS(PSListController);

Ref<NSArray> PSListController::specifiers() { return _specifiers; }

Ref<NSMutableArray> PSListController::loadSpecifiersFromPlistNameTarget(Ref<NSString> name, id target) {
  std::string bundle = PSBundlePathForClass(object_getClass(this));
  std::string file = (bundle.empty() ? std::string() : bundle + "/") + (name ? name->str() : std::string()) + ".plist";
  if (bundle.empty())
    NSLog("Preferences: %s comes from no bundle; looking for %s at the root", object_getClassName(this), file);
  auto layout = PSLoadSpecifierLayout(file);
  if (layout)
    if (auto title = objc::as<NSString>(layout->objectForKey("title"))) setTitle(title);
  return PSSpecifiersFromLayout(layout.get(), target.get(), file);
}

void PSListController::reloadSpecifiers() {
  _specifiers = nullptr;
  if (table_) table_->reloadData();
}

std::vector<PSListController::Section> PSListController::sections() {
  std::vector<Section> out;
  auto controls = objc::msg<Ref<NSArray>>(this, SEL_("specifiers"));
  if (!controls) return out;
  for (const id& item : *controls) {
    auto control = objc::as<PSSpecifier>(item);
    if (!control) continue;
    if (control->type() == PSGroupCell)
      out.push_back({control, {}});
    else {
      if (out.empty()) out.push_back({nullptr, {}});
      out.back().rows.push_back(control);
    }
  }
  return out;
}

Ref<PSSpecifier> PSListController::specifierForID(Ref<NSString> identifier) {
  auto controls = objc::msg<Ref<NSArray>>(this, SEL_("specifiers"));
  if (!controls || !identifier) return nullptr;
  for (const id& item : *controls)
    if (auto control = objc::as<PSSpecifier>(item);
        control && control->identifier() && control->identifier()->isEqualTo(*identifier))
      return control;
  return nullptr;
}

Ref<NSIndexPath> PSListController::indexPathForSpecifier(Ref<PSSpecifier> specifier) {
  auto all = sections();
  for (size_t s = 0; s < all.size(); ++s)
    for (size_t r = 0; r < all[s].rows.size(); ++r)
      if (all[s].rows[r] == specifier) return NSIndexPath::indexPathForRow(NSInteger(r), NSInteger(s));
  return nullptr;
}

Ref<PSSpecifier> PSListController::specifierAtIndexPath(const Ref<NSIndexPath>& indexPath) {
  if (!indexPath) return nullptr;
  auto all = sections();
  auto s = indexPath->section(), r = indexPath->row();
  if (s < 0 || size_t(s) >= all.size() || r < 0 || size_t(r) >= all[size_t(s)].rows.size()) return nullptr;
  return all[size_t(s)].rows[size_t(r)];
}

id PSListController::readPreferenceValue(Ref<PSSpecifier> specifier) {
  if (!specifier) return nullptr;
  std::string file = domainFile(*specifier), key = specifier->stringProperty("key");
  if (!file.empty() && !key.empty())
    if (auto stored = NSDictionary::dictionaryWithContentsOfFile(file))
      if (auto value = stored->objectForKey(key)) return value;
  return specifier->property("default");
}

void PSListController::setPreferenceValueSpecifier(id value, Ref<PSSpecifier> specifier) {
  if (!specifier) return;
  std::string file = domainFile(*specifier), key = specifier->stringProperty("key");
  if (file.empty() || key.empty()) {
    NSLog("Preferences: %@ names no defaults domain and key; the value is not kept", specifier->name());
  } else {
    auto stored = NSMutableDictionary::dictionaryWithContentsOfFile(file);
    if (!stored) stored = NSMutableDictionary::dictionary();
    if (value)
      stored->setObjectForKey(value, key);
    else
      stored->removeObjectForKey(NSStr(key).get());
    if (!stored->writeToFile(file, true)) NSLog("Preferences: could not write %s", file);
  }
  if (auto name = objc::as<NSString>(specifier->property("PostNotification")))
    CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), name.get(), nullptr, nullptr,
                                         true);
}

void PSListController::pushControllerAnimate(Ref<UIViewController> controller, bool animated) {
  if (!controller) return;
  auto nav = navigationController();
  if (!nav) {
    NSLog("Preferences: %s is on no navigation stack; %@ is not shown", object_getClassName(this), controller);
    return;
  }
  if (auto child = objc::as<PSViewController>(controller)) child->setParentController(id(this));
  objc::msg<void>(nav, SEL_("pushViewController:animated:"), controller, animated);
}

void PSListController::loadView() {
  auto table =
      objc::cast<UITableView>(objc::msg<id>(objc::alloc<UITableView>(), SEL_("initWithFrame:style:"),
                                            UIScreen::mainScreen()->bounds(), NSInteger(UITableViewStyleGrouped)));
  table->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
  objc::msg<void>(table, SEL_("setDataSource:"), id(this));
  objc::msg<void>(table, SEL_("setDelegate:"), id(this));
  table_ = table;
  setView(table);
}

void PSListController::viewWillAppear(bool animated) {
  PSViewController::viewWillAppear(animated);
  if (table_) table_->reloadData();
}

NSInteger PSListController::numberOfSectionsInTableView(Ref<UITableView>) { return NSInteger(sections().size()); }

NSInteger PSListController::tableViewNumberOfRowsInSection(Ref<UITableView>, NSInteger section) {
  auto all = sections();
  return section >= 0 && size_t(section) < all.size() ? NSInteger(all[size_t(section)].rows.size()) : 0;
}

Ref<UITableViewCell> PSListController::tableViewCellForRowAtIndexPath(Ref<UITableView>, Ref<NSIndexPath> indexPath) {
  auto control = specifierAtIndexPath(indexPath);
  if (!control) return nullptr;
  return PSTableCell::cellForSpecifier(control);
}

Ref<NSString> PSListController::tableViewTitleForHeaderInSection(Ref<UITableView>, NSInteger section) {
  auto all = sections();
  if (section < 0 || size_t(section) >= all.size() || !all[size_t(section)].group) return nullptr;
  return all[size_t(section)].group->name();
}

Ref<NSString> PSListController::tableViewTitleForFooterInSection(Ref<UITableView>, NSInteger section) {
  auto all = sections();
  if (section < 0 || size_t(section) >= all.size() || !all[size_t(section)].group) return nullptr;
  return objc::as<NSString>(all[size_t(section)].group->property("footerText"));
}

void PSListController::tableViewDidSelectRowAtIndexPath(Ref<UITableView> tableView, Ref<NSIndexPath> indexPath) {
  objc::msg<void>(tableView, SEL_("deselectRowAtIndexPath:animated:"), indexPath, true);
  auto control = specifierAtIndexPath(indexPath);
  if (!control ||
      (control->type() != PSButtonCell && control->type() != PSLinkCell && control->type() != PSLinkListCell))
    return;

  if (SEL action = control->buttonAction()) {
    id target = control->target();
    if (!objc::respondsTo(target.get(), action)) {
      NSLog("Preferences: %@ has no action %s", target, sel_getName(action));
      return;
    }
    if (argumentCount(action) == 0)
      objc::msg<void>(target, action);
    else
      objc::msg<void>(target, action, control);
    return;
  }
  std::string detail = control->stringProperty("detail");
  if (detail.empty()) return;
  // A new screen of the class the link names, made as +alloc/-init would.
  Class cls = objc_getClass(detail.c_str());
  auto screen = cls && class_isSubclassOf(cls, UIViewController::classObject())
                    ? objc::as<UIViewController>(objc::msg<id>(class_createInstance(cls), SEL_("init")))
                    : nullptr;
  if (!screen) {
    NSLog("Preferences: no screen class %s to open for %@", detail, control->name());
    return;
  }
  if (auto child = objc::as<PSViewController>(screen)) objc::msg<void>(child, SEL_("setSpecifier:"), control);
  objc::msg<void>(this, SEL_("pushController:animate:"), screen, true);
}
