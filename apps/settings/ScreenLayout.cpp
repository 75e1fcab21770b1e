#include "ScreenLayout.h"

#include "Screens.h"

#include <AppList/ALApplicationList.h>
#include <Foundation/DeviceProfile.h>
#include <Foundation/NSData.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSNumber.h>
#include <Preferences/PSListController.h>
#include <Preferences/PSTableCell.h>
#include <UIKit/UILabel.h>
#include <UIKit/UINavigationController.h>
#include <UIKit/UIScreen.h>
#include <UIKit/UIStringDrawing.h>
#include <UIKit/UITableView.h>
#include <UIKit/UIWebView.h>

#include <algorithm>
#include <cmath>

namespace settings {

namespace {

// The release's Settings tables (points).
constexpr double kBarHeight = 64;        // status bar 20 + navigation bar 44
constexpr double kFirstGroupGap = 35;    // above a first group without a header
constexpr double kGroupGap = 17.5;       // above a later group without a header
constexpr double kHeaderBlock = 38;      // a header's text and the gap above it
constexpr double kFooterMinimum = 17.5;  // below a group without a footer
constexpr double kFooterTextTop = 7;     // from the group's last row to the footer text
constexpr double kFooterTextBottom = 10;
constexpr double kPlainHeaderHeight = 23;
constexpr double kSideMargin = 15;

std::string text(const Ref<NSString>& s) { return s ? s->str() : std::string(); }

double numberOf(const id& value, double fallback) {
  if (auto n = objc::as<NSNumber>(value)) return n->doubleValue();
  if (auto s = objc::as<NSString>(value)) return s->doubleValue();
  return fallback;
}

nlohmann::json jsonOf(const id& value) {
  if (!value) return nullptr;
  if (auto n = objc::as<NSNumber>(value)) {
    switch (n->kind()) {
      case NSNumber::Kind::Boolean: return n->boolValue();
      case NSNumber::Kind::Integer: return n->integerValue();
      case NSNumber::Kind::Unsigned: return n->unsignedIntegerValue();
      case NSNumber::Kind::Real: return n->doubleValue();
    }
  }
  if (auto s = objc::as<NSString>(value)) return s->str();
  return value->descriptionString();
}

/// The wrapped height of a footer's text in the group's width.
double footerTextHeight(const std::string& footer, double width) {
  auto font = footerFont();
  return std::ceil(static_cast<double>(wrapWords(footer, font.get(), width).size()) * font->lineHeight());
}

/// The icon a bundle names in its Info.plist, as the home screen finds it:
/// the files "CFBundleIconFiles" lists (also under "CFBundleIcons"), then
/// "CFBundleIconFile", then "Icon"; the @2x form first.
std::string bundleIconPath(const std::string& bundlePath) {
  auto info = NSDictionary::dictionaryWithContentsOfFile(bundlePath + "/Info.plist");
  std::vector<std::string> names;
  auto addAll = [&](const id& list) {
    if (auto array = objc::as<NSArray>(list))
      for (const id& n : *array)
        if (auto s = objc::as<NSString>(n)) names.push_back(s->str());
  };
  if (info) {
    if (auto icons = objc::as<NSDictionary>(info->objectForKey("CFBundleIcons")))
      if (auto primary = objc::as<NSDictionary>(icons->objectForKey("CFBundlePrimaryIcon")))
        addAll(primary->objectForKey("CFBundleIconFiles"));
    addAll(info->objectForKey("CFBundleIconFiles"));
    if (auto file = objc::as<NSString>(info->objectForKey("CFBundleIconFile"))) names.push_back(file->str());
  }
  names.push_back("Icon");
  for (auto name : names) {
    if (name.size() > 4 && name.ends_with(".png")) name.resize(name.size() - 4);
    for (const char* suffix : {"@2x.png", ".png"}) {
      std::string path = bundlePath;
      path.append("/").append(name).append(suffix);
      if (NSData::dataWithContentsOfFile(path)) return path;
    }
  }
  return "";
}

RowLayout rowFor(const Ref<UITableView>& table, const Ref<NSIndexPath>& path, const Ref<UITableViewCell>& cell,
                 CGRect frame, int number) {
  RowLayout row;
  row.number = number;
  row.frame = frame;
  row.cell = cell;
  row.kind = "UITableViewCell";
  if (!cell) return row;
  row.label = text(cell->textLabel()->text());
  if (auto detail = cell->detailTextLabel()) row.detail = text(detail->text());
  switch (cell->accessoryType()) {
    case UITableViewCellAccessoryDisclosureIndicator: row.control = RowControl::Chevron; break;
    case UITableViewCellAccessoryCheckmark: row.control = RowControl::Checkmark; break;
    default: break;
  }
  if (table->isEditing() && cell->showsReorderControl()) row.control = RowControl::ReorderGrip;

  if (auto ps = objc::as<PSTableCell>(cell); ps && ps->specifier()) {
    const auto& control = *ps->specifier();
    row.kind = PSCellTypeName(control.type());
    row.key = control.stringProperty("key");
    if (control.buttonAction()) row.action = sel_getName(control.buttonAction());
    if (PSCellTypeCarriesValue(control.type())) {
      row.value = ps->value();
      row.valueText = ps->valueText();
    }
    switch (control.type()) {
      case PSSwitchCell:
        row.control = RowControl::Switch;
        row.on = row.valueText == "On";
        break;
      case PSSliderCell:
        row.control = RowControl::Slider;
        row.sliderMin = numberOf(control.property("min"), 0);
        row.sliderMax = numberOf(control.property("max"), 1);
        row.sliderValue = numberOf(ps->value(), row.sliderMin);
        break;
      case PSButtonCell: row.button = true; break;
      default: break;
    }
  }

  // The app chooser's rows: the application and its icon, where it has one.
  id source = table->dataSource();
  if (source && objc::respondsTo(source.get(), SEL_("displayIdentifierForIndexPath:"))) {
    row.appIdentifier = text(objc::msg<Ref<NSString>>(source, SEL_("displayIdentifierForIndexPath:"), path));
    row.iconSlot = true;
    for (const auto& app : ALScanInstalledApplications())
      if (app.displayIdentifier == row.appIdentifier) row.iconPath = bundleIconPath(app.bundlePath);
  }

  objc::msg(cell, SEL_("setFrame:"), CGRectMake(0, 0, frame.size.width, frame.size.height));
  cell->setNeedsLayout();
  cell->layoutIfNeeded();
  if (row.iconSlot) {
    // The icon stands where the text began; the text moves right of it.
    auto label = cell->textLabel();
    CGRect f = label->frame();
    const double shift = 29 + kSideMargin;
    f.origin.x += shift;
    f.size.width = std::max(0.0, std::min(f.size.width, frame.size.width - f.origin.x - kSideMargin));
    objc::msg(label, SEL_("setFrame:"), f);
  }
  return row;
}

void layOutTable(ScreenLayout& screen, const Ref<UITableView>& table) {
  screen.hasTable = true;
  screen.grouped = table->style() == UITableViewStyleGrouped;
  id source = table->dataSource();
  const double width = screen.width;
  double y = 0;
  int number = 1;
  auto sectionCount = objc::msg<NSInteger>(table, SEL_("numberOfSections"));
  for (NSInteger s = 0; s < sectionCount; ++s) {
    SectionLayout section;
    if (objc::respondsTo(source.get(), SEL_("tableView:titleForHeaderInSection:")))
      section.header = text(objc::msg<Ref<NSString>>(source, SEL_("tableView:titleForHeaderInSection:"), table, s));
    if (objc::respondsTo(source.get(), SEL_("tableView:titleForFooterInSection:")))
      section.footer = text(objc::msg<Ref<NSString>>(source, SEL_("tableView:titleForFooterInSection:"), table, s));

    if (screen.grouped) {
      if (!section.header.empty()) {
        auto font = headerFont();
        const double h = std::ceil(font->lineHeight());
        y += s == 0 ? kFirstGroupGap + kHeaderBlock - kHeaderBlock / 2 : kHeaderBlock;
        section.headerFrame = CGRectMake(kSideMargin, y - h - 7, width - 2 * kSideMargin, h);
      } else {
        y += s == 0 ? kFirstGroupGap : kGroupGap;
      }
    } else if (!section.header.empty()) {
      section.headerFrame = CGRectMake(0, y, width, kPlainHeaderHeight);
      y += kPlainHeaderHeight;
    }

    auto rowCount = objc::msg<NSInteger>(table, SEL_("numberOfRowsInSection:"), s);
    for (NSInteger r = 0; r < rowCount; ++r) {
      auto path = NSIndexPath::indexPathForRow(r, s);
      const double h = table->rectForRowAtIndexPath(path).size.height;
      auto cell = objc::msg<Ref<UITableViewCell>>(source, SEL_("tableView:cellForRowAtIndexPath:"), table, path);
      section.rows.push_back(rowFor(table, path, cell, CGRectMake(0, y, width, h), number++));
      y += h;
    }

    if (screen.grouped) {
      if (!section.footer.empty()) {
        const double textWidth = width - 2 * kSideMargin;
        const double h = footerTextHeight(section.footer, textWidth);
        section.footerFrame = CGRectMake(kSideMargin, y + kFooterTextTop, textWidth, h);
        y += kFooterTextTop + h + kFooterTextBottom;
      } else {
        y += kFooterMinimum;
      }
    }
    screen.sections.push_back(std::move(section));
  }
  screen.contentHeight = y + (screen.grouped ? kFirstGroupGap : 0);
}

void layOutPage(ScreenLayout& screen, const Ref<UIViewController>& controller) {
  for (const auto& view : controller->view()->subviewList()) {
    PageViewLayout v;
    v.frame = view->frame();
    if (view->isHidden()) continue;
    if (auto web = objc::as<UIWebView>(view)) {
      v.kind = "web view";
      if (auto request = web->request()) v.text = request->URL()->absoluteString();
      v.loading = web->isLoading();
    } else if (auto label = objc::as<UILabel>(view)) {
      v.kind = "label";
      v.text = text(label->text());
    } else {
      v.kind = object_getClassName(view.get());
    }
    screen.views.push_back(std::move(v));
  }
}

nlohmann::json rectJson(const CGRect& r) {
  return {{"x", r.origin.x}, {"y", r.origin.y}, {"width", r.size.width}, {"height", r.size.height}};
}

}  // namespace

Ref<UIFont> footerFont() { return UIFont::systemFontOfSize(13); }
Ref<UIFont> headerFont() { return UIFont::systemFontOfSize(14); }

std::vector<std::string> wrapWords(const std::string& text, const UIFont* font, double width) {
  std::vector<std::string> lines;
  std::string line;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    std::string word = text.substr(start, end - start);
    std::string joined = line;
    if (!joined.empty()) joined += ' ';
    joined += word;
    if (!line.empty() && advanceWidth(joined, font) > width) {
      lines.push_back(line);
      line = word;
    } else {
      line = joined;
    }
    start = end + 1;
  }
  if (!line.empty() || lines.empty()) lines.push_back(line);
  return lines;
}

const char* rowControlName(RowControl control) {
  switch (control) {
    case RowControl::None: return "none";
    case RowControl::Chevron: return "chevron";
    case RowControl::Checkmark: return "checkmark";
    case RowControl::Switch: return "switch";
    case RowControl::Slider: return "slider";
    case RowControl::ReorderGrip: return "reorder";
  }
  return "none";
}

ScreenLayout layOutTopScreen(SettingsHost& host) {
  ScreenLayout screen;
  const auto& profile = foundation::currentDeviceProfile();
  const CGRect bounds = UIScreen::mainScreen()->bounds();
  screen.width = bounds.size.width;
  screen.height = bounds.size.height;
  screen.scale = UIScreen::mainScreen()->scale();
  screen.release = profile.iosRelease;
  screen.barHeight = kBarHeight;

  auto top = host.topScreen();
  if (!top) return screen;
  screen.title = titleOf(top);
  const auto& stack = host.navigation()->stack();
  // The root screen goes back to Settings' own list of panes.
  screen.backTitle = stack.size() >= 2 ? titleOf(stack[stack.size() - 2]) : "Settings";
  if (screen.backTitle.empty()) screen.backTitle = "Back";

  if (auto table = tableOf(top))
    layOutTable(screen, table);
  else
    layOutPage(screen, top);
  return screen;
}

nlohmann::json screenJson(const ScreenLayout& screen) {
  nlohmann::json j;
  j["title"] = screen.title;
  j["backButton"] = screen.backTitle;
  j["screen"] = {{"width", screen.width}, {"height", screen.height}, {"scale", screen.scale}};
  j["iOSRelease"] = screen.release;
  j["navigationBarHeight"] = screen.barHeight;
  if (screen.hasTable) {
    j["table"] = {{"style", screen.grouped ? "grouped" : "plain"}, {"contentHeight", screen.contentHeight}};
    auto& sections = j["sections"] = nlohmann::json::array();
    for (const auto& s : screen.sections) {
      nlohmann::json sj;
      sj["header"] = s.header;
      sj["footer"] = s.footer;
      if (!s.header.empty()) sj["headerFrame"] = rectJson(s.headerFrame);
      if (!s.footer.empty()) sj["footerFrame"] = rectJson(s.footerFrame);
      auto& rows = sj["rows"] = nlohmann::json::array();
      for (const auto& r : s.rows) {
        nlohmann::json rj{{"number", r.number},
                          {"frame", rectJson(r.frame)},
                          {"label", r.label},
                          {"kind", r.kind},
                          {"accessory", rowControlName(r.control)}};
        if (!r.detail.empty() && r.valueText.empty()) rj["detail"] = r.detail;
        if (!r.key.empty()) {
          rj["key"] = r.key;
          rj["value"] = jsonOf(r.value);
          rj["valueText"] = r.valueText;
        }
        if (!r.action.empty()) rj["action"] = r.action;
        if (r.control == RowControl::Switch) rj["on"] = r.on;
        if (r.control == RowControl::Checkmark) rj["checked"] = true;
        if (r.control == RowControl::Slider)
          rj["slider"] = {{"value", r.sliderValue}, {"min", r.sliderMin}, {"max", r.sliderMax}};
        if (!r.appIdentifier.empty()) {
          rj["application"] = r.appIdentifier;
          rj["icon"] = r.iconPath.empty() ? nlohmann::json(nullptr) : nlohmann::json(r.iconPath);
        }
        rows.push_back(std::move(rj));
      }
      sections.push_back(std::move(sj));
    }
  } else {
    auto& views = j["views"] = nlohmann::json::array();
    for (const auto& v : screen.views) {
      nlohmann::json vj{{"kind", v.kind}, {"frame", rectJson(v.frame)}, {"text", v.text}};
      if (v.kind == "web view") vj["loading"] = v.loading;
      views.push_back(std::move(vj));
    }
  }
  return j;
}

}  // namespace settings
