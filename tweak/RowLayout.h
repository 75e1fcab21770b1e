#pragma once
/// \file
/// The geometry and look of the tweak's rows: their height from the
/// measured line heights, the frames of title, date and subtitle, which
/// separator calls the running release takes, the icon and the dot, and
/// where the title's colour comes from.

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

enum class IconMode { None, Dot, LargeDot, Image };

/// "NONE", "DOT" and "DOT_LARGE" exactly; anything else is an image path.
IconMode iconModeFor(std::string_view iconFile);

constexpr double kDotCanvasSide = 80.0;
constexpr double kDotDiameter = 30.0;
constexpr double kLargeDotDiameter = 50.0;

/// The square the dot is inscribed in, centred on the canvas.
CGRect dotSquare(double diameter);

/// Where a title's colour comes from: the textColor setting, the list
/// colour carried in the bulletin identifier, or white (with a log line)
/// when the identifier is too short to carry one.
enum class TitleColourSource { Setting, ListColour, MissingListColour };
TitleColourSource titleColourSource(bool titleColorSameAsListColor, std::string_view bulletinID);

}  // namespace quillpane
