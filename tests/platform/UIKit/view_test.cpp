#include <Foundation/NSArray.h>
#include <UIKit/UILabel.h>
#include <UIKit/UIStringDrawing.h>
#include <substrate/substrate.h>

#include <gtest/gtest.h>

namespace {

Ref<UIView> makeView(CGRect frame) {
  return objc::cast<UIView>(objc::msg<id>(objc::alloc<UIView>(), SEL_("initWithFrame:"), frame));
}

int layoutCalls = 0;
void (*savedLayout)(id, SEL) = nullptr;
void countingLayout(id self, SEL cmd) {
  ++layoutCalls;
  savedLayout(self, cmd);
}

}  // namespace

TEST(UIView, SubviewsKeepOrderAndMoveBetweenParents) {
  auto a = makeView(CGRectMake(0, 0, 100, 100));
  auto b = makeView(CGRectMake(0, 0, 100, 100));
  auto child = makeView(CGRectMake(10, 10, 20, 20));
  auto other = makeView(CGRectZero);
  objc::msg(a, SEL_("addSubview:"), child);
  a->addSubview(other);
  EXPECT_EQ(child->superview(), a);
  EXPECT_EQ(a->subviewList().front(), child);
  a->bringSubviewToFront(child);
  EXPECT_EQ(a->subviewList().back(), child);
  b->addSubview(child);  // a view has one superview
  EXPECT_EQ(child->superview(), b);
  EXPECT_EQ(a->subviewList().size(), 1u);
  EXPECT_TRUE(child->isDescendantOfView(b));
  EXPECT_FALSE(child->isDescendantOfView(a));
  objc::msg(child, SEL_("removeFromSuperview"));
  EXPECT_EQ(child->superview(), nullptr);
  EXPECT_EQ(objc::msg<Ref<NSArray>>(b, SEL_("subviews"))->count(), 0u);
}

TEST(UIView, TheSuperviewIsAWeakLink) {
  auto child = makeView(CGRectZero);
  {
    auto parent = makeView(CGRectZero);
    parent->addSubview(child);
    EXPECT_EQ(child->retainCount(), 2);
  }
  EXPECT_EQ(child->superview(), nullptr);  // the parent went away; the child does not keep it
  EXPECT_EQ(child->retainCount(), 1);
}

TEST(UIView, FrameBoundsAndCentreAgree) {
  auto v = makeView(CGRectMake(10, 20, 100, 50));
  EXPECT_EQ(v->bounds(), CGRectMake(0, 0, 100, 50));
  EXPECT_EQ(v->center(), CGPointMake(60, 45));
  v->setCenter(CGPointMake(50, 25));
  EXPECT_EQ(v->frame(), CGRectMake(0, 0, 100, 50));
  v->setBounds(CGRectMake(0, 0, 40, 10));  // a new size keeps the centre
  EXPECT_EQ(v->frame(), CGRectMake(30, 20, 40, 10));
  EXPECT_EQ(objc::msg<CGRect>(v, SEL_("frame")), v->frame());
}

TEST(UIView, FlexibleSubviewsFollowTheirSuperview) {
  auto parent = makeView(CGRectMake(0, 0, 320, 480));
  auto fill = makeView(CGRectMake(0, 0, 320, 480));
  fill->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
  auto pinned = makeView(CGRectMake(0, 240, 320, 50));  // no mask: stays as it is
  auto right = makeView(CGRectMake(300, 0, 20, 20));
  right->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin);
  parent->addSubview(fill);
  parent->addSubview(pinned);
  parent->addSubview(right);
  parent->setFrame(CGRectMake(0, 0, 768, 1024));
  EXPECT_EQ(fill->frame(), CGRectMake(0, 0, 768, 1024));
  EXPECT_EQ(pinned->frame(), CGRectMake(0, 240, 320, 50));
  EXPECT_EQ(right->frame(), CGRectMake(748, 0, 20, 20));
}

TEST(UIView, LayoutRunsThroughTheRuntimeOncePerRequest) {
  Class sub = objc_allocateClassPair(UIView::classObject(), "CountingLayoutView");
  objc_registerClassPair(sub);
  substrate::hookMessage(sub, SEL_("layoutSubviews"), &countingLayout, &savedLayout);
  auto parent = makeView(CGRectMake(0, 0, 10, 10));
  auto child = objc::cast<UIView>(objc::msg<id>(objc::alloc<UIView>(sub), SEL_("initWithFrame:"), CGRectZero));
  parent->addSubview(child);
  parent->layoutIfNeeded();
  EXPECT_EQ(layoutCalls, 1);
  parent->layoutIfNeeded();
  EXPECT_EQ(layoutCalls, 1);  // nothing pending
  objc::msg(child, SEL_("setNeedsLayout"));
  parent->layoutIfNeeded();
  EXPECT_EQ(layoutCalls, 2);
}

TEST(UIView, HitTestFindsTheFrontmostVisibleView) {
  auto root = makeView(CGRectMake(0, 0, 100, 100));
  auto back = makeView(CGRectMake(0, 0, 50, 50));
  auto front = makeView(CGRectMake(25, 25, 50, 50));
  root->addSubview(back);
  root->addSubview(front);
  EXPECT_EQ(root->hitTest(CGPointMake(30, 30)), front);
  EXPECT_EQ(root->hitTest(CGPointMake(10, 10)), back);
  front->setHidden(true);
  EXPECT_EQ(root->hitTest(CGPointMake(30, 30)), back);
  EXPECT_EQ(root->hitTest(CGPointMake(200, 30)), nullptr);
  EXPECT_EQ(front->convertPointToView(CGPointMake(1, 1), nullptr), CGPointMake(26, 26));
}

TEST(UILabel, DefaultsAndSizeToFit) {
  auto label = objc::cast<UILabel>(objc::msg<id>(objc::alloc<UILabel>(), SEL_("init")));
  EXPECT_EQ(label->font()->pointSize(), 17);
  EXPECT_TRUE(label->textColor()->isEqualTo(*UIColor::blackColor()));
  EXPECT_EQ(label->textAlignment(), NSTextAlignmentLeft);
  objc::msg(label, SEL_("setText:"), NSStr("Loading web page..."));
  objc::msg(label, SEL_("setTextAlignment:"), NSInteger{NSTextAlignmentCenter});
  EXPECT_EQ(label->textAlignment(), NSTextAlignmentCenter);
  label->sizeToFit();
  EXPECT_EQ(label->frame().size, sizeWithFont(label->text().get(), label->font().get()));
  objc::msg(label, SEL_("setFont:"), Ref<UIFont>());
  EXPECT_EQ(label->font()->pointSize(), 17);  // nil gives the default back
  EXPECT_NE(class_getInstanceVariable(object_getClass(label.get()), "_text"), nullptr);
}
