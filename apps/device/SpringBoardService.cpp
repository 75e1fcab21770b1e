#include "ServiceLink.h"
#include "Services.h"

#include <DeviceBoot.h>
#include <EventScript.h>
#include <Host.h>
#include <LockScreenRenderer.h>
#include <LockScreenState.h>
#include <PngEncoder.h>

#include <Foundation/NSDate.h>
#include <Foundation/NSLog.h>
#include <MobileSubstrate/SubstrateLoader.h>
#include <SpringBoard/LockScreenDriver.h>
#include <SpringBoard/SpringBoard.h>

#include <cairo.h>

#include <deque>
#include <functional>
#include <mutex>

namespace device {

namespace {

using Clock = std::chrono::steady_clock;

/// The system log as the page reads it: the newest lines, each with its
/// number, so the page asks only for what it has not seen.
class LogTail : public foundation::LogSink {
 public:
  void write(const std::string& line) override {
    std::lock_guard guard(lock_);
    lines_.push_back(line);
    ++end_;
    if (lines_.size() > kKeep) lines_.pop_front();
  }
  /// Lines numbered from from on, and the number after the last.
  nlohmann::json since(uint64_t from) const {
    std::lock_guard guard(lock_);
    const uint64_t first = end_ - lines_.size();
    nlohmann::json out = nlohmann::json::array();
    for (uint64_t i = std::max(from, first); i < end_; ++i) out.push_back(lines_[i - first]);
    return {{"lines", out}, {"end", end_}};
  }

 private:
  static constexpr size_t kKeep = 2000;
  mutable std::mutex lock_;
  std::deque<std::string> lines_;
  uint64_t end_ = 0;
};

nlohmann::json rect(const CGRect& r) {
  return {{"x", r.origin.x}, {"y", r.origin.y}, {"width", r.size.width}, {"height", r.size.height}};
}

class SpringBoardService {
 public:
  explicit SpringBoardService(const std::filesystem::path& root) : log_(std::make_shared<LogTail>()) {
    foundation::setLogSinks({log_});
    profile_ = sbhost::bootDeviceRoot(root, {});
    SBRegisterSpringBoardApplicationClass();
    substrate::loadTweaksForProcess("com.apple.springboard", "SpringBoard");
    manager_.lock();
    if (profile_.nowPlaying) manager_.nowPlaying(true);
    nowPlaying_ = profile_.nowPlaying;
    lastTick_ = Clock::now();
    noteChanges();
  }

  /// The device's clock follows the real one: the time since the last tick
  /// passes on the run loop, firing what came due.
  void tick() {
    const auto now = Clock::now();
    const double seconds = std::chrono::duration<double>(now - lastTick_).count();
    lastTick_ = now;
    manager_.wait(seconds);
    noteChanges();
  }

  nlohmann::json handle(const nlohmann::json& request, std::optional<std::string>& bytes) {
    const std::string op = request.is_object() ? request.value("op", "") : "";
    if (op == "state") return state(request.value("log", uint64_t{0}));
    if (op == "png") {
      // The page asks again only when the screen changed; a second asker
      // for the same screen gets the same picture.
      if (pictureVersion_ != version_ || picture_.empty()) {
        std::optional<std::string> png = picture();
        if (!png) return {{"ok", false}, {"error", "the lock screen could not be drawn"}};
        picture_ = std::move(*png);
        pictureVersion_ = version_;
      }
      bytes = picture_;
      return {{"ok", true}, {"version", version_}};
    }
    if (op == "event") return event(request);
    return {{"ok", false}, {"error", "unknown request"}};
  }

 private:
  nlohmann::json event(const nlohmann::json& request) {
    std::vector<std::string> words;
    const auto& w = request.contains("words") ? request["words"] : nlohmann::json();
    if (!w.is_array()) return {{"ok", false}, {"error", "an event needs its words"}};
    for (const auto& word : w) {
      if (!word.is_string()) return {{"ok", false}, {"error", "an event's words are text"}};
      words.push_back(word.get<std::string>());
    }
    try {
      auto events = sbhost::parseEventWords(words);
      if (events.size() != 1) return {{"ok", false}, {"error", "give exactly one event"}};
      sbhost::Event& e = events.front();
      e.where = "event";
      const auto outcome = sbhost::runEvent(manager_, e);
      if (e.kind == sbhost::Event::Kind::NowPlaying) nowPlaying_ = e.open;
      if (e.kind == sbhost::Event::Kind::Lock) nowPlaying_ = false;
      // An event may change how rows look (a lock reads new colours and
      // fonts) without changing what the rows say: the screen is new.
      ++version_;
      noteChanges();
      nlohmann::json out = {{"ok", true}, {"event", outcome.event}, {"result", outcome.result}, {"version", version_}};
      if (!outcome.tapKind.empty()) out["tap"] = {{"kind", outcome.tapKind}, {"target", outcome.tapTarget}};
      return out;
    } catch (const std::exception& e) {
      noteChanges();
      return {{"ok", false}, {"error", e.what()}};
    }
  }

  nlohmann::json screenJSON() {
    const auto s = sbhost::readLockScreenState(manager_.lockScreenView().get(), manager_.listController().get());
    nlohmann::json rows = nlohmann::json::array();
    for (const auto& r : s.rows)
      rows.push_back({{"index", r.index},
                      {"own", r.own},
                      {"title", r.title},
                      {"subtitle", r.subtitle},
                      {"message", r.message},
                      {"section", r.section},
                      {"date", r.dateText},
                      {"visible", r.visible},
                      {"frame", rect(r.frame)},
                      {"canEdit", r.canEdit},
                      {"canClear", r.canClear}});
    return {{"clock", {{"time", s.time}, {"date", s.date}}},
            {"rows", rows},
            {"underlay", s.underlay.shown},
            {"nowPlaying", nowPlaying_}};
  }

  void noteChanges() {
    nlohmann::json screen = screenJSON();
    const size_t hash = std::hash<std::string>{}(screen.dump());
    if (hash != screenHash_) {
      screenHash_ = hash;
      ++version_;
    }
  }

  nlohmann::json state(uint64_t logFrom) {
    nlohmann::json out = screenJSON();
    out["ok"] = true;
    out["version"] = version_;
    out["now"] = sbhost::deviceTimeISO(NSDate::date()->timeIntervalSinceReferenceDate());
    out["screen"] = {{"width", profile_.screenWidth}, {"height", profile_.screenHeight}};
    out["log"] = log_->since(logFrom);
    return out;
  }

  std::optional<std::string> picture() {
    manager_.layout();
    sbhost::RenderOptions options;
    options.scale = profile_.screenScale;
    options.wallpaperPath = profile_.wallpaper;
    cairo_surface_t* surface = sbhost::renderLockScreen(manager_.lockScreenView().get(), options);
    std::optional<std::string> png = sbhost::pngBytes(surface);
    cairo_surface_destroy(surface);
    return png;
  }

  std::shared_ptr<LogTail> log_;
  foundation::DeviceProfile profile_;
  LockScreenDriver manager_;
  bool nowPlaying_ = false;
  Clock::time_point lastTick_;
  size_t screenHash_ = 0;
  uint64_t version_ = 0;
  std::string picture_;
  uint64_t pictureVersion_ = 0;
};

}  // namespace

int runSpringBoardService(const std::filesystem::path& root) {
  ServiceLink link;
  std::unique_ptr<SpringBoardService> service;
  try {
    service = std::make_unique<SpringBoardService>(root);
  } catch (const std::exception& e) {
    link.reply({{"ready", false}, {"error", e.what()}});
    return 1;
  }
  link.reply({{"ready", true}});
  // Often enough that a five-second timer fires on time to the eye, rarely
  // enough that an idle device costs next to nothing.
  constexpr auto kTick = std::chrono::milliseconds(250);
  for (;;) {
    nlohmann::json request;
    const auto wait = link.next(kTick, request);
    if (wait == ServiceLink::Wait::Closed) return 0;
    service->tick();
    if (wait == ServiceLink::Wait::Idle) continue;
    std::optional<std::string> bytes;
    nlohmann::json answer;
    try {
      answer = service->handle(request, bytes);
    } catch (const std::exception& e) {
      answer = {{"ok", false}, {"error", e.what()}};
      bytes.reset();
    }
    link.reply(answer, bytes);
  }
}

}  // namespace device
