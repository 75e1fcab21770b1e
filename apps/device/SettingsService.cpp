#include "ServiceLink.h"
#include "Services.h"

#include <PngEncoder.h>
#include <ScreenLayout.h>
#include <SettingsCommand.h>
#include <SettingsHost.h>
#include <SettingsRenderer.h>

#include <Foundation/NSLog.h>

#include <cairo.h>

#include <sstream>

namespace device {

namespace {

/// The screen a person ends up on, laid out and drawn by Settings' own
/// renderer: the whole table, as tall as it is, for the page to scroll.
void drawScreen(settings::SettingsHost& host, nlohmann::json& layout, std::optional<std::string>& png) {
  const settings::ScreenLayout screen = settings::layOutTopScreen(host);
  layout = settings::screenJson(screen);
  // How deep the person is: the page offers a way back from any screen but the root.
  layout["depth"] = host.navigation()->stack().size();
  cairo_surface_t* surface = settings::renderScreen(screen, true);
  std::optional<std::string> bytes = sbhost::pngBytes(surface);
  cairo_surface_destroy(surface);
  if (!bytes) throw settings::HostError("the screen could not be drawn");
  png = std::move(bytes);
}

}  // namespace

int runSettingsService(const std::filesystem::path& root) {
  ServiceLink link;
  try {
    settings::checkDeviceRoot(root);
  } catch (const std::exception& e) {
    link.reply({{"ready", false}, {"error", e.what()}});
    return 1;
  }
  auto log = std::make_shared<foundation::CapturingSink>();
  foundation::setLogSinks({log});
  link.reply({{"ready", true}});
  for (;;) {
    nlohmann::json request;
    const auto wait = link.next(std::chrono::hours(1), request);
    if (wait == ServiceLink::Wait::Closed) return 0;
    if (wait == ServiceLink::Wait::Idle) continue;

    const auto& words = request.is_object() && request.contains("words") ? request["words"] : nlohmann::json();
    std::vector<std::string> args{"--root", root.string()};
    std::string refusal = words.is_array() ? "" : "a Settings command needs its words";
    for (const auto& w : words.is_array() ? words : nlohmann::json::array()) {
      // Options would reach past the pane: another root, another entry.
      if (!w.is_string() || w.get<std::string>().empty() || w.get<std::string>()[0] == '-') {
        refusal = "a Settings command's words are plain words, not options";
        break;
      }
      args.push_back(w.get<std::string>());
    }
    if (!refusal.empty()) {
      link.reply({{"ok", false}, {"error", refusal}});
      continue;
    }
    std::ostringstream out, err;
    log->clear();
    int status = 1;
    nlohmann::json layout;
    std::optional<std::string> png;
    try {
      status = settings::runSettingsCommand(args, out, err,
                                            [&](settings::SettingsHost& host) { drawScreen(host, layout, png); });
    } catch (const std::exception& e) {
      err << e.what() << "\n";
      png.reset();
    }
    nlohmann::json answer{
        {"ok", status == 0}, {"status", status}, {"out", out.str()}, {"err", err.str()}, {"log", log->lines()}};
    // A command that failed carries no screen: what it shows may hold a
    // change that was not stored.
    if (status != 0) png.reset();
    if (png) answer["screen"] = std::move(layout);
    link.reply(answer, png);
  }
}

}  // namespace device
