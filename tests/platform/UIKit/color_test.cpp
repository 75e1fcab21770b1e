#include <CoreImage/CIColor.h>
#include <UIKit/UIColor.h>
#include <objc/message.h>

#include <gtest/gtest.h>

using Components = std::array<double, 4>;

TEST(UIColor, NamedColoursCarryTheDeviceComponents) {
  EXPECT_EQ(UIColor::redColor()->components(), (Components{1, 0, 0, 1}));
  EXPECT_EQ(UIColor::blackColor()->components(), (Components{0, 0, 0, 1}));
  EXPECT_EQ(UIColor::grayColor()->components(), (Components{0.5, 0.5, 0.5, 1}));
  EXPECT_EQ(UIColor::whiteColor()->components(), (Components{1, 1, 1, 1}));
  EXPECT_EQ(UIColor::greenColor()->components(), (Components{0, 1, 0, 1}));
  EXPECT_EQ(UIColor::blueColor()->components(), (Components{0, 0, 1, 1}));
  EXPECT_EQ(UIColor::yellowColor()->components(), (Components{1, 1, 0, 1}));
  EXPECT_EQ(UIColor::orangeColor()->components(), (Components{1, 0.5, 0, 1}));
  EXPECT_EQ(UIColor::purpleColor()->components(), (Components{0.5, 0, 0.5, 1}));
  EXPECT_EQ(UIColor::brownColor()->components(), (Components{0.6, 0.4, 0.2, 1}));
  EXPECT_EQ(UIColor::clearColor()->components(), (Components{0, 0, 0, 0}));
  EXPECT_TRUE(UIColor::grayColor()->isWhiteColor());
  EXPECT_EQ(UIColor::grayColor()->descriptionString(), "UIDeviceWhiteColorSpace 0.5 1");
  EXPECT_EQ(UIColor::orangeColor()->descriptionString(), "UIDeviceRGBColorSpace 1 0.5 0 1");
}

TEST(UIColor, ConvertsToCoreGraphicsAndFromCoreImage) {
  auto c = UIColor::colorWithRed(0.2, 0.4, 0.6, 0.8);
  auto cg = objc::msg<CGColorRef>(c, SEL_("CGColor"));
  EXPECT_EQ(cg->components(), (Components{0.2, 0.4, 0.6, 0.8}));
  auto ci = CIColor::colorWithString("1 0.5 0 1");
  EXPECT_TRUE(UIColor::colorWithCIColor(ci.get())->isEqualTo(*UIColor::orangeColor()));
  EXPECT_EQ(UIColor::colorWithCIColor(nullptr), nullptr);
  EXPECT_TRUE(UIColor::colorWithWhite(0.5, 1)->isEqualTo(*UIColor::grayColor()));
  EXPECT_EQ(UIColor::redColor()->colorWithAlphaComponent(0.25)->alpha(), 0.25);
}
