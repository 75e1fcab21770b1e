// The Settings host: ./quillpane settings [--root DIR] [command ...]

#include "SettingsCommand.h"
#include "SettingsHost.h"

#include <iostream>

int main(int argc, char** argv) {
  // One command, one line per fault.
  foundation::setLogSinks({std::make_shared<settings::DistinctLinesSink>(foundation::stderrSink())});
  std::vector<std::string> args(argv + 1, argv + argc);
  return settings::runSettingsCommand(args, std::cout, std::cerr);
}
