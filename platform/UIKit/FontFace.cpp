#include <UIKit/FontFace.h>

#include <Foundation/NSLog.h>

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <strings.h>
#include <map>
#include <optional>

namespace uikit {

namespace {

/// One FreeType library for the process. Opening and closing faces goes
/// through its lock; each face then has a lock of its own.
struct FreeType {
  std::mutex lock;
  FT_Library library = nullptr;
  std::map<std::string, std::shared_ptr<FontFace>> faces;  // "family|weight"
  FreeType() {
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
  }
};
FreeType& freeType() {
  static auto* ft = new FreeType();  // never destroyed: fonts may outlive static teardown
  return *ft;
}

struct FcPatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, FcPatternDeleter>;

struct Match {
  std::string file, family;
  int index = 0;
};

/// What fontconfig picks for the family; nothing when it would fall back to
/// another family.
std::optional<Match> matchFamily(std::string_view family, bool bold, const char* format, bool exact = true) {
  std::string fam(family);
  PatternPtr pattern(FcPatternCreate());
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(fam.c_str()));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
  if (format) FcPatternAddString(pattern.get(), FC_FONTFORMAT, reinterpret_cast<const FcChar8*>(format));
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
  if (!match || result != FcResultMatch) return std::nullopt;
  FcChar8* file = nullptr;
  FcChar8* matchedFamily = nullptr;
  FcChar8* matchedFormat = nullptr;
  int index = 0, weight = 0;
  if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) return std::nullopt;
  if (FcPatternGetString(match.get(), FC_FAMILY, 0, &matchedFamily) != FcResultMatch) return std::nullopt;
  FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
  FcPatternGetInteger(match.get(), FC_WEIGHT, 0, &weight);
  if (exact && strcasecmp(reinterpret_cast<const char*>(matchedFamily), fam.c_str()) != 0) return std::nullopt;
  if (exact && (weight >= FC_WEIGHT_BOLD) != bold) return std::nullopt;
  if (format && (FcPatternGetString(match.get(), FC_FONTFORMAT, 0, &matchedFormat) != FcResultMatch ||
                 strcasecmp(reinterpret_cast<const char*>(matchedFormat), format) != 0))
    return std::nullopt;
  return Match{reinterpret_cast<const char*>(file), reinterpret_cast<const char*>(matchedFamily), index};
}

}  // namespace

std::shared_ptr<FontFace> FontFace::forFamily(std::string_view family, bool bold, bool exact) {
  auto& ft = freeType();
  std::lock_guard g(ft.lock);
  std::string key = std::string(family) + (bold ? "|bold" : "|regular") + (exact ? "" : "|any");
  if (auto it = ft.faces.find(key); it != ft.faces.end()) return it->second;
  if (!ft.library) return nullptr;
  auto match = matchFamily(family, bold, nullptr, exact);
  if (!match) return nullptr;

  FT_Face face = nullptr;
  if (FT_New_Face(ft.library, match->file.c_str(), match->index, &face) != 0 || !FT_IS_SCALABLE(face)) {
    if (face) FT_Done_Face(face);
    NSLog("UIKit: cannot open the font file %s", match->file.c_str());
    return nullptr;
  }
  std::shared_ptr<FontFace> ff(new FontFace());
  ff->face_ = face;
  ff->unitsPerEm_ = face->units_per_EM > 0 ? face->units_per_EM : 1000;
  ff->family_ = match->family;
  ff->bold_ = bold;
  const char* ps = FT_Get_Postscript_Name(face);
  ff->postScriptName_ = ps ? ps : match->family;
  ff->ascender_ = face->ascender / ff->unitsPerEm_;
  ff->descender_ = face->descender / ff->unitsPerEm_;
  ff->lineHeight_ = face->height / ff->unitsPerEm_;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  ff->capHeight_ = os2 && os2->sCapHeight > 0 ? os2->sCapHeight / ff->unitsPerEm_ : ff->ascender_ * 0.98;

  PatternPtr pattern(FcPatternCreate());
  FcPatternAddString(pattern.get(), FC_FILE, reinterpret_cast<const FcChar8*>(match->file.c_str()));
  FcPatternAddInteger(pattern.get(), FC_INDEX, match->index);
  ff->cairoFace_ = cairo_ft_font_face_create_for_pattern(pattern.get());
  ft.faces[key] = ff;
  return ff;
}

FontFace::~FontFace() {
  if (cairoFace_) cairo_font_face_destroy(cairoFace_);
  std::lock_guard g(freeType().lock);
  if (face_) FT_Done_Face(static_cast<FT_Face>(face_));
}

FontFace::Glyph FontFace::glyphFor(char32_t cp) {
  if (cp < ascii_.size() && asciiLoaded_[cp]) return ascii_[cp];
  if (auto it = glyphs_.find(cp); it != glyphs_.end()) return it->second;
  Glyph glyph{0, 0};
  // Control characters take no room on the line.
  if (cp >= 0x20 && cp != 0x7f) {
    auto face = static_cast<FT_Face>(face_);
    glyph.index = FT_Get_Char_Index(face, cp);
    if (FT_Load_Glyph(face, glyph.index, FT_LOAD_NO_SCALE) == 0)
      glyph.advance = static_cast<double>(face->glyph->advance.x);
  }
  if (cp < ascii_.size()) {
    ascii_[cp] = glyph;
    asciiLoaded_[cp] = true;
  } else {
    glyphs_.emplace(cp, glyph);
  }
  return glyph;
}

double FontFace::kerning(uint32_t left, uint32_t right) {
  auto face = static_cast<FT_Face>(face_);
  if (!FT_HAS_KERNING(face)) return 0;  // OpenType faces keep theirs in GPOS, which FreeType's call does not read
  uint64_t key = (static_cast<uint64_t>(left) << 32) | right;
  if (auto it = kerns_.find(key); it != kerns_.end()) return it->second;
  FT_Vector v{0, 0};
  double k = FT_Get_Kerning(face, left, right, FT_KERNING_UNSCALED, &v) == 0 ? static_cast<double>(v.x) : 0;
  kerns_.emplace(key, k);
  return k;
}

double FontFace::layout(std::string_view utf8, double size, std::vector<PlacedGlyph>* glyphs) {
  double scale = size / unitsPerEm_;
  double pen = 0;
  std::lock_guard g(lock_);
  uint32_t prevIndex = 0;
  size_t i = 0;
  while (i < utf8.size()) {
    char32_t cp = nextCodepoint(utf8, i);
    Glyph glyph = glyphFor(cp);
    if (prevIndex && glyph.index) pen += kerning(prevIndex, glyph.index) * scale;
    if (glyphs && glyph.index) glyphs->push_back({glyph.index, pen});
    pen += glyph.advance * scale;
    prevIndex = glyph.index;
  }
  return pen;
}

char32_t nextCodepoint(std::string_view s, size_t& i) {
  auto b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) {
    ++i;
    return b;
  }
  int len = (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xe ? 3 : (b >> 3) == 0x1e ? 4 : 0;
  char32_t cp = len == 2 ? (b & 0x1f) : len == 3 ? (b & 0x0f) : (b & 0x07);
  bool ok = len > 0 && i + len <= s.size();
  for (int k = 1; ok && k < len; ++k) {
    auto c = static_cast<unsigned char>(s[i + k]);
    if ((c >> 6) != 0x2)
      ok = false;
    else
      cp = (cp << 6) | (c & 0x3f);
  }
  static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (ok && (cp < kMin[len] || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff))) ok = false;
  if (!ok) {
    ++i;  // one malformed byte, one replacement character
    return 0xfffd;
  }
  i += len;
  return cp;
}

std::u32string decodeUTF8(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) out.push_back(nextCodepoint(s, i));
  return out;
}

}  // namespace uikit
