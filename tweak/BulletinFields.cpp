#include "BulletinFields.h"

#include "SettingsDecisions.h"

namespace quillpane {

std::string_view priorityMark(uint64_t priority) {
  switch (priority) {
    case 1: return "!!! ";
    case 5: return "!! ";
    case 9: return "! ";
    default: return "";
  }
}

std::string_view locationPrefix(int64_t proximity) {
  switch (proximity) {
    case 1: return "Arriving: ";
    case 2: return "Leaving: ";
    default: return "";
  }
}

std::string bulletinIdentifier(uint32_t position, const std::optional<std::string>& colourString) {
  std::string id(kOwnPrefix);
  id += ' ';
  id += std::to_string(position);
  id += '|';
  if (colourString) id += *colourString;
  return id;
}

std::optional<std::string_view> colourField(std::string_view bulletinID) {
  auto first = bulletinID.find('|');
  if (first == std::string_view::npos) return std::nullopt;
  auto rest = bulletinID.substr(first + 1);
  return rest.substr(0, rest.find('|'));
}

std::string bulletinTitle(bool showPriority, uint64_t priority, std::string_view title) {
  std::string text(showPriority ? priorityMark(priority) : std::string_view());
  text += title;
  return text;
}

DefaultAction defaultActionFor(int64_t swipeAction, std::string_view customLaunchAppBundleID) {
  if (swipeAction == 1) return DefaultAction::OpenReminders;
  if (swipeAction == 3 && !customLaunchAppBundleID.empty()) return DefaultAction::LaunchApp;
  return DefaultAction::None;
}

std::optional<DateShift> orderingShift(int64_t sortPriority, uint32_t position) {
  if (sortPriority == kNoCustomSorting) return std::nullopt;
  return DateShift{sortPriority, 360 - static_cast<int64_t>(position)};
}

}  // namespace quillpane
