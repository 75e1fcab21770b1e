#include <CoreImage/CIColor.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

void expectColor(const Ref<CIColor>& c, double r, double g, double b, double a) {
  ASSERT_TRUE(c);
  EXPECT_DOUBLE_EQ(c->red(), r);
  EXPECT_DOUBLE_EQ(c->green(), g);
  EXPECT_DOUBLE_EQ(c->blue(), b);
  EXPECT_DOUBLE_EQ(c->alpha(), a);
}

}  // namespace

TEST(CIColorString, AlwaysFourComponents) {
  expectColor(CIColor::colorWithString("1 0.5 0.25 0.75"), 1, 0.5, 0.25, 0.75);
  expectColor(CIColor::colorWithString("1 0.5 0.25"), 1, 0.5, 0.25, 1);  // three values: opaque
  expectColor(CIColor::colorWithString("0.5"), 0.5, 0, 0, 1);
  expectColor(CIColor::colorWithString("1 1 1 1 0.5 0.5"), 1, 1, 1, 1);  // extra values are ignored
  EXPECT_EQ(CIColor::colorWithString("0.2 0.4 0.6")->stringRepresentation(), "0.2 0.4 0.6 1");
}

TEST(CIColorString, NoValuesGiveTheClearColour) {
  for (const char* text : {"", "   ", "[]", "[ ]", "\t\n"}) {
    SCOPED_TRACE(text);
    expectColor(CIColor::colorWithString(text), 0, 0, 0, 0);
  }
}

TEST(CIColorString, BracketsAndWhiteSpaceAreOptional) {
  expectColor(CIColor::colorWithString("[0.1 0.2 0.3 0.4]"), 0.1, 0.2, 0.3, 0.4);
  expectColor(CIColor::colorWithString("  [ 0.1\t0.2\n0.3 ]  "), 0.1, 0.2, 0.3, 1);
}

TEST(CIColorString, GarbageHasADefinedReading) {
  // Unreadable words count as 0; a readable start of a word is taken.
  expectColor(CIColor::colorWithString("red green blue"), 0, 0, 0, 1);
  expectColor(CIColor::colorWithString("0.5abc x 1e-1 +0.25"), 0.5, 0, 0.1, 0.25);
  expectColor(CIColor::colorWithString("nan inf -inf 1"), 0, 0, 0, 1);
  expectColor(CIColor::colorWithString("1,0,0,1"), 1, 0, 0, 1);  // one word: only its start reads
  expectColor(CIColor::colorWithString(std::string_view("1 \0 1", 5)), 1, 0, 1, 1);
}

TEST(CIColorString, RepresentationIsShortestAndRoundTrips) {
  EXPECT_EQ(objc::create<CIColor>(1, 0.5, 0, 1)->stringRepresentation(), "1 0.5 0 1");
  EXPECT_EQ(objc::create<CIColor>(-0.0, 0, 0, 0)->stringRepresentation(), "0 0 0 0");
  EXPECT_EQ(objc::create<CIColor>(NAN, INFINITY, 0.5, 1)->stringRepresentation(), "0 0 0.5 1");
  for (double v : {149 / 255.0, 1 / 3.0, 1e-7, 0.1 + 0.2, 1.5}) {
    auto c = objc::create<CIColor>(v, v / 2, v / 3, 1);
    auto back = CIColor::colorWithString(c->stringRepresentation());
    EXPECT_EQ(back->red(), c->red());
    EXPECT_EQ(back->green(), c->green());
    EXPECT_EQ(back->blue(), c->blue());
    EXPECT_EQ(back->stringRepresentation(), c->stringRepresentation());
  }
}

TEST(CIColorFromCGColor, TakesTheComponents) {
  auto cg = CGColor::createRGBA(1, 149 / 255.0, 0, 0.5);
  expectColor(CIColor::colorWithCGColor(cg.get()), 1, 149 / 255.0, 0, 0.5);
  EXPECT_EQ(CIColor::colorWithCGColor(nullptr), nullptr);
  EXPECT_STREQ(object_getClassName(CIColor::colorWithString("1 1 1").get()), "CIColor");
}
