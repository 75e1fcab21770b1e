#pragma once
/// \file
/// The view tree: a view has a frame in its superview's coordinates, bounds
/// in its own, a weak link to its superview and strong links to its
/// subviews. Layout runs through the runtime (`layoutSubviews`), so a
/// replaced layout method takes effect wherever UIKit lays a view out.
///
/// Subclasses override the virtual methods below; the runtime reaches the
/// override through the selector registered here.

#include <CoreGraphics/CGGeometry.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIKitDefines.h>
#include <objc/Weak.h>

#include <vector>

#include <Foundation/NSArray.h>

enum UIViewAutoresizing : NSUInteger {
  UIViewAutoresizingNone = 0,
  UIViewAutoresizingFlexibleLeftMargin = 1 << 0,
  UIViewAutoresizingFlexibleWidth = 1 << 1,
  UIViewAutoresizingFlexibleRightMargin = 1 << 2,
  UIViewAutoresizingFlexibleTopMargin = 1 << 3,
  UIViewAutoresizingFlexibleHeight = 1 << 4,
  UIViewAutoresizingFlexibleBottomMargin = 1 << 5,
};

class UIView : public NSObject {
 public:
  static Class classObject();
  UIView() = default;
  ~UIView() override;

  // Registered: "initWithFrame:", "init" (initWithFrame: with the zero rect).
  virtual id initWithFrame(CGRect frame);
  id initPlain();

  // Registered: "frame", "setFrame:", "bounds", "setBounds:", "center", "setCenter:".
  [[nodiscard]] CGRect frame() const noexcept { return frame_; }
  virtual void setFrame(CGRect frame);
  [[nodiscard]] CGRect bounds() const noexcept { return bounds_; }
  virtual void setBounds(CGRect bounds);
  [[nodiscard]] CGPoint center() const noexcept;
  void setCenter(CGPoint center);

  // Registered: "superview", "subviews", "addSubview:", "insertSubview:atIndex:",
  // "removeFromSuperview", "bringSubviewToFront:", "isDescendantOfView:".
  [[nodiscard]] Ref<UIView> superview() const { return superview_.lock(); }
  [[nodiscard]] const std::vector<Ref<UIView>>& subviewList() const noexcept { return subviews_; }
  [[nodiscard]] Ref<NSArray> subviews() const;
  void addSubview(Ref<UIView> view);
  void insertSubviewAtIndex(Ref<UIView> view, NSInteger index);
  void removeFromSuperview();
  void bringSubviewToFront(Ref<UIView> view);
  [[nodiscard]] bool isDescendantOfView(Ref<UIView> view) const;

  // Registered: "backgroundColor", "setBackgroundColor:", "alpha", "setAlpha:",
  // "isHidden", "setHidden:", "autoresizingMask", "setAutoresizingMask:", "tag", "setTag:".
  [[nodiscard]] Ref<UIColor> backgroundColor() const;
  virtual void setBackgroundColor(Ref<UIColor> color);
  [[nodiscard]] double alpha() const noexcept { return alpha_; }
  virtual void setAlpha(double alpha);
  [[nodiscard]] bool isHidden() const noexcept { return hidden_; }
  void setHidden(bool hidden) noexcept { hidden_ = hidden; }
  [[nodiscard]] NSUInteger autoresizingMask() const noexcept { return autoresizingMask_; }
  void setAutoresizingMask(NSUInteger mask) noexcept { autoresizingMask_ = mask; }
  [[nodiscard]] NSInteger tag() const noexcept { return tag_; }
  void setTag(NSInteger tag) noexcept { tag_ = tag; }

  // Registered: "layoutSubviews", "setNeedsLayout", "layoutIfNeeded".
  /// Lays out the subviews; the base does nothing (autoresizing has already
  /// followed size changes).
  virtual void layoutSubviews();
  void setNeedsLayout() noexcept { needsLayout_ = true; }
  /// Sends `layoutSubviews` through the runtime when a layout is pending,
  /// then lays out the subviews the same way.
  void layoutIfNeeded();
  [[nodiscard]] bool needsLayout() const noexcept { return needsLayout_; }

  /// The window-free hit test of the hosts: the deepest visible subview
  /// containing point (in this view's coordinates), or nil.
  [[nodiscard]] Ref<UIView> hitTest(CGPoint point);
  /// A point of this view in the coordinates of an ancestor (nil: the root).
  [[nodiscard]] CGPoint convertPointToView(CGPoint point, const UIView* ancestor) const;

  /// Called when this view has been added to or removed from a superview.
  virtual void didMoveToSuperview() {}

  [[nodiscard]] std::string descriptionString() const override;

 private:
  void resizeSubviews(CGSize oldSize);

  CGRect frame_{};
  CGRect bounds_{};
  Weak<UIView> superview_;
  std::vector<Ref<UIView>> subviews_;
  Ref<UIColor> backgroundColor_;
  double alpha_ = 1;
  bool hidden_ = false;
  bool needsLayout_ = true;
  NSUInteger autoresizingMask_ = UIViewAutoresizingNone;
  NSInteger tag_ = 0;
};
