#include <UIKit/UITableViewCell.h>

#include <UIKit/UIStringDrawing.h>
#include <objc/ClassBuilder.h>

#include <algorithm>

namespace {
// The device's cell geometry (points).
constexpr CGRect kCellFrame{{0, 0}, {320, 44}};
constexpr double kMargin = 15;
constexpr double kAccessoryWidth = 33;
constexpr double kEditingControlWidth = 38;
constexpr double kReorderControlWidth = 38;
constexpr double kValue2TitleWidth = 67;

Ref<UILabel> makeLabel(Ref<UIFont> font, Ref<UIColor> color) {
  auto label = objc::cast<UILabel>(objc::msg<id>(objc::alloc<UILabel>(), SEL_("initWithFrame:"), CGRectZero));
  label->setFont(std::move(font));
  label->setTextColor(std::move(color));
  label->setBackgroundColor(UIColor::clearColor());
  return label;
}

CGSize textSize(const UILabel* label) {
  if (!label || !label->text() || label->text()->str().empty())
    return {0, label ? sizeWithFont("", label->font().get()).height : 0};
  return sizeWithFont(label->text().get(), label->font().get());
}
}  // namespace

Class UITableViewCell::classObject() {
  static Class cls = objc::ClassBuilder<UITableViewCell, UIView>("UITableViewCell")
                         .method<&UITableViewCell::initWithStyle>("initWithStyle:reuseIdentifier:")
                         .method<&UITableViewCell::style>("style")
                         .method<&UITableViewCell::reuseIdentifier>("reuseIdentifier")
                         .method<&UITableViewCell::textLabel>("textLabel")
                         .method<&UITableViewCell::detailTextLabel>("detailTextLabel")
                         .method<&UITableViewCell::contentView>("contentView")
                         .method<&UITableViewCell::accessoryType>("accessoryType")
                         .method<&UITableViewCell::setAccessoryType>("setAccessoryType:")
                         .method<&UITableViewCell::selectionStyle>("selectionStyle")
                         .method<&UITableViewCell::setSelectionStyle>("setSelectionStyle:")
                         .method<&UITableViewCell::isSelected>("isSelected")
                         .method<&UITableViewCell::setSelected>("setSelected:")
                         .method<&UITableViewCell::setSelectedAnimated>("setSelected:animated:")
                         .method<&UITableViewCell::isHighlighted>("isHighlighted")
                         .method<&UITableViewCell::setHighlightedAnimated>("setHighlighted:animated:")
                         .method<&UITableViewCell::isEditing>("isEditing")
                         .method<&UITableViewCell::setEditing>("setEditing:")
                         .method<&UITableViewCell::setEditingAnimated>("setEditing:animated:")
                         .method<&UITableViewCell::showsReorderControl>("showsReorderControl")
                         .method<&UITableViewCell::setShowsReorderControl>("setShowsReorderControl:")
                         .method<&UITableViewCell::editingStyle>("editingStyle")
                         .method<&UITableViewCell::prepareForReuse>("prepareForReuse")
                         .ivar<&UITableViewCell::reuseIdentifier_>("_reuseIdentifier")
                         .ivar<&UITableViewCell::contentView_>("_contentView")
                         .ivar<&UITableViewCell::textLabel_>("_textLabel")
                         .ivar<&UITableViewCell::detailTextLabel_>("_detailTextLabel")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(UITableViewCell);

id UITableViewCell::initWithStyle(NSInteger style, Ref<NSString> reuseIdentifier) {
  UIView::initWithFrame(kCellFrame);
  style_ = std::clamp<NSInteger>(style, UITableViewCellStyleDefault, UITableViewCellStyleSubtitle);
  reuseIdentifier_ = std::move(reuseIdentifier);
  setBackgroundColor(UIColor::whiteColor());
  contentView_ =
      objc::cast<UIView>(objc::msg<id>(objc::alloc<UIView>(), SEL_("initWithFrame:"), CGRect{{0, 0}, kCellFrame.size}));
  addSubview(contentView_);

  auto black = UIColor::blackColor();
  auto gray = UIColor::colorWithWhite(0.56, 1);
  switch (style_) {
    case UITableViewCellStyleValue1:
      textLabel_ = makeLabel(UIFont::systemFontOfSize(18), black);
      detailTextLabel_ = makeLabel(UIFont::systemFontOfSize(18), gray);
      detailTextLabel_->setTextAlignment(NSTextAlignmentRight);
      break;
    case UITableViewCellStyleValue2:
      textLabel_ = makeLabel(UIFont::boldSystemFontOfSize(12), UIColor::colorWithRed(0, 0.48, 1, 1));
      textLabel_->setTextAlignment(NSTextAlignmentRight);
      detailTextLabel_ = makeLabel(UIFont::systemFontOfSize(15), black);
      break;
    case UITableViewCellStyleSubtitle:
      textLabel_ = makeLabel(UIFont::systemFontOfSize(18), black);
      detailTextLabel_ = makeLabel(UIFont::systemFontOfSize(12), black);
      break;
    default: textLabel_ = makeLabel(UIFont::systemFontOfSize(18), black); break;
  }
  contentView_->addSubview(textLabel_);
  if (detailTextLabel_) contentView_->addSubview(detailTextLabel_);
  return id(this);
}

id UITableViewCell::initWithFrame(CGRect frame) {
  id self = objc::msg<id>(this, SEL_("initWithStyle:reuseIdentifier:"), NSInteger{UITableViewCellStyleDefault},
                          Ref<NSString>());
  if (self) objc::msg(self, SEL_("setFrame:"), frame);
  return self;
}

void UITableViewCell::setAccessoryType(NSInteger type) {
  accessoryType_ = type;
  setNeedsLayout();
}

void UITableViewCell::setSelectedAnimated(bool selected, bool) { selected_ = selected; }
void UITableViewCell::setHighlightedAnimated(bool highlighted, bool) { highlighted_ = highlighted; }

bool UITableViewCell::showsHighlight() const noexcept {
  return (selected_ || highlighted_) && selectionStyle_ != UITableViewCellSelectionStyleNone;
}

void UITableViewCell::setEditingAnimated(bool editing, bool) {
  if (editing_ == editing) return;
  editing_ = editing;
  setNeedsLayout();
}

void UITableViewCell::prepareForReuse() {
  selected_ = highlighted_ = false;
  setAlpha(1);
}

void UITableViewCell::layoutSubviews() {
  CGRect b = bounds();
  double left = editing_ && editingStyle_ != UITableViewCellEditingStyleNone ? kEditingControlWidth : 0;
  double right = (accessoryType_ != UITableViewCellAccessoryNone ? kAccessoryWidth : 0) +
                 (isReorderControlVisible() ? kReorderControlWidth : 0);
  double cw = std::max(0.0, b.size.width - left - right), ch = b.size.height;
  objc::msg(contentView_, SEL_("setFrame:"), CGRectMake(left, 0, cw, ch));

  double avail = std::max(0.0, cw - 2 * kMargin);
  CGSize t = textSize(textLabel_.get()), d = textSize(detailTextLabel_.get());
  auto place = [](const Ref<UILabel>& label, CGRect frame) {
    if (label) objc::msg(label, SEL_("setFrame:"), frame);
  };
  switch (style_) {
    case UITableViewCellStyleSubtitle: {
      double top = (ch - t.height - d.height) / 2;
      place(textLabel_, CGRectMake(kMargin, top, std::min(t.width, avail), t.height));
      place(detailTextLabel_, CGRectMake(kMargin, top + t.height, std::min(d.width, avail), d.height));
      break;
    }
    case UITableViewCellStyleValue1: {
      // The label keeps its width; the value is cut to what is left.
      double tw = std::min(t.width, avail);
      double dw = std::min(d.width, std::max(0.0, avail - tw - kMargin));
      place(textLabel_, CGRectMake(kMargin, (ch - t.height) / 2, tw, t.height));
      place(detailTextLabel_, CGRectMake(cw - kMargin - dw, (ch - d.height) / 2, dw, d.height));
      break;
    }
    case UITableViewCellStyleValue2: {
      double detailX = kMargin + kValue2TitleWidth + 6;
      place(textLabel_, CGRectMake(kMargin, (ch - t.height) / 2, kValue2TitleWidth, t.height));
      place(detailTextLabel_, CGRectMake(detailX, (ch - d.height) / 2,
                                         std::min(d.width, std::max(0.0, cw - detailX - kMargin)), d.height));
      break;
    }
    default: place(textLabel_, CGRectMake(kMargin, (ch - t.height) / 2, avail, t.height)); break;
  }
}

std::string UITableViewCell::descriptionString() const {
  std::string d = UIView::descriptionString();
  d.pop_back();
  d += "; text = '" + (textLabel_ && textLabel_->text() ? textLabel_->text()->str() : std::string()) + "'>";
  return d;
}
