#pragma once
/// \file
/// The framework's reader of specifier layouts: a property list whose root
/// dictionary holds "items", an array of one dictionary per control
/// ("cell", "label", "key", "default", "action", "validValues" ...), and
/// optionally the screen's "title".

#include <Preferences/PSSpecifier.h>

#include <string>
#include <string_view>

/// Builds one specifier per usable entry of layout["items"], in order. Value
/// controls get `readPreferenceValue:` / `setPreferenceValue:specifier:` on
/// target; buttons and links their "action". An entry that is not a
/// dictionary or names an unknown cell is logged (with source, for the
/// reader of the log) and left out.
Ref<NSMutableArray> PSSpecifiersFromLayout(const NSDictionary* layout, NSObject* target, std::string_view source);

/// The layout file at a device path; nil, logged, when it is missing or its
/// root is not a dictionary.
Ref<NSDictionary> PSLoadSpecifierLayout(const std::string& devicePath);
