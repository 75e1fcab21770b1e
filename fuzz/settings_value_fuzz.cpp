// The Settings host's `set KEY VALUE`: any text given to any control of the
// pane gives a value or a reason. A value the control produced, shown as
// the row shows it and given back, produces the same value again; a
// slider's value stays within its bounds.

#include <Foundation/NSNumber.h>
#include <Foundation/NSString.h>
#include <Foundation/PropertyList.h>
#include <Preferences/PSSpecifierLayout.h>
#include <Preferences/PSTableCell.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "FuzzSupport.h"

using fuzzsupport::check;

namespace {

/// The pane's own controls, from its layout in the source tree, plus a
/// slider with awkward bounds and a numeric field.
const std::vector<Ref<PSSpecifier>>& controls() {
  static const auto list = [] {
    std::vector<Ref<PSSpecifier>> out;
    std::ifstream in(QP_SOURCE_DIR "/prefs/Resources/QuillpanePrefs.plist", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string extra = R"(<plist version="1.0"><dict><key>items</key><array>
      <dict><key>cell</key><string>PSSliderCell</string><key>key</key><string>s</string>
        <key>min</key><real>0.1</real><key>max</key><real>0.7</real></dict>
      <dict><key>cell</key><string>PSSliderCell</string><key>key</key><string>t</string>
        <key>min</key><integer>0</integer><key>max</key><integer>10</integer>
        <key>isSegmented</key><true/><key>segmentCount</key><integer>3</integer></dict>
      <dict><key>cell</key><string>PSEditTextCell</string><key>key</key><string>n</string>
        <key>isNumeric</key><true/></dict>
      <dict><key>cell</key><string>PSEditTextCell</string><key>key</key><string>m</string>
        <key>keyboard</key><string>numbers</string></dict></array></dict></plist>)";
    static auto target = objc::create<NSObject>();
    for (const std::string& layout : {bytes, extra}) {
      auto d = objc::as<NSDictionary>(
          foundation::propertyListFromBytes(layout, foundation::PropertyListRoot::Dictionary, "layout"));
      if (!d) std::abort();
      auto controls = PSSpecifiersFromLayout(d.get(), target.get(), "layout");
      for (const id& s : *controls)
        if (auto control = objc::as<PSSpecifier>(s); control && PSCellTypeCarriesValue(control->type()))
          out.push_back(control);
    }
    if (out.size() < 5) std::abort();
    return out;
  }();
  return list;
}

bool closeEnough(const NSObject& a, const NSObject& b) {
  if (a.isEqualTo(b)) return true;
  auto* x = dynamic_cast<const NSNumber*>(&a);
  auto* y = dynamic_cast<const NSNumber*>(&b);
  if (!x || !y) return false;
  const double u = x->doubleValue(), v = y->doubleValue();
  return std::fabs(u - v) <= 1e-6 * std::max(1.0, std::fabs(u));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::freshLog();
  const std::string_view text = fuzzsupport::asText(data, size);
  for (const auto& control : controls()) {
    std::string error;
    id value = PSTableCell::controlValueForInput(*control, text, &error);
    if (!value) {
      check(!error.empty(), "a refused value says why");
      continue;
    }
    const std::string shown = PSTableCell::textForValue(*control, value.get());
    std::string again;
    id back = PSTableCell::controlValueForInput(*control, shown, &again);
    if (!back) std::fprintf(stderr, "%s: \"%s\" refused: %s\n", control->label().c_str(), shown.c_str(), again.c_str());
    check(back && closeEnough(*value, *back), "a value shown and given back is the same value");
    if (control->type() == PSSliderCell) {
      const double v = objc::as<NSNumber>(value)->doubleValue();
      auto bound = [&](const char* key) { return objc::as<NSNumber>(control->property(key)); };
      if (auto lo = bound("min")) check(v >= lo->doubleValue(), "a slider stays above its minimum");
      if (auto hi = bound("max")) check(v <= hi->doubleValue(), "a slider stays below its maximum");
    }
  }
  return 0;
}
