#include "Host.h"

#include "HostRun.h"
#include "LockScreenRenderer.h"

#include <Foundation/DeviceRoot.h>
#include <Foundation/NSDate.h>
#include <Foundation/NSLog.h>
#include <MobileSubstrate/SubstrateLoader.h>
#include <SpringBoard/LockScreenDriver.h>
#include <SpringBoard/SpringBoard.h>

#include <fmt/format.h>

#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <ostream>
#include <set>

namespace sbhost {

namespace fs = std::filesystem;

void checkOutputPath(const std::string& path) {
  if (path.empty()) throw HostError("the output path is empty");
  const fs::path target(path);
  std::error_code ec;
  if (fs::is_directory(target, ec)) throw HostError(fmt::format("cannot write '{}': it is a folder", path));
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  if (!fs::is_directory(folder, ec))
    throw HostError(fmt::format("cannot write '{}': the folder '{}' does not exist", path, folder.string()));
  if (::access(folder.c_str(), W_OK | X_OK) != 0)
    throw HostError(fmt::format("cannot write '{}': the folder '{}' is not writable", path, folder.string()));
  if (fs::exists(target, ec) && ::access(target.c_str(), W_OK) != 0)
    throw HostError(fmt::format("cannot write '{}': the file is not writable", path));
}

namespace {

std::string rowsText(uint64_t n) { return n == 1 ? "1 row" : fmt::format("{} rows", n); }

std::string number(double v) { return fmt::format("{}", v); }

void checkRow(const LockScreenDriver& m, const Event& e) {
  const uint64_t count = m.rowCount();
  if (static_cast<uint64_t>(e.row) < count) return;
  throw HostError(fmt::format("{}: {}: there is no row {}; the list has {}{}", e.where, e.text(), e.row,
                              rowsText(count), count ? fmt::format(" (0 to {})", count - 1) : std::string()));
}

std::string rowTitle(const LockScreenDriver& m, uint64_t row) {
  auto bulletin = m.bulletinAtRow(row);
  auto title = bulletin ? bulletin->title() : nullptr;
  return title ? title->str() : std::string("(untitled)");
}

/// Locks with the device's files looked at afresh, so that each lock logs
/// each file it refuses once, however often it was refused before. The
/// device paths this lock could not read.
std::vector<std::string> lockAfresh(LockScreenDriver& m) {
  (void)foundation::takeFileTrouble();
  m.lock();
  return foundation::peekFileTrouble().unreadable;
}

std::string notReadText(const std::vector<std::string>& paths) {
  return paths.empty() ? std::string() : fmt::format("; not read: {}", fmt::join(paths, ", "));
}

std::string clockText() {
  std::string iso = deviceTimeISO(NSDate::date()->timeIntervalSinceReferenceDate());
  return iso.size() >= 19 ? iso.substr(11, 8) : iso;
}

}  // namespace

EventOutcome runEvent(LockScreenDriver& m, const Event& e) {
  EventOutcome out;
  out.event = e.text();
  switch (e.kind) {
    case Event::Kind::Lock:
      out.notRead = lockAfresh(m);
      out.result = fmt::format("locked: {}{}", rowsText(m.rowCount()), notReadText(out.notRead));
      break;
    case Event::Kind::Notify: {
      auto bulletin = m.notify(e.app, e.title, e.message);
      auto id = bulletin ? bulletin->bulletinID() : nullptr;
      out.result = fmt::format("bulletin {} from {}: {}", id ? id->str() : "(none)", e.app, rowsText(m.rowCount()));
      break;
    }
    case Event::Kind::NowPlaying:
      m.nowPlaying(e.open);
      out.result = fmt::format("now-playing overlay {}", e.open ? "open" : "closed");
      break;
    case Event::Kind::Wait: {
      const uint64_t before = m.rowCount();
      m.wait(e.amount);
      out.result = fmt::format("clock {}; {}{}", clockText(), rowsText(m.rowCount()),
                               m.rowCount() != before ? fmt::format(" (was {})", before) : std::string());
      break;
    }
    case Event::Kind::Tap: {
      checkRow(m, e);
      const std::string title = rowTitle(m, static_cast<uint64_t>(e.row));
      RowTapResult r = m.tap(static_cast<uint64_t>(e.row));
      switch (r.kind) {
        case RowTapResult::Kind::OpenedURL:
          out.tapKind = "url";
          out.result = fmt::format("\"{}\" opens {}", title, r.target);
          break;
        case RowTapResult::Kind::LaunchedApplication:
          out.tapKind = "bundle";
          out.result = fmt::format("\"{}\" launches {}", title, r.target);
          break;
        case RowTapResult::Kind::None:
          out.tapKind = "none";
          out.result = fmt::format("\"{}\" has no action", title);
          break;
      }
      out.tapTarget = r.target;
      break;
    }
    case Event::Kind::Swipe: {
      checkRow(m, e);
      const std::string title = rowTitle(m, static_cast<uint64_t>(e.row));
      const bool cleared = m.swipe(static_cast<uint64_t>(e.row));
      out.result = cleared ? fmt::format("\"{}\" cleared: {} left", title, rowsText(m.rowCount()))
                           : fmt::format("\"{}\" cannot be swiped; it stays", title);
      break;
    }
    case Event::Kind::Clear: {
      const uint64_t n = m.clear();
      out.result = fmt::format("cleared {}, {} left", rowsText(n), rowsText(m.rowCount()));
      break;
    }
    case Event::Kind::Scroll:
      m.scroll(e.amount);
      out.result = fmt::format("list offset {}", number(m.tableView() ? m.tableView()->contentOffset().y : 0));
      break;
  }
  return out;
}

void runHost(const HostOptions& options, std::ostream& out) {
  if (options.pngPath) checkOutputPath(*options.pngPath);
  auto capture = std::make_shared<foundation::CapturingSink>();
  foundation::setLogSinks({capture});

  HostRun run;
  run.root = options.root;
  run.profile = bootDeviceRoot(options.root, options.overrides);
  SBRegisterSpringBoardApplicationClass();
  for (const auto& tweak : substrate::loadTweaksForProcess("com.apple.springboard", "SpringBoard"))
    run.tweaks.push_back(tweak.name);

  LockScreenDriver manager;
  // What booting could not read, then what each lock and event could not.
  std::set<std::string> notRead;
  auto note = [&notRead](const std::vector<std::string>& paths) { notRead.insert(paths.begin(), paths.end()); };
  note(foundation::peekFileTrouble().unreadable);
  note(lockAfresh(manager));
  if (run.profile.nowPlaying) manager.nowPlaying(true);
  // A long script keeps only its last outcomes, so a long run stays flat.
  for (const Event& e : options.events) {
    run.events.push_back(runEvent(manager, e));
    note(run.events.back().notRead);
    if (run.events.size() > HostRun::kKeptEvents) run.events.pop_front();
    ++run.eventCount;
  }
  manager.layout();
  note(foundation::peekFileTrouble().unreadable);

  run.notRead.assign(notRead.begin(), notRead.end());
  run.state = readLockScreenState(manager.lockScreenView().get(), manager.listController().get());
  run.nowISO = deviceTimeISO(NSDate::date()->timeIntervalSinceReferenceDate());

  if (options.pngPath) {
    RenderOptions render;
    render.scale = run.profile.screenScale;
    render.wallpaperPath = run.profile.wallpaper;
    cairo_surface_t* picture = renderLockScreen(manager.lockScreenView().get(), render);
    std::string error;
    const bool written = writePNGAtomically(picture, *options.pngPath, error);
    cairo_surface_destroy(picture);
    if (!written) throw HostError(error);
  }
  run.log = capture->lines();
  run.logLineCount = capture->written();
  out << (options.json ? jsonReport(run) : textReport(run, options.showLog));
  if (options.pngPath && !options.json) out << fmt::format("\nPicture: {}\n", fs::absolute(*options.pngPath).string());
}

}  // namespace sbhost
