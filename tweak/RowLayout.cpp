#include "RowLayout.h"

#include "BulletinFields.h"

#include <algorithm>
#include <cmath>

namespace quillpane {

double ownRowHeight(const RowHeightInput& in) {
  const double oneLine = (in.titleLineHeight + kLineMargin) + kLineMargin;
  const double twoLines = ((in.titleLineHeight + in.subtitleLineHeight) + kLineMargin) + kLineMargin;
  return in.displayLocation && (in.hasSubtitle || in.sameHeightRows) ? twoLines : oneLine;
}

RowFrames layoutOwnRow(const RowLabelSizes& s, double contentWidth, bool rightAlignedDate) {
  const double bottom = (s.title.height > s.date.height ? s.title.height : s.date.height) + kLineMargin;
  const double usable = (contentWidth - kTextLeft) - kGap;
  RowFrames f;
  const double titleWidth = std::min(s.title.width, (usable - s.date.width) - kGap);
  f.title = CGRectMake(kTextLeft, bottom - s.title.height, titleWidth, s.title.height);
  const double dateX = rightAlignedDate ? (contentWidth - s.date.width) - kGap : (kTextLeft + titleWidth) + kGap;
  f.date = CGRectMake(dateX, bottom - s.date.height, s.date.width, s.date.height);
  f.subtitle =
      CGRectMake(kTextLeft, f.title.origin.y + s.title.height, std::min(s.subtitle.width, usable), s.subtitle.height);
  return f;
}

bool usesDrawsSeparators(double foundationVersionNumber) { return std::floor(foundationVersionNumber) <= 1047.25; }

IconMode iconModeFor(std::string_view iconFile) {
  if (iconFile == "NONE") return IconMode::None;
  if (iconFile == "DOT") return IconMode::Dot;
  if (iconFile == "DOT_LARGE") return IconMode::LargeDot;
  return IconMode::Image;
}

CGRect dotSquare(double diameter) {
  const double o = (kDotCanvasSide - diameter) * 0.5;
  return CGRectMake(o, o, diameter, diameter);
}

TitleColourSource titleColourSource(bool titleColorSameAsListColor, std::string_view bulletinID) {
  if (!titleColorSameAsListColor) return TitleColourSource::Setting;
  if (bulletinID.size() < kOwnPrefix.size()) return TitleColourSource::MissingListColour;
  return TitleColourSource::ListColour;
}

}  // namespace quillpane
