#pragma once
/// \file
/// What the lock screen shows, read off the platform's own objects after the
/// script has run: the list's rows in order with their cells' labels, the
/// underlay, the screen lightings. The text and JSON reports print this.

#include <CoreGraphics/CGGeometry.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

class SBLockScreenView;
class SBLockScreenNotificationListController;

namespace sbhost {

using RGBA = std::array<double, 4>;

struct LabelState {
  std::string name;  ///< "primaryLabel", "subtitleLabel", ...
  std::string text;
  CGRect frame{};  ///< in the cell
  std::string fontName;
  double fontSize = 0;
  RGBA color{0, 0, 0, 1};
  bool hidden = false;
};

struct IconState {
  /// "none", "dot" (a drawn dot), "image" (a configured picture), "app" (the
  /// application's icon), "generic" (the stand-in icon).
  std::string kind = "none";
  std::optional<RGBA> color;  ///< a dot's fill, read at its centre
  double dotDiameter = 0;     ///< in the image's points, for a dot
  double width = 0, height = 0, scale = 1;
  CGRect frame{};  ///< on the screen, when the row is visible
};

struct RowState {
  size_t index = 0;
  std::string itemClass;
  bool own = false;  ///< a Quillpane bulletin's row
  std::string bulletinID, title, subtitle, message, section;
  std::optional<double> date;  ///< seconds since the reference date
  std::string dateISO;         ///< in the device's zone
  std::string dateText;        ///< what the row's date label says
  /// The default action: "url" (target the address), "bundle" (target the
  /// application), "callblock" or "none".
  std::string actionKind = "none", actionTarget;
  IconState icon;
  double height = 0;
  CGRect frame{};  ///< on the screen
  bool visible = false;
  double contentAlpha = 1;
  bool separatorAbove = false, separatorBelow = false;
  bool canClear = false, canEdit = false;
  std::vector<LabelState> labels;  ///< only for visible rows
};

struct UnderlayState {
  bool shown = false;
  std::vector<std::string> requesters;
  struct Request {
    bool add;
    std::string requester;
  };
  std::vector<Request> requests;
  CGRect frame{};
};

struct LightingState {
  std::string cause, item;
  double time = 0;
};

struct LockScreenState {
  std::string time, date;  ///< the header's texts
  double listScrollOffset = 0;
  std::vector<RowState> rows;
  UnderlayState underlay;
  /// The last few lightings, and how many there were in all.
  std::vector<LightingState> lightings;
  uint64_t lightingCount = 0;
};

/// Reads the state of the lock screen from the view and the list controller
/// (either may be nil: no rows). Asks the list, through the runtime, the
/// questions SpringBoard would ask of each row (icon, clearing, editing).
LockScreenState readLockScreenState(SBLockScreenView* lockScreen, SBLockScreenNotificationListController* list);

/// A moment as ISO 8601 text in the device's zone ("2026-12-08T09:41:00+01:00").
std::string deviceTimeISO(double sinceReferenceDate);

/// The own-row test the report marks rows by.
bool isOwnBulletinID(const std::string& bulletinID);

}  // namespace sbhost
