#include "HostRun.h"

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <cmath>

namespace sbhost {

namespace {

/// Characters (code points) in UTF-8 text.
size_t displayWidth(std::string_view s) {
  size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

/// The text cut to width characters (with an ellipsis) and padded to it.
std::string fit(std::string_view s, size_t width) {
  std::string out;
  if (displayWidth(s) <= width) {
    out = s;
  } else {
    size_t n = 0, i = 0;
    for (; i < s.size(); ++i) {
      if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
        if (n == width - 1) break;
        ++n;
      }
    }
    out = std::string(s.substr(0, i)) + "…";
  }
  out.append(width - std::min(width, displayWidth(out)), ' ');
  return out;
}

std::string hexColor(const RGBA& c) {
  auto byte = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  std::string s = fmt::format("#{:02X}{:02X}{:02X}", byte(c[0]), byte(c[1]), byte(c[2]));
  if (c[3] < 1) s += fmt::format("{:02X}", byte(c[3]));
  return s;
}

std::string iconText(const IconState& icon) {
  if (icon.kind == "dot")
    return fmt::format("dot {} {}", icon.dotDiameter, icon.color ? hexColor(*icon.color) : std::string("?"));
  return icon.kind;
}

std::string number(double v) {
  if (std::fabs(v - std::round(v)) < 1e-9) return fmt::format("{}", static_cast<long long>(std::llround(v)));
  return fmt::format("{:.2f}", v);
}

nlohmann::json rect(const CGRect& r) {
  return {{"x", r.origin.x}, {"y", r.origin.y}, {"width", r.size.width}, {"height", r.size.height}};
}

nlohmann::json color(const RGBA& c) {
  return {{"red", c[0]}, {"green", c[1]}, {"blue", c[2]}, {"alpha", c[3]}, {"hex", hexColor(c)}};
}

nlohmann::json rowJson(const RowState& row) {
  nlohmann::json labels = nlohmann::json::object();
  for (const auto& l : row.labels)
    labels[l.name] = {{"text", l.text},
                      {"frame", rect(l.frame)},
                      {"font", {{"name", l.fontName}, {"size", l.fontSize}}},
                      {"color", color(l.color)},
                      {"hidden", l.hidden}};
  nlohmann::json icon = {{"kind", row.icon.kind}};
  if (row.icon.kind != "none") {
    icon["size"] = {{"width", row.icon.width}, {"height", row.icon.height}, {"scale", row.icon.scale}};
    if (row.visible) icon["frame"] = rect(row.icon.frame);
  }
  if (row.icon.color) icon["color"] = color(*row.icon.color);
  if (row.icon.kind == "dot") icon["diameter"] = row.icon.dotDiameter;
  nlohmann::json action = {{"kind", row.actionKind}};
  if (!row.actionTarget.empty()) action["target"] = row.actionTarget;
  return {
      {"index", row.index},
      {"class", row.itemClass},
      {"own", row.own},
      {"bulletinID", row.bulletinID},
      {"title", row.title},
      {"subtitle", row.subtitle},
      {"message", row.message},
      {"date", row.date ? nlohmann::json(row.dateISO) : nlohmann::json(nullptr)},
      {"dateText", row.dateText},
      {"section", row.section},
      {"defaultAction", action},
      {"icon", icon},
      {"height", row.height},
      {"frame", rect(row.frame)},
      {"visible", row.visible},
      {"alpha", row.contentAlpha},
      {"separators", {{"above", row.separatorAbove}, {"below", row.separatorBelow}}},
      {"canClear", row.canClear},
      {"canEdit", row.canEdit},
      {"labels", labels},
  };
}

}  // namespace

std::string textReport(const HostRun& run, bool withLog) {
  const auto& p = run.profile;
  const auto& s = run.state;
  std::string out;
  out += fmt::format("Lock screen of {}: iOS {}, {}, {}\n", run.root.string(), p.iosRelease, p.timeZone, run.nowISO);
  out += fmt::format("  {}  {}\n", s.time, s.date);
  out += fmt::format("  tweaks: {}\n",
                     run.tweaks.empty() ? std::string("none") : fmt::format("{}", fmt::join(run.tweaks, ", ")));
  out +=
      fmt::format("  underlay: {}\n",
                  s.underlay.shown ? fmt::format("shown ({})", fmt::join(s.underlay.requesters, ", ")) : "not shown");
  if (!run.notRead.empty()) out += fmt::format("  not read: {}\n", fmt::join(run.notRead, ", "));
  if (!s.lightings.empty())
    out += fmt::format("  screen lit {} time(s), last for {}\n", s.lightingCount,
                       s.lightings.back().item.empty() ? s.lightings.back().cause : s.lightings.back().item);

  if (!run.events.empty()) {
    out += "\nEvents\n";
    if (run.eventCount > run.events.size())
      out += fmt::format("  ({} earlier events not kept)\n", run.eventCount - run.events.size());
    for (const auto& e : run.events) out += fmt::format("  {} {}\n", fit(e.event, 28), e.result);
  }

  out += fmt::format("\nRows ({}; * = Quillpane)\n", s.rows.size());
  if (s.rows.empty()) {
    out += "  (the list is empty)\n";
  } else {
    out += fmt::format("  {:>2} {} {} {} {} {} {:>6}\n", "#", " ", fit("title", 34), fit("subtitle", 22),
                       fit("date", 11), fit("icon", 14), "height");
    for (const auto& r : s.rows) {
      out += fmt::format("  {:>2} {} {} {} {} {} {:>6}{}\n", r.index, r.own ? "*" : " ", fit(r.title, 34),
                         fit(r.subtitle, 22), fit(r.dateText, 11), fit(iconText(r.icon), 14), number(r.height),
                         r.visible ? "" : "  (scrolled away)");
    }
  }
  if (withLog && !run.log.empty()) {
    out += "\nLog\n";
    if (run.logLineCount > run.log.size())
      out += fmt::format("  ({} earlier lines not kept)\n", run.logLineCount - run.log.size());
    for (const auto& line : run.log) out += "  " + line + "\n";
  }
  return out;
}

std::string jsonReport(const HostRun& run) {
  const auto& p = run.profile;
  const auto& s = run.state;
  nlohmann::json rows = nlohmann::json::array();
  for (const auto& r : s.rows) rows.push_back(rowJson(r));
  nlohmann::json events = nlohmann::json::array();
  for (const auto& e : run.events) {
    nlohmann::json j = {{"event", e.event}, {"result", e.result}};
    if (!e.tapKind.empty()) j["tap"] = {{"kind", e.tapKind}, {"target", e.tapTarget}};
    if (!e.notRead.empty()) j["notRead"] = e.notRead;
    events.push_back(j);
  }
  nlohmann::json requests = nlohmann::json::array();
  for (const auto& r : s.underlay.requests) requests.push_back({{"add", r.add}, {"requester", r.requester}});
  nlohmann::json lightings = nlohmann::json::array();
  for (const auto& l : s.lightings) lightings.push_back({{"cause", l.cause}, {"item", l.item}, {"time", l.time}});
  nlohmann::json doc = {
      {"device",
       {{"root", run.root.string()},
        {"iosRelease", p.iosRelease},
        {"foundationVersion", p.foundationVersion},
        {"timeZone", p.timeZone},
        {"now", run.nowISO},
        {"screen", {{"width", p.screenWidth}, {"height", p.screenHeight}, {"scale", p.screenScale}}}}},
      {"tweaks", run.tweaks},
      {"notRead", run.notRead},
      {"clock", {{"time", s.time}, {"date", s.date}}},
      {"events", events},
      {"eventCount", run.eventCount},
      {"listScrollOffset", s.listScrollOffset},
      {"rows", rows},
      {"underlay",
       {{"shown", s.underlay.shown},
        {"requesters", s.underlay.requesters},
        {"requests", requests},
        {"frame", rect(s.underlay.frame)}}},
      {"screenLightings", lightings},
      {"screenLightingCount", s.lightingCount},
      {"log", run.log},
      {"logLineCount", run.logLineCount},
  };
  return doc.dump(2) + "\n";
}

}  // namespace sbhost
