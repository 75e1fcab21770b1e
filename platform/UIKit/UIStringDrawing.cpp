#include <UIKit/UIStringDrawing.h>

#include <UIKit/FontFace.h>
#include <UIKit/UIColor.h>
#include <UIKit/UIFont.h>

#include <cairo.h>

#include <cmath>
#include <vector>

namespace {
/// Whole points up, ignoring the last bits of floating-point noise.
double roundUp(double v) { return std::ceil(v - 1e-9); }
}  // namespace

double advanceWidth(std::string_view utf8, const UIFont* font) {
  if (!font || !font->face()) return 0;
  return font->face()->layout(utf8, font->pointSize());
}

std::string truncatedToFit(std::string_view utf8, const UIFont* font, double width) {
  // Half a point of slack: measured widths carry rounding noise.
  if (advanceWidth(utf8, font) <= width + 0.5) return std::string(utf8);
  static const std::string kEllipsis = "\xE2\x80\xA6";
  std::string cut(utf8);
  while (!cut.empty()) {
    // Drop one whole character (UTF-8 sequence) from the end.
    size_t end = cut.size() - 1;
    while (end > 0 && (static_cast<unsigned char>(cut[end]) & 0xC0) == 0x80) --end;
    cut.erase(end);
    while (!cut.empty() && cut.back() == ' ') cut.pop_back();
    if (advanceWidth(cut + kEllipsis, font) <= width + 0.5) return cut + kEllipsis;
  }
  return "";
}

CGSize sizeWithFont(std::string_view utf8, const UIFont* font) {
  if (!font || !font->face()) return {};
  return {roundUp(advanceWidth(utf8, font)), roundUp(font->lineHeight())};
}

CGSize sizeWithFont(const NSString* text, const UIFont* font) {
  return sizeWithFont(text ? std::string_view(text->str()) : std::string_view(), font);
}

void drawStringInRect(cairo_t* cr, std::string_view utf8, const UIFont* font, const UIColor* color, CGRect rect,
                      NSTextAlignment alignment) {
  if (!cr || !font || !font->face() || !font->face()->cairoFace() || utf8.empty()) return;
  std::vector<uikit::FontFace::PlacedGlyph> placed;
  double width = font->face()->layout(utf8, font->pointSize(), &placed);
  double x = rect.origin.x;
  if (alignment == NSTextAlignmentCenter)
    x += (rect.size.width - width) / 2;
  else if (alignment == NSTextAlignmentRight)
    x += rect.size.width - width;
  double baseline = rect.origin.y + font->ascender();

  std::vector<cairo_glyph_t> glyphs;
  glyphs.reserve(placed.size());
  for (const auto& g : placed) glyphs.push_back({g.index, x + g.x, baseline});

  cairo_save(cr);
  cairo_rectangle(cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
  cairo_clip(cr);
  cairo_set_font_face(cr, font->face()->cairoFace());
  cairo_set_font_size(cr, font->pointSize());
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);  // keep the measured positions
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
  if (color)
    cairo_set_source_rgba(cr, color->red(), color->green(), color->blue(), color->alpha());
  else
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
  cairo_show_glyphs(cr, glyphs.data(), static_cast<int>(glyphs.size()));
  cairo_restore(cr);
}
