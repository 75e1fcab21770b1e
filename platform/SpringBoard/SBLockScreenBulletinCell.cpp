#include <SpringBoard/SBLockScreenBulletinCell.h>

#include <SpringBoard/SBBulletinCellMetrics.h>
#include <SpringBoard/SBLabelFactory.h>
#include <SpringBoard/SBRelease.h>
#include <UIKit/UIStringDrawing.h>
#include <objc/ClassBuilder.h>

#include <algorithm>

using namespace springboard;

Class SBLockScreenBulletinCell::classObject() {
  using Cell = SBLockScreenBulletinCell;
  static Class cls = [] {
    objc::ClassBuilder<Cell, UITableViewCell> builder("SBLockScreenBulletinCell");
    builder.method<&Cell::initWithStyle>("initWithStyle:reuseIdentifier:")
        .method<&Cell::primaryLabel>("primaryLabel")
        .method<&Cell::secondaryLabel>("secondaryLabel")
        .method<&Cell::subtitleLabel>("subtitleLabel")
        .method<&Cell::relevanceDateLabel>("relevanceDateLabel")
        .method<&Cell::contentBounds>("contentBounds")
        .method<&Cell::setContentAlpha>("setContentAlpha:")
        .method<&Cell::contentAlpha>("contentAlpha")
        .method<&Cell::layoutSubviews>("layoutSubviews")
        .method<&Cell::setSeparatorHidden>("_setSeparatorHidden:")
        .method<&Cell::setDrawsSeparatorAtTopOfSection>("_setDrawsSeparatorAtTopOfSection:")
        .ivar<&Cell::_unlockTextLabel>("_unlockTextLabel");
    if (cellsAnswerSetDrawsSeparators()) builder.method<&Cell::setDrawsSeparators>("setDrawsSeparators:");
    return builder.build();
  }();
  return cls;
}

id SBLockScreenBulletinCell::initWithStyle(NSInteger style, Ref<NSString> reuseIdentifier) {
  UITableViewCell::initWithStyle(style, std::move(reuseIdentifier));
  primaryLabel_ = newLabel(nullptr, nullptr);
  subtitleLabel_ = newLabel(nullptr, nullptr);
  secondaryLabel_ = newLabel(nullptr, nullptr);
  relevanceDateLabel_ = newLabel(nullptr, nullptr);
  _unlockTextLabel = newLabel(nullptr, nullptr);
  applyPlatformStyle();
  setBackgroundColor(UIColor::clearColor());
  setSelectionStyle(UITableViewCellSelectionStyleNone);
  auto content = contentView();
  for (const auto& label : {primaryLabel_, subtitleLabel_, secondaryLabel_, relevanceDateLabel_, _unlockTextLabel})
    (content ? content : Ref<UIView>(this))->addSubview(label);
  return id(this);
}

void SBLockScreenBulletinCell::applyPlatformStyle() {
  auto white = UIColor::whiteColor();
  auto dim = UIColor::colorWithWhite(1, 0.5);
  primaryLabel_->setFont(cell::titleFont());
  primaryLabel_->setTextColor(white);
  subtitleLabel_->setFont(cell::subtitleFont());
  subtitleLabel_->setTextColor(white);
  secondaryLabel_->setFont(cell::messageFont());
  secondaryLabel_->setTextColor(white);
  relevanceDateLabel_->setFont(cell::dateFont());
  relevanceDateLabel_->setTextColor(dim);
  _unlockTextLabel->setFont(cell::unlockFont());
  _unlockTextLabel->setTextColor(dim);
  _unlockTextLabel->setText(NSStr("slide to view"));
}

CGRect SBLockScreenBulletinCell::contentBounds() const {
  const CGRect b = bounds();
  return CGRectMake(0, 0, b.size.width, b.size.height);
}

void SBLockScreenBulletinCell::setContentAlpha(double alpha) {
  contentAlpha_ = std::clamp(alpha, 0.0, 1.0);
  if (auto content = contentView()) content->setAlpha(contentAlpha_);
}

void SBLockScreenBulletinCell::layoutSubviews() {
  UITableViewCell::layoutSubviews();
  if (!primaryLabel_) return;  // never initialised
  const double width = contentBounds().size.width;
  const double textWidth = std::max(0.0, width - cell::kTextLeft - cell::kRightMargin);

  const CGSize date = sizeWithFont(relevanceDateLabel_->text().get(), relevanceDateLabel_->font().get());
  const CGSize title = sizeWithFont(primaryLabel_->text().get(), primaryLabel_->font().get());
  const double dateWidth = date.width > 0 ? date.width : 0;
  const double lineBottom = cell::kTopMargin + std::max(title.height, date.height);
  const double titleLimit = std::max(0.0, textWidth - (dateWidth > 0 ? dateWidth + cell::kDateGap : 0));
  const double titleWidth = std::min(title.width, titleLimit);
  primaryLabel_->setFrame(CGRectMake(cell::kTextLeft, lineBottom - title.height, titleWidth, title.height));
  relevanceDateLabel_->setFrame(
      CGRectMake(cell::kTextLeft + titleWidth + cell::kDateGap, lineBottom - date.height, dateWidth, date.height));
  iconFrame_ = CGRectMake(cell::kIconLeft, lineBottom - title.height / 2 - cell::kIconSide / 2, cell::kIconSide,
                          cell::kIconSide);

  double y = lineBottom;
  auto subtitle = subtitleLabel_->text();
  if (subtitle && subtitle->length() > 0) {
    const CGSize size = sizeWithFont(subtitle.get(), subtitleLabel_->font().get());
    subtitleLabel_->setFrame(CGRectMake(cell::kTextLeft, y, std::min(size.width, textWidth), size.height));
    y += size.height;
  } else {
    subtitleLabel_->setFrame(CGRectMake(cell::kTextLeft, y, 0, 0));
  }

  auto message = secondaryLabel_->text();
  auto font = secondaryLabel_->font();
  const auto lines = cell::wrapLines(message ? message->str() : "", font.get(), textWidth, cell::kMaxMessageLines);
  secondaryLabel_->setNumberOfLines(static_cast<NSInteger>(lines.size()));
  const double messageHeight = static_cast<double>(lines.size()) * cell::lineHeight(font.get());
  secondaryLabel_->setFrame(CGRectMake(cell::kTextLeft, y, textWidth, messageHeight));
  y += messageHeight;

  _unlockTextLabel->setFrame(
      CGRectMake(cell::kTextLeft, y, textWidth, cell::lineHeight(_unlockTextLabel->font().get())));
}

void SBLockScreenBulletinCell::prepareForReuse() {
  UITableViewCell::prepareForReuse();
  if (!primaryLabel_) return;
  for (const auto& label : {primaryLabel_, subtitleLabel_, secondaryLabel_, relevanceDateLabel_})
    label->setText(nullptr);
  applyPlatformStyle();
  icon_ = nullptr;
  setContentAlpha(1);
}

std::string SBLockScreenBulletinCell::descriptionString() const {
  auto text = primaryLabel_ ? primaryLabel_->text() : nullptr;
  return "<SBLockScreenBulletinCell title=" + (text ? text->str() : std::string("(null)")) + ">";
}
