#include "SettingsCommand.h"

#include "ScreenLayout.h"
#include "Screens.h"
#include "SettingsHost.h"
#include "SettingsRenderer.h"

#include <Foundation/DeviceRoot.h>
#include <Foundation/TerminalText.h>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>

#ifndef QP_DEFAULT_ROOT
#define QP_DEFAULT_ROOT "device"
#endif

namespace settings {

namespace {

/// Tells what went wrong with the device's files during the command, each
/// file once; 1 when a write failed or a preference file could not be read
/// (the pane then refuses to replace it, so the change is not stored).
int reportFileTrouble(std::ostream& out, std::ostream& err) {
  const auto trouble = foundation::takeFileTrouble();
  if (trouble.empty()) return 0;
  out.flush();
  bool failed = !trouble.unwritten.empty();
  for (const auto& path : trouble.unreadable) {
    const bool preference = isPreferenceFile(path);
    failed = failed || preference;
    err << "quillpane-settings: cannot read " << path
        << (preference ? "; it is left as it is, and no change to it is stored\n" : "\n");
  }
  for (const auto& path : trouble.unwritten)
    err << "quillpane-settings: could not write " << path << "; the change is not stored\n";
  return failed ? 1 : 0;
}

}  // namespace

namespace {

int runCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const AfterCommand& afterCommand) {
  CLI::App app{
      "The Settings application of the simulated device, with a preference pane loaded from the device root.\n"
      "Without a command it shows the pane's root screen. Rows are numbered from 1."};
  app.name("quillpane-settings");
  std::string root = QP_DEFAULT_ROOT;
  std::string pane = "Quillpane";
  app.add_option("--root", root, "The device root folder")->capture_default_str();
  app.add_option("--pane", pane, "The Settings entry to open")->capture_default_str();
  std::optional<std::string> pngPath;
  bool json = false, wholeTable = false, firstShown = false;
  app.add_option("--png", pngPath, "Draw the screen shown after the command as a PNG picture, at the screen's size");
  app.add_flag("--json", json, "Print the whole screen state (rows, frames, values, accessories) as JSON instead");
  app.add_flag("--whole", wholeTable, "With --png, draw the whole table, as tall as it is, not only what fits");
  app.add_flag("--as-first-shown", firstShown,
               "Show the screen as it first appears, before queued work (a page's load) has run");
  app.require_subcommand(0, 1);

  auto* show = app.add_subcommand("show", "Show the root screen: every control with its label and value");
  std::string key, value, button;
  auto* set = app.add_subcommand("set", "Change a control, as a person would: set KEY VALUE");
  set->add_option("key", key, "The control's preference key (as `show` lists it)")->required();
  set->add_option("value", value,
                  "on/off for a switch, a value or its title for a list, a number for a slider, "
                  "text for a field")
      ->required();
  auto* choices = app.add_subcommand("choices", "List the values a control can take: choices KEY");
  choices->add_option("key", key, "The control's preference key")->required();
  auto* pressCmd = app.add_subcommand("press", "Press a button or link by its action or label, e.g. followOnTwitter");
  pressCmd->add_option("button", button, "The action (as `show` lists it) or the label")->required();

  std::vector<int> rows;
  int from = 0, to = 0, row = 0;
  auto* calendars = app.add_subcommand("calendars", "Open Reminder Lists");
  auto* toggle = calendars->add_subcommand("toggle", "Tick or untick reminder lists: toggle ROW...");
  toggle->add_option("rows", rows, "Row numbers")->required();
  auto* sort = app.add_subcommand("sort", "Open Sort Order");
  auto* move = sort->add_subcommand("move", "Drag a group to another place: move FROM TO");
  move->add_option("from", from, "The row to drag")->required();
  move->add_option("to", to, "The place it ends up in")->required();
  auto* apps = app.add_subcommand("apps", "Open the app chooser");
  auto* choose = apps->add_subcommand("choose", "Choose the app a tap on a reminder opens: choose ROW");
  choose->add_option("row", row, "Row number")->required();
  auto* otherApps = app.add_subcommand("other-apps", "Open the authors' page of other tweaks");
  auto* panes = app.add_subcommand("panes", "List the panes Settings offers");
  for (auto* sub : {calendars, sort, apps}) sub->require_subcommand(0, 1);
  // --png and --json may stand anywhere, after a command too.
  for (auto* sub : {show, set, choices, pressCmd, calendars, toggle, sort, move, apps, choose, otherApps})
    sub->fallthrough();

  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& e) {
    return app.exit(e, out, err);
  }

  (void)foundation::takeFileTrouble();  // only this command's is reported
  try {
    if (panes->parsed()) {
      checkDeviceRoot(root);
      foundation::setDeviceRoot(root);
      listPanes(out);
      return 0;
    }
    checkDeviceRoot(root);
    foundation::setDeviceRoot(root);
    // Every command reads the preference files, changes them and writes
    // them back; a second Settings process on this root waits its turn
    // rather than have one of the two changes lost.
    foundation::DeviceFolderLock preferencesLock(kPreferencesFolder);
    // With --json the command's own lines go into the JSON.
    std::ostringstream captured;
    SettingsHost host(json ? static_cast<std::ostream&>(captured) : out);
    host.open(root, pane);
    host.holdQueuedWork(firstShown);
    if (set->parsed())
      setControl(host, key, value);
    else if (choices->parsed()) {
      showChoices(host, key);
      openChoices(host, key);
    } else if (pressCmd->parsed()) {
      auto before = host.topScreen();
      press(host, button);
      host.settle();
      if (host.topScreen() != before) showTop(host);
    } else if (calendars->parsed()) {
      openScreen(host, "selectCalendars");
      if (toggle->parsed()) tapRows(host, rows);
    } else if (sort->parsed()) {
      openScreen(host, "changeSortOrder");
      if (move->parsed()) moveRow(host, from, to);
    } else if (apps->parsed()) {
      openScreen(host, "selectAppToOpen");
      if (choose->parsed()) {
        tapRows(host, {row});
        if (host.topScreen().get() == host.rootScreen().get()) showValue(host, "customLaunchAppBundleID");
      }
    } else if (otherApps->parsed()) {
      openScreen(host, "viewOtherApps");
    } else {
      (void)show;
      showRoot(host);
    }
    if (afterCommand) {
      host.settle();
      afterCommand(host);
    }
    if (pngPath || json) {
      host.settle();
      const ScreenLayout screen = layOutTopScreen(host);
      if (pngPath) {
        cairo_surface_t* surface = renderScreen(screen, wholeTable);
        std::string why;
        const bool written = writeScreenPNG(surface, *pngPath, why);
        cairo_surface_destroy(surface);
        if (!written) throw HostError(why);
        if (!json) out << "Picture: " << std::filesystem::absolute(*pngPath).string() << "\n";
      }
      if (json) {
        auto state = screenJson(screen);
        state["output"] = captured.str();
        if (pngPath) state["picture"] = std::filesystem::absolute(*pngPath).string();
        out << state.dump(2) << "\n";
      }
    }
    return reportFileTrouble(out, err);
  } catch (const HostError& e) {
    out.flush();
    (void)reportFileTrouble(out, err);
    err << "quillpane-settings: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace

int runSettingsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return runSettingsCommand(args, out, err, nullptr);
}

int runSettingsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                       const AfterCommand& afterCommand) {
  // Names shown come from the device's files (list names, app names); none
  // may steer the terminal.
  foundation::TerminalTextBuffer outBuffer(out.rdbuf()), errBuffer(err.rdbuf());
  std::ostream filteredOut(&outBuffer), filteredErr(&errBuffer);
  const int code = runCommand(args, filteredOut, filteredErr, afterCommand);
  filteredOut.flush();
  filteredErr.flush();
  return code;
}

}  // namespace settings
