// The tweak's decisions over plain values, case by case.

#include "BulletinFields.h"
#include "ReminderSelection.h"
#include "RowLayout.h"
#include "SettingsDecisions.h"
#include "UnderlayDecisions.h"

#include <gtest/gtest.h>

using namespace quillpane;

TEST(SettingsDecisions, EnumerationsKeepListedValuesOnly) {
  EXPECT_EQ(storedWallpaperBlurMode(0), 0);
  EXPECT_EQ(storedWallpaperBlurMode(1), 1);
  EXPECT_EQ(storedWallpaperBlurMode(7), 2);
  EXPECT_EQ(storedWallpaperBlurMode(-1), 2);
  EXPECT_EQ(storedReminderSorting(2), 2);
  EXPECT_EQ(storedReminderSorting(3), 0);
  EXPECT_EQ(storedReminderSorting(-2), 0);
  EXPECT_EQ(storedSwipeAction(2), 1);
  EXPECT_EQ(storedSwipeAction(3), 3);
  EXPECT_EQ(storedSwipeAction(0), 0);
  EXPECT_EQ(storedSwipeAction(-3), 1);
}

TEST(SettingsDecisions, ColourIndexes) {
  EXPECT_EQ(colorForIndex(ColorKey::Title, std::nullopt), ColorChoice{NamedColor::White});
  EXPECT_EQ(colorForIndex(ColorKey::Subtitle, std::nullopt), ColorChoice{NamedColor::Gray});
  EXPECT_EQ(colorForIndex(ColorKey::Date, std::nullopt), ColorChoice{NamedColor::Gray});
  // Index 2 differs for dates only.
  EXPECT_EQ(colorForIndex(ColorKey::Title, 2), ColorChoice{NamedColor::Gray});
  EXPECT_EQ(colorForIndex(ColorKey::Subtitle, 2), ColorChoice{NamedColor::Gray});
  EXPECT_EQ(colorForIndex(ColorKey::Date, 2), ColorChoice{NamedColor::HalfWhite});
  // 999 means the list's colour for titles only.
  EXPECT_EQ(colorForIndex(ColorKey::Title, 999), (ColorChoice{NamedColor::White, true}));
  EXPECT_EQ(colorForIndex(ColorKey::Date, 999), ColorChoice{NamedColor::White});
  EXPECT_EQ(colorForIndex(ColorKey::Title, 9), ColorChoice{NamedColor::Brown});
  EXPECT_EQ(colorForIndex(ColorKey::Title, 10), ColorChoice{NamedColor::White});
  EXPECT_EQ(colorForIndex(ColorKey::Subtitle, -1), ColorChoice{NamedColor::White});
}

TEST(SettingsDecisions, SortPriorityFromTheSortingFile) {
  using E = std::vector<std::optional<std::string>>;
  EXPECT_EQ(sortPriorityForEntries(E{"System Items", "Datebeam", "Quillpane"}), -12);
  EXPECT_EQ(sortPriorityForEntries(E{"Quillpane", "System Items", "Datebeam"}), 10);
  EXPECT_EQ(sortPriorityForEntries(E{"System Items", "Quillpane"}), -11);
  EXPECT_EQ(sortPriorityForEntries(E{"System Items", "Datebeam"}), kNoCustomSorting);
  EXPECT_EQ(sortPriorityForEntries(E{"Datebeam", "Quillpane"}), std::nullopt);
  EXPECT_EQ(sortPriorityForEntries(E{}), std::nullopt);
  // Entries that are not strings still take their places.
  EXPECT_EQ(sortPriorityForEntries(E{std::nullopt, "Quillpane", "System Items"}), 9);
  EXPECT_EQ(sortPriorityForEntries(E{"quillpane", "System Items"}), kNoCustomSorting);
}

TEST(ReminderSelection, ComparatorModes) {
  const DueDate none{};
  const DueDate early{true, 100.0};
  const DueDate late{true, 200.0};
  const DueDate unconvertible{true, std::nullopt};
  EXPECT_EQ(compareDueDates(1, early, none), NSOrderedDescending);  // undated first
  EXPECT_EQ(compareDueDates(1, none, early), NSOrderedAscending);
  EXPECT_EQ(compareDueDates(2, early, none), NSOrderedAscending);  // undated last
  EXPECT_EQ(compareDueDates(2, none, early), NSOrderedDescending);
  EXPECT_EQ(compareDueDates(1, none, none), NSOrderedSame);
  EXPECT_EQ(compareDueDates(2, early, late), NSOrderedAscending);
  EXPECT_EQ(compareDueDates(1, late, early), NSOrderedDescending);
  EXPECT_EQ(compareDueDates(1, early, early), NSOrderedSame);
  EXPECT_EQ(compareDueDates(2, unconvertible, early), NSOrderedSame);
}

TEST(ReminderSelection, PositionsExamined) {
  EXPECT_EQ(positionsToExamine(5, 0), 5);
  EXPECT_EQ(positionsToExamine(5, 3), 3);
  EXPECT_EQ(positionsToExamine(5, 5), 5);
  EXPECT_EQ(positionsToExamine(5, 9), 5);
  EXPECT_EQ(positionsToExamine(5, -1), 5);  // negative: no limit
  EXPECT_EQ(positionsToExamine(0, 3), 0);
}

TEST(ReminderSelection, DueDateSwitchesAndBounds) {
  const DueDate none{};
  const DueDate due{true, 1000.0};
  EXPECT_TRUE(passesDueDateSwitches(none, {}));
  EXPECT_FALSE(passesDueDateSwitches(none, {false, true, true}));
  EXPECT_FALSE(passesDueDateSwitches(due, {true, false, true}));
  EXPECT_FALSE(isPastDue(due, 1000.0));  // due exactly now is not past due
  EXPECT_TRUE(isPastDue(due, 1000.5));
  EXPECT_FALSE(isBeyondHorizon(due, 1000.0));  // due exactly at the horizon is shown
  EXPECT_TRUE(isBeyondHorizon(due, 999.0));
  const DueDate unconvertible{true, std::nullopt};
  EXPECT_FALSE(isPastDue(unconvertible, 0));
  EXPECT_FALSE(isBeyondHorizon(unconvertible, 0));
}

TEST(ReminderSelection, WhichRemindersAreShown) {
  const SelectionSettings all{};
  const SelectionSettings noPast{true, true, false};
  const double now = 1000.0;
  const double week = now + 7 * 86400.0;
  EXPECT_TRUE(isShown(DueDate{}, now, week, all));
  EXPECT_FALSE(isShown(DueDate{}, now, week, {false, true, true}));
  EXPECT_TRUE(isShown({true, 500.0}, now, week, all));  // past due, shown by default
  EXPECT_FALSE(isShown({true, 500.0}, now, week, noPast));
  EXPECT_TRUE(isShown({true, now}, now, week, noPast));  // due this instant is not past due
  EXPECT_TRUE(isShown({true, week}, now, week, all));
  EXPECT_FALSE(isShown({true, week + 1}, now, week, all));
  // A horizon of now itself (daysToDisplay -1) keeps only what is due by now.
  EXPECT_TRUE(isShown({true, now}, now, now, all));
  EXPECT_FALSE(isShown({true, now + 1}, now, now, all));
  // A due date without a point in time is neither past nor beyond.
  EXPECT_TRUE(isShown({true, std::nullopt}, now, now, noPast));
  EXPECT_FALSE(isShown({true, std::nullopt}, now, now, {true, false, true}));
}

TEST(BulletinFields, TitlesActionsAndOrderingDates) {
  EXPECT_EQ(bulletinTitle(true, 1, "Pay"), "!!! Pay");
  EXPECT_EQ(bulletinTitle(false, 1, "Pay"), "Pay");
  EXPECT_EQ(bulletinTitle(true, 0, ""), "");
  EXPECT_EQ(defaultActionFor(1, ""), DefaultAction::OpenReminders);
  EXPECT_EQ(defaultActionFor(1, "com.example.app"), DefaultAction::OpenReminders);
  EXPECT_EQ(defaultActionFor(3, "com.example.app"), DefaultAction::LaunchApp);
  EXPECT_EQ(defaultActionFor(3, ""), DefaultAction::None);  // no app chosen: the platform's action
  EXPECT_EQ(defaultActionFor(0, "com.example.app"), DefaultAction::None);
  EXPECT_EQ(orderingShift(kNoCustomSorting, 0), std::nullopt);
  EXPECT_EQ(orderingShift(-11, 0), (DateShift{-11, 360}));
  EXPECT_EQ(orderingShift(10, 4), (DateShift{10, 356}));  // later positions come earlier
  EXPECT_EQ(orderingShift(0, 400), (DateShift{0, -40}));
}

TEST(BulletinFields, MarksPrefixesAndIdentifiers) {
  EXPECT_EQ(priorityMark(1), "!!! ");
  EXPECT_EQ(priorityMark(5), "!! ");
  EXPECT_EQ(priorityMark(9), "! ");
  EXPECT_EQ(priorityMark(0), "");
  EXPECT_EQ(priorityMark(3), "");
  EXPECT_EQ(locationPrefix(1), "Arriving: ");
  EXPECT_EQ(locationPrefix(2), "Leaving: ");
  EXPECT_EQ(locationPrefix(0), "");
  EXPECT_EQ(bulletinIdentifier(3, "1 0 0 1"), "Quillpane 3|1 0 0 1");
  EXPECT_EQ(bulletinIdentifier(0, std::nullopt), "Quillpane 0|");
  EXPECT_EQ(colourField("Quillpane 3|1 0 0 1"), "1 0 0 1");
  EXPECT_EQ(colourField("Quillpane 0|"), "");
  EXPECT_EQ(colourField("Quillpane 0"), std::nullopt);
  EXPECT_EQ(colourField("a|b|c"), "b");
  EXPECT_TRUE(isOwnBulletinID("Quillpane 1|"));
  EXPECT_FALSE(isOwnBulletinID("quillpane 1|"));
  EXPECT_TRUE(isSiblingBulletinID("Datebeam 2"));
}

TEST(RowLayout, HeightsFollowLinesAndSettings) {
  EXPECT_DOUBLE_EQ(ownRowHeight({17, 15, false, true, true}), 43);  // locations off: always one line
  EXPECT_DOUBLE_EQ(ownRowHeight({17, 15, true, true, false}), 58);
  EXPECT_DOUBLE_EQ(ownRowHeight({17, 15, true, false, false}), 43);
  EXPECT_DOUBLE_EQ(ownRowHeight({17, 15, true, false, true}), 58);
}

TEST(RowLayout, FramesOfALongTitleAndARightAlignedDate) {
  const RowLabelSizes sizes{{400, 17}, {40, 15}, {100, 15}};
  const RowFrames left = layoutOwnRow(sizes, 320, false);
  const double limit = ((320 - 47) - 10 - 40) - 10;  // 213
  EXPECT_EQ(left.title, CGRectMake(47, 13, limit, 17));
  EXPECT_DOUBLE_EQ(left.date.origin.x, limit + 57);
  EXPECT_DOUBLE_EQ(CGRectGetMaxY(left.date), CGRectGetMaxY(left.title));  // one bottom edge
  EXPECT_EQ(left.subtitle, CGRectMake(47, 30, 100, 15));
  const RowFrames right = layoutOwnRow({{50, 17}, {40, 15}, {400, 15}}, 320, true);
  EXPECT_DOUBLE_EQ(CGRectGetMaxX(right.date), 310);
  EXPECT_DOUBLE_EQ(right.subtitle.size.width, 263);  // cut to the usable width
  // A taller date sets the line: it starts 13 from the top.
  const RowFrames tallDate = layoutOwnRow({{50, 12}, {40, 20}, {0, 0}}, 320, false);
  EXPECT_DOUBLE_EQ(tallDate.date.origin.y, 13);
  EXPECT_DOUBLE_EQ(tallDate.title.origin.y, 21);
}

TEST(RowLayout, SeparatorCallsByRelease) {
  EXPECT_TRUE(usesDrawsSeparators(1047.20));
  EXPECT_TRUE(usesDrawsSeparators(1047.25));
  EXPECT_FALSE(usesDrawsSeparators(1140.11));
  EXPECT_FALSE(usesDrawsSeparators(1240.1));
}

TEST(RowLayout, TitleColourSources) {
  EXPECT_EQ(titleColourSource(false, ""), TitleColourSource::Setting);
  EXPECT_EQ(titleColourSource(true, "Quillpane 0|1 0 0 1"), TitleColourSource::ListColour);
  EXPECT_EQ(titleColourSource(true, "Quillpane"), TitleColourSource::ListColour);
  EXPECT_EQ(titleColourSource(true, "Quill"), TitleColourSource::MissingListColour);
}

TEST(RowLayout, IconModesAndDotSquares) {
  EXPECT_EQ(iconModeFor("NONE"), IconMode::None);
  EXPECT_EQ(iconModeFor("DOT"), IconMode::Dot);
  EXPECT_EQ(iconModeFor("DOT_LARGE"), IconMode::LargeDot);
  EXPECT_EQ(iconModeFor("dot"), IconMode::Image);  // case matters: a path like any other
  EXPECT_EQ(dotSquare(30), CGRectMake(25, 25, 30, 30));
  EXPECT_EQ(dotSquare(50), CGRectMake(15, 15, 50, 50));
}

TEST(WallpaperUnderlay, RequestersAndModes) {
  EXPECT_EQ(classifyRequester("NotificationList"), UnderlayRequester::NotificationList);
  EXPECT_EQ(classifyRequester("QpnNotificationList"), UnderlayRequester::OwnReRequest);
  EXPECT_EQ(classifyRequester("OverlayContext-Music"), UnderlayRequester::OverlayContext);
  EXPECT_EQ(classifyRequester("MyNotificationList"), UnderlayRequester::Other);
  EXPECT_EQ(classifyRequester("NotificationListX"), UnderlayRequester::Other);
  EXPECT_EQ(classifyRequester("XOverlayContext"), UnderlayRequester::Other);
  EXPECT_FALSE(refusesUnderlay(0, true));
  EXPECT_TRUE(refusesUnderlay(1, true));
  EXPECT_FALSE(refusesUnderlay(1, false));
  EXPECT_TRUE(refusesUnderlay(2, false));
  EXPECT_FALSE(withdrawsAtCount(0, true));
  EXPECT_TRUE(withdrawsAtCount(2, true));
  EXPECT_FALSE(withdrawsAtCount(2, false));
}

TEST(WallpaperUnderlay, OnlyCustomRowsNeedsAtLeastOne) {
  EXPECT_FALSE(onlyCustomRows(0, 0));  // an empty list is not only-custom
  EXPECT_TRUE(onlyCustomRows(3, 3));
  EXPECT_FALSE(onlyCustomRows(2, 3));
}
