#include <SpringBoard/SBLabelFactory.h>

#include <objc/message.h>

namespace springboard {

Ref<UILabel> newLabel(Ref<UIFont> font, Ref<UIColor> color, NSTextAlignment alignment) {
  auto label = objc::cast<UILabel>(objc::msg<id>(objc::alloc<UILabel>(), SEL_("initWithFrame:"), CGRectZero));
  label->setFont(std::move(font));
  label->setTextColor(std::move(color));
  label->setTextAlignment(alignment);
  return label;
}

}  // namespace springboard
