#include "LockScreenTestSupport.h"

#include <SpringBoard/SBBulletinCellMetrics.h>
#include <UIKit/UIStringDrawing.h>

#include <algorithm>

using namespace sbtest;
namespace cell = springboard::cell;
using ::testing::ElementsAre;

namespace {

class CellMetrics : public LockScreenTest {};

TEST_F(CellMetrics, MessagesWrapAtWordsAndEndInAnEllipsisAfterTheLastLine) {
  auto font = cell::messageFont();
  const double width = std::max(advanceWidth("alpha beta", font.get()), advanceWidth("gamma delta", font.get())) + 1;
  EXPECT_THAT(cell::wrapLines("alpha beta gamma delta", font.get(), width, 4),
              ElementsAre("alpha beta", "gamma delta"));
  EXPECT_THAT(cell::wrapLines("  alpha\nbeta  ", font.get(), width, 4), ElementsAre("alpha beta"));
  EXPECT_TRUE(cell::wrapLines("", font.get(), width, 4).empty());
  EXPECT_TRUE(cell::wrapLines("alpha", font.get(), width, 0).empty());

  auto cut = cell::wrapLines("alpha beta gamma delta epsilon", font.get(), width, 2);
  ASSERT_EQ(cut.size(), 2u);
  EXPECT_EQ(cut[0], "alpha beta");
  EXPECT_TRUE(cut[1].ends_with("\u2026"));
  EXPECT_LE(advanceWidth(cut[1], font.get()), width);
}

TEST_F(CellMetrics, AWordWiderThanTheLineBreaksBetweenCharacters) {
  auto font = cell::messageFont();
  const double width = advanceWidth("mmmm", font.get()) + 0.5;
  auto lines = cell::wrapLines("mmmmmmmmmm", font.get(), width, 4);
  EXPECT_THAT(lines, ElementsAre("mmmm", "mmmm", "mm"));
  // Multi-byte characters are never split.
  auto accents = cell::wrapLines("\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9", font.get(),
                                 advanceWidth("\u00e9\u00e9\u00e9", font.get()) + 0.5, 4);
  EXPECT_THAT(accents, ElementsAre("\u00e9\u00e9\u00e9", "\u00e9\u00e9\u00e9", "\u00e9\u00e9"));
}

TEST_F(CellMetrics, RowHeightIsMarginsPlusTheLinesShown) {
  const double title = cell::lineHeight(cell::titleFont().get());
  const double line14 = cell::lineHeight(cell::messageFont().get());
  const double unlock = cell::lineHeight(cell::unlockFont().get());
  EXPECT_GT(title, 15);
  EXPECT_DOUBLE_EQ(cell::rowHeight("", "", 320), 26 + title + unlock);
  EXPECT_DOUBLE_EQ(cell::rowHeight("", "QPX|", 320), 26 + title + line14 + unlock);
  EXPECT_DOUBLE_EQ(cell::rowHeight("Arriving: Work", "QPX|", 320), 26 + title + 2 * line14 + unlock);
  const std::string essay(2000, 'x');
  EXPECT_DOUBLE_EQ(cell::rowHeight("", essay, 320), 26 + title + cell::kMaxMessageLines * line14 + unlock);
}

}  // namespace
