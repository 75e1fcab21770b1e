#include <UIKit/UIView.h>

#include <Foundation/NSArray.h>
#include <UIKit/UIColor.h>
#include <objc/ClassBuilder.h>

#include <algorithm>
#include <cstdio>

Class UIView::classObject() {
  static Class cls = objc::ClassBuilder<UIView, NSObject>("UIView")
                         .method<&UIView::initWithFrame>("initWithFrame:")
                         .method<&UIView::initPlain>("init")
                         .method<&UIView::frame>("frame")
                         .method<&UIView::setFrame>("setFrame:")
                         .method<&UIView::bounds>("bounds")
                         .method<&UIView::setBounds>("setBounds:")
                         .method<&UIView::center>("center")
                         .method<&UIView::setCenter>("setCenter:")
                         .method<&UIView::superview>("superview")
                         .method<&UIView::subviews>("subviews")
                         .method<&UIView::addSubview>("addSubview:")
                         .method<&UIView::insertSubviewAtIndex>("insertSubview:atIndex:")
                         .method<&UIView::removeFromSuperview>("removeFromSuperview")
                         .method<&UIView::bringSubviewToFront>("bringSubviewToFront:")
                         .method<&UIView::isDescendantOfView>("isDescendantOfView:")
                         .method<&UIView::backgroundColor>("backgroundColor")
                         .method<&UIView::setBackgroundColor>("setBackgroundColor:")
                         .method<&UIView::alpha>("alpha")
                         .method<&UIView::setAlpha>("setAlpha:")
                         .method<&UIView::isHidden>("isHidden")
                         .method<&UIView::setHidden>("setHidden:")
                         .method<&UIView::autoresizingMask>("autoresizingMask")
                         .method<&UIView::setAutoresizingMask>("setAutoresizingMask:")
                         .method<&UIView::tag>("tag")
                         .method<&UIView::setTag>("setTag:")
                         .method<&UIView::layoutSubviews>("layoutSubviews")
                         .method<&UIView::setNeedsLayout>("setNeedsLayout")
                         .method<&UIView::layoutIfNeeded>("layoutIfNeeded")
                         .ivar<&UIView::backgroundColor_>("_backgroundColor")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(UIView);

// Subviews outliving this view see no superview: their weak link clears itself.
UIView::~UIView() = default;

id UIView::initWithFrame(CGRect frame) {
  frame_ = frame;
  bounds_ = {{0, 0}, frame.size};
  needsLayout_ = true;
  return id(this);
}

id UIView::initPlain() { return objc::msg<id>(this, SEL_("initWithFrame:"), CGRectZero); }

void UIView::setFrame(CGRect frame) {
  CGSize old = bounds_.size;
  frame_ = frame;
  bounds_.size = frame.size;
  if (old != frame.size) {
    resizeSubviews(old);
    needsLayout_ = true;
  }
}

void UIView::setBounds(CGRect bounds) {
  CGSize old = bounds_.size;
  CGPoint c = center();
  bounds_ = bounds;
  // The centre stays where it is when the size changes.
  frame_.size = bounds.size;
  frame_.origin = {c.x - bounds.size.width / 2, c.y - bounds.size.height / 2};
  if (old != bounds.size) {
    resizeSubviews(old);
    needsLayout_ = true;
  }
}

CGPoint UIView::center() const noexcept {
  return {frame_.origin.x + frame_.size.width / 2, frame_.origin.y + frame_.size.height / 2};
}

void UIView::setCenter(CGPoint c) { frame_.origin = {c.x - frame_.size.width / 2, c.y - frame_.size.height / 2}; }

namespace {
/// Shares a change of the superview's extent among the flexible parts of a
/// subview (margin before, size, margin after), in proportion to their size.
void resizeAxis(double delta, double superOld, bool flexBefore, bool flexSize, bool flexAfter, double& origin,
                double& size) {
  double before = origin, after = superOld - origin - size;
  double total = (flexBefore ? before : 0) + (flexSize ? size : 0) + (flexAfter ? after : 0);
  int parts = int(flexBefore) + int(flexSize) + int(flexAfter);
  if (parts == 0) return;
  auto share = [&](bool flexible, double extent) {
    if (!flexible) return 0.0;
    return total > 0 ? delta * extent / total : delta / parts;
  };
  double dBefore = share(flexBefore, before), dSize = share(flexSize, size);
  origin += dBefore;
  size = std::max(0.0, size + dSize);
}
}  // namespace

void UIView::resizeSubviews(CGSize oldSize) {
  double dw = bounds_.size.width - oldSize.width, dh = bounds_.size.height - oldSize.height;
  for (const auto& sub : subviews_) {
    NSUInteger m = sub->autoresizingMask_;
    if (m == UIViewAutoresizingNone) continue;
    CGRect f = sub->frame_;
    resizeAxis(dw, oldSize.width, m & UIViewAutoresizingFlexibleLeftMargin, m & UIViewAutoresizingFlexibleWidth,
               m & UIViewAutoresizingFlexibleRightMargin, f.origin.x, f.size.width);
    resizeAxis(dh, oldSize.height, m & UIViewAutoresizingFlexibleTopMargin, m & UIViewAutoresizingFlexibleHeight,
               m & UIViewAutoresizingFlexibleBottomMargin, f.origin.y, f.size.height);
    objc::msg(sub, SEL_("setFrame:"), f);
  }
}

Ref<NSArray> UIView::subviews() const {
  return NSArray::arrayWithObjects(std::vector<id>(subviews_.begin(), subviews_.end()));
}

void UIView::addSubview(Ref<UIView> view) {
  insertSubviewAtIndex(std::move(view), static_cast<NSInteger>(subviews_.size()));
}

void UIView::insertSubviewAtIndex(Ref<UIView> view, NSInteger index) {
  if (!view || view.get() == this) return;
  // `view` is held by value, so removing it from its old place cannot free it.
  if (view->superview_.lock().get() == this) {
    subviews_.erase(std::find(subviews_.begin(), subviews_.end(), view));
  } else {
    view->removeFromSuperview();
  }
  index = std::clamp<NSInteger>(index, 0, static_cast<NSInteger>(subviews_.size()));
  subviews_.insert(subviews_.begin() + index, view);
  view->superview_ = this;
  needsLayout_ = true;
  view->didMoveToSuperview();
}

void UIView::removeFromSuperview() {
  Ref<UIView> parent = superview_.lock();
  if (!parent) return;
  Ref<UIView> keep(this);  // the superview held the last reference, perhaps
  auto& list = parent->subviews_;
  list.erase(std::remove(list.begin(), list.end(), keep), list.end());
  superview_ = nullptr;
  parent->needsLayout_ = true;
  didMoveToSuperview();
}

void UIView::bringSubviewToFront(Ref<UIView> view) {
  if (view && view->superview_.lock().get() == this) addSubview(view);
}

bool UIView::isDescendantOfView(Ref<UIView> view) const {
  if (!view) return false;
  for (Ref<UIView> v(const_cast<UIView*>(this)); v; v = v->superview())
    if (v == view) return true;
  return false;
}

Ref<UIColor> UIView::backgroundColor() const { return backgroundColor_; }
void UIView::setBackgroundColor(Ref<UIColor> color) { backgroundColor_ = std::move(color); }
void UIView::setAlpha(double alpha) { alpha_ = std::clamp(alpha, 0.0, 1.0); }

void UIView::layoutSubviews() {}

void UIView::layoutIfNeeded() {
  Ref<UIView> keep(this);
  if (needsLayout_) {
    objc::msg(this, SEL_("layoutSubviews"));
    // Subviews the pass itself added or moved do not ask for another pass.
    needsLayout_ = false;
  }
  // Copy: a layout pass may add or remove subviews.
  std::vector<Ref<UIView>> subs = subviews_;
  for (const auto& sub : subs) sub->layoutIfNeeded();
}

Ref<UIView> UIView::hitTest(CGPoint p) {
  if (hidden_ || alpha_ < 0.01) return nullptr;
  if (p.x < bounds_.origin.x || p.y < bounds_.origin.y || p.x >= bounds_.origin.x + bounds_.size.width ||
      p.y >= bounds_.origin.y + bounds_.size.height)
    return nullptr;
  for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it) {
    const auto& sub = *it;
    CGPoint q{p.x - sub->frame_.origin.x + sub->bounds_.origin.x, p.y - sub->frame_.origin.y + sub->bounds_.origin.y};
    if (auto hit = sub->hitTest(q)) return hit;
  }
  return Ref<UIView>(this);
}

CGPoint UIView::convertPointToView(CGPoint p, const UIView* ancestor) const {
  Ref<UIView> v(const_cast<UIView*>(this));
  while (v && v.get() != ancestor) {
    Ref<UIView> parent = v->superview();
    if (!parent) break;
    p = {p.x - v->bounds_.origin.x + v->frame_.origin.x, p.y - v->bounds_.origin.y + v->frame_.origin.y};
    v = parent;
  }
  return p;
}

std::string UIView::descriptionString() const {
  char buf[160];
  std::snprintf(buf, sizeof buf, "<%s: %p; frame = (%g %g; %g %g)>", object_getClassName(this),
                static_cast<const void*>(this), frame_.origin.x, frame_.origin.y, frame_.size.width,
                frame_.size.height);
  return buf;
}
