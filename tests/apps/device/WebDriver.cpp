#include "WebDriver.h"

#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <filesystem>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace devicetest {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

constexpr const char* kChromium = "/usr/bin/chromium";
constexpr const char* kDriver = "/usr/bin/chromedriver";
constexpr const char* kElement = "element-6066-11e4-a52e-4f735466cecf";

int freePort() {
  int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
    ::close(s);
    throw std::runtime_error("no free port");
  }
  ::close(s);
  return ntohs(a.sin_port);
}

}  // namespace

bool WebDriver::available() { return ::access(kChromium, X_OK) == 0 && ::access(kDriver, X_OK) == 0; }

WebDriver::WebDriver() {
  const int port = freePort();
  std::string program = kDriver, portArg = "--port=" + std::to_string(port);
  char* argv[] = {program.data(), portArg.data(), const_cast<char*>("--silent"), nullptr};
  if (::posix_spawn(&driver_, kDriver, nullptr, nullptr, argv, environ) != 0)
    throw std::runtime_error("cannot start chromedriver");
  client_ = std::make_unique<httplib::Client>("127.0.0.1", port);
  client_->set_read_timeout(std::chrono::seconds(60));
  for (int i = 0; i < 200; ++i) {
    if (auto res = client_->Get("/status"); res && res->status == 200) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::string templ = (fs::temp_directory_path() / "qp-chromium-XXXXXX").string();
  if (!::mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
  profile_ = templ;
  json args = {"--headless",
               "--no-sandbox",
               "--disable-gpu",
               "--disable-quic",
               "--no-first-run",
               "--disable-background-networking",
               "--disable-component-update",
               "--disable-sync",
               "--window-size=1100,800",
               "--user-data-dir=" + profile_};
  json caps = {{"capabilities",
                {{"alwaysMatch",
                  {{"browserName", "chrome"}, {"goog:chromeOptions", {{"binary", kChromium}, {"args", args}}}}}}}};
  json created = command("POST", "/session", caps);
  session_ = created.value("sessionId", std::string());
  if (session_.empty()) throw std::runtime_error("no browser session: " + created.dump());
}

WebDriver::~WebDriver() {
  if (!session_.empty()) {
    try {
      command("DELETE", "/session/" + session_);
    } catch (...) {
    }
  }
  if (driver_ > 0) {
    ::kill(driver_, SIGTERM);
    ::waitpid(driver_, nullptr, 0);
  }
  std::error_code ec;
  if (!profile_.empty()) fs::remove_all(profile_, ec);
}

json WebDriver::command(const std::string& method, const std::string& path, const json& body) {
  httplib::Result res = method == "GET" ? client_->Get(path.c_str())
                        : method == "DELETE"
                            ? client_->Delete(path.c_str())
                            : client_->Post(path.c_str(), body.is_null() ? "{}" : body.dump(), "application/json");
  if (!res) throw std::runtime_error("chromedriver does not answer " + path);
  json answer = json::parse(res->body, nullptr, false);
  if (res->status != 200)
    throw std::runtime_error("chromedriver: " + path + ": " + (answer.is_object() ? answer.dump() : res->body));
  if (path == "/session") return answer.value("value", json::object());
  return answer.value("value", json());
}

void WebDriver::open(const std::string& url) { command("POST", "/session/" + session_ + "/url", {{"url", url}}); }

std::string WebDriver::find(const std::string& css) {
  json e = command("POST", "/session/" + session_ + "/element", {{"using", "css selector"}, {"value", css}});
  return e.at(kElement).get<std::string>();
}

void WebDriver::click(const std::string& css) {
  command("POST", "/session/" + session_ + "/element/" + find(css) + "/click", json::object());
}

void WebDriver::type(const std::string& css, const std::string& text) {
  const std::string e = find(css);
  command("POST", "/session/" + session_ + "/element/" + e + "/clear", json::object());
  command("POST", "/session/" + session_ + "/element/" + e + "/value", {{"text", text}});
}

void WebDriver::drag(const std::string& css, int dx, int dy) {
  json origin = {{kElement, find(css)}};
  json steps = json::array({
      {{"type", "pointerMove"}, {"origin", origin}, {"x", 0}, {"y", 0}},
      {{"type", "pointerDown"}, {"button", 0}},
      {{"type", "pointerMove"}, {"origin", "pointer"}, {"x", dx / 2}, {"y", dy / 2}, {"duration", 100}},
      {{"type", "pointerMove"}, {"origin", "pointer"}, {"x", dx - dx / 2}, {"y", dy - dy / 2}, {"duration", 100}},
      {{"type", "pointerUp"}, {"button", 0}},
  });
  json actions = {
      {"actions",
       json::array(
           {{{"type", "pointer"}, {"id", "mouse"}, {"parameters", {{"pointerType", "mouse"}}}, {"actions", steps}}})}};
  command("POST", "/session/" + session_ + "/actions", actions);
  command("DELETE", "/session/" + session_ + "/actions");
}

json WebDriver::script(const std::string& body) {
  return command("POST", "/session/" + session_ + "/execute/sync", {{"script", body}, {"args", json::array()}});
}

bool WebDriver::waitFor(const std::string& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  do {
    if (script("return !!(" + condition + ");") == true) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  } while (std::chrono::steady_clock::now() < deadline);
  return false;
}

}  // namespace devicetest
