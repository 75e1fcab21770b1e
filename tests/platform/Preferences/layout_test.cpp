#include "PreferencesFixture.h"

using LayoutTest = PreferencesFixture;

TEST_F(LayoutTest, EntriesBecomeSpecifiersWithTheirPropertiesGetterSetterAndAction) {
  auto target = objc::create<NSObject>();
  auto controls = PSSpecifiersFromLayout(
      layout({entry({{"cell", str("PSGroupCell")}, {"label", str("General")}}),
              entry({{"cell", str("PSSwitchCell")},
                     {"label", str("Enabled")},
                     {"key", str("enabled")},
                     {"default", yes()},
                     {"PostNotification", str("org.example/changed")}}),
              entry({{"cell", str("PSButtonCell")}, {"label", str("Go")}, {"action", str("go")}}),
              entry({{"cell", str("PSLinkListCell")},
                     {"label", str("Colour")},
                     {"key", str("colour")},
                     {"validValues", arr({num(0), num(1)})},
                     {"validTitles", arr({str("Red"), str("Blue")})}})})
          .get(),
      target.get(), "test layout");
  ASSERT_EQ(controls->count(), 4u);
  auto group = objc::cast<PSSpecifier>(controls->objectAtIndex(0));
  auto toggle = objc::cast<PSSpecifier>(controls->objectAtIndex(1));
  auto button = objc::cast<PSSpecifier>(controls->objectAtIndex(2));
  auto list = objc::cast<PSSpecifier>(controls->objectAtIndex(3));

  EXPECT_EQ(group->type(), PSGroupCell);
  EXPECT_EQ(group->getter(), nullptr);
  EXPECT_EQ(toggle->type(), PSSwitchCell);
  EXPECT_EQ(toggle->label(), "Enabled");
  EXPECT_EQ(toggle->identifier()->str(), "enabled");
  EXPECT_EQ(toggle->target().get(), target.get());
  EXPECT_EQ(toggle->getter(), SEL_("readPreferenceValue:"));
  EXPECT_EQ(toggle->setter(), SEL_("setPreferenceValue:specifier:"));
  // The properties are the whole entry, read through the runtime as the pane reads them.
  auto props = objc::msg<Ref<NSMutableDictionary>>(toggle, SEL_("properties"));
  EXPECT_EQ(objc::as<NSString>(props->objectForKey("PostNotification"))->str(), "org.example/changed");
  EXPECT_TRUE(objc::cast<NSNumber>(props->objectForKey("default"))->boolValue());
  EXPECT_EQ(button->buttonAction(), SEL_("go"));
  EXPECT_EQ(button->getter(), nullptr);
  EXPECT_EQ(list->titleForValue(num(1).get()), "Blue");
  EXPECT_EQ(list->titleForValue(num(7).get()), std::nullopt);
}

TEST_F(LayoutTest, BadEntriesAreLoggedAndLeftOut) {
  auto controls = PSSpecifiersFromLayout(
      layout({str("not a dictionary"), entry({{"cell", str("PSNoSuchCell")}, {"label", str("Odd")}}),
              entry({{"label", str("No cell")}}),
              entry({{"cell", str("PSLinkListCell")},
                     {"label", str("Uneven")},
                     {"key", str("k")},
                     {"validValues", arr({num(0), num(1)})},
                     {"validTitles", arr({str("Zero")})}}),
              entry({{"cell", str("PSSwitchCell")}, {"label", str("Kept")}, {"key", str("kept")}})})
          .get(),
      nullptr, "bad layout");
  ASSERT_EQ(controls->count(), 2u);
  EXPECT_EQ(objc::cast<PSSpecifier>(controls->objectAtIndex(1))->label(), "Kept");
  EXPECT_TRUE(log_->contains("bad layout item 0 is not a dictionary"));
  EXPECT_TRUE(log_->contains("unknown cell PSNoSuchCell"));
  EXPECT_TRUE(log_->contains("do not pair up"));
  // A layout without items, or no layout at all, gives no specifiers.
  EXPECT_EQ(PSSpecifiersFromLayout(entry({{"title", str("x")}}).get(), nullptr, "empty")->count(), 0u);
  EXPECT_EQ(PSSpecifiersFromLayout(nullptr, nullptr, "none")->count(), 0u);
}

TEST_F(LayoutTest, EachControlProducesItsOwnKindOfValue) {
  std::string error;
  auto controlFor = [](std::initializer_list<std::pair<const char*, id>> fields) {
    auto controls = PSSpecifiersFromLayout(layout({entry(fields)}).get(), nullptr, "one");
    return objc::cast<PSSpecifier>(controls->objectAtIndex(0));
  };
  auto toggle = controlFor({{"cell", str("PSSwitchCell")}, {"label", str("S")}, {"key", str("s")}});
  auto on = objc::as<NSNumber>(PSTableCell::controlValueForInput(*toggle, "On", &error));
  ASSERT_TRUE(on);
  EXPECT_TRUE(on->isBoolean());
  EXPECT_TRUE(on->boolValue());
  EXPECT_FALSE(objc::cast<NSNumber>(PSTableCell::controlValueForInput(*toggle, "off", &error))->boolValue());
  EXPECT_EQ(PSTableCell::controlValueForInput(*toggle, "maybe", &error), nullptr);
  EXPECT_NE(error.find("switch"), std::string::npos);

  auto list = controlFor({{"cell", str("PSLinkListCell")},
                          {"label", str("L")},
                          {"key", str("l")},
                          {"validValues", arr({num(0), num(999)})},
                          {"validTitles", arr({str("Red"), str("Same")})}});
  // A value or its title picks the list's own value object.
  auto byValue = PSTableCell::controlValueForInput(*list, "999", &error);
  EXPECT_TRUE(byValue && byValue->isEqualTo(*num(999)));
  auto byTitle = objc::as<NSNumber>(PSTableCell::controlValueForInput(*list, "red", &error));
  ASSERT_TRUE(byTitle);
  EXPECT_FALSE(byTitle->isBoolean());
  EXPECT_EQ(byTitle->integerValue(), 0);
  EXPECT_EQ(PSTableCell::controlValueForInput(*list, "5", &error), nullptr);
  EXPECT_NE(error.find("Red (0)"), std::string::npos);  // the choices are named

  auto slider = controlFor({{"cell", str("PSSliderCell")},
                            {"label", str("Size")},
                            {"key", str("size")},
                            {"min", NSNumber::numberWithDouble(8)},
                            {"max", NSNumber::numberWithDouble(30)},
                            {"isSegmented", yes()},
                            {"segmentCount", num(22)}});
  auto size = objc::as<NSNumber>(PSTableCell::controlValueForInput(*slider, "17.4", &error));
  ASSERT_TRUE(size);
  EXPECT_TRUE(size->isSinglePrecision());
  EXPECT_EQ(size->doubleValue(), 17.0);  // a segmented slider stops on whole points here
  EXPECT_EQ(PSTableCell::controlValueForInput(*slider, "31", &error), nullptr);
  EXPECT_EQ(PSTableCell::controlValueForInput(*slider, "12px", &error), nullptr);

  auto field = controlFor(
      {{"cell", str("PSEditTextCell")}, {"label", str("Days")}, {"key", str("days")}, {"keyboard", str("numbers")}});
  auto days = objc::as<NSString>(PSTableCell::controlValueForInput(*field, "-1", &error));
  ASSERT_TRUE(days);
  EXPECT_EQ(days->str(), "-1");
  EXPECT_EQ(PSTableCell::controlValueForInput(*field, "1e3", &error), nullptr);
  auto text = controlFor({{"cell", str("PSEditTextCell")}, {"label", str("Name")}, {"key", str("name")}});
  EXPECT_EQ(objc::as<NSString>(PSTableCell::controlValueForInput(*text, "", &error))->str(), "");

  auto group = controlFor({{"cell", str("PSGroupCell")}, {"label", str("G")}});
  EXPECT_EQ(PSTableCell::controlValueForInput(*group, "on", &error), nullptr);
}
