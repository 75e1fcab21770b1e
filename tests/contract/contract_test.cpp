// One definition of files, keys and absent-key behaviour, checked from both
// sides: the tweak's settings after a load, and the pane's controls.

#include "PaneFixture.h"
#include "Settings.h"
#include "TweakState.h"

#include <Quillpane/Contract.h>
#include <UIKit/UIColor.h>

#include <fmt/format.h>

#include <map>

namespace contract = quillpane::contract;

namespace {

std::string colour(const Ref<UIColor>& c) {
  return c ? fmt::format("{:.3f},{:.3f},{:.3f},{:.3f}", c->red(), c->green(), c->blue(), c->alpha()) : "nil";
}

/// Every settings variable after a load from the files as they stand.
std::string tweakSettings() {
  using namespace quillpane;
  loadSettings();
  return fmt::format("{} {} {} {} {} {} {} {} '{}' {} {} {} {} {} {} {} {} {} {} {} {} {} {} {} {} {} '{}'", isEnabled,
                     showPriority, showItemsWithoutDueDate, showItemsWithDueDate, showItemsWithPastDueDate,
                     compatibilityMode, hideOnNowPlayingScreen, hideOnCallScreen, customLaunchAppBundleID,
                     showSeparatorLines, rightAlignedDate, onlySelectedCalendars, displayLocation, sameHeightRows,
                     wallpaperBlurMode, reminderSorting, swipeAction, colour(textColor), titleColorSameAsListColor,
                     textSize, colour(subtitleTextColor), subtitleTextSize, colour(dateTextColor), dateTextSize,
                     daysToDisplay, maxRemindersToDisplay, iconFile);
}

/// The stored form of the value that acts as the key absent.
id storedAbsent(const contract::PreferenceKey& key) {
  switch (key.kind) {
    case contract::KeyKind::Boolean: return NSNumber::numberWithBool(key.absentFlag());
    case contract::KeyKind::Text: return NSStr(key.absentText);
    default: return NSNumber::numberWithInteger(*key.absent);
  }
}

/// A stored value the tweak must tell from the key absent.
id otherValue(const contract::PreferenceKey& key) {
  switch (key.kind) {
    case contract::KeyKind::Boolean: return NSNumber::numberWithBool(!key.absentFlag());
    case contract::KeyKind::Text: return NSStr("NONE");
    case contract::KeyKind::Enumeration: return NSNumber::numberWithInteger(key.absent == 0 ? 1 : 0);
    default: return NSNumber::numberWithInteger(key.absent == 5 ? 6 : 5);
  }
}

class Contract : public PaneFixture {
 protected:
  void store(const contract::PreferenceKey& key, id value) {
    fs::remove(host(kPreferenceFile));
    writePreferences({{key.name.data(), value}});
  }
  /// Controls of the root screen by key.
  std::map<std::string, std::vector<Ref<PSSpecifier>>> controls() {
    std::map<std::string, std::vector<Ref<PSSpecifier>>> out;
    for (const id& item : *specifiers())
      if (auto control = objc::as<PSSpecifier>(item); control && !control->stringProperty("key").empty())
        out[control->stringProperty("key")].push_back(control);
    return out;
  }
};

}  // namespace

TEST_F(Contract, TheTweakReadsEveryKeyAndItsAbsentValueActsAsTheKeyAbsent) {
  const std::string absent = tweakSettings();
  for (const auto& key : contract::kPreferenceKeys) {
    store(key, otherValue(key));
    EXPECT_NE(tweakSettings(), absent) << key.name << ": the tweak does not read it";
    if (key.absent || key.kind == contract::KeyKind::Text) {
      store(key, storedAbsent(key));
      EXPECT_EQ(tweakSettings(), absent) << key.name;
    }
  }
}

TEST_F(Contract, NoStoredDateColourLooksLikeTheKeyAbsent) {
  const std::string absent = tweakSettings();
  for (int64_t index : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 999, -1}) {
    store(contract::kDateTextColor, NSNumber::numberWithInteger(index));
    EXPECT_NE(tweakSettings(), absent) << index;
  }
}

TEST_F(Contract, EveryOfferedKeyHasOneControlAndTheOthersNone) {
  auto byKey = controls();
  for (const auto& key : contract::kPreferenceKeys) {
    const std::string name(key.name);
    EXPECT_EQ(byKey[name].size(), key.offered ? 1u : 0u) << name;
    byKey.erase(name);
  }
  for (const auto& [name, list] : byKey)
    ADD_FAILURE() << "a control stores " << name << ", which the tweak never reads";
}

TEST_F(Contract, WhatThePaneShowsWithNoFileIsWhatTheTweakDoes) {
  const std::string absent = tweakSettings();
  for (const auto& key : contract::kPreferenceKeys) {
    if (!key.offered) continue;
    auto control = controlFor(std::string(key.name));
    id shownValue = shown(std::string(key.name));
    ASSERT_TRUE(shownValue) << key.name;
    // The value shown is one the control offers, so a person can pick it.
    if (control->type() == PSLinkListCell) {
      EXPECT_TRUE(control->titleForValue(shownValue.get())) << key.name;
    }
    // Picking what is shown leaves the tweak as it was.
    change(std::string(key.name), shownValue);
    EXPECT_EQ(tweakSettings(), absent) << key.name;
    fs::remove(host(kPreferenceFile));
  }
}

TEST_F(Contract, ChoosingTheDateColoursDefaultRemovesTheKey) {
  writePreferences({{"dateTextColor", NSNumber::numberWithInteger(6)}, {"textSize", NSNumber::numberWithInteger(20)}});
  auto control = controlFor("dateTextColor");
  EXPECT_EQ(control->titleForValue(shown("dateTextColor").get()), "Yellow");
  change("dateTextColor", control->property("default"));
  auto stored = preferences();
  ASSERT_TRUE(stored);
  EXPECT_FALSE(stored->objectForKey("dateTextColor"));
  EXPECT_TRUE(stored->objectForKey("textSize"));  // the rest stays
  EXPECT_EQ(control->titleForValue(shown("dateTextColor").get()), "Gray");
  // The marker written by hand is a string the tweak reads as 0: shown so.
  writePreferences({{"dateTextColor", NSStr(contract::kKeyAbsentChoice)}});
  EXPECT_EQ(control->titleForValue(shown("dateTextColor").get()), "Red");
}
