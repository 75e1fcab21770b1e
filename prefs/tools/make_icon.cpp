// Draws the pane's icon, "iconIOS7@2x.png": a white rounded tile with a
// short checklist, the first item ticked. Run once; the PNG is committed.
//
//   quillpane-make-pane-icon prefs/Resources/iconIOS7@2x.png

#include <cairo.h>

#include <cmath>
#include <cstdio>

namespace {

constexpr int kSide = 80;  // 40 points at scale 2

void roundedSquare(cairo_t* cr, double x, double y, double side, double radius) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + side - radius, y + radius, radius, -M_PI / 2, 0);
  cairo_arc(cr, x + side - radius, y + side - radius, radius, 0, M_PI / 2);
  cairo_arc(cr, x + radius, y + side - radius, radius, M_PI / 2, M_PI);
  cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
    return 2;
  }
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSide, kSide);
  cairo_t* cr = cairo_create(surface);

  roundedSquare(cr, 2, 2, kSide - 4, 16);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.82, 0.82, 0.84);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);

  // Three items: a ring in the list colours, a grey line for the text.
  const double colours[3][3] = {{1.0, 0.58, 0.0}, {0.0, 0.48, 1.0}, {0.30, 0.85, 0.39}};
  for (int i = 0; i < 3; ++i) {
    const double cy = 22 + i * 18;
    cairo_arc(cr, 22, cy, 6, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, colours[i][0], colours[i][1], colours[i][2]);
    cairo_set_line_width(cr, 2.5);
    if (i == 0)
      cairo_fill(cr);
    else
      cairo_stroke(cr);
    cairo_move_to(cr, 34, cy);
    cairo_line_to(cr, 64 - i * 6, cy);
    cairo_set_source_rgb(cr, 0.70, 0.70, 0.72);
    cairo_set_line_width(cr, 3);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
  }
  // The tick inside the first, filled ring.
  cairo_move_to(cr, 18.5, 22);
  cairo_line_to(cr, 21, 24.5);
  cairo_line_to(cr, 25.5, 19.5);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_set_line_width(cr, 1.8);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);

  cairo_destroy(cr);
  cairo_status_t status = cairo_surface_write_to_png(surface, argv[1]);
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "cannot write %s: %s\n", argv[1], cairo_status_to_string(status));
    return 1;
  }
  return 0;
}
