#pragma once
/// \file
/// The blurred wallpaper layer behind the list: which requests the tweak
/// refuses, and when it withdraws the layer as the list is counted.

#include <cstdint>
#include <string_view>

namespace quillpane {

enum class UnderlayRequester { NotificationList, OverlayContext, OwnReRequest, Other };

/// Which kind of requester a name is.
UnderlayRequester classifyRequester(std::string_view name);

/// Whether a list or overlay request is refused under wallpaperBlurMode.
bool refusesUnderlay(int64_t wallpaperBlurMode, bool onlyCustomItems);

/// Whether the count-time withdrawal acts.
bool withdrawsAtCount(int64_t wallpaperBlurMode, bool onlyCustomItems);

/// A list of allRows rows, customRows of them the tweak's or the sibling
/// tweak's, shows only custom rows: at least one, and nothing else.
bool onlyCustomRows(uint64_t customRows, uint64_t allRows);

}  // namespace quillpane
