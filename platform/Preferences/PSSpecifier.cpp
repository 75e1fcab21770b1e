#include <Preferences/PSSpecifier.h>

#include <objc/ClassBuilder.h>

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<const char*, PSCellType>, 15> kCellNames{{
    {"PSGroupCell", PSGroupCell},
    {"PSLinkCell", PSLinkCell},
    {"PSLinkListCell", PSLinkListCell},
    {"PSListItemCell", PSListItemCell},
    {"PSTitleValueCell", PSTitleValueCell},
    {"PSSliderCell", PSSliderCell},
    {"PSSwitchCell", PSSwitchCell},
    {"PSStaticTextCell", PSStaticTextCell},
    {"PSEditTextCell", PSEditTextCell},
    {"PSSegmentCell", PSSegmentCell},
    {"PSGiantIconCell", PSGiantIconCell},
    {"PSGiantCell", PSGiantCell},
    {"PSSecureEditTextCell", PSSecureEditTextCell},
    {"PSButtonCell", PSButtonCell},
    {"PSEditTextViewCell", PSEditTextViewCell},
}};

}  // namespace

std::optional<PSCellType> PSCellTypeFromString(std::string_view name) {
  for (const auto& [text, type] : kCellNames)
    if (name == text) return type;
  return std::nullopt;
}

const char* PSCellTypeName(PSCellType type) {
  for (const auto& [text, t] : kCellNames)
    if (t == type) return text;
  return "PSUnknownCell";
}

bool PSCellTypeCarriesValue(PSCellType type) {
  switch (type) {
    case PSLinkListCell:
    case PSTitleValueCell:
    case PSSliderCell:
    case PSSwitchCell:
    case PSEditTextCell:
    case PSSecureEditTextCell:
    case PSSegmentCell:
    case PSEditTextViewCell: return true;
    default: return false;
  }
}

Class PSSpecifier::classObject() {
  static Class cls = objc::ClassBuilder<PSSpecifier, NSObject>("PSSpecifier")
                         .method<&PSSpecifier::properties>("properties")
                         .method<&PSSpecifier::propertyForKey>("propertyForKey:")
                         .method<&PSSpecifier::setPropertyForKey>("setProperty:forKey:")
                         .method<&PSSpecifier::name>("name")
                         .method<&PSSpecifier::setName>("setName:")
                         .method<&PSSpecifier::identifier>("identifier")
                         .method<&PSSpecifier::setIdentifier>("setIdentifier:")
                         .method<&PSSpecifier::cellType>("cellType")
                         .method<&PSSpecifier::target>("target")
                         .method<&PSSpecifier::setTarget>("setTarget:")
                         .method<&PSSpecifier::values>("values")
                         .method<&PSSpecifier::titleDictionary>("titleDictionary")
                         .method<&PSSpecifier::setValuesTitles>("setValues:titles:")
                         .method<&PSSpecifier::performGetter>("performGetter")
                         .method<&PSSpecifier::performSetterWithValue>("performSetterWithValue:")
                         .ivar<&PSSpecifier::properties_>("_properties")
                         .ivar<&PSSpecifier::name_>("name")
                         .ivar<&PSSpecifier::cellType_>("cellType")
                         .ivar<&PSSpecifier::values_>("_values")
                         .ivar<&PSSpecifier::titles_>("_titleDict")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(PSSpecifier);

Ref<PSSpecifier> PSSpecifier::preferenceSpecifierNamed(std::string_view name, NSObject* target, SEL setter, SEL getter,
                                                       PSCellType cell) {
  auto control = objc::create<PSSpecifier>();
  control->name_ = NSStr(name);
  control->target_ = target;
  control->setter_ = setter;
  control->getter_ = getter;
  control->cellType_ = cell;
  return control;
}

Ref<PSSpecifier> PSSpecifier::groupSpecifierWithName(std::string_view name) {
  return preferenceSpecifierNamed(name, nullptr, nullptr, nullptr, PSGroupCell);
}

id PSSpecifier::propertyForKey(Ref<NSString> key) { return key ? properties_->objectForKey(key.get()) : id(); }

void PSSpecifier::setPropertyForKey(id value, Ref<NSString> key) {
  if (!key) return;
  if (value)
    properties_->setObjectForKey(std::move(value), id(key));
  else
    properties_->removeObjectForKey(key.get());
}

Ref<NSString> PSSpecifier::identifier() const { return identifier_ ? identifier_ : name_; }

void PSSpecifier::setValuesTitles(Ref<NSArray> values, Ref<NSArray> titles) {
  values_ = values;
  auto dict = NSMutableDictionary::dictionary();
  if (values && titles) {
    uint64_t n = std::min(values->count(), titles->count());
    for (uint64_t i = 0; i < n; ++i) dict->setObjectForKey(titles->objectAtIndex(i), values->objectAtIndex(i));
  }
  titles_ = dict;
}

id PSSpecifier::performGetter() {
  id target = target_.lock();
  if (!target || !getter_) return id();
  return objc::msg<id>(target, getter_, Ref<PSSpecifier>(this));
}

void PSSpecifier::performSetterWithValue(id value) {
  id target = target_.lock();
  if (!target || !setter_) return;
  objc::msg<void>(target, setter_, std::move(value), Ref<PSSpecifier>(this));
}

std::string PSSpecifier::stringProperty(std::string_view key) const {
  auto* s = dynamic_cast<const NSString*>(properties_->objectForKey(key).get());
  return s ? s->str() : std::string();
}

std::optional<std::string> PSSpecifier::titleForValue(const NSObject* value) const {
  if (!value || !titles_) return std::nullopt;
  auto title = titles_->objectForKey(value);
  if (!title) return std::nullopt;
  return title->descriptionString();
}

std::string PSSpecifier::descriptionString() const {
  return "<PSSpecifier " + label() + " " + PSCellTypeName(cellType_) + ">";
}
