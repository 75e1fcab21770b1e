#pragma once
/// \file
/// The row of one specifier: its label, the value its getter reads when
/// the row is shown, and its control. A person's use of the control (a
/// switch flipped, a list choice, a slider moved, text typed) reaches the
/// specifier's setter in the form that control produces: a boolean, the
/// chosen value, a real number, a string.

#include <Preferences/PSSpecifier.h>
#include <UIKit/UITableViewCell.h>

#include <string>
#include <string_view>

class PSTableCell : public UITableViewCell {
 public:
  static Class classObject();
  PSTableCell() = default;

  /// A new row for control (value style for controls with a value), showing
  /// the value read now through the specifier's getter.
  static Ref<PSTableCell> cellForSpecifier(Ref<PSSpecifier> control);

  // Registered: "specifier", "setSpecifier:", "value", "setValue:",
  // "refreshCellContentsWithSpecifier:".
  [[nodiscard]] Ref<PSSpecifier> specifier() const { return specifier_; }
  void setSpecifier(Ref<PSSpecifier> control) { specifier_ = std::move(control); }
  [[nodiscard]] id value() const { return value_; }
  /// Shows value without storing it.
  void setValue(id value);
  /// Takes control's label and reads its value again through the getter.
  void refreshCellContentsWithSpecifier(Ref<PSSpecifier> control);

  /// The value as the row shows it: "On"/"Off" for a switch, the title of
  /// a list choice, the number of a slider, the text of a field; empty
  /// without a value.
  [[nodiscard]] std::string valueText() const;

  /// A person's use of the control, written as text: "on"/"off" for a
  /// switch, a value or its title for a list, a number within the bounds
  /// for a slider, the text for a field (a whole number for a numeric
  /// one). On success the value goes to the setter and the row shows it;
  /// otherwise error says why and nothing is stored.
  bool takeInput(std::string_view text, std::string* error);

  /// The value the control would produce for text; nil with error when it
  /// cannot produce one.
  [[nodiscard]] static id controlValueForInput(const PSSpecifier& control, std::string_view text, std::string* error);
  /// valueText for a value of control's control.
  [[nodiscard]] static std::string textForValue(const PSSpecifier& control, const NSObject* value);

 private:
  Ref<PSSpecifier> specifier_;
  id value_;
};
