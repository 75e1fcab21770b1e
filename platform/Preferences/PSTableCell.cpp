#include <Preferences/PSTableCell.h>

#include <Foundation/NSNumber.h>
#include <objc/ClassBuilder.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

std::string lowercase(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return out;
}

std::optional<bool> switchPosition(std::string_view text) {
  std::string t = lowercase(text);
  if (t == "on" || t == "true" || t == "yes" || t == "1") return true;
  if (t == "off" || t == "false" || t == "no" || t == "0") return false;
  return std::nullopt;
}

bool truthOf(const NSObject* value) {
  if (auto* n = dynamic_cast<const NSNumber*>(value)) return n->boolValue();
  if (auto* s = dynamic_cast<const NSString*>(value)) return s->boolValue();
  return false;
}

std::optional<double> numberProperty(const PSSpecifier& control, std::string_view key) {
  auto value = control.property(key);
  if (auto* n = dynamic_cast<const NSNumber*>(value.get())) return n->doubleValue();
  if (auto* s = dynamic_cast<const NSString*>(value.get())) return s->doubleValue();
  return std::nullopt;
}

bool wholeNumber(std::string_view text, bool allowSign) {
  if (allowSign && !text.empty() && text.front() == '-') text.remove_prefix(1);
  return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::string numberText(double v) {
  char buf[32];
  if (std::floor(v) == v && std::fabs(v) < 1e15)
    std::snprintf(buf, sizeof buf, "%.0f", v);
  else
    std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

std::string choicesText(const PSSpecifier& control) {
  std::string out;
  auto values = control.values();
  if (!values) return out;
  for (const id& v : *values) {
    if (!out.empty()) out += ", ";
    auto title = control.titleForValue(v.get());
    out += title ? *title + " (" + v->descriptionString() + ")" : v->descriptionString();
  }
  return out;
}

// The choice of a list or segment: a value as written, else a title.
id listChoice(const PSSpecifier& control, std::string_view text, std::string* error) {
  auto values = control.values();
  if (values) {
    for (const id& v : *values)
      if (v->descriptionString() == text) return v;
    for (const id& v : *values) {
      auto title = control.titleForValue(v.get());
      if (title && lowercase(*title) == lowercase(text)) return v;
    }
  }
  if (error)
    *error =
        "\"" + std::string(text) + "\" is not a choice of " + control.label() + "; choices: " + choicesText(control);
  return nullptr;
}

}  // namespace

Class PSTableCell::classObject() {
  static Class cls = objc::ClassBuilder<PSTableCell, UITableViewCell>("PSTableCell")
                         .method<&PSTableCell::specifier>("specifier")
                         .method<&PSTableCell::setSpecifier>("setSpecifier:")
                         .method<&PSTableCell::value>("value")
                         .method<&PSTableCell::setValue>("setValue:")
                         .method<&PSTableCell::refreshCellContentsWithSpecifier>("refreshCellContentsWithSpecifier:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(PSTableCell);

Ref<PSTableCell> PSTableCell::cellForSpecifier(Ref<PSSpecifier> control) {
  NSInteger style = PSCellTypeCarriesValue(control->type()) ? UITableViewCellStyleValue1 : UITableViewCellStyleDefault;
  auto cell = objc::cast<PSTableCell>(objc::msg<id>(objc::alloc<PSTableCell>(), SEL_("initWithStyle:reuseIdentifier:"),
                                                    style, NSStr(PSCellTypeName(control->type()))));
  switch (control->type()) {
    case PSLinkCell:
    case PSLinkListCell: cell->setAccessoryType(UITableViewCellAccessoryDisclosureIndicator); break;
    case PSButtonCell: break;
    default: cell->setSelectionStyle(UITableViewCellSelectionStyleNone);
  }
  objc::msg<void>(cell, SEL_("refreshCellContentsWithSpecifier:"), control);
  return cell;
}

void PSTableCell::setValue(id value) {
  value_ = std::move(value);
  if (auto detail = detailTextLabel()) objc::msg<void>(detail, SEL_("setText:"), NSStr(valueText()));
}

void PSTableCell::refreshCellContentsWithSpecifier(Ref<PSSpecifier> control) {
  specifier_ = control;
  if (!control) return;
  objc::msg<void>(textLabel(), SEL_("setText:"), control->name());
  // The row reads its value each time it is shown: the getter decides.
  if (PSCellTypeCarriesValue(control->type())) setValue(control->performGetter());
}

std::string PSTableCell::valueText() const { return specifier_ ? textForValue(*specifier_, value_.get()) : ""; }

std::string PSTableCell::textForValue(const PSSpecifier& control, const NSObject* value) {
  if (!value) return "";
  switch (control.type()) {
    case PSSwitchCell: return truthOf(value) ? "On" : "Off";
    case PSLinkListCell:
    case PSSegmentCell: return control.titleForValue(value).value_or(value->descriptionString());
    case PSSliderCell:
      if (auto* n = dynamic_cast<const NSNumber*>(value)) return numberText(n->doubleValue());
      return value->descriptionString();
    default: return value->descriptionString();
  }
}

id PSTableCell::controlValueForInput(const PSSpecifier& control, std::string_view text, std::string* error) {
  auto refuse = [&](std::string why) -> id {
    if (error) *error = std::move(why);
    return nullptr;
  };
  switch (control.type()) {
    case PSSwitchCell: {
      auto on = switchPosition(text);
      if (!on) return refuse(control.label() + " is a switch: give on or off, not \"" + std::string(text) + "\"");
      return NSNumber::numberWithBool(*on);
    }
    case PSLinkListCell:
    case PSSegmentCell: return listChoice(control, text, error);
    case PSSliderCell: {
      std::string t(text);
      char* end = nullptr;
      double v = std::strtod(t.c_str(), &end);
      if (t.empty() || end != t.c_str() + t.size() || !std::isfinite(v))
        return refuse(control.label() + " is a slider: give a number, not \"" + t + "\"");
      auto lo = numberProperty(control, "min"), hi = numberProperty(control, "max");
      if ((lo && v < *lo) || (hi && v > *hi))
        return refuse(control.label() + " goes from " + numberText(lo.value_or(v)) + " to " +
                      numberText(hi.value_or(v)) + ", not " + t);
      // A segmented slider stops only on its segments.
      auto segments = numberProperty(control, "segmentCount");
      if (truthOf(control.property("isSegmented").get()) && lo && hi && segments && *segments >= 1) {
        double step = (*hi - *lo) / std::floor(*segments);
        v = *lo + std::round((v - *lo) / step) * step;
      }
      // A slider hands over its position as a single-precision number.
      return NSNumber::numberWithFloat(static_cast<float>(v));
    }
    case PSEditTextCell:
    case PSSecureEditTextCell:
    case PSEditTextViewCell: {
      bool numberPad = truthOf(control.property("isNumeric").get());
      bool numbers = control.stringProperty("keyboard") == "numbers";
      if ((numberPad || numbers) && !wholeNumber(text, numbers))
        return refuse(control.label() + " takes a whole number, not \"" + std::string(text) + "\"");
      return NSStr(text);
    }
    default:
      return refuse(control.label().empty() ? std::string("this row has no control to change")
                                            : control.label() + " has no control to change");
  }
}

bool PSTableCell::takeInput(std::string_view text, std::string* error) {
  if (!specifier_) {
    if (error) *error = "the row shows no control";
    return false;
  }
  id v = controlValueForInput(*specifier_, text, error);
  if (!v) return false;
  objc::msg<void>(specifier_, SEL_("performSetterWithValue:"), v);
  setValue(v);
  return true;
}
