#pragma once
// A throw-away device root with reminder lists, and a blocking fetch for tests.

#include "TempRoot.h"

#include <EventKit/EventKit.h>
#include <Foundation/DeviceProfile.h>
#include <Foundation/dispatch.h>
#include <objc/message.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

namespace ektest {

namespace fs = std::filesystem;

class ReminderRoot : public ::testing::Test {
 protected:
  void SetUp() override {
    foundation::DeviceProfile profile;
    profile.timeZone = "Europe/Berlin";
    profile.remindersAccess = true;
    foundation::bootDevice(profile);
    log_->clear();  // the log starts after the boot
  }

  void denyAccess() {
    foundation::DeviceProfile profile = foundation::currentDeviceProfile();
    profile.remindersAccess = false;
    foundation::bootDevice(profile);
  }

  /// The host folder of a device path such as "iCloud/home".
  fs::path listPath(const std::string& accountAndList) const {
    return foundation::resolveDevicePath("/var/mobile/Library/Reminders/" + accountAndList);
  }
  void write(const std::string& accountAndList, const std::string& file, const std::string& contents) const {
    fs::path dir = listPath(accountAndList);
    fs::create_directories(dir);
    std::ofstream(dir / file, std::ios::binary | std::ios::trunc) << contents;
  }
  /// A list with a title and, unless empty, a colour file.
  void makeList(const std::string& accountAndList, const std::string& title, const std::string& color = "") const {
    write(accountAndList, "displayname", title + "\n");
    if (!color.empty()) write(accountAndList, "color", color + "\n");
  }

  static std::string todo(const std::string& summary, const std::string& extra = "") {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTODO\r\nSUMMARY:" + summary + "\r\n" + extra +
           "END:VTODO\r\nEND:VCALENDAR\r\n";
  }

  static Ref<EKEventStore> newStore() {
    return objc::cast<EKEventStore>(objc::msg<id>(objc::alloc<EKEventStore>(), SEL_("init")));
  }

  struct Fetch {
    Ref<NSArray> reminders;
    int completions = 0;
    bool onCallingThread = false;
  };
  /// Fetches the incomplete reminders of calendars (nil: all) as the tweak
  /// does, waiting for the completion.
  static Fetch fetch(const Ref<EKEventStore>& store, const Ref<NSArray>& calendars) {
    auto predicate = objc::msg<id>(store, SEL_("predicateForIncompleteRemindersWithDueDateStarting:ending:calendars:"),
                                   Ref<NSDate>(), Ref<NSDate>(), calendars);
    return fetchWith(store, predicate);
  }
  static Fetch fetchWith(const Ref<EKEventStore>& store, const id& predicate) {
    struct Shared {
      Ref<NSArray> reminders;
      std::atomic<int> completions{0};
      std::thread::id thread;
      dispatch_semaphore_t done = dispatch_semaphore_create(0);
    };
    auto shared = std::make_shared<Shared>();
    EKEventStoreFetchRemindersCompletionHandler completion = [shared](Ref<NSArray> reminders) {
      shared->reminders = std::move(reminders);
      shared->thread = std::this_thread::get_id();
      shared->completions.fetch_add(1);
      dispatch_semaphore_signal(shared->done);
    };
    objc::msg<id>(store, SEL_("fetchRemindersMatchingPredicate:completion:"), predicate, completion);
    Fetch f;
    if (dispatch_semaphore_wait(shared->done, dispatch_time(DISPATCH_TIME_NOW, 5 * NSEC_PER_SEC)) != 0) {
      ADD_FAILURE() << "the fetch never completed";
      return f;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a second completion would show by now
    f.reminders = shared->reminders;
    f.completions = shared->completions.load();
    f.onCallingThread = shared->thread == std::this_thread::get_id();
    return f;
  }

  static std::vector<std::string> titles(const Ref<NSArray>& reminders) {
    std::vector<std::string> out;
    if (!reminders) return out;
    for (const id& r : *reminders) out.push_back(objc::msg<Ref<NSString>>(r, SEL_("title"))->str());
    return out;
  }

  TempRoot root_{"qp-eventkit"};
  LogCapture log_;
};

}  // namespace ektest
