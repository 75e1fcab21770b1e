// quillpane-device: one living simulated device behind a local web page.

#include "DeviceServer.h"
#include "Services.h"

#include <CLI/CLI.hpp>

#include <pthread.h>
#include <unistd.h>
#include <csignal>
#include <iostream>
#include <thread>

#ifndef QP_DEFAULT_ROOT
#define QP_DEFAULT_ROOT "device"
#endif

namespace {

std::string selfPath() {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string("quillpane-device") : p.string();
}

}  // namespace

// CLI11 throws from its option setup only on a malformed option table.
int main(int argc, char** argv) {  // NOLINT(bugprone-exception-escape)
  CLI::App app{
      "Runs one living simulated device on a device root: SpringBoard with the tweaks injected and Settings\n"
      "with the pane, both long-lived, behind a web page on the loopback address. Ctrl-C ends it."};
  app.name("quillpane-device");
  std::string root = QP_DEFAULT_ROOT, child;
  int port = 8080;
  app.add_option("--root", root, "the device root (default: the demo device)")->type_name("DIR")->capture_default_str();
  app.add_option("--port", port, "the port on 127.0.0.1 (0: any free port)")
      ->check(CLI::Range(0, 65535))
      ->capture_default_str();
  app.add_option("--child", child)->group("")->check(CLI::IsMember({"springboard", "settings"}));
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  }
  const std::filesystem::path rootPath = std::filesystem::absolute(root);
  if (child == "springboard") return device::runSpringBoardService(rootPath);
  if (child == "settings") return device::runSettingsService(rootPath);

  // Ctrl-C and SIGTERM end the server from a thread of their own; the
  // children end after any request in flight.
  // A shell starts background programs with SIGINT ignored; an ignored
  // signal never reaches sigwait.
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  sigset_t ending;
  sigemptyset(&ending);
  sigaddset(&ending, SIGINT);
  sigaddset(&ending, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &ending, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  try {
    device::DeviceServer server(rootPath, selfPath());
    server.startPrograms();
    if (!server.bind(port)) {
      std::cerr << "quillpane-device: cannot listen on 127.0.0.1:" << port << " (is the port taken?)\n";
      return 1;
    }
    std::thread waiter([&] {
      int sig = 0;
      sigwait(&ending, &sig);
      server.stop();
    });
    std::cout << "Quillpane device on " << rootPath.string() << "\nOpen " << server.address() << "  (Ctrl-C ends it)"
              << std::endl;
    server.run();
    ::kill(::getpid(), SIGTERM);  // wakes the waiter when the server ended by itself
    waiter.join();
    server.stopPrograms();
    std::cout << "Device stopped." << std::endl;
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "quillpane-device: " << e.what() << "\n";
    return 1;
  }
}
