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

/// UUID-shaped identifiers from a counter, so a run's output is the same
/// every time.
Ref<NSString> nextBulletinID() {
  static std::atomic<unsigned long long> counter{0};
  // Every bulletin made pays for this, so the digits are written by hand
  // rather than through printf.
  std::string text = "00000000-0000-4000-8000-000000000000";
  unsigned long long n = ++counter;
  for (auto digit = text.rbegin(); n != 0 && *digit != '-'; ++digit, n >>= 4) *digit = "0123456789ABCDEF"[n & 0xF];
  return objc::create<NSString>(std::move(text));
}

}  // namespace

BBBulletin::BBBulletin() : bulletinID_(nextBulletinID()) {}

// A list of bulletins is let go of in one sweep, long after it was made:
// every field is asked for at once rather than each waited for in turn.
BBBulletin::~BBBulletin() {
  objc::prefetchCounts(title_, subtitle_, message_, date_, publicationDate_, lastInterruptDate_, sectionID_,
                       defaultAction_, bulletinID_);
}

bool BBBulletin::isSameBulletin(const BBBulletin* other) const {
  if (!other) return false;
  if (other == this) return true;
  return bulletinID_ && other->bulletinID_ && bulletinID_->isEqualToString(other->bulletinID_.get());
}

std::string BBBulletin::descriptionString() const {
  auto field = [](const Ref<NSString>& s) { return s ? s->str() : std::string("(null)"); };
  return "<BBBulletin bulletinID=" + field(bulletinID_) + " sectionID=" + field(sectionID_) +
         " title=" + field(title_) + ">";
}
