#pragma once
/// \file
/// Application icons for lock-screen rows: the icon file of the installed
/// application ("/Applications/<name>.app") whose bundle identifier is the
/// bulletin's section, else a generic drawn icon. Looked up once per
/// application and kept, as SpringBoard's icon model keeps them.

#include <UIKit/UIImage.h>

#include <string_view>

namespace springboard {

/// The installed application's icon; nil when no application has that
/// bundle identifier or its icon file cannot be read (logged once).
Ref<UIImage> installedApplicationIcon(std::string_view bundleIdentifier);

/// A plain rounded square, 40 by 40 points at scale 2, for applications
/// without an icon of their own.
Ref<UIImage> genericApplicationIcon();

/// True for the generic icon (the hosts tell it apart from a real one).
bool isGenericApplicationIcon(const UIImage* image);

}  // namespace springboard
