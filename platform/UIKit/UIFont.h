#pragma once
/// \file
/// Fonts: the system face (Nimbus Sans, with Helvetica's metrics) and its
/// bold, at any size, with the metrics FreeType reads from the real face.
/// Faces are loaded once per file and sized once per point size; fonts may
/// be made and measured on any thread.

#include <Foundation/NSString.h>
#include <UIKit/UIKitDefines.h>

#include <memory>

namespace uikit {
class FontFace;
}

class UIFont : public NSObject {
 public:
  static Class classObject();
  UIFont() = default;

  static Ref<UIFont> systemFontOfSize(double size);
  static Ref<UIFont> boldSystemFontOfSize(double size);
  /// "Helvetica", "Helvetica-Bold", "HelveticaNeue", ".HelveticaNeueInterface-Regular",
  /// the Nimbus Sans names and other fontconfig families; nil when no face
  /// of that name exists.
  static Ref<UIFont> fontWithName(std::string_view name, double size);

  /// The same face at another size (`fontWithSize:`).
  [[nodiscard]] Ref<UIFont> fontWithSize(double size) const;
  [[nodiscard]] double pointSize() const noexcept { return size_; }
  [[nodiscard]] Ref<NSString> fontName() const;
  [[nodiscard]] const std::string& fontNameString() const noexcept { return name_; }
  [[nodiscard]] Ref<NSString> familyName() const;
  [[nodiscard]] bool isBold() const noexcept;

  /// Distance above the baseline (positive) and below it (negative), and the
  /// distance between baselines, in points.
  [[nodiscard]] double ascender() const;
  [[nodiscard]] double descender() const;
  [[nodiscard]] double lineHeight() const;
  [[nodiscard]] double capHeight() const;

  /// The sized face behind this font (measuring and drawing share it).
  [[nodiscard]] const std::shared_ptr<uikit::FontFace>& face() const noexcept { return face_; }

  [[nodiscard]] std::string descriptionString() const override;
  [[nodiscard]] bool isEqualTo(const NSObject& other) const override;
  [[nodiscard]] size_t hashValue() const noexcept override;

  UIFont(std::shared_ptr<uikit::FontFace> face, std::string name, double size);

 private:
  std::shared_ptr<uikit::FontFace> face_;
  std::string name_;
  double size_ = 0;
};
