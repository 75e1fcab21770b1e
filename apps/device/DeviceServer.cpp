#include "DeviceServer.h"

#include "WebAssets.h"

#include <fmt/format.h>
#include <httplib.h>

#include <charconv>

namespace device {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

namespace {

// Generous for a sanitizer build; a healthy device answers in milliseconds.
constexpr milliseconds kBoot(60000), kAnswer(20000);

void sendJSON(httplib::Response& res, int status, const nlohmann::json& body) {
  res.status = status;
  res.set_header("Cache-Control", "no-store");
  res.set_content(body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace), "application/json");
}

void sendError(httplib::Response& res, int status, const std::string& message) {
  sendJSON(res, status, {{"error", message}});
}

std::string base64(std::string_view bytes) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t n = static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    if (i + 2 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 2]);
    out += kDigits[(n >> 18) & 63];
    out += kDigits[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(n >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kDigits[n & 63] : '=';
  }
  return out;
}

/// The "words" of a JSON body, or an empty optional with the error sent.
std::optional<nlohmann::json> wordsOf(const httplib::Request& req, httplib::Response& res) {
  auto body = nlohmann::json::parse(req.body, nullptr, false);
  if (!body.is_object() || !body.contains("words") || !body["words"].is_array() || body["words"].empty()) {
    sendError(res, 400, "the body must be JSON with \"words\": a non-empty list of text");
    return std::nullopt;
  }
  for (const auto& w : body["words"])
    if (!w.is_string()) {
      sendError(res, 400, "every one of \"words\" must be text");
      return std::nullopt;
    }
  return body["words"];
}

}  // namespace

DeviceServer::DeviceServer(fs::path root, std::string program)
    : root_(std::move(root)),
      server_(std::make_unique<httplib::Server>()),
      springboard_("SpringBoard", {program, "--child", "springboard", "--root", root_.string()}),
      settings_("Settings", {program, "--child", "settings", "--root", root_.string()}) {
  routes();
}

DeviceServer::~DeviceServer() { stopPrograms(); }

void DeviceServer::startPrograms() {
  springboard_.start(kBoot);
  settings_.start(kBoot);
}

int DeviceServer::bind(int port) {
  if (port == 0) {
    port_ = server_->bind_to_any_port("127.0.0.1");
    return port_ > 0 ? port_ : 0;
  }
  port_ = server_->bind_to_port("127.0.0.1", port) ? port : 0;
  return port_;
}

void DeviceServer::run() { server_->listen_after_bind(); }

void DeviceServer::stop() { server_->stop(); }

void DeviceServer::stopPrograms() {
  springboard_.stop(milliseconds(5000));
  settings_.stop(milliseconds(5000));
}

std::string DeviceServer::address() const { return fmt::format("http://127.0.0.1:{}/", port_); }

bool DeviceServer::addressedToUs(const std::string& host, const std::string& origin) const {
  const std::string ours[] = {fmt::format("127.0.0.1:{}", port_), fmt::format("localhost:{}", port_)};
  bool hostOK = false, originOK = origin.empty();
  for (const auto& o : ours) {
    hostOK = hostOK || host == o;
    originOK = originOK || origin == "http://" + o;
  }
  return hostOK && originOK;
}

void DeviceServer::routes() {
  auto& s = *server_;
  s.set_payload_max_length(size_t{64} * 1024);
  s.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
    if (addressedToUs(req.get_header_value("Host"), req.get_header_value("Origin")))
      return httplib::Server::HandlerResponse::Unhandled;
    sendError(res, 403, "this device answers only its own page at " + address());
    return httplib::Server::HandlerResponse::Handled;
  });
  s.set_error_handler([](const httplib::Request& req, httplib::Response& res) {
    if (!res.body.empty()) return;
    if (res.status == 404)
      sendError(res, 404, fmt::format("there is nothing at '{}'", req.path));
    else
      sendError(res, res.status, fmt::format("the request failed ({})", res.status));
  });
  s.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr ep) {
    std::string what = "unknown failure";
    try {
      std::rethrow_exception(ep);
    } catch (const std::exception& e) {
      what = e.what();
    } catch (...) {
    }
    sendError(res, 500, what);
  });

  for (const auto& asset : webAssets())
    s.Get(std::string(asset.path), [&asset](const httplib::Request&, httplib::Response& res) {
      res.set_header("Cache-Control", "no-store");
      res.set_content(asset.body.data(), asset.body.size(), std::string(asset.type));
    });

  s.Get("/api/state", [this](const httplib::Request& req, httplib::Response& res) {
    uint64_t from = 0;
    const std::string log = req.get_param_value("log");
    if (!log.empty()) {
      auto [end, ec] = std::from_chars(log.data(), log.data() + log.size(), from);
      if (ec != std::errc() || end != log.data() + log.size()) return sendError(res, 400, "log must be a line number");
    }
    nlohmann::json programs = nlohmann::json::array(), notes = nlohmann::json::array();
    nlohmann::json state;
    // Asking for the state changes nothing, so a question that met a
    // program dying is asked once more of the restarted one.
    for (int attempt = 0; attempt < 2; ++attempt) {
      try {
        state = springboard_.request({{"op", "state"}, {"log", from}}, kAnswer).head;
        break;
      } catch (const ChildError& e) {
        state = {{"ok", false}, {"error", e.what()}};
      }
    }
    for (ChildProcess* child : {&springboard_, &settings_}) {
      programs.push_back({{"name", child->name()}, {"pid", child->pid()}, {"restarts", child->restarts()}});
      for (const auto& n : child->notes()) notes.push_back(n);
    }
    state["programs"] = programs;
    state["notes"] = notes;
    sendJSON(res, state.value("ok", false) ? 200 : 503, state);
  });

  s.Get("/screen.png", [this](const httplib::Request&, httplib::Response& res) {
    for (int attempt = 0; attempt < 2; ++attempt) {
      try {
        auto reply = springboard_.request({{"op", "png"}}, kAnswer);
        if (!reply.head.value("ok", false) || reply.bytes.empty())
          return sendError(res, 500, reply.head.value("error", std::string("the lock screen could not be drawn")));
        res.set_header("Cache-Control", "no-store");
        return res.set_content(reply.bytes, "image/png");
      } catch (const ChildError& e) {
        if (attempt == 1) sendError(res, 503, e.what());
      }
    }
  });

  s.Post("/api/event", [this](const httplib::Request& req, httplib::Response& res) {
    auto words = wordsOf(req, res);
    if (!words) return;
    try {
      auto reply = springboard_.request({{"op", "event"}, {"words", *words}}, kAnswer);
      sendJSON(res, reply.head.value("ok", false) ? 200 : 400, reply.head);
    } catch (const ChildError& e) {
      sendError(res, 503, e.what());
    }
  });

  s.Post("/api/settings", [this](const httplib::Request& req, httplib::Response& res) {
    auto words = wordsOf(req, res);
    if (!words) return;
    try {
      auto reply = settings_.request({{"words", *words}}, kAnswer);
      const bool refused = reply.head.contains("error");
      // The screen the command ended on comes with its picture, drawn by
      // Settings itself; the page lays its controls over it.
      if (!reply.bytes.empty()) reply.head["picture"] = "data:image/png;base64," + base64(reply.bytes);
      reply.head.erase("bytes");
      sendJSON(res, refused ? 400 : 200, reply.head);
    } catch (const ChildError& e) {
      sendError(res, 503, e.what());
    }
  });
}

}  // namespace device
