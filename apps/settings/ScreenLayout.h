#pragma once
/// \file
/// The screen on top of the Settings host's navigation stack as a person
/// sees it: the navigation bar, then a table laid out the way the release's
/// Settings lays out its tables (grouped sections with headers and footers,
/// or a plain list), each row's cell laid out at its place, with what its
/// accessory shows; or, for a screen without a table, its views. One layout
/// feeds both the picture and the JSON, so the two always agree.

#include "SettingsHost.h"

#include <CoreGraphics/CGGeometry.h>
#include <UIKit/UIFont.h>
#include <UIKit/UITableViewCell.h>

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

namespace settings {

/// What a row shows at its right edge (or, for a slider, across it).
enum class RowControl { None, Chevron, Checkmark, Switch, Slider, ReorderGrip };

struct RowLayout {
  int number = 0;             ///< as the host's commands count rows: from 1, across sections
  CGRect frame{};             ///< in the screen's content, points (scrolling not applied)
  Ref<UITableViewCell> cell;  ///< laid out at frame.size
  std::string label, detail;  ///< the cell's text and detail lines
  std::string kind;           ///< the control's cell kind ("PSSwitchCell"), or "UITableViewCell"
  std::string key;            ///< the preference key a pane control stores under
  std::string action;         ///< the method a button or link sends
  std::string valueText;      ///< the value as the row shows it
  id value;                   ///< the control's value as stored or defaulted (nil: none)
  RowControl control = RowControl::None;
  bool on = false;  ///< a switch's position
  double sliderValue = 0, sliderMin = 0, sliderMax = 1;
  bool button = false;        ///< drawn in the tint colour, as a button row
  std::string appIdentifier;  ///< the app chooser's row: the application's identifier
  std::string iconPath;       ///< device path of the row's icon image, when it has one
  bool iconSlot = false;      ///< the row reserves room for an application icon
};

struct SectionLayout {
  std::string header, footer;
  CGRect headerFrame{}, footerFrame{};  ///< zero size when there is none
  std::vector<RowLayout> rows;
};

/// A view of a screen that has no table (the other-apps page).
struct PageViewLayout {
  std::string kind;  ///< "label", "web view" or the class name
  CGRect frame{};    ///< in the screen's view
  std::string text;  ///< a label's text, a web view's address
  bool loading = false;
};

struct ScreenLayout {
  std::string title, backTitle;  ///< the bar's title and its back button's
  std::string release;           ///< the iOS release the device runs
  double width = 320, height = 568, scale = 2;
  double barHeight = 64;  ///< status bar and navigation bar together
  bool grouped = false;   ///< grouped table (else plain)
  bool hasTable = false;
  double contentHeight = 0;  ///< the table's whole height
  std::vector<SectionLayout> sections;
  std::vector<PageViewLayout> views;
};

/// Lays out the screen on top of host's stack at the profile's screen size.
ScreenLayout layOutTopScreen(SettingsHost& host);

/// The whole state, for scripts: bar, sections, rows with frames, values
/// and accessories, page views.
nlohmann::json screenJson(const ScreenLayout& screen);

/// The fonts of a grouped table's section headers and footers.
Ref<UIFont> headerFont();
Ref<UIFont> footerFont();
/// text broken into lines at spaces to fit width in font.
std::vector<std::string> wrapWords(const std::string& text, const UIFont* font, double width);

/// The name a row's control has in the JSON ("switch", "checkmark", ...).
const char* rowControlName(RowControl control);

}  // namespace settings
