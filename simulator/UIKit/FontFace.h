#pragma once
/// \file
/// A font file opened through FreeType, shared by every UIFont of that face.
/// Glyph advances and kerning are read in font units once and scaled to each
/// size, so measuring is a table lookup after the first use. All members
/// are safe to call from any thread.

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct _cairo_font_face;
using cairo_font_face_t = struct _cairo_font_face;

namespace uikit {

class FontFace {
 public:
  /// The face fontconfig picks for a family and weight ("Nimbus Sans", bold);
  /// null when fontconfig knows no such family, unless exact is false (then
  /// whatever face fontconfig substitutes). Faces are opened once.
  static std::shared_ptr<FontFace> forFamily(std::string_view family, bool bold, bool exact = true);
  ~FontFace();
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  [[nodiscard]] const std::string& familyName() const noexcept { return family_; }
  [[nodiscard]] const std::string& postScriptName() const noexcept { return postScriptName_; }
  [[nodiscard]] bool isBold() const noexcept { return bold_; }

  // Metrics as fractions of the point size.
  [[nodiscard]] double ascender() const noexcept { return ascender_; }
  [[nodiscard]] double descender() const noexcept { return descender_; }
  [[nodiscard]] double lineHeight() const noexcept { return lineHeight_; }
  [[nodiscard]] double capHeight() const noexcept { return capHeight_; }

  /// One glyph of a laid-out line: its index in the face and its pen
  /// position in points from the line's start.
  struct PlacedGlyph {
    uint32_t index;
    double x;
  };
  /// Lays out UTF-8 text on one line at size points: advances plus the
  /// face's kerning. Returns the total advance.
  double layout(std::string_view utf8, double size, std::vector<PlacedGlyph>* glyphs = nullptr);

  /// The same file as a Cairo font face, for drawing.
  [[nodiscard]] cairo_font_face_t* cairoFace() const noexcept { return cairoFace_; }

 private:
  FontFace() = default;
  struct Glyph {
    uint32_t index;
    double advance;  // font units
  };
  Glyph glyphFor(char32_t codepoint);             // lock held
  double kerning(uint32_t left, uint32_t right);  // lock held

  std::mutex lock_;
  void* face_ = nullptr;  // FT_Face
  double unitsPerEm_ = 1000;
  std::string family_, postScriptName_;
  bool bold_ = false;
  double ascender_ = 0, descender_ = 0, lineHeight_ = 0, capHeight_ = 0;
  std::array<Glyph, 128> ascii_{};
  std::array<bool, 128> asciiLoaded_{};
  std::unordered_map<char32_t, Glyph> glyphs_;
  std::unordered_map<uint64_t, double> kerns_;
  cairo_font_face_t* cairoFace_ = nullptr;
};

/// Decodes UTF-8, replacing malformed bytes with U+FFFD.
std::u32string decodeUTF8(std::string_view utf8);
/// The code point at s[i], advancing i past it (s[i] must exist).
char32_t nextCodepoint(std::string_view s, size_t& i);

}  // namespace uikit
