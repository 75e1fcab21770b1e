#include <Preferences/PSListItemsController.h>

#include <Preferences/PSTableCell.h>
#include <objc/ClassBuilder.h>

namespace {
const auto kValueProperty = NSStr("value");
}

Class PSListItemsController::classObject() {
  using C = PSListItemsController;
  static Class cls = objc::ClassBuilder<C, PSListController>("PSListItemsController")
                         .method<&C::specifiers>("specifiers")
                         .method<&C::setSpecifier>("setSpecifier:")
                         .method<&C::itemCellForRowAtIndexPath>("tableView:cellForRowAtIndexPath:")
                         .method<&C::itemSelectedAtIndexPath>("tableView:didSelectRowAtIndexPath:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(PSListItemsController);

void PSListItemsController::setSpecifier(Ref<PSSpecifier> specifier) {
  PSListController::setSpecifier(specifier);
  if (specifier) setTitle(specifier->name());
  _specifiers = nullptr;
}

Ref<NSArray> PSListItemsController::specifiers() {
  if (_specifiers) return _specifiers;
  auto items = NSMutableArray::array();
  items->addObject(PSSpecifier::groupSpecifierWithName(""));
  auto control = specifier();
  if (auto values = control ? control->values() : nullptr)
    for (const id& value : *values) {
      std::string title = control->titleForValue(value.get()).value_or(value->descriptionString());
      auto item = PSSpecifier::preferenceSpecifierNamed(title, this, nullptr, nullptr, PSListItemCell);
      item->setPropertyForKey(value, kValueProperty);
      items->addObject(item);
    }
  _specifiers = items;
  return _specifiers;
}

id PSListItemsController::valueAtIndexPath(const Ref<NSIndexPath>& indexPath) {
  auto item = specifierAtIndexPath(indexPath);
  return item ? item->propertyForKey(kValueProperty) : nullptr;
}

Ref<UITableViewCell> PSListItemsController::itemCellForRowAtIndexPath(Ref<UITableView> tableView,
                                                                      Ref<NSIndexPath> indexPath) {
  auto cell = PSListController::tableViewCellForRowAtIndexPath(std::move(tableView), indexPath);
  auto control = specifier();
  if (!cell || !control) return cell;
  // The control's value as read now, so a change made elsewhere shows.
  id current = control->performGetter();
  id value = valueAtIndexPath(indexPath);
  const bool chosen = current && value && current->isEqualTo(*value);
  cell->setAccessoryType(chosen ? UITableViewCellAccessoryCheckmark : UITableViewCellAccessoryNone);
  cell->setSelectionStyle(UITableViewCellSelectionStyleDefault);
  return cell;
}

void PSListItemsController::itemSelectedAtIndexPath(Ref<UITableView> tableView, Ref<NSIndexPath> indexPath) {
  objc::msg<void>(tableView, SEL_("deselectRowAtIndexPath:animated:"), indexPath, true);
  auto control = specifier();
  id value = valueAtIndexPath(indexPath);
  if (!control || !value) return;
  objc::msg<void>(control, SEL_("performSetterWithValue:"), value);
  if (tableView) tableView->reloadData();
}
