#include "SettingsRenderer.h"

#include <Foundation/NSCalendar.h>
#include <Foundation/NSDate.h>
#include <UIKit/UIImage.h>
#include <UIKit/UILabel.h>
#include <UIKit/UIStringDrawing.h>

#include <fmt/format.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

namespace settings {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMargin = 15;
constexpr double kSwitchWidth = 51, kSwitchHeight = 31;
constexpr double kIconSize = 29;

void setRGB(cairo_t* cr, uint32_t rgb, double alpha = 1) {
  cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha);
}

Ref<UIColor> colorOf(uint32_t rgb) {
  return UIColor::colorWithRed(((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, 1);
}

void setColor(cairo_t* cr, const UIColor* color) {
  if (color)
    cairo_set_source_rgba(cr, color->red(), color->green(), color->blue(), color->alpha());
  else
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
}

/// A hairline one device pixel thick along y, from x0 to x1.
void hairline(cairo_t* cr, double x0, double x1, double y, double scale, uint32_t rgb) {
  const double t = 1 / scale;
  setRGB(cr, rgb);
  cairo_rectangle(cr, x0, y - t, x1 - x0, t);
  cairo_fill(cr);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
  cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
  cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

void drawLabel(cairo_t* cr, const UILabel& label, const UIColor* colorOverride) {
  auto text = label.text();
  const UIFont* font = label.font().get();
  if (!text || text->str().empty() || !font) return;
  const CGRect b = label.bounds();
  drawStringInRect(cr, truncatedToFit(text->str(), font, b.size.width), font,
                   colorOverride ? colorOverride : label.textColor().get(),
                   CGRectMake(0, 0, b.size.width, b.size.height), static_cast<NSTextAlignment>(label.textAlignment()));
}

struct CellPaint {
  const UILabel* hidden = nullptr;  ///< a label the row's control stands in for
  const UILabel* tinted = nullptr;  ///< a button's label, in the tint colour
};

/// A view and its subviews, front to back, in their frames.
void drawView(cairo_t* cr, const UIView& view, const CellPaint& paint) {
  if (view.isHidden() || view.alpha() <= 0) return;
  cairo_save(cr);
  const CGRect f = view.frame(), b = view.bounds();
  cairo_translate(cr, f.origin.x - b.origin.x, f.origin.y - b.origin.y);
  if (auto bg = view.backgroundColor(); bg && bg->alpha() > 0) {
    setColor(cr, bg.get());
    cairo_rectangle(cr, b.origin.x, b.origin.y, b.size.width, b.size.height);
    cairo_fill(cr);
  }
  if (const auto* label = dynamic_cast<const UILabel*>(&view); label && label != paint.hidden) {
    static const auto tint = colorOf(ScreenColors::kTint);
    drawLabel(cr, *label, label == paint.tinted ? tint.get() : nullptr);
  }
  for (const auto& sub : view.subviewList())
    if (sub) drawView(cr, *sub, paint);
  cairo_restore(cr);
}

void drawSwitch(cairo_t* cr, double x, double y, bool on) {
  roundedRect(cr, x, y, kSwitchWidth, kSwitchHeight, kSwitchHeight / 2);
  if (on) {
    setRGB(cr, ScreenColors::kSwitchOn);
    cairo_fill(cr);
  } else {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill_preserve(cr);
    setRGB(cr, ScreenColors::kSwitchOffBorder);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
  }
  // The knob, with the soft shadow that lifts it off the track.
  const double r = (kSwitchHeight - 4) / 2;
  const double cx = on ? x + kSwitchWidth - 2 - r : x + 2 + r, cy = y + kSwitchHeight / 2;
  cairo_arc(cr, cx, cy + 1.5, r + 0.5, 0, 2 * kPi);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.12);
  cairo_fill(cr);
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill_preserve(cr);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.08);
  cairo_set_line_width(cr, 0.5);
  cairo_stroke(cr);
}

void drawChevron(cairo_t* cr, double right, double cy) {
  setRGB(cr, ScreenColors::kChevron);
  cairo_set_line_width(cr, 2);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_move_to(cr, right - 7.5, cy - 6.5);
  cairo_line_to(cr, right - 1, cy);
  cairo_line_to(cr, right - 7.5, cy + 6.5);
  cairo_stroke(cr);
}

void drawCheckmark(cairo_t* cr, double right, double cy) {
  setRGB(cr, ScreenColors::kTint);
  cairo_set_line_width(cr, 2.2);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_move_to(cr, right - 14, cy + 0.5);
  cairo_line_to(cr, right - 9, cy + 5.5);
  cairo_line_to(cr, right, cy - 5.5);
  cairo_stroke(cr);
}

void drawReorderGrip(cairo_t* cr, double right, double cy) {
  setRGB(cr, ScreenColors::kChevron);
  for (int i = -1; i <= 1; ++i) {
    cairo_rectangle(cr, right - 22, cy + i * 5 - 0.75, 22, 1.5);
    cairo_fill(cr);
  }
}

void drawSlider(cairo_t* cr, double x0, double x1, double cy, double fraction) {
  fraction = std::clamp(std::isfinite(fraction) ? fraction : 0.0, 0.0, 1.0);
  const double r = 14;
  const double knob = x0 + r + (x1 - x0 - 2 * r) * fraction;
  setRGB(cr, ScreenColors::kTint);
  roundedRect(cr, x0, cy - 1, std::max(2.0, knob - x0), 2, 1);
  cairo_fill(cr);
  setRGB(cr, ScreenColors::kSliderTrack);
  roundedRect(cr, knob, cy - 1, std::max(2.0, x1 - knob), 2, 1);
  cairo_fill(cr);
  cairo_arc(cr, knob, cy + 1.5, r + 0.5, 0, 2 * kPi);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.12);
  cairo_fill(cr);
  cairo_arc(cr, knob, cy, r, 0, 2 * kPi);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill_preserve(cr);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.08);
  cairo_set_line_width(cr, 0.5);
  cairo_stroke(cr);
}

void drawIcon(cairo_t* cr, const RowLayout& row) {
  const double x = kMargin, y = (row.frame.size.height - kIconSize) / 2;
  auto image = row.iconPath.empty() ? nullptr : UIImage::imageWithContentsOfFile(row.iconPath);
  cairo_save(cr);
  roundedRect(cr, x, y, kIconSize, kIconSize, 6.5);
  if (image && image->surface() && image->pixelWidth() > 0 && image->pixelHeight() > 0) {
    cairo_clip(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, kIconSize / image->pixelWidth(), kIconSize / image->pixelHeight());
    cairo_set_source_surface(cr, image->surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
  } else {
    // No icon in the bundle: the empty rounded square the list shows then.
    setRGB(cr, ScreenColors::kGroupedBackground);
    cairo_fill_preserve(cr);
    setRGB(cr, ScreenColors::kSeparator);
    cairo_set_line_width(cr, 0.5);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

void drawRow(cairo_t* cr, const RowLayout& row) {
  const double w = row.frame.size.width, h = row.frame.size.height, cy = h / 2;
  const double right = w - kMargin;
  CellPaint paint;
  if (row.cell) {
    auto detail = row.cell->detailTextLabel();
    if (detail && (row.control == RowControl::Switch || row.control == RowControl::Slider)) paint.hidden = detail.get();
    if (row.button) paint.tinted = row.cell->textLabel().get();
    drawView(cr, *row.cell, paint);
  } else {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_fill(cr);
  }
  if (row.iconSlot) drawIcon(cr, row);
  switch (row.control) {
    case RowControl::Switch: drawSwitch(cr, right - kSwitchWidth, cy - kSwitchHeight / 2, row.on); break;
    case RowControl::Chevron: drawChevron(cr, right, cy); break;
    case RowControl::Checkmark: drawCheckmark(cr, right, cy); break;
    case RowControl::ReorderGrip: drawReorderGrip(cr, right, cy); break;
    case RowControl::Slider: {
      // The label, then the track, then the value the slider stands at.
      auto font = UIFont::systemFontOfSize(17);
      static const auto gray = colorOf(ScreenColors::kValueText);
      const double valueWidth = std::max(22.0, advanceWidth(row.valueText, font.get()));
      const double labelEnd =
          row.cell ? row.cell->textLabel()->frame().origin.x + row.cell->textLabel()->frame().size.width : kMargin;
      const double x0 = std::max(labelEnd + 12, w * 0.42), x1 = right - valueWidth - 10;
      const double span = row.sliderMax - row.sliderMin;
      if (x1 > x0) drawSlider(cr, x0, x1, cy, span > 0 ? (row.sliderValue - row.sliderMin) / span : 0);
      drawStringInRect(cr, row.valueText, font.get(), gray.get(),
                       CGRectMake(right - valueWidth, cy - font->lineHeight() / 2, valueWidth, font->lineHeight() + 1),
                       NSTextAlignmentRight);
      break;
    }
    case RowControl::None: break;
  }
}

void drawSections(cairo_t* cr, const ScreenLayout& screen) {
  const double w = screen.width;
  auto headerFontRef = headerFont();
  auto footerFontRef = footerFont();
  static const auto sectionText = colorOf(ScreenColors::kSectionText);
  for (const auto& section : screen.sections) {
    if (!section.header.empty()) {
      const CGRect f = section.headerFrame;
      if (screen.grouped) {
        std::string upper = section.header;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return char(std::toupper(c)); });
        drawStringInRect(cr, truncatedToFit(upper, headerFontRef.get(), f.size.width), headerFontRef.get(),
                         sectionText.get(), f);
      } else {
        setRGB(cr, ScreenColors::kBar);
        cairo_rectangle(cr, f.origin.x, f.origin.y, f.size.width, f.size.height);
        cairo_fill(cr);
        auto bold = UIFont::boldSystemFontOfSize(14);
        drawStringInRect(cr, section.header, bold.get(), nullptr,
                         CGRectMake(kMargin, f.origin.y + (f.size.height - bold->lineHeight()) / 2, w - 2 * kMargin,
                                    bold->lineHeight() + 1));
      }
    }
    for (size_t i = 0; i < section.rows.size(); ++i) {
      const auto& row = section.rows[i];
      cairo_save(cr);
      cairo_translate(cr, row.frame.origin.x, row.frame.origin.y);
      cairo_rectangle(cr, 0, 0, row.frame.size.width, row.frame.size.height);
      cairo_clip(cr);
      drawRow(cr, row);
      cairo_restore(cr);
      // Between rows, inset where the text begins; around a group, full width.
      const double bottom = row.frame.origin.y + row.frame.size.height;
      const bool last = i + 1 == section.rows.size();
      const double inset = row.iconSlot ? kMargin + kIconSize + kMargin : kMargin;
      if (!last || !screen.grouped) hairline(cr, inset, w, bottom, screen.scale, ScreenColors::kSeparator);
      if (screen.grouped && last) hairline(cr, 0, w, bottom, screen.scale, ScreenColors::kSeparator);
      if (screen.grouped && i == 0)
        hairline(cr, 0, w, row.frame.origin.y + 1 / screen.scale, screen.scale, ScreenColors::kSeparator);
    }
    if (!section.footer.empty()) {
      const CGRect f = section.footerFrame;
      const double lh = footerFontRef->lineHeight();
      auto lines = wrapWords(section.footer, footerFontRef.get(), f.size.width);
      for (size_t i = 0; i < lines.size(); ++i)
        drawStringInRect(cr, lines[i], footerFontRef.get(), sectionText.get(),
                         CGRectMake(f.origin.x, f.origin.y + static_cast<double>(i) * lh, f.size.width, lh + 1));
    }
  }
}

void drawPage(cairo_t* cr, const ScreenLayout& screen) {
  auto font = UIFont::systemFontOfSize(17);
  for (const auto& v : screen.views) {
    if (v.kind == "label") {
      drawStringInRect(cr, truncatedToFit(v.text, font.get(), v.frame.size.width), font.get(), nullptr,
                       CGRectMake(v.frame.origin.x, v.frame.origin.y + (v.frame.size.height - font->lineHeight()) / 2,
                                  v.frame.size.width, font->lineHeight() + 1),
                       NSTextAlignmentCenter);
    }
    // A web view with nothing loaded yet shows the page's white.
  }
}

std::string clockText() {
  auto comps =
      NSCalendar::currentCalendar()->componentsFromDate(NSCalendar::Hour | NSCalendar::Minute, NSDate::date().get());
  long hour = static_cast<long>(comps->hour);
  const char* half = hour < 12 ? "AM" : "PM";
  hour %= 12;
  return fmt::format("{}:{:02} {}", hour == 0 ? 12 : hour, static_cast<long>(comps->minute), half);
}

void drawBars(cairo_t* cr, const ScreenLayout& screen) {
  const double w = screen.width;
  setRGB(cr, ScreenColors::kBar, 0.98);
  cairo_rectangle(cr, 0, 0, w, screen.barHeight);
  cairo_fill(cr);
  hairline(cr, 0, w, screen.barHeight, screen.scale, ScreenColors::kBarHairline);

  // Status bar, dark content: signal, carrier, clock, battery.
  auto small = UIFont::systemFontOfSize(12);
  auto smallBold = UIFont::boldSystemFontOfSize(12);
  auto black = UIColor::blackColor();
  for (int i = 0; i < 5; ++i) {
    cairo_arc(cr, 7.5 + i * 6.5, 10, 2.6, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 0, 0, 0, i < 4 ? 1.0 : 0.25);
    cairo_fill(cr);
  }
  drawStringInRect(cr, "Quillpane", small.get(), black.get(), CGRectMake(42, 2.5, 90, 16));
  drawStringInRect(cr, clockText(), smallBold.get(), black.get(), CGRectMake(0, 2.5, w, 16), NSTextAlignmentCenter);
  drawStringInRect(cr, "100%", small.get(), black.get(), CGRectMake(w - 110, 2.5, 73, 16), NSTextAlignmentRight);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_set_line_width(cr, 1);
  cairo_rectangle(cr, w - 31.5, 5.5, 22, 9);
  cairo_stroke(cr);
  cairo_rectangle(cr, w - 30, 7, 19, 6);
  cairo_fill(cr);
  cairo_rectangle(cr, w - 9, 8, 1.5, 4);
  cairo_fill(cr);

  // Navigation bar: back button, title.
  const double barTop = 20, barMid = barTop + 22;
  auto titleFont = UIFont::boldSystemFontOfSize(17);
  auto buttonFont = UIFont::systemFontOfSize(17);
  static const auto tint = colorOf(ScreenColors::kTint);
  setRGB(cr, ScreenColors::kTint);
  cairo_set_line_width(cr, 3);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_move_to(cr, 18, barMid - 10);
  cairo_line_to(cr, 9, barMid);
  cairo_line_to(cr, 18, barMid + 10);
  cairo_stroke(cr);
  const double backWidth = std::min(advanceWidth(screen.backTitle, buttonFont.get()), w / 3);
  drawStringInRect(cr, truncatedToFit(screen.backTitle, buttonFont.get(), w / 3), buttonFont.get(), tint.get(),
                   CGRectMake(26, barMid - buttonFont->lineHeight() / 2, backWidth + 1, buttonFont->lineHeight() + 1));
  // Centred when it clears the back button, else just right of it.
  const double backEnd = 26 + backWidth + 8;
  const double titleWidth = advanceWidth(screen.title, titleFont.get());
  CGRect titleRect = CGRectMake(0, barMid - titleFont->lineHeight() / 2, w, titleFont->lineHeight() + 1);
  NSTextAlignment alignment = NSTextAlignmentCenter;
  if ((w - titleWidth) / 2 < backEnd) {
    titleRect.origin.x = backEnd;
    titleRect.size.width = std::max(0.0, w - backEnd - 8);
    alignment = NSTextAlignmentLeft;
  }
  drawStringInRect(cr, truncatedToFit(screen.title, titleFont.get(), titleRect.size.width), titleFont.get(),
                   black.get(), titleRect, alignment);
}

}  // namespace

cairo_surface_t* renderScreen(const ScreenLayout& screen, bool wholeTable) {
  const double scale = screen.scale > 0 ? screen.scale : 1;
  double height = screen.height;
  if (wholeTable && screen.hasTable) height = std::max(height, screen.barHeight + screen.contentHeight);
  const int pw = std::max(1, static_cast<int>(std::lround(screen.width * scale)));
  const int ph = std::max(1, static_cast<int>(std::lround(height * scale)));
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pw, ph);
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, scale, scale);
  if (screen.hasTable && screen.grouped)
    setRGB(cr, ScreenColors::kGroupedBackground);
  else
    cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);

  if (screen.hasTable) {
    // The table starts below the bars.
    cairo_save(cr);
    cairo_translate(cr, 0, screen.barHeight);
    drawSections(cr, screen);
    cairo_restore(cr);
  } else {
    // A page's view fills the screen, under the bars.
    drawPage(cr, screen);
  }

  drawBars(cr, screen);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  return surface;
}

bool writeScreenPNG(cairo_surface_t* surface, const std::string& path, std::string& errorText) {
  namespace fs = std::filesystem;
  fs::path temp = path;
  temp += fmt::format(".tmp-{}", ::getpid());
  const cairo_status_t status = cairo_surface_write_to_png(surface, temp.c_str());
  std::error_code ec;
  if (status != CAIRO_STATUS_SUCCESS) {
    errorText = fmt::format("cannot write '{}': {}", path, cairo_status_to_string(status));
    fs::remove(temp, ec);
    return false;
  }
  fs::rename(temp, path, ec);
  if (ec) {
    errorText = fmt::format("cannot write '{}': {}", path, ec.message());
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

}  // namespace settings
