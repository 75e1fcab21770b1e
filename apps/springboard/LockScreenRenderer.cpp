#include "LockScreenRenderer.h"

#include "PixelMemory.h"
#include "PngEncoder.h"
#include "Wallpaper.h"

#include <SpringBoard/SBBulletinCellMetrics.h>
#include <SpringBoard/SBLockScreenBulletinCell.h>
#include <SpringBoard/SBLockScreenView.h>
#include <UIKit/UIImage.h>
#include <UIKit/UILabel.h>
#include <UIKit/UIScrollView.h>
#include <UIKit/UIStringDrawing.h>

#include <cairo-ft.h>
#include <fmt/format.h>
#include <fontconfig/fontconfig.h>

#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

namespace sbhost {

namespace {

constexpr double kPi = 3.14159265358979323846;
/// The underlay fades in over this many points at its top and bottom.
constexpr double kUnderlayFeather = 14;
/// The underlay darkens the blurred wallpaper a little, for legible rows.
constexpr double kUnderlayDim = 0.22;
/// From these blur radii (in pixels) on, the underlay is blurred at half
/// and at quarter size: the blur keeps nothing finer than its radius.
constexpr int kHalfSizeBlurRadius = 8;
constexpr int kQuarterSizeBlurRadius = 16;

void setColor(cairo_t* cr, const UIColor* color, double alpha = 1) {
  if (color)
    cairo_set_source_rgba(cr, color->red(), color->green(), color->blue(), color->alpha() * alpha);
  else
    cairo_set_source_rgba(cr, 0, 0, 0, alpha);
}

/// The thin face the release draws its clock in, when the machine has one
/// (DejaVu Sans ExtraLight); null otherwise.
cairo_font_face_t* thinClockFace() {
  static cairo_font_face_t* face = []() -> cairo_font_face_t* {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("DejaVu Sans"));
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_EXTRALIGHT);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    int weight = FC_WEIGHT_REGULAR;
    cairo_font_face_t* found = nullptr;
    if (match && result == FcResultMatch && FcPatternGetInteger(match, FC_WEIGHT, 0, &weight) == FcResultMatch &&
        weight <= FC_WEIGHT_LIGHT)
      found = cairo_ft_font_face_create_for_pattern(match);
    if (match) FcPatternDestroy(match);
    return found;
  }();
  return face;
}

/// The clock label's text in the thin face, centred in its frame as the
/// label's own font would be; false when there is no thin face.
bool drawThinClock(cairo_t* cr, const UILabel& label) {
  cairo_font_face_t* face = thinClockFace();
  auto text = label.text();
  auto font = label.font();
  if (!face || !text || text->str().empty() || !font) return false;
  const CGRect b = label.bounds();
  cairo_save(cr);
  cairo_set_font_face(cr, face);
  cairo_set_font_size(cr, font->pointSize());
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text->UTF8String(), &extents);
  // On the label's own baseline, as its font would stand.
  const double baseline = font->ascender();
  setColor(cr, label.textColor().get());
  cairo_move_to(cr, (b.size.width - extents.x_advance) / 2, baseline);
  cairo_show_text(cr, text->UTF8String());
  cairo_restore(cr);
  return true;
}

void drawLabel(cairo_t* cr, const UILabel& label) {
  auto text = label.text();
  const UIFont* font = label.font().get();
  if (!text || text->str().empty() || !font) return;
  const CGRect b = label.bounds();
  const NSInteger lines = label.numberOfLines();
  if (lines == 1) {
    drawStringInRect(cr, truncatedToFit(text->str(), font, b.size.width), font, label.textColor().get(),
                     CGRectMake(0, 0, b.size.width, b.size.height),
                     static_cast<NSTextAlignment>(label.textAlignment()));
    return;
  }
  // Several lines: wrapped the way the row measured them.
  const double lineHeight = springboard::cell::lineHeight(font);
  const int maxLines = lines <= 0 ? 1000 : static_cast<int>(lines);
  const auto wrapped = springboard::cell::wrapLines(text->str(), font, b.size.width, maxLines);
  for (size_t i = 0; i < wrapped.size(); ++i) {
    const double y = static_cast<double>(i) * lineHeight;
    if (y >= b.size.height) break;
    drawStringInRect(cr, wrapped[i], font, label.textColor().get(), CGRectMake(0, y, b.size.width, lineHeight),
                     static_cast<NSTextAlignment>(label.textAlignment()));
  }
}

void drawImage(cairo_t* cr, const UIImage& image, CGRect rect, double alpha) {
  if (!image.surface() || image.pixelWidth() <= 0 || image.pixelHeight() <= 0 || rect.size.width <= 0 ||
      rect.size.height <= 0)
    return;
  // Scaled to fit the rectangle, keeping proportions, centred.
  const double s = std::min(rect.size.width / image.pixelWidth(), rect.size.height / image.pixelHeight());
  const double w = image.pixelWidth() * s, h = image.pixelHeight() * s;
  cairo_save(cr);
  cairo_translate(cr, rect.origin.x + (rect.size.width - w) / 2, rect.origin.y + (rect.size.height - h) / 2);
  cairo_scale(cr, s, s);
  cairo_set_source_surface(cr, image.surface(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_paint_with_alpha(cr, alpha);
  cairo_restore(cr);
}

void drawSeparator(cairo_t* cr, double y, double width) {
  cairo_save(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.28);
  cairo_rectangle(cr, springboard::cell::kTextLeft, y - 0.25, width - springboard::cell::kTextLeft, 0.5);
  cairo_fill(cr);
  cairo_restore(cr);
}

void drawCellExtras(cairo_t* cr, const SBLockScreenBulletinCell& cell) {
  const CGRect b = cell.bounds();
  if (auto icon = cell.icon()) drawImage(cr, *icon, cell.iconFrame(), cell.contentAlpha());
  if (cell.showsSeparatorAtTop()) drawSeparator(cr, 0.25, b.size.width);
  if (cell.showsSeparator()) drawSeparator(cr, b.size.height - 0.25, b.size.width);
}

struct Walk {
  cairo_t* cr;
  const SBLockScreenView* lockScreen;
};

/// A translucent view's contents, drawn apart and then laid on at its
/// alpha, as cairo_push_group would, but on a picture surface: a group as
/// large as the screen is otherwise hundreds of fresh pages.
class Layer {
 public:
  explicit Layer(cairo_t* outer) : outer_(outer) {
    cairo_surface_t* target = cairo_get_target(outer);
    cairo_rectangle_list_t* clip = cairo_copy_clip_rectangle_list(outer);
    if (cairo_surface_get_type(target) == CAIRO_SURFACE_TYPE_IMAGE && clip->status == CAIRO_STATUS_SUCCESS) {
      // As large as the clip, in whole pixels of the target, like a group.
      double x0 = cairo_image_surface_get_width(target), y0 = cairo_image_surface_get_height(target), x1 = 0, y1 = 0;
      for (int i = 0; i < clip->num_rectangles; ++i) {
        const cairo_rectangle_t& r = clip->rectangles[i];
        for (auto [x, y] : {std::pair{r.x, r.y}, std::pair{r.x + r.width, r.y}, std::pair{r.x, r.y + r.height},
                            std::pair{r.x + r.width, r.y + r.height}}) {
          cairo_user_to_device(outer, &x, &y);
          x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
        }
      }
      left_ = std::max(0, static_cast<int>(std::floor(x0)));
      top_ = std::max(0, static_cast<int>(std::floor(y0)));
      const int right = std::min(cairo_image_surface_get_width(target), static_cast<int>(std::ceil(x1)));
      const int bottom = std::min(cairo_image_surface_get_height(target), static_cast<int>(std::ceil(y1)));
      surface_ = createPictureSurface(std::max(1, right - left_), std::max(1, bottom - top_));
      cr_ = cairo_create(surface_);
      cairo_matrix_t m;
      cairo_get_matrix(outer, &m);
      m.x0 -= left_;
      m.y0 -= top_;
      cairo_set_matrix(cr_, &m);
      // Drawn within the same clip, so its edges are cut once, as a group's are.
      for (int i = 0; i < clip->num_rectangles; ++i) {
        const cairo_rectangle_t& r = clip->rectangles[i];
        cairo_rectangle(cr_, r.x, r.y, r.width, r.height);
      }
      cairo_clip(cr_);  // no rectangles: nothing shows
    } else {
      cairo_push_group(outer);
    }
    cairo_rectangle_list_destroy(clip);
  }
  Layer(const Layer&) = delete;
  Layer& operator=(const Layer&) = delete;
  ~Layer() {
    if (cr_) cairo_destroy(cr_);
    if (surface_) cairo_surface_destroy(surface_);
  }

  /// Where the view's contents go.
  [[nodiscard]] cairo_t* context() const { return cr_ ? cr_ : outer_; }

  void layOn(double alpha) {
    if (!cr_) {
      cairo_pop_group_to_source(outer_);
      cairo_paint_with_alpha(outer_, alpha);
      return;
    }
    cairo_destroy(cr_);
    cr_ = nullptr;
    cairo_save(outer_);
    cairo_identity_matrix(outer_);
    cairo_set_source_surface(outer_, surface_, left_, top_);
    cairo_paint_with_alpha(outer_, alpha);
    cairo_restore(outer_);
    cairo_surface_destroy(surface_);
    surface_ = nullptr;
  }

 private:
  cairo_t* outer_;
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
  int left_ = 0, top_ = 0;
};

void drawView(const Walk& walk, const UIView& view) {
  if (view.isHidden() || view.alpha() <= 0) return;
  cairo_t* const outer = walk.cr;
  cairo_save(outer);
  const CGRect f = view.frame(), b = view.bounds();
  cairo_translate(outer, f.origin.x, f.origin.y);
  const bool clips = dynamic_cast<const UIScrollView*>(&view) != nullptr;
  if (clips) {
    cairo_rectangle(outer, 0, 0, f.size.width, f.size.height);
    cairo_clip(outer);
  }
  std::optional<Layer> layer;
  if (view.alpha() < 1) layer.emplace(outer);
  cairo_t* cr = layer ? layer->context() : outer;
  cairo_translate(cr, -b.origin.x, -b.origin.y);

  if (auto bg = view.backgroundColor(); bg && bg->alpha() > 0) {
    setColor(cr, bg.get());
    cairo_rectangle(cr, b.origin.x, b.origin.y, b.size.width, b.size.height);
    cairo_fill(cr);
  }
  if (const auto* label = dynamic_cast<const UILabel*>(&view)) {
    const bool clock = walk.lockScreen && label == walk.lockScreen->timeLabel().get();
    if (!clock || !drawThinClock(cr, *label)) drawLabel(cr, *label);
  }
  if (const auto* cell = dynamic_cast<const SBLockScreenBulletinCell*>(&view)) drawCellExtras(cr, *cell);

  for (const auto& sub : view.subviewList())
    if (sub) drawView(Walk{cr, walk.lockScreen}, *sub);

  if (layer) layer->layOn(view.alpha());
  cairo_restore(outer);
}

/// The blurred, slightly darkened wallpaper behind the list, fading in at
/// its top and bottom edges.
void drawUnderlay(cairo_t* cr, cairo_surface_t* wallpaper, CGRect rect, double scale, int blurRadius) {
  const int radius = std::max(1, static_cast<int>(std::lround(blurRadius * scale / 2)));
  const int pw = cairo_image_surface_get_width(wallpaper), ph = cairo_image_surface_get_height(wallpaper);
  // Blur only the part that shows, with a margin so its edges blur too.
  const int margin = 3 * radius;
  const int x0 = std::clamp(static_cast<int>(std::floor(rect.origin.x * scale)) - margin, 0, pw);
  const int y0 = std::clamp(static_cast<int>(std::floor(rect.origin.y * scale)) - margin, 0, ph);
  const int x1 = std::clamp(static_cast<int>(std::ceil(CGRectGetMaxX(rect) * scale)) + margin, 0, pw);
  const int y1 = std::clamp(static_cast<int>(std::ceil(CGRectGetMaxY(rect) * scale)) + margin, 0, ph);
  if (x1 <= x0 || y1 <= y0) return;
  // A wide blur leaves nothing a smaller picture cannot hold: blur at half
  // or quarter size and let the scaling back smooth it further.
  const int factor = radius >= kQuarterSizeBlurRadius ? 4 : radius >= kHalfSizeBlurRadius ? 2 : 1;
  cairo_surface_t* part = shrinkPart(wallpaper, x0, y0, x1 - x0, y1 - y0, factor);
  boxBlur(part, radius / factor);
  if (factor > 1) {
    cairo_surface_t* full = growPart(part, factor, x1 - x0, y1 - y0);
    cairo_surface_destroy(part);
    part = full;
  }

  cairo_pattern_t* mask = cairo_pattern_create_linear(0, rect.origin.y * scale, 0, CGRectGetMaxY(rect) * scale);
  const double feather = std::min(0.5, kUnderlayFeather / std::max(1.0, rect.size.height));
  cairo_pattern_add_color_stop_rgba(mask, 0, 0, 0, 0, 0);
  cairo_pattern_add_color_stop_rgba(mask, feather, 0, 0, 0, 1);
  cairo_pattern_add_color_stop_rgba(mask, 1 - feather, 0, 0, 0, 1);
  cairo_pattern_add_color_stop_rgba(mask, 1, 0, 0, 0, 0);

  cairo_save(cr);
  cairo_rectangle(cr, rect.origin.x * scale, rect.origin.y * scale, rect.size.width * scale, rect.size.height * scale);
  cairo_clip(cr);
  cairo_set_source_surface(cr, part, x0, y0);
  cairo_mask(cr, mask);
  cairo_set_source_rgba(cr, 0, 0, 0, kUnderlayDim);
  cairo_mask(cr, mask);
  cairo_restore(cr);
  cairo_pattern_destroy(mask);
  cairo_surface_destroy(part);
}

void drawPadlock(cairo_t* cr, double cx, double top) {
  cairo_save(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 1);
  cairo_set_line_width(cr, 1.4);
  cairo_arc(cr, cx, top + 4.2, 3.0, kPi, 2 * kPi);
  cairo_line_to(cr, cx + 3.0, top + 6.5);
  cairo_move_to(cr, cx - 3.0, top + 6.5);
  cairo_line_to(cr, cx - 3.0, top + 4.2);
  cairo_stroke(cr);
  cairo_rectangle(cr, cx - 4.5, top + 6.2, 9, 6.8);
  cairo_fill(cr);
  cairo_restore(cr);
}

/// The status bar as the lock screen shows it: signal and carrier, a
/// padlock where the time would be, the battery.
void drawStatusBar(cairo_t* cr, double width) {
  auto font = UIFont::systemFontOfSize(12);
  auto white = UIColor::whiteColor();
  cairo_save(cr);
  for (int i = 0; i < 5; ++i) {
    cairo_arc(cr, 7.5 + i * 6.5, 10, 2.6, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 1, 1, 1, i < 4 ? 1.0 : 0.35);
    cairo_fill(cr);
  }
  cairo_restore(cr);
  drawStringInRect(cr, "Quillpane", font.get(), white.get(), CGRectMake(42, 2.5, 90, 16));
  drawPadlock(cr, width / 2, 3);
  drawStringInRect(cr, "100%", font.get(), white.get(), CGRectMake(width - 110, 2.5, 73, 16), NSTextAlignmentRight);
  cairo_save(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 1);
  cairo_set_line_width(cr, 1);
  cairo_rectangle(cr, width - 31.5, 5.5, 22, 9);
  cairo_stroke(cr);
  cairo_rectangle(cr, width - 30, 7, 19, 6);
  cairo_fill(cr);
  cairo_rectangle(cr, width - 9, 8, 1.5, 4);
  cairo_fill(cr);
  cairo_restore(cr);
}

/// The chevron before "slide to unlock", the control-centre grabber and the
/// camera grabber.
void drawUnlockChrome(cairo_t* cr, const SBLockScreenView& lockScreen) {
  auto label = lockScreen.slideToUnlockLabel();
  const CGRect b = lockScreen.bounds();
  cairo_save(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.9);
  cairo_set_line_width(cr, 2);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  if (label && label->text() && !label->isHidden()) {
    const CGRect f = label->frame();
    const double textWidth = advanceWidth(label->text()->str(), label->font().get());
    const double x = f.origin.x + (f.size.width - textWidth) / 2 - 16;
    const double cy = f.origin.y + label->font()->ascender() - label->font()->capHeight() / 2;
    cairo_move_to(cr, x - 3, cy - 6);
    cairo_line_to(cr, x + 3, cy);
    cairo_line_to(cr, x - 3, cy + 6);
    cairo_stroke(cr);
  }
  // Control centre grabber.
  cairo_move_to(cr, b.size.width / 2 - 9, b.size.height - 9);
  cairo_line_to(cr, b.size.width / 2, b.size.height - 12);
  cairo_line_to(cr, b.size.width / 2 + 9, b.size.height - 9);
  cairo_stroke(cr);
  // Camera grabber.
  const double cx = b.size.width - 22, cy = b.size.height - 16;
  cairo_set_line_width(cr, 1.4);
  cairo_rectangle(cr, cx - 8, cy - 4.5, 16, 11);
  cairo_move_to(cr, cx - 3, cy - 4.5);
  cairo_line_to(cr, cx - 1.5, cy - 7);
  cairo_line_to(cr, cx + 1.5, cy - 7);
  cairo_line_to(cr, cx + 3, cy - 4.5);
  cairo_stroke(cr);
  cairo_arc(cr, cx, cy + 1, 3, 0, 2 * kPi);
  cairo_stroke(cr);
  cairo_restore(cr);
}

}  // namespace

cairo_surface_t* renderLockScreen(SBLockScreenView* lockScreen, const RenderOptions& options) {
  const CGRect b = lockScreen->bounds();
  const double scale = options.scale > 0 ? options.scale : 1;
  const int pw = std::max(1, static_cast<int>(std::lround(b.size.width * scale)));
  const int ph = std::max(1, static_cast<int>(std::lround(b.size.height * scale)));

  // The wallpaper is the canvas; the underlay blurs a copy of its part
  // before anything is drawn over it.
  cairo_surface_t* surface = makeWallpaper(options.wallpaperPath, pw, ph);
  cairo_t* cr = cairo_create(surface);
  if (lockScreen->isShowingLockContentUnderlay())
    drawUnderlay(cr, surface, lockScreen->notificationListFrame(), scale, options.blurRadius);

  cairo_scale(cr, scale, scale);
  // The lock-screen view is the screen: draw its contents in its own bounds.
  cairo_translate(cr, -lockScreen->frame().origin.x, -lockScreen->frame().origin.y);
  drawView(Walk{cr, lockScreen}, *lockScreen);
  cairo_identity_matrix(cr);
  cairo_scale(cr, scale, scale);
  drawUnlockChrome(cr, *lockScreen);
  drawStatusBar(cr, b.size.width);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  return surface;
}

namespace {

/// Writes an image surface as PNG to a new file.
cairo_status_t writePNG(cairo_surface_t* surface, const char* path) {
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return cairo_surface_status(surface);
  FILE* file = std::fopen(path, "wb");
  if (!file) return CAIRO_STATUS_WRITE_ERROR;
  const bool encoded = writePNGFile(surface, file);
  const bool closed = std::fclose(file) == 0;
  return encoded && closed ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

}  // namespace

bool writePNGAtomically(cairo_surface_t* surface, const std::string& path, std::string& errorText) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  fs::path temp = target;
  temp += fmt::format(".tmp-{}", ::getpid());
  const cairo_status_t status = writePNG(surface, temp.c_str());
  if (status != CAIRO_STATUS_SUCCESS) {
    errorText = fmt::format("cannot write '{}': {}", path, cairo_status_to_string(status));
    std::error_code ignored;
    fs::remove(temp, ignored);
    return false;
  }
  std::error_code ec;
  fs::rename(temp, target, ec);
  if (ec) {
    errorText = fmt::format("cannot write '{}': {}", path, ec.message());
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

}  // namespace sbhost
