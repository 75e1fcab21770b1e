#include <BulletinBoard/BBBulletin.h>

#include <objc/ClassBuilder.h>

#include <atomic>
#include <string>

Class BBBulletin::classObject() {
  static Class cls = objc::ClassBuilder<BBBulletin, NSObject>("BBBulletin")
                         .method<&BBBulletin::title>("title")
                         .method<&BBBulletin::setTitle>("setTitle:")
                         .method<&BBBulletin::subtitle>("subtitle")
                         .method<&BBBulletin::setSubtitle>("setSubtitle:")
                         .method<&BBBulletin::message>("message")
                         .method<&BBBulletin::setMessage>("setMessage:")
                         .method<&BBBulletin::date>("date")
                         .method<&BBBulletin::setDate>("setDate:")
                         .method<&BBBulletin::dateIsAllDay>("dateIsAllDay")
                         .method<&BBBulletin::setDateIsAllDay>("setDateIsAllDay:")
                         .method<&BBBulletin::publicationDate>("publicationDate")
                         .method<&BBBulletin::setPublicationDate>("setPublicationDate:")
                         .method<&BBBulletin::lastInterruptDate>("lastInterruptDate")
                         .method<&BBBulletin::setLastInterruptDate>("setLastInterruptDate:")
                         .method<&BBBulletin::section>("section")
                         .method<&BBBulletin::setSection>("setSection:")
                         .method<&BBBulletin::sectionID>("sectionID")
                         .method<&BBBulletin::setSectionID>("setSectionID:")
                         .method<&BBBulletin::defaultAction>("defaultAction")
                         .method<&BBBulletin::setDefaultAction>("setDefaultAction:")
                         .method<&BBBulletin::bulletinID>("bulletinID")
                         .method<&BBBulletin::setBulletinID>("setBulletinID:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(BBBulletin);

namespace {

/// Identifiers are numbered from a counter, so a run's output is the same
/// every time; never 0, which marks a bulletin with no number pending.
uint64_t nextBulletinNumber() {
  static std::atomic<uint64_t> counter{0};
  return ++counter;
}

/// The number as a UUID-shaped identifier, its digits written by hand
/// rather than through printf.
Ref<NSString> bulletinIDFor(uint64_t n) {
  std::string text = "00000000-0000-4000-8000-000000000000";
  for (auto digit = text.rbegin(); n != 0 && *digit != '-'; ++digit, n >>= 4) *digit = "0123456789ABCDEF"[n & 0xF];
  return objc::create<NSString>(std::move(text));
}

}  // namespace

BBBulletin::BBBulletin() : assignedNumber_(nextBulletinNumber()) {}

Ref<NSString> BBBulletin::bulletinID() const {
  if (assignedNumber_ != 0) {
    bulletinID_ = bulletinIDFor(assignedNumber_);
    assignedNumber_ = 0;
  }
  return bulletinID_;
}

// A list of bulletins is let go of in one sweep, long after it was made:
// every field is asked for at once rather than each waited for in turn.
BBBulletin::~BBBulletin() { BBBulletin::prefetchHeld(); }

void BBBulletin::prefetchHeld() const noexcept {
  objc::prefetchCounts(title_, subtitle_, message_, date_, publicationDate_, lastInterruptDate_, sectionID_,
                       defaultAction_, bulletinID_);
}

bool BBBulletin::isSameBulletin(const BBBulletin* other) const {
  if (!other) return false;
  if (other == this) return true;
  const auto mine = bulletinID(), theirs = other->bulletinID();
  return mine && theirs && mine->isEqualToString(theirs.get());
}

std::string BBBulletin::descriptionString() const {
  auto field = [](const Ref<NSString>& s) { return s ? s->str() : std::string("(null)"); };
  return "<BBBulletin bulletinID=" + field(bulletinID()) + " sectionID=" + field(sectionID_) +
         " title=" + field(title_) + ">";
}
