#include <Foundation/CollectionDescription.h>

#include <Foundation/NSArray.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSString.h>

namespace foundation {

namespace {

std::string indent(int depth) { return std::string(size_t(depth) * 4, ' '); }

bool needsQuotes(const std::string& s) {
  if (s.empty()) return true;
  for (unsigned char c : s)
    if (!(std::isalnum(c) || c == '_' || c == '.' || c == '/' || c >= 0x80)) return true;
  return false;
}

std::string quoted(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out + "\"";
}

}  // namespace

std::string describeElement(const NSObject* obj, int depth) {
  if (!obj) return "(null)";
  if (auto* a = dynamic_cast<const NSArray*>(obj)) return describeArray(*a, depth);
  if (auto* d = dynamic_cast<const NSDictionary*>(obj)) return describeDictionary(*d, depth);
  if (auto* s = dynamic_cast<const NSString*>(obj)) return needsQuotes(s->str()) ? quoted(s->str()) : s->str();
  return obj->descriptionString();
}

std::string describeArray(const NSArray& array, int depth) {
  std::string out = "(";
  bool first = true;
  for (const id& item : array) {
    out += first ? "\n" : ",\n";
    first = false;
    out += indent(depth + 1) + describeElement(item.get(), depth + 1);
  }
  return out + "\n" + indent(depth) + ")";
}

std::string describeDictionary(const NSDictionary& dict, int depth) {
  std::string out = "{\n";
  for (const auto& [key, value] : dict.entries())
    out += indent(depth + 1) + describeElement(key.get(), depth + 1) + " = " + describeElement(value.get(), depth + 1) +
           ";\n";
  return out + indent(depth) + "}";
}

}  // namespace foundation
