#pragma once
/// \file
/// The blurred wallpaper layer behind the list: which requests the tweak
/// refuses, and the withdrawal it runs when the list is asked its count.

#include <objc/NSObject.h>

#include <cstdint>
#include <string_view>

namespace quillpane {

enum class UnderlayRequester { NotificationList, OverlayContext, OwnReRequest, Other };

/// Which kind of requester a name is.
UnderlayRequester classifyRequester(std::string_view name);

/// Whether a list or overlay request is refused under wallpaperBlurMode.
bool refusesUnderlay(int64_t wallpaperBlurMode, bool onlyCustomItems);

/// Whether the count-time withdrawal acts.
inline bool withdrawsAtCount(int64_t wallpaperBlurMode, bool onlyCustomItems) {
  return wallpaperBlurMode != 0 && onlyCustomItems;
}

/// The withdrawal run after the list controller has answered its count.
void withdrawUnderlayAtCount(const id& controller);

/// The re-request a foreign row's height sends in mode 1.
void reRequestUnderlay();

}  // namespace quillpane
