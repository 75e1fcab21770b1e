#include "ServiceLink.h"
#include "Services.h"

#include <SettingsCommand.h>
#include <SettingsHost.h>

#include <Foundation/NSLog.h>

#include <sstream>

namespace device {

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
    try {
      status = settings::runSettingsCommand(args, out, err);
    } catch (const std::exception& e) {
      err << e.what() << "\n";
    }
    link.reply(
        {{"ok", status == 0}, {"status", status}, {"out", out.str()}, {"err", err.str()}, {"log", log->lines()}});
  }
}

}  // namespace device
