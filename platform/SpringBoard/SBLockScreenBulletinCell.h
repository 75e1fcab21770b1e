#pragma once
/// \file
/// A row of the lock screen's notification list: the application icon, the
/// title with its date, an optional subtitle, the message and "slide to
/// view". Its content fades (`setContentAlpha:`) as the list scrolls it
/// under an edge.
///
/// Registered with the runtime when SpringBoard starts (or at first use),
/// from the booted release: only iOS 7's cells answer `setDrawsSeparators:`.

#include <UIKit/UIImage.h>
#include <UIKit/UITableViewCell.h>

class SBLockScreenBulletinCell : public UITableViewCell {
 public:
  static Class classObject();
  SBLockScreenBulletinCell() = default;

  /// Builds the labels in their fonts and colours.
  id initWithStyle(NSInteger style, Ref<NSString> reuseIdentifier) override;

  // Registered: "primaryLabel", "secondaryLabel", "subtitleLabel", "relevanceDateLabel",
  // "contentBounds"; the variable "_unlockTextLabel".
  [[nodiscard]] Ref<UILabel> primaryLabel() const { return primaryLabel_; }
  [[nodiscard]] Ref<UILabel> secondaryLabel() const { return secondaryLabel_; }
  [[nodiscard]] Ref<UILabel> subtitleLabel() const { return subtitleLabel_; }
  [[nodiscard]] Ref<UILabel> relevanceDateLabel() const { return relevanceDateLabel_; }
  [[nodiscard]] Ref<UILabel> unlockTextLabel() const { return _unlockTextLabel; }
  /// The content's rectangle in the cell (text is placed inside it).
  [[nodiscard]] CGRect contentBounds() const;

  // Registered: "setContentAlpha:", "contentAlpha".
  void setContentAlpha(double alpha);
  [[nodiscard]] double contentAlpha() const noexcept { return contentAlpha_; }

  /// The platform's layout: icon, title and date on one line (the date 6
  /// points after the title), then subtitle, message and unlock text.
  void layoutSubviews() override;
  void prepareForReuse() override;

  // Registered: "setDrawsSeparators:" (iOS 7 only), "_setSeparatorHidden:",
  // "_setDrawsSeparatorAtTopOfSection:".
  void setDrawsSeparators(bool draws) noexcept { drawsSeparators_ = draws; }
  void setSeparatorHidden(bool hidden) noexcept { separatorHidden_ = hidden; }
  void setDrawsSeparatorAtTopOfSection(bool draws) noexcept { drawsSeparatorAtTop_ = draws; }
  [[nodiscard]] bool drawsSeparators() const noexcept { return drawsSeparators_; }
  [[nodiscard]] bool separatorHidden() const noexcept { return separatorHidden_; }
  [[nodiscard]] bool drawsSeparatorAtTopOfSection() const noexcept { return drawsSeparatorAtTop_; }
  /// Whether a line is drawn under the row.
  [[nodiscard]] bool showsSeparator() const noexcept { return drawsSeparators_ && !separatorHidden_; }
  /// Whether a line is drawn above the row.
  [[nodiscard]] bool showsSeparatorAtTop() const noexcept { return showsSeparator() && drawsSeparatorAtTop_; }

  /// The application icon, drawn scaled to fit iconFrame().
  void setIcon(Ref<UIImage> icon) { icon_ = std::move(icon); }
  [[nodiscard]] Ref<UIImage> icon() const { return icon_; }
  [[nodiscard]] CGRect iconFrame() const noexcept { return iconFrame_; }

  [[nodiscard]] std::string descriptionString() const override;

  Ref<UILabel> _unlockTextLabel;

 private:
  /// The platform's fonts, colours and unlock text.
  void applyPlatformStyle();

  Ref<UILabel> primaryLabel_, secondaryLabel_, subtitleLabel_, relevanceDateLabel_;
  Ref<UIImage> icon_;
  CGRect iconFrame_{};
  double contentAlpha_ = 1;
  bool drawsSeparators_ = true, separatorHidden_ = false, drawsSeparatorAtTop_ = false;
};
