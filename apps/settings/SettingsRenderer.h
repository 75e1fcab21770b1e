#pragma once
/// \file
/// A Settings screen as a picture, drawn from its layout the way the
/// release's Settings draws it: the status and navigation bars, grouped
/// (or plain) table sections with their headers and footers, each row's
/// laid-out cell with its labels in their own fonts and colours, and the
/// row's switch, slider, chevron, checkmark, reorder grip or application
/// icon; or a page's label and web view.

#include "ScreenLayout.h"

#include <cairo.h>

#include <string>

namespace settings {

struct ScreenColors {
  // The release's Settings palette.
  static constexpr uint32_t kGroupedBackground = 0xEFEFF4;
  static constexpr uint32_t kSeparator = 0xC8C7CC;
  static constexpr uint32_t kSectionText = 0x6D6D72;
  static constexpr uint32_t kTint = 0x007AFF;
  static constexpr uint32_t kSwitchOn = 0x4CD964;
  static constexpr uint32_t kSwitchOffBorder = 0xE5E5EA;
  static constexpr uint32_t kChevron = 0xC7C7CC;
  static constexpr uint32_t kValueText = 0x8E8E93;
  static constexpr uint32_t kBar = 0xF8F8F8;
  static constexpr uint32_t kBarHairline = 0xB2B2B2;
  static constexpr uint32_t kSliderTrack = 0xB7B7B7;
};

/// A new ARGB surface at the screen's size times its scale; with
/// wholeTable, as tall as the whole table (as if the screen were long
/// enough not to scroll). The caller owns it.
cairo_surface_t* renderScreen(const ScreenLayout& screen, bool wholeTable = false);

/// Writes the surface as PNG beside path and renames it into place, so a
/// failed write never leaves half a picture. False with errorText on failure.
bool writeScreenPNG(cairo_surface_t* surface, const std::string& path, std::string& errorText);

}  // namespace settings
