#pragma once
/// \file
/// A table row: a content view with a text label and, in the detailed
/// styles, a detail label; an accessory; selection and editing state.

#include <UIKit/UILabel.h>
#include <UIKit/UIView.h>

enum UITableViewCellStyle : NSInteger {
  UITableViewCellStyleDefault = 0,
  UITableViewCellStyleValue1 = 1,
  UITableViewCellStyleValue2 = 2,
  UITableViewCellStyleSubtitle = 3,
};

enum UITableViewCellAccessoryType : NSInteger {
  UITableViewCellAccessoryNone = 0,
  UITableViewCellAccessoryDisclosureIndicator = 1,
  UITableViewCellAccessoryDetailDisclosureButton = 2,
  UITableViewCellAccessoryCheckmark = 3,
  UITableViewCellAccessoryDetailButton = 4,
};

enum UITableViewCellSelectionStyle : NSInteger {
  UITableViewCellSelectionStyleNone = 0,
  UITableViewCellSelectionStyleBlue = 1,
  UITableViewCellSelectionStyleGray = 2,
  UITableViewCellSelectionStyleDefault = 3,
};

enum UITableViewCellEditingStyle : NSInteger {
  UITableViewCellEditingStyleNone = 0,
  UITableViewCellEditingStyleDelete = 1,
  UITableViewCellEditingStyleInsert = 2,
};

class UITableViewCell : public UIView {
 public:
  static Class classObject();
  UITableViewCell() = default;

  // Registered: "initWithStyle:reuseIdentifier:" (q@); "initWithFrame:" (default
  // style, no identifier) is UIView's registration reaching this override.
  virtual id initWithStyle(NSInteger style, Ref<NSString> reuseIdentifier);
  id initWithFrame(CGRect frame) override;

  // Registered: "style", "reuseIdentifier", "textLabel", "detailTextLabel", "contentView".
  [[nodiscard]] NSInteger style() const noexcept { return style_; }
  [[nodiscard]] Ref<NSString> reuseIdentifier() const { return reuseIdentifier_; }
  [[nodiscard]] Ref<UILabel> textLabel() const { return textLabel_; }
  /// nil in the default style.
  [[nodiscard]] Ref<UILabel> detailTextLabel() const { return detailTextLabel_; }
  [[nodiscard]] Ref<UIView> contentView() const { return contentView_; }

  // Registered: "accessoryType", "setAccessoryType:", "selectionStyle", "setSelectionStyle:".
  [[nodiscard]] NSInteger accessoryType() const noexcept { return accessoryType_; }
  void setAccessoryType(NSInteger type);
  [[nodiscard]] NSInteger selectionStyle() const noexcept { return selectionStyle_; }
  void setSelectionStyle(NSInteger style) noexcept { selectionStyle_ = style; }

  // Registered: "isSelected", "setSelected:", "setSelected:animated:", "isHighlighted",
  // "setHighlighted:animated:".
  [[nodiscard]] bool isSelected() const noexcept { return selected_; }
  void setSelected(bool selected) { setSelectedAnimated(selected, false); }
  virtual void setSelectedAnimated(bool selected, bool animated);
  [[nodiscard]] bool isHighlighted() const noexcept { return highlighted_; }
  virtual void setHighlightedAnimated(bool highlighted, bool animated);
  /// True while selected or highlighted with a selection style other than none:
  /// what a person sees as the row's highlight.
  [[nodiscard]] bool showsHighlight() const noexcept;

  // Registered: "isEditing", "setEditing:", "setEditing:animated:", "showsReorderControl",
  // "setShowsReorderControl:", "editingStyle".
  [[nodiscard]] bool isEditing() const noexcept { return editing_; }
  void setEditing(bool editing) { setEditingAnimated(editing, false); }
  virtual void setEditingAnimated(bool editing, bool animated);
  [[nodiscard]] bool showsReorderControl() const noexcept { return showsReorderControl_; }
  void setShowsReorderControl(bool shows) noexcept { showsReorderControl_ = shows; }
  [[nodiscard]] NSInteger editingStyle() const noexcept { return editingStyle_; }
  /// Set by the table from its delegate's answer.
  void setEditingStyle(NSInteger style) noexcept { editingStyle_ = style; }
  /// The reorder control shows while editing when the cell allows it.
  [[nodiscard]] bool isReorderControlVisible() const noexcept { return editing_ && showsReorderControl_; }

  // Registered: "prepareForReuse".
  /// Called when the table hands the cell out again; clears the selection.
  virtual void prepareForReuse();

  /// Stretches the content view over the bounds left of the accessory and
  /// places the labels by style, each its text's one-line size.
  void layoutSubviews() override;

  [[nodiscard]] std::string descriptionString() const override;

 private:
  NSInteger style_ = UITableViewCellStyleDefault;
  Ref<NSString> reuseIdentifier_;
  Ref<UIView> contentView_;
  Ref<UILabel> textLabel_, detailTextLabel_;
  NSInteger accessoryType_ = UITableViewCellAccessoryNone;
  NSInteger selectionStyle_ = UITableViewCellSelectionStyleDefault;
  NSInteger editingStyle_ = UITableViewCellEditingStyleNone;
  bool selected_ = false, highlighted_ = false, editing_ = false, showsReorderControl_ = false;
};
