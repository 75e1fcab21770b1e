#include "SettingsDecisions.h"

#include <Foundation/NSNumber.h>
#include <Foundation/NSString.h>

#include <algorithm>

namespace quillpane {

int64_t storedWallpaperBlurMode(int64_t value) { return value == 0 || value == 1 ? value : 2; }
int64_t storedReminderSorting(int64_t value) { return value >= 0 && value <= 2 ? value : 0; }
int64_t storedSwipeAction(int64_t value) { return value == 0 || value == 1 || value == 3 ? value : 1; }

ColorChoice colorForIndex(ColorKey key, std::optional<int64_t> index) {
  if (!index) return {key == ColorKey::Title ? NamedColor::White : NamedColor::Gray};
  switch (*index) {
    case 0: return {NamedColor::Red};
    case 1: return {NamedColor::Black};
    case 2: return {key == ColorKey::Date ? NamedColor::HalfWhite : NamedColor::Gray};
    case 3: return {NamedColor::White};
    case 4: return {NamedColor::Green};
    case 5: return {NamedColor::Blue};
    case 6: return {NamedColor::Yellow};
    case 7: return {NamedColor::Orange};
    case 8: return {NamedColor::Purple};
    case 9: return {NamedColor::Brown};
    case 999: return {NamedColor::White, key == ColorKey::Title};
    default: return {NamedColor::White};
  }
}

std::optional<int64_t> sortPriorityForEntries(const std::vector<std::optional<std::string>>& entries) {
  auto indexOf = [&](std::string_view name) -> std::optional<int64_t> {
    auto it = std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e && *e == name; });
    if (it == entries.end()) return std::nullopt;
    return static_cast<int64_t>(it - entries.begin());
  };
  auto system = indexOf("System Items");
  if (!system) return std::nullopt;
  auto own = indexOf("Quillpane");
  if (!own) return kNoCustomSorting;
  return *own < *system ? 10 - *own : -10 - *own;
}

std::optional<bool> boolReading(const NSObject* value) {
  if (auto* n = dynamic_cast<const NSNumber*>(value)) return n->boolValue();
  if (auto* s = dynamic_cast<const NSString*>(value)) return s->boolValue();
  return std::nullopt;
}

std::optional<int64_t> integerReading(const NSObject* value) {
  if (auto* n = dynamic_cast<const NSNumber*>(value)) return n->integerValue();
  if (auto* s = dynamic_cast<const NSString*>(value)) return s->integerValue();
  return std::nullopt;
}

std::optional<int64_t> intReading(const NSObject* value) {
  if (auto* n = dynamic_cast<const NSNumber*>(value)) return static_cast<int64_t>(n->intValue());
  if (auto* s = dynamic_cast<const NSString*>(value)) return static_cast<int64_t>(s->intValue());
  return std::nullopt;
}

std::optional<std::string> stringReading(const NSObject* value) {
  if (auto* s = dynamic_cast<const NSString*>(value)) return s->str();
  return std::nullopt;
}

}  // namespace quillpane
