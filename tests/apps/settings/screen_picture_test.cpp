// The pane's screens as pictures and as JSON, drawn by the Settings host.

#include "SettingsHost.h"
#include "SettingsHostFixture.h"

#include <Quillpane/Contract.h>

#include <cairo.h>
#include <nlohmann/json.hpp>

#include <memory>
#include <set>

namespace {

using Json = nlohmann::json;

struct Picture {
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface{nullptr, &cairo_surface_destroy};
  double scale = 2;
  [[nodiscard]] int width() const { return cairo_image_surface_get_width(surface.get()); }
  [[nodiscard]] int height() const { return cairo_image_surface_get_height(surface.get()); }
  /// The pixel at a point (in points) as 0xRRGGBB.
  [[nodiscard]] uint32_t at(double x, double y) const {
    const int px = static_cast<int>(x * scale), py = static_cast<int>(y * scale);
    if (px < 0 || py < 0 || px >= width() || py >= height()) {
      ADD_FAILURE() << "(" << x << ", " << y << ") lies outside the picture";
      return 0;
    }
    const auto* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    return *reinterpret_cast<const uint32_t*>(data + py * stride + px * 4) & 0xFFFFFF;
  }
};

bool near(uint32_t a, uint32_t b, int tolerance = 12) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

constexpr uint32_t kDeviceGreen = 0x4CD964, kTint = 0x007AFF;

class ScreenPictureTest : public SettingsHostTest {
 protected:
  /// Runs a command with --json and --png; the picture and the state.
  std::pair<Picture, Json> look(std::vector<std::string> args) {
    const std::string png = (root_ / "screen.png").string();
    args.insert(args.end(), {"--json", "--png", png});
    EXPECT_EQ(run(args), 0) << err_.str();
    Json state = Json::parse(out_.str());
    Picture picture;
    picture.surface.reset(cairo_image_surface_create_from_png(png.c_str()));
    picture.scale = state["screen"]["scale"].get<double>();
    return {std::move(picture), std::move(state)};
  }
  static Json rowOf(const Json& state, const std::string& field, const std::string& value) {
    for (const auto& section : state["sections"])
      for (const auto& row : section["rows"])
        if (row.value(field, "") == value) return row;
    ADD_FAILURE() << "no row with " << field << " " << value;
    return {};
  }
  /// The place a row's control lies at: the right edge, middle of the row,
  /// below the bars.
  static std::pair<double, double> rightEdge(const Json& state, const Json& row) {
    const auto& f = row["frame"];
    return {f["x"].get<double>() + f["width"].get<double>() - 15,
            state["navigationBarHeight"].get<double>() + f["y"].get<double>() + f["height"].get<double>() / 2};
  }
};

}  // namespace

TEST_F(ScreenPictureTest, ThePictureHasTheProfilesScreenSizeAndScale) {
  auto [picture, state] = look({});
  EXPECT_EQ(picture.width(), 640);
  EXPECT_EQ(picture.height(), 1136);
  EXPECT_EQ(state["title"], "Quillpane");
  EXPECT_EQ(state["backButton"], "Settings");

  auto profile = NSMutableDictionary::dictionaryWithContentsOfFile("/device.plist");
  ASSERT_TRUE(profile);
  profile->setObjectForKey(NSNumber::numberWithDouble(375), "ScreenWidth");
  profile->setObjectForKey(NSNumber::numberWithDouble(667), "ScreenHeight");
  profile->setObjectForKey(NSNumber::numberWithDouble(3), "ScreenScale");
  ASSERT_TRUE(profile->writeToFile("/device.plist", true));
  auto [larger, largerState] = look({"calendars"});
  EXPECT_EQ(larger.width(), 1125);
  EXPECT_EQ(larger.height(), 2001);
  // Rows span the wider screen.
  EXPECT_EQ(largerState["sections"][0]["rows"][0]["frame"]["width"], 375);
}

TEST_F(ScreenPictureTest, SwitchesAreDrawnAsTheyStandAndFollowAChange) {
  auto [before, state] = look({});
  auto enabled = rowOf(state, "key", "enabled");
  EXPECT_EQ(enabled["accessory"], "switch");
  EXPECT_EQ(enabled["on"], true);
  EXPECT_EQ(enabled["value"], true);
  auto [right, cy] = rightEdge(state, enabled);
  // The track left of the knob: the device's green when on, white when off.
  const double track = right - 51 + 10;
  EXPECT_TRUE(near(before.at(track, cy), kDeviceGreen)) << std::hex << before.at(track, cy);

  auto [after, changed] = look({"set", "enabled", "off"});
  EXPECT_EQ(rowOf(changed, "key", "enabled")["on"], false);
  EXPECT_TRUE(near(after.at(track, cy), 0xFFFFFF)) << std::hex << after.at(track, cy);
  // A switch that did not change is drawn as before.
  auto [ox, oy] = rightEdge(changed, rowOf(changed, "key", "showItemsWithoutDueDate"));
  EXPECT_TRUE(near(before.at(ox - 51 + 10, oy), kDeviceGreen));
  EXPECT_TRUE(near(after.at(ox - 51 + 10, oy), kDeviceGreen));
}

TEST_F(ScreenPictureTest, AChoiceListTicksTheCurrentValueWhereTheJsonSays) {
  auto [picture, state] = look({"choices", "swipeAction"});
  EXPECT_EQ(state["title"], "Opens");
  EXPECT_EQ(state["backButton"], "Quillpane");
  std::vector<std::string> ticked;
  for (const auto& row : state["sections"][0]["rows"])
    if (row["accessory"] == "checkmark") ticked.push_back(row["label"]);
  EXPECT_EQ(ticked, std::vector<std::string>{"Reminders"});  // the key is absent: the tweak's default, 1
  auto row = rowOf(state, "label", "Reminders");
  auto [right, cy] = rightEdge(state, row);
  bool tint = false;
  for (double x = right - 14; x <= right; x += 0.5)
    for (double y = cy - 6; y <= cy + 6; y += 0.5) tint = tint || near(picture.at(x, y), kTint, 40);
  EXPECT_TRUE(tint) << "no checkmark drawn at the ticked row";
  auto other = rowOf(state, "label", "Nothing");
  auto [ox, oy] = rightEdge(state, other);
  EXPECT_TRUE(near(picture.at(ox - 7, oy), 0xFFFFFF));

  // Choosing in the list stores the value and moves the tick.
  ASSERT_EQ(run({"set", "swipeAction", "Nothing"}), 0) << err_.str();
  auto [_, again] = look({"choices", "swipeAction"});
  EXPECT_EQ(rowOf(again, "label", "Nothing")["accessory"], "checkmark");
  EXPECT_EQ(rowOf(again, "label", "Reminders")["accessory"], "none");
}

TEST_F(ScreenPictureTest, TheJsonHoldsEveryControlWithTheValueTheTweakUses) {
  auto [picture, state] = look({});
  std::set<std::string> keys;
  for (const auto& section : state["sections"])
    for (const auto& row : section["rows"])
      if (row.contains("key")) {
        keys.insert(row["key"]);
        EXPECT_FALSE(row["value"].is_null()) << row["key"];
      }
  std::set<std::string> offered;
  for (const auto& key : quillpane::contract::kPreferenceKeys)
    if (key.offered) offered.insert(std::string(key.name));
  EXPECT_EQ(keys, offered);
  EXPECT_EQ(rowOf(state, "key", "textColor")["valueText"], "White");
  EXPECT_EQ(rowOf(state, "key", "dateTextColor")["valueText"], "Gray");
  EXPECT_EQ(rowOf(state, "key", "textSize")["slider"]["value"], 14);
  EXPECT_EQ(rowOf(state, "key", "daysToDisplay")["value"], 365);
  EXPECT_EQ(rowOf(state, "action", "selectCalendars")["accessory"], "chevron");
}

TEST_F(ScreenPictureTest, SubScreensShowTheirOwnMarks) {
  auto [calendars, before] = look({"calendars"});
  const bool wasTicked = before["sections"][0]["rows"][0]["accessory"] == "checkmark";
  auto [toggled, after] = look({"calendars", "toggle", "1"});
  auto first = after["sections"][0]["rows"][0];
  EXPECT_EQ(first["accessory"], wasTicked ? "none" : "checkmark");
  EXPECT_FALSE(first["detail"].get<std::string>().empty());  // the account line

  auto [sort, sortState] = look({"sort"});
  for (const auto& row : sortState["sections"][0]["rows"]) EXPECT_EQ(row["accessory"], "reorder") << row["label"];

  auto [page, loading] = look({"--as-first-shown", "other-apps"});
  ASSERT_EQ(loading["views"].size(), 2u);
  EXPECT_EQ(loading["views"][1]["text"], "Loading web page...");
  auto [_, loaded] = look({"other-apps"});
  EXPECT_EQ(loaded["views"].size(), 1u);  // the load ended: the label is gone
}

TEST_F(ScreenPictureTest, TheAppChooserShowsTheIconsBundlesHave) {
  // A plain red icon in the Reminders bundle.
  cairo_surface_t* icon = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 58, 58);
  cairo_t* cr = cairo_create(icon);
  cairo_set_source_rgb(cr, 1, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  ASSERT_EQ(cairo_surface_write_to_png(icon, (root_ / "Applications/Reminders.app/Icon@2x.png").c_str()),
            CAIRO_STATUS_SUCCESS);
  cairo_surface_destroy(icon);

  auto [picture, state] = look({"apps"});
  auto reminders = rowOf(state, "application", "com.apple.reminders");
  EXPECT_EQ(reminders["icon"], "/Applications/Reminders.app/Icon@2x.png");
  const auto& f = reminders["frame"];
  const double top = state["navigationBarHeight"].get<double>() + f["y"].get<double>();
  EXPECT_TRUE(near(picture.at(15 + 14.5, top + f["height"].get<double>() / 2), 0xFF0000));
  EXPECT_TRUE(rowOf(state, "application", "com.apple.mobilenotes")["icon"].is_null());
}

TEST_F(ScreenPictureTest, AnUnreadablePreferenceFileIsOneLinePerCommand) {
  { std::ofstream(root_ / kPreferences, std::ios::binary | std::ios::trunc) << "{ not a property list"; }
  auto lines = std::make_shared<foundation::CapturingSink>();
  foundation::setLogSinks({std::make_shared<settings::DistinctLinesSink>(lines)});
  ASSERT_EQ(run({"set", "enabled", "off"}), 0) << err_.str();
  size_t faults = 0;
  for (const auto& line : lines->lines())
    if (line.find("is not a property list") != std::string::npos) {
      ++faults;
      EXPECT_NE(line.find("org.brightrepo.quillpaneprefs.plist"), std::string::npos) << line;
    }
  EXPECT_EQ(faults, 1u);
}
