#pragma once
/// \file
/// Withdrawing and re-requesting the blurred wallpaper layer behind the
/// list, through the recorded lock-screen view.

#include <objc/NSObject.h>

namespace quillpane {

/// The withdrawal run after the list controller has answered its count.
void withdrawUnderlayAtCount(const id& controller);

/// The re-request a foreign row's height sends in mode 1.
void reRequestUnderlay();

}  // namespace quillpane
