#include <UIKit/UILabel.h>

#include <UIKit/UIStringDrawing.h>
#include <objc/ClassBuilder.h>

#include <cstdio>

namespace {
constexpr double kDefaultFontSize = 17;
}

Class UILabel::classObject() {
  static Class cls = objc::ClassBuilder<UILabel, UIView>("UILabel")
                         .method<&UILabel::text>("text")
                         .method<&UILabel::setText>("setText:")
                         .method<&UILabel::font>("font")
                         .method<&UILabel::setFont>("setFont:")
                         .method<&UILabel::textColor>("textColor")
                         .method<&UILabel::setTextColor>("setTextColor:")
                         .method<&UILabel::textAlignment>("textAlignment")
                         .method<&UILabel::setTextAlignment>("setTextAlignment:")
                         .method<&UILabel::numberOfLines>("numberOfLines")
                         .method<&UILabel::setNumberOfLines>("setNumberOfLines:")
                         .method<&UILabel::sizeToFit>("sizeToFit")
                         .ivar<&UILabel::text_>("_text")
                         .ivar<&UILabel::font_>("_font")
                         .ivar<&UILabel::textColor_>("_textColor")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(UILabel);

id UILabel::initWithFrame(CGRect frame) {
  UIView::initWithFrame(frame);
  font_ = UIFont::systemFontOfSize(kDefaultFontSize);
  textColor_ = UIColor::blackColor();
  return id(this);
}

void UILabel::setText(Ref<NSString> text) {
  text_ = std::move(text);
  setNeedsLayout();
}

void UILabel::setFont(Ref<UIFont> font) {
  font_ = font ? std::move(font) : UIFont::systemFontOfSize(kDefaultFontSize);
  setNeedsLayout();
}

void UILabel::setTextColor(Ref<UIColor> color) { textColor_ = color ? std::move(color) : UIColor::blackColor(); }

void UILabel::sizeToFit() {
  CGSize s = sizeWithFont(text_.get(), font_.get());
  if (!text_ || text_->str().empty()) s = {0, 0};
  CGRect f = frame();
  f.size = s;
  objc::msg(this, SEL_("setFrame:"), f);
}

std::string UILabel::descriptionString() const {
  std::string d = UIView::descriptionString();
  d.insert(d.size() - 1, "; text = '" + (text_ ? text_->str() : std::string()) + "'");
  return d;
}
