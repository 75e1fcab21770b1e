#include "UnderlayDecisions.h"

namespace quillpane {

UnderlayRequester classifyRequester(std::string_view name) {
  if (name == "QpnNotificationList") return UnderlayRequester::OwnReRequest;
  if (name == "NotificationList") return UnderlayRequester::NotificationList;
  if (name.starts_with("OverlayContext")) return UnderlayRequester::OverlayContext;
  return UnderlayRequester::Other;
}

bool refusesUnderlay(int64_t wallpaperBlurMode, bool onlyCustomItems) {
  return wallpaperBlurMode == 2 || (wallpaperBlurMode == 1 && onlyCustomItems);
}

bool withdrawsAtCount(int64_t wallpaperBlurMode, bool onlyCustomItems) {
  return wallpaperBlurMode != 0 && onlyCustomItems;
}

bool onlyCustomRows(uint64_t customRows, uint64_t allRows) { return customRows != 0 && customRows == allRows; }

}  // namespace quillpane
