#pragma once
/// \file
/// A preference screen: a grouped table of specifiers. Each group specifier
/// starts a section; the framework asks the screen for its `specifiers`
/// and, whenever a row is shown or its control changed, sends the row's
/// getter (`readPreferenceValue:`) or setter (`setPreferenceValue:specifier:`)
/// to the row's target through the runtime, so a subclass's own methods
/// decide where values live. Buttons and links send their action to the
/// target. The base keeps values in the "defaults" domain a row names
/// ("/var/mobile/Library/Preferences/<defaults>.plist").

#include <Preferences/PSSpecifier.h>
#include <Preferences/PSViewController.h>
#include <UIKit/UITableView.h>
#include <objc/message.h>

#include <vector>

class PSListController : public PSViewController {
 public:
  static Class classObject();
  PSListController() = default;

  // Registered: "specifiers". The base answers the array loaded so far
  // (`_specifiers`), nil before one is loaded.
  virtual Ref<NSArray> specifiers();
  // Registered: "loadSpecifiersFromPlistName:target:". Reads "<name>.plist"
  // from the folder of the bundle this screen's class came from, with
  // target as every row's target; the layout's "title" becomes the screen's.
  Ref<NSMutableArray> loadSpecifiersFromPlistNameTarget(Ref<NSString> name, id target);
  // Registered: "reloadSpecifiers" (forgets the array and asks again),
  // "specifierForID:", "indexPathForSpecifier:".
  void reloadSpecifiers();
  [[nodiscard]] Ref<PSSpecifier> specifierForID(Ref<NSString> identifier);
  [[nodiscard]] Ref<NSIndexPath> indexPathForSpecifier(Ref<PSSpecifier> specifier);
  /// The specifier shown at a row, or nil.
  [[nodiscard]] Ref<PSSpecifier> specifierAtIndexPath(const Ref<NSIndexPath>& indexPath);

  // Registered: "readPreferenceValue:", "setPreferenceValue:specifier:".
  /// The value stored under the row's "key" in its "defaults" domain, else
  /// its "default" property.
  virtual id readPreferenceValue(Ref<PSSpecifier> specifier);
  /// Stores into the row's "defaults" domain, then posts the row's
  /// "PostNotification" on the Darwin notify centre.
  virtual void setPreferenceValueSpecifier(id value, Ref<PSSpecifier> specifier);

  // Registered: "pushController:animate:". Pushes onto this screen's
  // navigation controller, which then owns the pushed screen.
  void pushControllerAnimate(Ref<UIViewController> controller, bool animated);

  // Registered: "table".
  [[nodiscard]] Ref<UITableView> table() const { return table_; }

  /// A grouped table the size of the screen, with this screen as its data
  /// source and delegate.
  void loadView() override;
  /// Rows read their values again each time the screen comes back.
  void viewWillAppear(bool animated) override;

  // Registered data-source and delegate methods.
  NSInteger numberOfSectionsInTableView(Ref<UITableView> tableView);
  NSInteger tableViewNumberOfRowsInSection(Ref<UITableView> tableView, NSInteger section);
  Ref<UITableViewCell> tableViewCellForRowAtIndexPath(Ref<UITableView> tableView, Ref<NSIndexPath> indexPath);
  Ref<NSString> tableViewTitleForHeaderInSection(Ref<UITableView> tableView, NSInteger section);
  Ref<NSString> tableViewTitleForFooterInSection(Ref<UITableView> tableView, NSInteger section);
  /// Buttons and links send their action to their target; a link with a
  /// "detail" class pushes a new screen of that class.
  void tableViewDidSelectRowAtIndexPath(Ref<UITableView> tableView, Ref<NSIndexPath> indexPath);

 protected:
  /// The loaded specifiers, as the device's base class keeps them.
  Ref<NSArray> _specifiers;

 private:
  struct Section {
    Ref<PSSpecifier> group;  ///< nil for rows ahead of the first group
    std::vector<Ref<PSSpecifier>> rows;
  };
  std::vector<Section> sections();

  Ref<UITableView> table_;
};
