#pragma once
/// \file
/// The measures of a lock-screen bulletin row, shared by the list's row
/// heights and the cell's layout so the two always agree.
///
///   13 ┬ icon 20×20 at x 14      title (bold 15) ─ 6 ─ date (12)
///      │                         subtitle (14), when there is one
///      │                         message (14), up to four wrapped lines
///      │                         "slide to view" (12)
///   13 ┴
///
/// Text starts 47 points from the left edge and keeps 10 from the right.

#include <UIKit/UIFont.h>

#include <string>
#include <string_view>
#include <vector>

namespace springboard::cell {

constexpr double kTopMargin = 13, kBottomMargin = 13;
constexpr double kTextLeft = 47, kRightMargin = 10;
constexpr double kDateGap = 6;
constexpr double kIconLeft = 14, kIconSide = 20;
constexpr int kMaxMessageLines = 4;

Ref<UIFont> titleFont();     ///< bold system 15
Ref<UIFont> subtitleFont();  ///< system 14
Ref<UIFont> messageFont();   ///< system 14
Ref<UIFont> dateFont();      ///< system 12
Ref<UIFont> unlockFont();    ///< system 12

/// The height of one line of text in the font (as measured on the device).
double lineHeight(const UIFont* font);

/// Word-wrapped lines of text that fit width, at most maxLines (the last
/// one cut with an ellipsis when text remains); none for empty text.
std::vector<std::string> wrapLines(std::string_view text, const UIFont* font, double width, int maxLines);

/// The platform's height of a row of that content in a list of that width
/// (the title always takes one line).
double rowHeight(std::string_view subtitle, std::string_view message, double width);

}  // namespace springboard::cell
