#pragma once
/// \file
/// Labels as SpringBoard makes them: alloc and `initWithFrame:` through the
/// runtime, then font, colour and alignment.

#include <UIKit/UILabel.h>

namespace springboard {

Ref<UILabel> newLabel(Ref<UIFont> font, Ref<UIColor> color, NSTextAlignment alignment = NSTextAlignmentLeft);

}  // namespace springboard
