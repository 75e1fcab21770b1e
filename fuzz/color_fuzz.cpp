// Colour strings as they come back from a bulletin identifier's colour field
// and from a list's "color" file: any text gives a colour, and a colour's
// text form reads back as the same colour.

#include <BulletinFields.h>
#include <CoreImage/CIColor.h>
#include <EventKit/CollectionLayout.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "FuzzSupport.h"

using fuzzsupport::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = fuzzsupport::asText(data, size);

  // The identifier's second field is what the row's colour is read from.
  const std::string id = "Quillpane 3|" + std::string(text);
  const auto field = quillpane::colourField(id);
  check(field.has_value(), "an identifier with a bar has a colour field");
  check(field->find('|') == std::string_view::npos, "the field ends at the next bar");

  auto color = CIColor::colorWithString(*field);
  check(color != nullptr, "any text is a colour");
  const std::string form = color->stringRepresentation();
  auto again = CIColor::colorWithString(form);
  check(again->stringRepresentation() == form, "a colour's text form reads back as itself");
  for (double c : {again->red(), again->green(), again->blue(), again->alpha()}) check(std::isfinite(c), "finite");
  // The identifier the tweak writes carries the text form whole.
  const std::string written = quillpane::bulletinIdentifier(7, form);
  check(quillpane::colourField(written) == std::string_view(form), "a written identifier gives its colour back");

  if (auto list = eventkit::parseListColor(text)) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "#%02X%02X%02X%02X", unsigned(std::lround((*list)[0] * 255)),
                  unsigned(std::lround((*list)[1] * 255)), unsigned(std::lround((*list)[2] * 255)),
                  unsigned(std::lround((*list)[3] * 255)));
    for (double c : *list) check(c >= 0 && c <= 1, "list colour components lie in 0...1");
    check(eventkit::parseListColor(hex) == list, "a list colour written as #RRGGBBAA reads back the same");
  }
  return 0;
}
