// The living device's server, spoken to without a browser: what it serves,
// what it refuses, and how it copes with a program dying or Ctrl-C.

#include "LivingDevice.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <fstream>
#include <thread>

namespace {

using devicetest::DemoRoot;
using devicetest::LivingDevice;
using nlohmann::json;

class DeviceServerTest : public ::testing::Test {
 protected:
  DeviceServerTest() : device_(root_.path()), client_("127.0.0.1", device_.port()) {
    client_.set_read_timeout(std::chrono::seconds(60));
  }

  // Neither program died unasked, and the device ends cleanly: under
  // ThreadSanitizer a race in the server shows here as its exit status.
  void TearDown() override {
    if (device_.pid() <= 0) return;
    if (!restartExpected_) {
      EXPECT_EQ(state()["notes"], json::array()) << "a program died during the test";
    }
    EXPECT_EQ(device_.stop(SIGTERM, 60), 0) << device_.output();
  }

  httplib::Result post(const std::string& path, const json& body, const httplib::Headers& headers = {}) {
    return client_.Post(path.c_str(), headers, body.dump(), "application/json");
  }
  json state() {
    auto res = client_.Get("/api/state");
    EXPECT_TRUE(res);
    return res ? json::parse(res->body) : json();
  }
  static size_t ownRows(const json& state) {
    size_t n = 0;
    for (const auto& r : state["rows"]) n += r["own"].get<bool>();
    return n;
  }
  static std::string errorOf(const httplib::Result& res) {
    return res ? json::parse(res->body, nullptr, false).value("error", std::string()) : "(no answer)";
  }

  DemoRoot root_;
  LivingDevice device_;
  httplib::Client client_;
  bool restartExpected_ = false;
};

TEST_F(DeviceServerTest, ServesThePagePictureAndTheDemoRows) {
  auto page = client_.Get("/");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_NE(page->body.find("<script src=\"/app.js\">"), std::string::npos);
  for (const char* asset : {"/app.js", "/style.css"}) EXPECT_EQ(client_.Get(asset)->status, 200) << asset;

  auto png = client_.Get("/screen.png");
  ASSERT_TRUE(png);
  EXPECT_EQ(png->get_header_value("Content-Type"), "image/png");
  EXPECT_EQ(png->body.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));

  json s = state();
  EXPECT_GT(ownRows(s), 0u);
  EXPECT_GT(s["rows"].size(), ownRows(s)) << "the profile's other notifications are there too";
  EXPECT_EQ(s["screen"]["width"], 320);

  // A tap on an own row opens Reminders; the answer says so.
  auto tap = post("/api/event", {{"words", {"tap", "0"}}});
  ASSERT_EQ(tap->status, 200) << tap->body;
  EXPECT_EQ(json::parse(tap->body)["tap"]["target"].get<std::string>().rfind("x-apple-reminder://", 0), 0u);
}

TEST_F(DeviceServerTest, BadRequestsGetClearErrorsAndTheDeviceCarriesOn) {
  const pid_t before = state()["programs"][0]["pid"];

  auto badRow = post("/api/event", {{"words", {"tap", "99"}}});
  EXPECT_EQ(badRow->status, 400);
  EXPECT_NE(errorOf(badRow).find("no row 99"), std::string::npos) << errorOf(badRow);

  auto unknown = post("/api/event", {{"words", {"dance"}}});
  EXPECT_EQ(unknown->status, 400);
  EXPECT_NE(errorOf(unknown).find("unknown event 'dance'"), std::string::npos) << errorOf(unknown);

  EXPECT_EQ(post("/api/event", {{"words", {"tap", "0", "swipe", "1"}}})->status, 400) << "one event a request";
  EXPECT_EQ(client_.Post("/api/event", "{not json", "application/json")->status, 400);
  EXPECT_EQ(post("/api/event", {{"words", json::array()}})->status, 400);
  EXPECT_EQ(post("/api/event", {{"words", {"tap", 0}}})->status, 400) << "words are text";
  EXPECT_EQ(client_.Get("/api/state?log=many")->status, 400);

  // Settings takes commands, never options that reach past the pane.
  auto other = post("/api/settings", {{"words", {"--root", "/", "show"}}});
  EXPECT_EQ(other->status, 400);
  EXPECT_NE(errorOf(other).find("not options"), std::string::npos);
  auto nonsense = post("/api/settings", {{"words", {"set", "noSuchKey", "1"}}});
  ASSERT_EQ(nonsense->status, 200);
  EXPECT_FALSE(json::parse(nonsense->body)["ok"].get<bool>());

  json after = state();
  EXPECT_EQ(after["programs"][0]["pid"], before);
  EXPECT_EQ(after["programs"][0]["restarts"], 0);
}

TEST_F(DeviceServerTest, RefusesRequestsNotAddressedToIt) {
  const size_t rows = state()["rows"].size();
  auto foreign = post("/api/event", {{"words", {"clear"}}}, {{"Origin", "http://evil.example"}});
  EXPECT_EQ(foreign->status, 403);
  EXPECT_EQ(state()["rows"].size(), rows) << "a refused event does not run";

  const std::string port = std::to_string(device_.port());
  EXPECT_EQ(client_.Get("/", {{"Origin", "null"}})->status, 403);
  EXPECT_EQ(client_.Get("/", {{"Origin", "http://127.0.0.1:" + port + ".evil.example"}})->status, 403);
  // DNS rebinding: a foreign name that resolves here.
  httplib::Client rebound("127.0.0.1", device_.port());
  EXPECT_EQ(rebound.Get("/api/state", {{"Host", "evil.example:" + port}})->status, 403);

  EXPECT_EQ(client_.Get("/", {{"Origin", "http://localhost:" + port}})->status, 200);
}

TEST_F(DeviceServerTest, ServesNothingOutsideItsPage) {
  for (const char* path : {"/../device.plist", "/%2e%2e/%2e%2e/etc/passwd", "/screen.png/../../device.plist",
                           "/device.plist", "/var/mobile/Library/Preferences/org.brightrepo.quillpaneprefs.plist",
                           "/app.js/../../../../etc/passwd", "//etc/passwd"}) {
    auto res = client_.Get(path);
    ASSERT_TRUE(res) << path;
    EXPECT_GE(res->status, 400) << path;
    EXPECT_EQ(res->body.find("<plist"), std::string::npos) << path;
    EXPECT_EQ(res->body.find("root:"), std::string::npos) << path;
  }
}

TEST_F(DeviceServerTest, SettingsReachTheLockScreenAtTheNextLock) {
  const std::string before = client_.Get("/screen.png")->body;
  for (json words : {json{"set", "maxRemindersToDisplay", "2"}, json{"set", "textColor", "Red"}}) {
    auto set = post("/api/settings", {{"words", words}});
    ASSERT_EQ(set->status, 200) << set->body;
    ASSERT_TRUE(json::parse(set->body)["ok"].get<bool>()) << set->body;
  }
  EXPECT_GT(ownRows(state()), 2u) << "the tweak reads its files at a lock, not before";
  EXPECT_EQ(client_.Get("/screen.png")->body, before);

  ASSERT_EQ(post("/api/event", {{"words", {"lock"}}})->status, 200);
  EXPECT_EQ(ownRows(state()), 2u);
  const std::string red = client_.Get("/screen.png")->body;
  EXPECT_NE(red, before);

  // A colour alone changes no row's text; the picture is new all the same.
  ASSERT_EQ(post("/api/settings", {{"words", {"set", "textColor", "Blue"}}})->status, 200);
  ASSERT_EQ(post("/api/event", {{"words", {"lock"}}})->status, 200);
  EXPECT_NE(client_.Get("/screen.png")->body, red);
}

TEST_F(DeviceServerTest, SettingsAnswersWithTheScreenItEndedOnAndItsPicture) {
  auto root = post("/api/settings", {{"words", {"show"}}});
  ASSERT_EQ(root->status, 200) << root->body;
  json answer = json::parse(root->body);
  EXPECT_EQ(answer["screen"]["depth"], 1);
  EXPECT_EQ(answer["screen"]["title"], "Quillpane");
  const std::string prefix = "data:image/png;base64,";
  ASSERT_EQ(answer["picture"].get<std::string>().rfind(prefix, 0), 0u);
  EXPECT_EQ(answer["picture"].get<std::string>().substr(prefix.size(), 8), "iVBORw0K") << "a PNG";
  EXPECT_FALSE(answer.contains("bytes"));

  // A value list opens on its own screen with the current value ticked.
  auto list = post("/api/settings", {{"words", {"choices", "textColor"}}});
  ASSERT_EQ(list->status, 200) << list->body;
  answer = json::parse(list->body);
  EXPECT_EQ(answer["screen"]["depth"], 2);
  EXPECT_EQ(answer["screen"]["backButton"], "Quillpane");
  int ticked = 0;
  for (const auto& section : answer["screen"]["sections"])
    for (const auto& row : section["rows"]) ticked += row.value("checked", false);
  EXPECT_EQ(ticked, 1);

  // A refused change comes without a screen: the page keeps the one it shows.
  auto refused = post("/api/settings", {{"words", {"set", "textSize", "many"}}});
  answer = json::parse(refused->body);
  EXPECT_FALSE(answer["ok"].get<bool>());
  EXPECT_FALSE(answer.contains("screen"));
  EXPECT_FALSE(answer.contains("picture"));
}

// The page asks for the state, the picture and Settings' screens at once; every
// asker gets its own whole answer (under ThreadSanitizer: with no race).
TEST_F(DeviceServerTest, ManyAskersAtOnceEachGetTheirOwnAnswer) {
  constexpr int kAskers = 4, kRounds = 6;
  // The client library compiles its patterns at its first use; once here,
  // before the threads, so ThreadSanitizer sees them made before they are read.
  ASSERT_TRUE(client_.Get("/api/state"));
  std::vector<std::string> faults[kAskers];
  std::vector<std::thread> askers;
  for (int a = 0; a < kAskers; ++a)
    askers.emplace_back([&, a] {
      httplib::Client client("127.0.0.1", device_.port());
      client.set_read_timeout(std::chrono::seconds(120));
      for (int round = 0; round < kRounds; ++round) {
        const std::string what = std::to_string(a) + "/" + std::to_string(round) + ": ";
        switch ((a + round) % 4) {
          case 0: {
            auto res = client.Get("/api/state");
            if (!res || res->status != 200 || !json::parse(res->body, nullptr, false).value("ok", false))
              faults[a].push_back(what + "state");
            break;
          }
          case 1: {
            auto res = client.Get("/screen.png");
            if (!res || res->status != 200 || res->body.rfind("\x89PNG", 0) != 0) faults[a].push_back(what + "picture");
            break;
          }
          case 2: {
            auto res = client.Post("/api/event", json{{"words", {"wait", "1"}}}.dump(), "application/json");
            if (!res || res->status != 200 || json::parse(res->body, nullptr, false).value("event", "") != "wait 1")
              faults[a].push_back(what + "event");
            break;
          }
          default: {
            const std::string key = a % 2 ? "textColor" : "iconFile";
            auto res = client.Post("/api/settings", json{{"words", {"choices", key}}}.dump(), "application/json");
            const json answer = res ? json::parse(res->body, nullptr, false) : json();
            if (!res || res->status != 200 || !answer.contains("picture") ||
                answer["screen"]["backButton"] != "Quillpane" ||
                answer["out"].get<std::string>().find(key) == std::string::npos)
              faults[a].push_back(what + "settings " + key);
          }
        }
      }
    });
  for (auto& t : askers) t.join();
  for (const auto& f : faults) EXPECT_EQ(f, std::vector<std::string>());
}

TEST_F(DeviceServerTest, ADeadProgramIsRestartedAndReported) {
  restartExpected_ = true;
  json s = state();
  const pid_t springboard = s["programs"][0]["pid"];
  ASSERT_EQ(::kill(springboard, SIGKILL), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));

  json after = state();
  EXPECT_TRUE(after["ok"].get<bool>()) << after.dump();
  EXPECT_NE(after["programs"][0]["pid"], springboard);
  EXPECT_EQ(after["programs"][0]["restarts"], 1);
  ASSERT_EQ(after["notes"].size(), 1u);
  EXPECT_NE(after["notes"][0].get<std::string>().find("SpringBoard ended (signal 9); restarted"), std::string::npos);
  EXPECT_GT(ownRows(after), 0u) << "the restarted SpringBoard locked again";
}

TEST_F(DeviceServerTest, CtrlCEndsTheDeviceAndItsPrograms) {
  json s = state();
  const pid_t springboard = s["programs"][0]["pid"], settings = s["programs"][1]["pid"];
  EXPECT_EQ(device_.stop(SIGINT, 20), 0);
  EXPECT_NE(device_.output().find("Device stopped."), std::string::npos);
  EXPECT_NE(::kill(springboard, 0), 0);
  EXPECT_NE(::kill(settings, 0), 0);
}

}  // namespace
