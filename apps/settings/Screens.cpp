#include "Screens.h"

#include <Foundation/DeviceRoot.h>
#include <Preferences/PSPreferenceBundle.h>
#include <Preferences/PSTableCell.h>
#include <UIKit/UILabel.h>
#include <UIKit/UITableViewController.h>
#include <UIKit/UIWebView.h>

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <sstream>

namespace settings {

namespace {

struct Row {
  int number;  ///< as the person counts: from 1, across sections
  Ref<NSIndexPath> path;
  Ref<UITableViewCell> cell;
};
struct Section {
  std::string header, footer;
  std::vector<Row> rows;
};

std::string text(const Ref<NSString>& s) { return s ? s->str() : std::string(); }

std::string lowercase(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

/// Every row of a table as its data source builds it when the row is shown.
std::vector<Section> readTable(const Ref<UITableView>& table) {
  std::vector<Section> sections;
  id source = table->dataSource();
  int number = 1;
  auto sectionCount = objc::msg<NSInteger>(table, SEL_("numberOfSections"));
  for (NSInteger s = 0; s < sectionCount; ++s) {
    Section section;
    if (objc::respondsTo(source.get(), SEL_("tableView:titleForHeaderInSection:")))
      section.header = text(objc::msg<Ref<NSString>>(source, SEL_("tableView:titleForHeaderInSection:"), table, s));
    if (objc::respondsTo(source.get(), SEL_("tableView:titleForFooterInSection:")))
      section.footer = text(objc::msg<Ref<NSString>>(source, SEL_("tableView:titleForFooterInSection:"), table, s));
    auto rowCount = objc::msg<NSInteger>(table, SEL_("numberOfRowsInSection:"), s);
    for (NSInteger r = 0; r < rowCount; ++r) {
      auto path = NSIndexPath::indexPathForRow(r, s);
      auto cell = objc::msg<Ref<UITableViewCell>>(source, SEL_("tableView:cellForRowAtIndexPath:"), table, path);
      section.rows.push_back({number++, path, cell});
    }
    sections.push_back(std::move(section));
  }
  return sections;
}

std::vector<Row> allRows(const std::vector<Section>& sections) {
  std::vector<Row> rows;
  for (const auto& s : sections) rows.insert(rows.end(), s.rows.begin(), s.rows.end());
  return rows;
}

Ref<PSListController> rootOf(SettingsHost& host) {
  auto root = host.rootScreen();
  if (!root) throw HostError("no pane is open");
  return root;
}

std::string usageOf(const PSSpecifier& control) {
  if (control.type() == PSButtonCell || control.type() == PSLinkCell) {
    SEL action = control.buttonAction();
    return action ? std::string("press ") + sel_getName(action) : control.stringProperty("detail");
  }
  return control.stringProperty("key");
}

void printListScreen(std::ostream& out, const Ref<PSListController>& screen) {
  out << titleOf(screen) << "\n";
  for (const auto& section : readTable(screen->table())) {
    out << "\n";
    if (!section.header.empty()) out << "  " << section.header << "\n";
    for (const auto& row : section.rows) {
      auto cell = objc::as<PSTableCell>(row.cell);
      auto control = cell ? cell->specifier() : nullptr;
      if (!control) continue;
      std::string value = PSCellTypeCarriesValue(control->type()) ? cell->valueText()
                          : control->type() == PSLinkCell         ? ">"
                                                                  : "";
      out << fmt::format("    {:<30} {:<32} {}\n", control->label(), value, usageOf(*control));
    }
    if (!section.footer.empty()) out << "    (" << section.footer << ")\n";
  }
}

void printTableScreen(std::ostream& out, const Ref<UIViewController>& screen, const Ref<UITableView>& table) {
  if (!titleOf(screen).empty()) out << titleOf(screen) << "\n";
  id source = table->dataSource();
  bool answersIdentifier = objc::respondsTo(source.get(), SEL_("displayIdentifierForIndexPath:"));
  auto sections = readTable(table);
  if (allRows(sections).empty()) out << "  (no rows)\n";
  for (const auto& section : sections) {
    if (!section.header.empty()) out << section.header << "\n";
    for (const auto& row : section.rows) {
      const auto& cell = row.cell;
      std::string marks;
      bool checked = cell && cell->accessoryType() == UITableViewCellAccessoryCheckmark;
      if (table->allowsMultipleSelection())
        marks += checked ? "[x] " : "[ ] ";
      else if (checked)
        marks += "✓ ";
      if (table->isEditing() && cell && cell->showsReorderControl()) marks += "≡ ";
      std::string line = cell ? text(cell->textLabel()->text()) : std::string("(empty row)");
      if (auto detail = cell ? cell->detailTextLabel() : nullptr; detail && !text(detail->text()).empty())
        line += " — " + text(detail->text());
      if (answersIdentifier)
        line += "  (" + text(objc::msg<Ref<NSString>>(source, SEL_("displayIdentifierForIndexPath:"), row.path)) + ")";
      out << fmt::format("  {:>2}. {}{}\n", row.number, marks, line);
    }
  }
}

void printPage(std::ostream& out, const Ref<UIViewController>& screen) {
  out << titleOf(screen) << "\n";
  for (const auto& view : screen->view()->subviewList()) {
    CGRect f = view->frame();
    std::string place = fmt::format("at x {} y {}, {} x {}", f.origin.x, f.origin.y, f.size.width, f.size.height);
    if (auto web = objc::as<UIWebView>(view)) {
      auto request = web->request();
      out << "  web view " << place << ": " << (request ? request->URL()->absoluteString() : std::string("(empty)"))
          << (web->isLoading() ? " (loading)" : " (not loading)") << "\n";
    } else if (auto label = objc::as<UILabel>(view)) {
      out << "  label " << place << ": \"" << text(label->text()) << "\"\n";
    } else {
      out << "  " << object_getClassName(view.get()) << " " << place << "\n";
    }
  }
}

std::string screenText(const Ref<UIViewController>& screen) {
  std::ostringstream out;
  if (auto list = objc::as<PSListController>(screen))
    printListScreen(out, list);
  else if (auto table = tableOf(screen))
    printTableScreen(out, screen, table);
  else if (screen)
    printPage(out, screen);
  return out.str();
}

struct KeyRow {
  Row row;
  Ref<PSSpecifier> control;
};

KeyRow findKey(SettingsHost& host, const std::string& key) {
  auto root = rootOf(host);
  std::string keys;
  for (const auto& row : allRows(readTable(root->table()))) {
    auto cell = objc::as<PSTableCell>(row.cell);
    auto control = cell ? cell->specifier() : nullptr;
    if (!control || !PSCellTypeCarriesValue(control->type())) continue;
    std::string k = control->stringProperty("key");
    if (k == key) return {row, control};
    keys += (keys.empty() ? "" : ", ") + k;
  }
  throw HostError("no control stores \"" + key + "\"; the keys are: " + keys);
}

Ref<PSTableCell> cellAt(const Ref<PSListController>& root, const Ref<NSIndexPath>& path) {
  auto table = root->table();
  return objc::as<PSTableCell>(
      objc::msg<Ref<UITableViewCell>>(table->dataSource(), SEL_("tableView:cellForRowAtIndexPath:"), table, path));
}

Row rowOnTop(SettingsHost& host, int number, Ref<UITableView>* tableOut) {
  auto top = host.topScreen();
  auto table = tableOf(top);
  if (!table) throw HostError("\"" + titleOf(top) + "\" has no rows");
  auto rows = allRows(readTable(table));
  if (number < 1 || size_t(number) > rows.size())
    throw HostError(rows.empty()
                        ? "row " + std::to_string(number) + " is out of range: \"" + titleOf(top) + "\" has no rows"
                        : "row " + std::to_string(number) + " is out of range: \"" + titleOf(top) +
                              "\" has rows 1 to " + std::to_string(rows.size()));
  *tableOut = table;
  return rows[size_t(number - 1)];
}

}  // namespace

bool isPreferenceFile(std::string_view devicePath) {
  return devicePath.starts_with(kPreferencesFolder) && devicePath.size() > kPreferencesFolder.size() &&
         devicePath[kPreferencesFolder.size()] == '/';
}

bool changesStored() {
  const auto trouble = foundation::peekFileTrouble();
  return trouble.unwritten.empty() && std::none_of(trouble.unreadable.begin(), trouble.unreadable.end(),
                                                   [](const std::string& path) { return isPreferenceFile(path); });
}

Ref<UITableView> tableOf(const Ref<UIViewController>& screen) {
  if (auto list = objc::as<PSListController>(screen)) return list->table();
  if (auto tvc = objc::as<UITableViewController>(screen)) return tvc->tableView();
  return nullptr;
}

std::string titleOf(const Ref<UIViewController>& screen) {
  if (!screen) return "";
  std::string title = text(screen->navigationItem()->title());
  return title.empty() ? text(screen->title()) : title;
}

void showRoot(SettingsHost& host) { host.out() << screenText(rootOf(host)); }

void showTop(SettingsHost& host) { host.out() << screenText(host.topScreen()); }

void showValue(SettingsHost& host, const std::string& key) {
  auto [row, control] = findKey(host, key);
  std::string value = cellAt(rootOf(host), row.path)->valueText();
  host.out() << control->label() << " [" << key << "]: " << (value.empty() ? "(no value)" : value) << "\n";
}

void showChoices(SettingsHost& host, const std::string& key) {
  auto [row, control] = findKey(host, key);
  auto& out = host.out();
  std::string current = cellAt(rootOf(host), row.path)->valueText();
  out << control->label() << " [" << key << "], now " << (current.empty() ? "(no value)" : current) << ":\n";
  switch (control->type()) {
    case PSSwitchCell: out << "  on, off\n"; break;
    case PSLinkListCell:
    case PSSegmentCell:
      if (auto values = control->values())
        for (const id& v : *values)
          out << fmt::format("  {:<12} {}\n", v->descriptionString(), control->titleForValue(v.get()).value_or(""));
      break;
    case PSSliderCell:
      out << "  a number from " << (control->property("min") ? control->property("min")->descriptionString() : "?")
          << " to " << (control->property("max") ? control->property("max")->descriptionString() : "?") << "\n";
      break;
    default:
      bool number = control->stringProperty("keyboard") == "numbers" || control->property("isNumeric");
      out << (number ? "  a whole number\n" : "  any text\n");
  }
}

void openChoices(SettingsHost& host, const std::string& key) {
  auto [row, control] = findKey(host, key);
  if (control->type() != PSLinkListCell) return;
  rootOf(host)->table()->tapRowAtIndexPath(row.path);
  host.settle();
}

void setControl(SettingsHost& host, const std::string& key, const std::string& value) {
  auto root = rootOf(host);
  auto [row, control] = findKey(host, key);
  auto cell = cellAt(root, row.path);
  std::string error;
  id produced = PSTableCell::controlValueForInput(*control, value, &error);
  if (!produced) throw HostError(error);
  std::string after = PSTableCell::textForValue(*control, produced.get());
  const std::string before = cell->valueText();
  if (!cell->takeInput(value, &error)) throw HostError(error);
  host.settle();
  // The new value is told only once it is in its file: a pane showing it
  // from memory after a failed write has not kept it.
  const std::string head = control->label() + " [" + key + "]: ";
  if (!changesStored()) {
    host.out() << head << before << " (" << after << " was not stored)\n";
    return;
  }
  // Shown again, the row reads its value back from the pane.
  std::string shown = cellAt(root, row.path)->valueText();
  if (shown != after) throw HostError("the pane did not keep the change: " + control->label() + " shows " + shown);
  host.out() << head << before << " -> " << after << "\n";
}

void press(SettingsHost& host, const std::string& button) {
  auto root = rootOf(host);
  std::string names;
  for (const auto& row : allRows(readTable(root->table()))) {
    auto cell = objc::as<PSTableCell>(row.cell);
    auto control = cell ? cell->specifier() : nullptr;
    if (!control || (control->type() != PSButtonCell && control->type() != PSLinkCell)) continue;
    std::string action = control->buttonAction() ? sel_getName(control->buttonAction()) : "";
    if (action == button || lowercase(control->label()) == lowercase(button)) {
      host.out() << "Pressed " << control->label() << "\n";
      if (!root->table()->tapRowAtIndexPath(row.path)) throw HostError(control->label() + " cannot be pressed");
      return;
    }
    names += (names.empty() ? "" : ", ") + (action.empty() ? control->label() : action);
  }
  throw HostError("no button \"" + button + "\"; the buttons are: " + names);
}

void openScreen(SettingsHost& host, const std::string& button) {
  auto before = host.topScreen();
  press(host, button);
  auto top = host.topScreen();
  if (top == before) {
    host.settle();
    throw HostError("pressing " + button + " opened no screen");
  }
  // As the screen first shows, then once queued work (loads, callbacks) has run.
  std::string first = screenText(top);
  host.out() << first;
  host.settle();
  std::string settled = screenText(host.topScreen());
  if (settled != first) host.out() << "\nA moment later:\n" << settled;
}

void tapRows(SettingsHost& host, const std::vector<int>& rows) {
  auto screen = host.topScreen();
  for (int number : rows) {
    host.settle();
    if (host.topScreen() != screen) throw HostError("the screen closed before row " + std::to_string(number));
    Ref<UITableView> table;
    Row row = rowOnTop(host, number, &table);
    std::string label = row.cell ? text(row.cell->textLabel()->text()) : std::string();
    host.out() << "Tapped row " << number << ": " << label << "\n";
    if (!table->tapRowAtIndexPath(row.path)) throw HostError("row " + std::to_string(number) + " cannot be tapped");
  }
  host.settle();
  if (host.topScreen() != screen)
    host.out() << "Back on " << titleOf(host.topScreen()) << "\n";
  else
    showTop(host);
}

void moveRow(SettingsHost& host, int from, int to) {
  Ref<UITableView> table;
  Row source = rowOnTop(host, from, &table);
  Row target = rowOnTop(host, to, &table);
  host.out() << "Moved row " << from << " to place " << to << "\n";
  if (!table->moveRow(source.path, target.path)) throw HostError("rows cannot be moved on this screen");
  host.settle();
  showTop(host);
}

void listPanes(std::ostream& out) {
  auto entries = PSPreferenceLoaderEntries();
  if (entries.empty()) out << "(no pane is installed)\n";
  for (const auto& e : entries) out << fmt::format("{:<20} {}\n", e.label, e.bundlePath);
}

}  // namespace settings
