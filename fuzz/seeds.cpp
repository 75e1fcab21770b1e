// Writes the deep and large seed inputs of the fuzz targets into OUTDIR/<target>/:
// made here rather than stored, as they run to megabytes.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "LargeInputs.h"

namespace fs = std::filesystem;
using namespace largeinputs;

namespace {

fs::path out;

void seed(const std::string& target, const std::string& name, const std::string& bytes) {
  fs::create_directories(out / target);
  std::ofstream(out / target / name, std::ios::binary) << bytes;
}

/// A 20,000 x 20,000 PNG header: 1.6 GB were it decoded.
std::string pngBomb() {
  std::string png("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
  for (uint32_t v : {20000u, 20000u})
    for (int s = 24; s >= 0; s -= 8) png += char((v >> s) & 0xFF);
  png += std::string("\x08\x06\0\0\0", 5);
  return png + std::string(4, '\0') + std::string(1000, '\0');
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds OUTDIR\n");
    return 2;
  }
  out = argv[1];
  const std::string deepBinary = deepBinaryArrays(100000);
  const std::string deepXML = deepXMLArrays(100000);
  const std::string doubling = doublingBinaryArrays(48);
  const std::string wide = wideXMLDictionary(70000);
  const std::string cycle = binaryPlist({container(0xD0, {1, 0})});
  // Every reader of property lists gets the same deep and large lists.
  for (const char* target : {"plist", "profile", "layout", "infoplist", "substrate"}) {
    seed(target, "deep.bplist", deepBinary);
    seed(target, "deep.plist", deepXML);
    seed(target, "doubling.bplist", doubling);
    seed(target, "wide.plist", wide);
    seed(target, "cycle.bplist", cycle);
    // Small enough for the fuzzer to mutate quickly: just within and just
    // past the depth limit.
    seed(target, "deep512.bplist", deepBinaryArrays(512));
    seed(target, "deep513.bplist", deepBinaryArrays(513));
    seed(target, "deep513.plist", deepXMLArrays(513));
  }
  seed("profile", "huge_screen.plist",
       "<plist><dict><key>ScreenWidth</key><integer>4096</integer><key>ScreenHeight</key><integer>4096</integer>"
       "<key>ScreenScale</key><integer>4</integer></dict></plist>");
  seed("png", "bomb.png", pngBomb());
  seed("ical", "long_line.ics",
       "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nUID:1\r\nSUMMARY:" + std::string(2 << 20, 'x') +
           "\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
  std::string many = "BEGIN:VCALENDAR\r\n";
  for (int i = 0; i < 20000; ++i) many += "BEGIN:VTODO\r\nUID:" + std::to_string(i) + "\r\nSUMMARY:s\r\nEND:VTODO\r\n";
  seed("ical", "many_todos.ics", many + "END:VCALENDAR\r\n");
  std::string nested = "BEGIN:VCALENDAR\r\n";
  for (int i = 0; i < 50000; ++i) nested += "BEGIN:VTODO\r\n";
  seed("ical", "nested_todos.ics", nested);
  seed("eventscript", "long_line.txt", "notify com.apple.MobileSMS \"" + std::string(1 << 20, 'a') + "\"\n");
  std::string events;
  for (int i = 0; i < 50000; ++i) events += "wait 0.5\ntap 1\n";
  seed("eventscript", "many_events.txt", events);
  seed("eventscript", "quotes.txt", std::string(100000, '"'));
  seed("vdir", "long_name", std::string(100000, 'n') + '\0' + "#" + std::string(100000, 'f'));
  for (const char* target : {"numeric", "settings_value", "color", "nslog"})
    seed(target, "long_digits", std::string(100000, '9'));
  seed(
      "nslog", "many_specifiers", std::string(1, '\xff') + [] {
        std::string s;
        for (int i = 0; i < 20000; ++i) s += "%@%d%*.*f";
        return s;
      }());
  // Every target has a seed folder, even those without a generated seed.
  for (const char* target : {"plist", "profile", "layout", "infoplist", "substrate", "png", "ical", "eventscript",
                             "vdir", "numeric", "settings_value", "color", "nslog"})
    fs::create_directories(out / target);
  return 0;
}
