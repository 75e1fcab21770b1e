#pragma once
/// \file
/// The screen a list control ("PSLinkListCell") pushes: one row per value
/// the control offers, titled as the control titles it, with a checkmark on
/// the value the control holds now. A tap hands the value to the control's
/// setter and moves the checkmark; the screen stays until the person goes
/// back.

#include <Preferences/PSListController.h>

class PSListItemsController : public PSListController {
 public:
  static Class classObject();
  PSListItemsController() = default;

  /// Takes the control's label as the screen's title.
  void setSpecifier(Ref<PSSpecifier> specifier) override;
  /// One row per value of the control, in its order.
  Ref<NSArray> specifiers() override;

  // Registered data-source and delegate methods.
  Ref<UITableViewCell> itemCellForRowAtIndexPath(Ref<UITableView> tableView, Ref<NSIndexPath> indexPath);
  void itemSelectedAtIndexPath(Ref<UITableView> tableView, Ref<NSIndexPath> indexPath);

  /// The value shown at a row, or nil.
  [[nodiscard]] id valueAtIndexPath(const Ref<NSIndexPath>& indexPath);
};
