// SBLockScreenBulletinCell: cells are never reused across rows, the
// tweak's rows stay opaque, and they take the configured look.

#include "PlatformAccess.h"
#include "Replacements.h"
#include "RowStyling.h"
#include "TweakState.h"

namespace quillpane {

id (*saved::initWithStyle)(id, SEL, int64_t, id) = nullptr;
void (*saved::setContentAlpha)(id, SEL, double) = nullptr;
void (*saved::layoutSubviews)(id, SEL) = nullptr;

id cellInitWithStyle(id self, SEL cmd, int64_t style, id /*reuseIdentifier*/) {
  // Without a reuse identifier a cell styled for a reminder never shows
  // another row.
  return saved::initWithStyle(self, cmd, style, nullptr);
}

void cellSetContentAlpha(id self, SEL cmd, double alpha) {
  if (!isEnabled) return saved::setContentAlpha(self, cmd, alpha);
  auto indexPath = indexPathOfCell(self);
  const bool first = !indexPath || (indexPath->row() == 0 && indexPath->section() == 0);
  if (first || isOwnRow(listItemAtIndexPath(indexPath).get())) return saved::setContentAlpha(self, cmd, 1.0);
  saved::setContentAlpha(self, cmd, alpha);
}

void cellLayoutSubviews(id self, SEL cmd) {
  saved::layoutSubviews(self, cmd);
  if (!isEnabled) return;
  id item = listItemAtIndexPath(indexPathOfCell(self));
  // Other rows, of whatever item class, stay as the platform laid them out.
  if (!isOwnRow(item.get())) return;
  styleOwnRowCell(self, itemBulletinID(item.get()));
}

}  // namespace quillpane
