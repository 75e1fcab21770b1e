#pragma once
/// \file
/// One control of a preference screen: its kind of cell, its label, the
/// target that reads and stores its value, and the properties its layout
/// entry gave ("key", "default", "PostNotification" and the rest).

#include <Foundation/NSArray.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSString.h>
#include <objc/Weak.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

/// The device's cell kinds, with the device's numbers.
enum PSCellType : int64_t {
  PSGroupCell = 0,
  PSLinkCell = 1,
  PSLinkListCell = 2,
  PSListItemCell = 3,
  PSTitleValueCell = 4,
  PSSliderCell = 5,
  PSSwitchCell = 6,
  PSStaticTextCell = 7,
  PSEditTextCell = 8,
  PSSegmentCell = 9,
  PSGiantIconCell = 10,
  PSGiantCell = 11,
  PSSecureEditTextCell = 12,
  PSButtonCell = 13,
  PSEditTextViewCell = 14,
};

/// The cell kind a layout names ("PSSwitchCell"); nullopt for an unknown name.
std::optional<PSCellType> PSCellTypeFromString(std::string_view name);
const char* PSCellTypeName(PSCellType type);
/// True for the kinds that show and store a value through getter and setter.
bool PSCellTypeCarriesValue(PSCellType type);

class PSSpecifier : public NSObject {
 public:
  static Class classObject();

  /// `preferenceSpecifierNamed:target:set:get:detail:cell:edit:` without
  /// the detail and edit classes.
  static Ref<PSSpecifier> preferenceSpecifierNamed(std::string_view name, NSObject* target, SEL setter, SEL getter,
                                                   PSCellType cell);
  static Ref<PSSpecifier> groupSpecifierWithName(std::string_view name);

  // Registered accessors.
  Ref<NSMutableDictionary> properties() const { return properties_; }
  id propertyForKey(Ref<NSString> key);
  void setPropertyForKey(id value, Ref<NSString> key);
  Ref<NSString> name() const { return name_; }
  void setName(Ref<NSString> name) { name_ = std::move(name); }
  Ref<NSString> identifier() const;
  void setIdentifier(Ref<NSString> identifier) { identifier_ = std::move(identifier); }
  int64_t cellType() const { return cellType_; }
  /// The object getter, setter and action are sent to. Held weakly: the
  /// target is usually the controller that holds this specifier.
  id target() const { return target_.lock(); }
  void setTarget(NSObject* target) { target_ = target; }
  Ref<NSArray> values() const { return values_; }
  Ref<NSDictionary> titleDictionary() const { return titles_; }
  /// `setValues:titles:`; the two arrays pair up by position.
  void setValuesTitles(Ref<NSArray> values, Ref<NSArray> titles);

  /// Sends the getter to the target with this specifier; nil without one.
  id performGetter();
  /// Sends the setter to the target with value and this specifier.
  void performSetterWithValue(id value);

  // Plain C++ reads.
  [[nodiscard]] PSCellType type() const noexcept { return cellType_; }
  [[nodiscard]] std::string label() const { return name_ ? name_->str() : std::string(); }
  /// The string property of that name, or empty.
  [[nodiscard]] std::string stringProperty(std::string_view key) const;
  [[nodiscard]] id property(std::string_view key) const { return properties_->objectForKey(key); }
  [[nodiscard]] SEL getter() const noexcept { return getter_; }
  [[nodiscard]] SEL setter() const noexcept { return setter_; }
  void setGetterSetter(SEL getter, SEL setter) noexcept { getter_ = getter, setter_ = setter; }
  /// The button or link action ("action" in a layout); null when none.
  [[nodiscard]] SEL buttonAction() const noexcept { return action_; }
  void setButtonAction(SEL action) noexcept { action_ = action; }
  /// The title shown for value: from the title dictionary, else nothing.
  [[nodiscard]] std::optional<std::string> titleForValue(const NSObject* value) const;

  [[nodiscard]] std::string descriptionString() const override;

 private:
  Ref<NSMutableDictionary> properties_ = NSMutableDictionary::dictionary();
  Ref<NSString> name_;
  Ref<NSString> identifier_;
  PSCellType cellType_ = PSGroupCell;
  Weak<NSObject> target_;
  SEL getter_ = nullptr;
  SEL setter_ = nullptr;
  SEL action_ = nullptr;
  Ref<NSArray> values_;
  Ref<NSDictionary> titles_;
};
