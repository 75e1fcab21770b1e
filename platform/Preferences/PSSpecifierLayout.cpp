#include <Preferences/PSSpecifierLayout.h>

#include <Foundation/NSData.h>
#include <Foundation/NSLog.h>

namespace {

Ref<NSString> stringAt(const NSDictionary* entry, std::string_view key) {
  return objc::as<NSString>(entry->objectForKey(key));
}

Ref<PSSpecifier> specifierFromEntry(const NSDictionary* entry, NSObject* target, std::string_view source,
                                    uint64_t index) {
  auto cellName = stringAt(entry, "cell");
  auto cell = cellName ? PSCellTypeFromString(cellName->str()) : std::nullopt;
  if (!cell) {
    NSLog("Preferences: %s item %lu: unknown cell %@, left out", source, index, cellName);
    return nullptr;
  }
  auto label = stringAt(entry, "label");
  auto control =
      PSSpecifier::preferenceSpecifierNamed(label ? label->str() : std::string(), target, nullptr, nullptr, *cell);
  // The whole entry becomes the properties, as the device's reader keeps it.
  control->properties()->addEntriesFromDictionary(entry);
  if (auto ident = stringAt(entry, "id"))
    control->setIdentifier(ident);
  else if (auto key = stringAt(entry, "key"))
    control->setIdentifier(key);

  if (PSCellTypeCarriesValue(*cell))
    control->setGetterSetter(SEL_("readPreferenceValue:"), SEL_("setPreferenceValue:specifier:"));
  if (auto action = stringAt(entry, "action"); action && !action->str().empty())
    control->setButtonAction(sel_registerName(action->UTF8String()));

  auto values = objc::as<NSArray>(entry->objectForKey("validValues"));
  auto titles = objc::as<NSArray>(entry->objectForKey("validTitles"));
  if (values || titles) {
    if (!values || !titles || values->count() != titles->count())
      NSLog("Preferences: %s item %lu (%@): validValues and validTitles do not pair up", source, index, label);
    control->setValuesTitles(values, titles);
  }
  return control;
}

}  // namespace

Ref<NSMutableArray> PSSpecifiersFromLayout(const NSDictionary* layout, NSObject* target, std::string_view source) {
  auto result = NSMutableArray::array();
  if (!layout) return result;
  auto items = objc::as<NSArray>(layout->objectForKey("items"));
  if (!items) {
    NSLog("Preferences: %s has no items array", source);
    return result;
  }
  uint64_t index = 0;
  for (const id& item : *items) {
    auto entry = objc::as<NSDictionary>(item);
    if (!entry)
      NSLog("Preferences: %s item %lu is not a dictionary, left out", source, index);
    else if (auto control = specifierFromEntry(entry.get(), target, source, index))
      result->addObject(control);
    ++index;
  }
  return result;
}

Ref<NSDictionary> PSLoadSpecifierLayout(const std::string& devicePath) {
  auto layout = NSDictionary::dictionaryWithContentsOfFile(devicePath);
  if (!layout) {
    if (NSData::dataWithContentsOfFile(devicePath))
      NSLog("Preferences: %s is not a specifier layout", devicePath);
    else
      NSLog("Preferences: no specifier layout at %s", devicePath);
  }
  return layout;
}
