// The Settings host: ./quillpane settings [--root DIR] [command ...]

#include "SettingsCommand.h"

#include <iostream>

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return settings::runSettingsCommand(args, std::cout, std::cerr);
}
