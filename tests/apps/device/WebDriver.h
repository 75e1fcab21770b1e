#pragma once
// A small WebDriver client over plain HTTP, enough to drive headless
// chromium through chromedriver: open a page, find, click, type, drag, run
// script.

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>

namespace devicetest {

class WebDriver {
 public:
  /// Starts chromedriver on a free port and a fresh headless chromium
  /// session; throws when either does not come up.
  WebDriver();
  ~WebDriver();
  WebDriver(const WebDriver&) = delete;
  WebDriver& operator=(const WebDriver&) = delete;

  /// Whether chromium and chromedriver are installed.
  static bool available();

  void open(const std::string& url);
  /// The element's reference; throws when there is none.
  std::string find(const std::string& css);
  void click(const std::string& css);
  void type(const std::string& css, const std::string& text);
  /// Presses on the element's centre, moves by dx, dy and releases.
  void drag(const std::string& css, int dx, int dy);
  /// Runs script (a function body) in the page and returns its value.
  nlohmann::json script(const std::string& body);
  /// Polls the script until it answers true; false after timeout.
  bool waitFor(const std::string& condition, std::chrono::milliseconds timeout);

 private:
  nlohmann::json command(const std::string& method, const std::string& path, const nlohmann::json& body = {});

  pid_t driver_ = -1;
  std::string profile_;
  std::unique_ptr<httplib::Client> client_;
  std::string session_;
};

}  // namespace devicetest
