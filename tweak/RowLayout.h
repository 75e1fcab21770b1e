#pragma once
/// \file
/// The geometry of the tweak's rows: their height from the measured line
/// heights, the frames of title, date and subtitle, and which separator
/// calls the running release takes.

#include <CoreGraphics/CGGeometry.h>

#include <string_view>

namespace quillpane {

constexpr double kLineMargin = 13.0;  ///< above the first line and below the last
constexpr double kTextLeft = 47.0;    ///< left edge of title and subtitle
constexpr double kGap = 10.0;         ///< title to date, date to edge, width margin
/// Measured in the row's font, its height is one line's height.
constexpr std::string_view kLineSample = "AAAAAAAAAAA";

struct RowHeightInput {
  double titleLineHeight = 0;
  double subtitleLineHeight = 0;
  bool displayLocation = false;
  bool hasSubtitle = false;
  bool sameHeightRows = false;
};

/// One line, or two when locations are shown and the row has a subtitle (or
/// every row is made as tall).
double ownRowHeight(const RowHeightInput& in);

struct RowLabelSizes {
  CGSize title, date, subtitle;
};
struct RowFrames {
  CGRect title, date, subtitle;
};

/// Title and date share one bottom edge 13 below the taller of the two; the
/// title is cut to leave room for the date; the date follows the title or
/// stands 10 inside the right edge; the subtitle hangs under the title.
RowFrames layoutOwnRow(const RowLabelSizes& sizes, double contentWidth, bool rightAlignedDate);

/// iOS 7 switches separators with setDrawsSeparators:, later releases with
/// the private per-cell calls.
bool usesDrawsSeparators(double foundationVersionNumber);

}  // namespace quillpane
