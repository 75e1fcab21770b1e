// Specifier layouts and PreferenceLoader entries: any file gives controls
// (or none) and entries (or none), every one usable, the rest logged.

#include <Foundation/PropertyList.h>
#include <Preferences/PSPreferenceBundle.h>
#include <Preferences/PSSpecifierLayout.h>

#include <cstdint>

#include "FuzzSupport.h"

using fuzzsupport::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::deviceRoot();
  auto& log = fuzzsupport::freshLog();
  const std::string_view bytes = fuzzsupport::asText(data, size);

  // The same bytes as a pane's layout file...
  fuzzsupport::writeDeviceBytes("/Library/PreferenceBundles/Fuzz.bundle/Fuzz.plist", bytes);
  static auto target = objc::create<NSObject>();
  if (auto layout = PSLoadSpecifierLayout("/Library/PreferenceBundles/Fuzz.bundle/Fuzz.plist")) {
    auto items = objc::as<NSArray>(layout->objectForKey("items"));
    auto controls = PSSpecifiersFromLayout(layout.get(), target.get(), "Fuzz.plist");
    check(controls != nullptr, "a layout gives a list of controls");
    check(controls->count() <= (items ? items->count() : 0), "one control at most per entry");
    if (controls->count() < (items ? items->count() : 0))
      check(log.contains("Fuzz.plist"), "left-out entries are logged");
    for (const id& s : *controls) {
      auto control = objc::as<PSSpecifier>(s);
      check(control && PSCellTypeName(control->type()) != nullptr, "every control has a known cell");
      (void)control->descriptionString();
    }
  } else {
    check(log.contains("Fuzz.plist"), "a refused layout is logged");
  }

  // ...and as a PreferenceLoader entry.
  log.clear();
  fuzzsupport::writeDeviceBytes("/Library/PreferenceLoader/Preferences/Fuzz.plist", bytes);
  const auto entries = PSPreferenceLoaderEntries();
  check(entries.size() <= 1, "one file, one entry at most");
  for (const auto& e : entries) {
    check(!e.label.empty(), "an entry has a label");
    check(e.file == "/Library/PreferenceLoader/Preferences/Fuzz.plist", "an entry knows its file");
  }
  if (entries.empty()) check(log.contains("Fuzz.plist"), "a left-out entry is logged");
  return 0;
}
