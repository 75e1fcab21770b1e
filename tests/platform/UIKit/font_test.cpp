#include <UIKit/UIFont.h>
#include <UIKit/UIStringDrawing.h>
#include <objc/message.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {
constexpr const char* kSample = "AAAAAAAAAAA";
}

TEST(UIFont, SystemFaceHasHelveticaMetrics) {
  auto font = UIFont::systemFontOfSize(14);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->familyName()->str(), "Nimbus Sans");
  EXPECT_DOUBLE_EQ(font->pointSize(), 14);
  EXPECT_NEAR(font->lineHeight(), 16.8, 1e-9);  // 1.2 em between baselines
  EXPECT_NEAR(font->ascender(), 10.206, 1e-9);
  EXPECT_NEAR(font->descender(), -3.794, 1e-9);
  EXPECT_GT(font->capHeight(), 9.5);
  EXPECT_EQ(objc::msg<double>(font, SEL_("lineHeight")), font->lineHeight());
}

TEST(UIFont, FontsAreSharedPerFaceAndSize) {
  EXPECT_EQ(UIFont::systemFontOfSize(14), UIFont::systemFontOfSize(14));
  auto bold = UIFont::boldSystemFontOfSize(12);
  auto bigger = objc::msg<Ref<UIFont>>(bold, SEL_("fontWithSize:"), 20.0);
  EXPECT_TRUE(bigger->isBold());
  EXPECT_EQ(bigger->pointSize(), 20);
  EXPECT_EQ(bigger->fontName()->str(), bold->fontName()->str());
  EXPECT_NE(bigger, bold);
  EXPECT_EQ(UIFont::fontWithName("Helvetica-Bold", 12)->face(), bold->face());
  EXPECT_EQ(UIFont::fontWithName("NoSuchFamilyAnywhere", 12), nullptr);
  EXPECT_EQ(UIFont::systemFontOfSize(-3)->pointSize(), 14);  // the system size for nonsense
}

TEST(SizeWithFont, OneLineIsTheRoundedLineHeightAndTheAdvances) {
  auto font = UIFont::systemFontOfSize(14);
  CGSize s = sizeWithFont(NSStr(kSample).get(), font.get());
  EXPECT_EQ(s.height, 17);  // 16.8 rounded up, as the device reports
  EXPECT_EQ(s.width, 103);  // 11 x 667/1000 em x 14 = 102.7
  EXPECT_NEAR(advanceWidth(kSample, font.get()), 102.718, 1e-9);
  EXPECT_EQ(sizeWithFont(NSStr("").get(), font.get()), (CGSize{0, 17}));
  EXPECT_EQ(sizeWithFont(static_cast<const NSString*>(nullptr), font.get()), (CGSize{0, 17}));
  EXPECT_EQ(sizeWithFont(NSStr("A").get(), nullptr), (CGSize{0, 0}));
  // One line: a newline takes no room and adds no line.
  EXPECT_EQ(sizeWithFont(NSStr("AA\nAA").get(), font.get()).height, 17);
}

TEST(SizeWithFont, GrowsWithSizeAndWeight) {
  double previousW = 0, previousH = 0;
  for (double size : {8.0, 12.0, 14.0, 17.0, 24.0, 40.0}) {
    CGSize s = sizeWithFont(NSStr(kSample).get(), UIFont::systemFontOfSize(size).get());
    EXPECT_GT(s.width, previousW);
    EXPECT_GT(s.height, previousH);
    previousW = s.width;
    previousH = s.height;
  }
  EXPECT_GT(advanceWidth(kSample, UIFont::boldSystemFontOfSize(14).get()),
            advanceWidth(kSample, UIFont::systemFontOfSize(14).get()));
}

TEST(TruncatedToFit, CutsWholeCharactersAndEndsWithAnEllipsisThatFits) {
  auto font = UIFont::systemFontOfSize(14);
  const std::string ellipsis = "\xE2\x80\xA6";
  const double full = advanceWidth(kSample, font.get());
  EXPECT_EQ(truncatedToFit(kSample, font.get(), full), kSample);

  const std::string cut = truncatedToFit(kSample, font.get(), full / 2);
  ASSERT_GT(cut.size(), ellipsis.size());
  EXPECT_EQ(cut.substr(cut.size() - ellipsis.size()), ellipsis);
  EXPECT_LE(advanceWidth(cut, font.get()), full / 2 + 0.5);
  // As long as fits: one more character would not.
  const std::string kept = cut.substr(0, cut.size() - ellipsis.size());
  EXPECT_GT(advanceWidth(std::string(kSample).substr(0, kept.size() + 1) + ellipsis, font.get()), full / 2 + 0.5);

  // Multi-byte characters leave whole, and no space stands before the ellipsis.
  const std::string accented = "\xC3\xA9\xC3\xA9\xC3\xA9 \xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9";
  const double threeAndEllipsis = advanceWidth("\xC3\xA9\xC3\xA9\xC3\xA9" + ellipsis, font.get());
  EXPECT_EQ(truncatedToFit(accented, font.get(), threeAndEllipsis), "\xC3\xA9\xC3\xA9\xC3\xA9" + ellipsis);

  EXPECT_EQ(truncatedToFit(kSample, font.get(), 1), "");
  EXPECT_EQ(truncatedToFit("", font.get(), 0), "");
}

TEST(SizeWithFont, MalformedTextMeasuresAsReplacementCharacters) {
  auto font = UIFont::systemFontOfSize(14);
  EXPECT_GT(advanceWidth("\xff\xfe", font.get()), 0);
  EXPECT_EQ(advanceWidth("caf\xc3\xa9", font.get()), advanceWidth("caf\xc3\xa9", font.get()));
}

TEST(SizeWithFont, MeasuresTheSameOnManyThreads) {
  const double expected = advanceWidth("The quick brown fox", UIFont::systemFontOfSize(13).get());
  std::vector<std::thread> threads;
  std::vector<int> mismatches(4, 0);
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([t, expected, &mismatches] {
      for (int i = 0; i < 200; ++i) {
        auto font = UIFont::systemFontOfSize(10 + (i % 7));
        (void)sizeWithFont("jumps over the lazy dog", font.get());
        if (advanceWidth("The quick brown fox", UIFont::systemFontOfSize(13).get()) != expected) ++mismatches[t];
      }
    });
  for (auto& th : threads) th.join();
  for (int m : mismatches) EXPECT_EQ(m, 0);
}
