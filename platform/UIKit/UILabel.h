#pragma once
/// \file
/// A one-line (or few-line) text view: text, font, colour, alignment.

#include <Foundation/NSString.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIFont.h>
#include <UIKit/UIView.h>

class UILabel : public UIView {
 public:
  static Class classObject();
  UILabel() = default;

  /// System font 17, black text, left aligned, clear background, one line.
  id initWithFrame(CGRect frame) override;

  // Registered: "text", "setText:", "font", "setFont:", "textColor", "setTextColor:",
  // "textAlignment", "setTextAlignment:", "numberOfLines", "setNumberOfLines:", "sizeToFit".
  [[nodiscard]] Ref<NSString> text() const { return text_; }
  virtual void setText(Ref<NSString> text);
  [[nodiscard]] Ref<UIFont> font() const { return font_; }
  /// nil restores the default font.
  virtual void setFont(Ref<UIFont> font);
  [[nodiscard]] Ref<UIColor> textColor() const { return textColor_; }
  /// nil restores black.
  virtual void setTextColor(Ref<UIColor> color);
  [[nodiscard]] NSInteger textAlignment() const noexcept { return alignment_; }
  void setTextAlignment(NSInteger alignment) noexcept { alignment_ = alignment; }
  [[nodiscard]] NSInteger numberOfLines() const noexcept { return numberOfLines_; }
  void setNumberOfLines(NSInteger n) noexcept { numberOfLines_ = n; }
  /// Resizes the frame to the text's one-line size.
  void sizeToFit();

  [[nodiscard]] std::string descriptionString() const override;

 private:
  Ref<NSString> text_;
  Ref<UIFont> font_;
  Ref<UIColor> textColor_;
  NSInteger alignment_ = NSTextAlignmentLeft;
  NSInteger numberOfLines_ = 1;
};
