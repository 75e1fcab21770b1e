#include <Foundation/CollectionDescription.h>

#include <Foundation/NSArray.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSString.h>

#include <string_view>

namespace foundation {

namespace {

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

/// A description stops growing past this: a log line of a megabyte says
/// all it can, and deep collections of many values would otherwise run to
/// gigabytes of indentation.
constexpr size_t kMaxDescriptionBytes = 1u << 20;
constexpr std::string_view kElided = "...";

void appendElement(std::string& out, const NSObject* obj, int depth);

void appendArray(std::string& out, const NSArray& array, int depth) {
  out += '(';
  bool first = true;
  for (const id& item : array) {
    out += first ? "\n" : ",\n";
    first = false;
    out.append(size_t(depth + 1) * 4, ' ');
    if (out.size() > kMaxDescriptionBytes) {
      out += kElided;
      break;
    }
    appendElement(out, item.get(), depth + 1);
  }
  out += '\n';
  out.append(size_t(depth) * 4, ' ');
  out += ')';
}

void appendDictionary(std::string& out, const NSDictionary& dict, int depth) {
  out += "{\n";
  for (const auto& [key, value] : dict.entries()) {
    out.append(size_t(depth + 1) * 4, ' ');
    if (out.size() > kMaxDescriptionBytes) {
      out += kElided;
      out += '\n';
      break;
    }
    appendElement(out, key.get(), depth + 1);
    out += " = ";
    appendElement(out, value.get(), depth + 1);
    out += ";\n";
  }
  out.append(size_t(depth) * 4, ' ');
  out += '}';
}

void appendElement(std::string& out, const NSObject* obj, int depth) {
  if (!obj) {
    out += "(null)";
  } else if (auto* a = dynamic_cast<const NSArray*>(obj)) {
    appendArray(out, *a, depth);
  } else if (auto* d = dynamic_cast<const NSDictionary*>(obj)) {
    appendDictionary(out, *d, depth);
  } else if (auto* s = dynamic_cast<const NSString*>(obj)) {
    out += needsQuotes(s->str()) ? quoted(s->str()) : s->str();
  } else {
    out += obj->descriptionString();
  }
}

}  // namespace

std::string describeElement(const NSObject* obj, int depth) {
  std::string out;
  appendElement(out, obj, depth);
  return out;
}

std::string describeArray(const NSArray& array, int depth) {
  std::string out;
  appendArray(out, array, depth);
  return out;
}

std::string describeDictionary(const NSDictionary& dict, int depth) {
  std::string out;
  appendDictionary(out, dict, depth);
  return out;
}

}  // namespace foundation
