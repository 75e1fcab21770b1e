#include <AppList/ALApplicationTableDataSource.h>

#include <Foundation/NSArray.h>
#include <Foundation/NSLog.h>
#include <Foundation/NSNumber.h>
#include <objc/ClassBuilder.h>

#include <algorithm>
#include <cctype>
#include <optional>

namespace {

enum class Which { All, System, User, None };

std::string squeezed(std::string_view text) {
  std::string out;
  for (unsigned char c : text)
    if (!std::isspace(c)) out += char(std::toupper(c));
  return out;
}

/// The one predicate form the standard descriptors use.
Which parsePredicate(const id& predicate) {
  if (!predicate) return Which::All;
  auto* text = dynamic_cast<const NSString*>(predicate.get());
  std::string p = text ? squeezed(text->str()) : std::string();
  for (const char* op : {"=", "=="})
    for (auto [word, which] : {std::pair{"TRUE", Which::System}, std::pair{"YES", Which::System},
                               std::pair{"FALSE", Which::User}, std::pair{"NO", Which::User}})
      if (p == std::string("ISSYSTEMAPPLICATION") + op + word) return which;
  NSLog("AppList: predicate %@ is not understood; its section stays empty", predicate);
  return Which::None;
}

bool truthOf(const NSObject* value) {
  if (auto* n = dynamic_cast<const NSNumber*>(value)) return n->boolValue();
  if (auto* s = dynamic_cast<const NSString*>(value)) return s->boolValue();
  return false;
}

Ref<NSDictionary> descriptor(std::string_view title, std::string_view predicate) {
  auto d = NSMutableDictionary::dictionary();
  d->setObjectForKey(NSStr(title), "title");
  d->setObjectForKey(NSStr(predicate), "predicate");
  d->setObjectForKey(NSStr("UITableViewCell"), "cell-class-name");
  d->setObjectForKey(NSNumber::numberWithInteger(29), "icon-size");
  d->setObjectForKey(NSNumber::numberWithBool(true), "suppress-hidden-apps");
  return d;
}

}  // namespace

Class ALApplicationTableDataSource::classObject() {
  using C = ALApplicationTableDataSource;
  static Class cls = objc::ClassBuilder<C, NSObject>("ALApplicationTableDataSource")
                         .method<&C::sectionDescriptors>("sectionDescriptors")
                         .method<&C::setSectionDescriptors>("setSectionDescriptors:")
                         .method<&C::tableView>("tableView")
                         .method<&C::setTableView>("setTableView:")
                         .method<&C::displayIdentifierForIndexPath>("displayIdentifierForIndexPath:")
                         .method<&C::numberOfSectionsInTableView>("numberOfSectionsInTableView:")
                         .method<&C::tableViewNumberOfRowsInSection>("tableView:numberOfRowsInSection:")
                         .method<&C::tableViewCellForRowAtIndexPath>("tableView:cellForRowAtIndexPath:")
                         .method<&C::tableViewTitleForHeaderInSection>("tableView:titleForHeaderInSection:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(ALApplicationTableDataSource);

Ref<NSArray> ALApplicationTableDataSource::standardSectionDescriptors() {
  return NSArray::arrayWithObjects({descriptor("System Applications", "isSystemApplication = TRUE"),
                                    descriptor("User Applications", "isSystemApplication = FALSE")});
}

void ALApplicationTableDataSource::setSectionDescriptors(Ref<NSArray> descriptors) {
  descriptors_ = std::move(descriptors);
  reloadApplications();
  if (auto table = tableView_.lock()) objc::msg<void>(table, SEL_("reloadData"));
}

void ALApplicationTableDataSource::setTableView(Ref<UITableView> tableView) {
  tableView_ = tableView;
  if (!tableView) return;
  reloadApplications();
  objc::msg<void>(tableView, SEL_("reloadData"));
}

void ALApplicationTableDataSource::reloadApplications() {
  sections_.clear();
  if (!descriptors_) return;
  auto installed = ALScanInstalledApplications();
  for (const id& item : *descriptors_) {
    auto d = objc::as<NSDictionary>(item);
    Section section;
    if (!d) {
      NSLog("AppList: section descriptor %@ is not a dictionary; its section stays empty", item);
      sections_.push_back(std::move(section));
      continue;
    }
    if (auto title = objc::as<NSString>(d->objectForKey("title"))) section.title = title->str();
    Which which = parsePredicate(d->objectForKey("predicate"));
    bool suppressHidden = truthOf(d->objectForKey("suppress-hidden-apps").get());
    for (const auto& app : installed) {
      if (suppressHidden && app.isHidden) continue;
      if (which == Which::All || (which == Which::System && app.isSystemApplication) ||
          (which == Which::User && !app.isSystemApplication))
        section.apps.push_back(app);
    }
    sections_.push_back(std::move(section));
  }
}

const ALInstalledApplication* ALApplicationTableDataSource::applicationAt(NSInteger section, NSInteger row) const {
  if (section < 0 || size_t(section) >= sections_.size()) return nullptr;
  const auto& apps = sections_[size_t(section)].apps;
  if (row < 0 || size_t(row) >= apps.size()) return nullptr;
  return &apps[size_t(row)];
}

Ref<NSString> ALApplicationTableDataSource::displayIdentifierForIndexPath(Ref<NSIndexPath> indexPath) const {
  if (!indexPath) return nullptr;
  const auto* app = applicationAt(indexPath->section(), indexPath->row());
  return app ? NSStr(app->displayIdentifier) : nullptr;
}

NSInteger ALApplicationTableDataSource::numberOfSectionsInTableView(Ref<UITableView>) {
  return NSInteger(sections_.size());
}

NSInteger ALApplicationTableDataSource::tableViewNumberOfRowsInSection(Ref<UITableView>, NSInteger section) {
  if (section < 0 || size_t(section) >= sections_.size()) return 0;
  return NSInteger(sections_[size_t(section)].apps.size());
}

Ref<UITableViewCell> ALApplicationTableDataSource::tableViewCellForRowAtIndexPath(Ref<UITableView> tableView,
                                                                                  Ref<NSIndexPath> indexPath) {
  const auto* app = indexPath ? applicationAt(indexPath->section(), indexPath->row()) : nullptr;
  if (!app) return nullptr;
  static const auto reuse = NSStr("ALApplicationCell");
  auto cell = tableView ? tableView->dequeueReusableCellWithIdentifier(reuse) : nullptr;
  if (!cell)
    cell = objc::cast<UITableViewCell>(objc::msg<id>(objc::alloc<UITableViewCell>(),
                                                     SEL_("initWithStyle:reuseIdentifier:"),
                                                     NSInteger(UITableViewCellStyleDefault), reuse));
  objc::msg<void>(cell->textLabel(), SEL_("setText:"), NSStr(app->displayName));
  return cell;
}

Ref<NSString> ALApplicationTableDataSource::tableViewTitleForHeaderInSection(Ref<UITableView>, NSInteger section) {
  if (section < 0 || size_t(section) >= sections_.size()) return nullptr;
  return NSStr(sections_[size_t(section)].title);
}
