#include <UIKit/NSIndexPath.h>

#include <objc/ClassBuilder.h>

Class NSIndexPath::classObject() {
  static Class cls = objc::ClassBuilder<NSIndexPath, NSObject>("NSIndexPath")
                         .method<&NSIndexPath::row>("row")
                         .method<&NSIndexPath::section>("section")
                         .method<&NSIndexPath::compare>("compare:")
                         .build();
  return cls;
}
OBJC_REGISTER_CLASS(NSIndexPath);

Ref<NSIndexPath> NSIndexPath::indexPathForRow(NSInteger row, NSInteger section) {
  return objc::create<NSIndexPath>(row, section);
}

NSInteger NSIndexPath::compare(const NSIndexPath* other) const noexcept {
  if (!other) return 1;
  if (section_ != other->section_) return section_ < other->section_ ? -1 : 1;
  if (row_ != other->row_) return row_ < other->row_ ? -1 : 1;
  return 0;
}

std::string NSIndexPath::descriptionString() const {
  return "<NSIndexPath> {length = 2, path = " + std::to_string(section_) + " - " + std::to_string(row_) + "}";
}

bool NSIndexPath::isEqualTo(const NSObject& other) const {
  const auto* o = dynamic_cast<const NSIndexPath*>(&other);
  return o && o->row_ == row_ && o->section_ == section_;
}

size_t NSIndexPath::hashValue() const noexcept {
  return std::hash<int64_t>()(section_) * 1000003u ^ std::hash<int64_t>()(row_);
}
