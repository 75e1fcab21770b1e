// Property lists too deep, too large or self-referencing are refused with a
// log line before libplist builds them; lists within the limits still read.

#include <Foundation/NSArray.h>
#include <Foundation/NSDate.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSString.h>
#include <Foundation/PropertyList.h>
#include <Foundation/PropertyListShape.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "LargeInputs.h"
#include "TempRoot.h"

namespace {

using foundation::PropertyListRoot;
using foundation::PropertyListShape;
using namespace largeinputs;

constexpr foundation::PropertyListLimits kLimits{512, 65536};

id read(const std::string& bytes) { return foundation::propertyListFromBytes(bytes, PropertyListRoot::Any, "probe"); }

size_t depthOf(id node) {
  size_t depth = 0;
  for (auto a = objc::as<NSArray>(node); a && a->count() == 1; a = objc::as<NSArray>(a->objectAtIndex(0))) ++depth;
  return depth;
}

TEST(PropertyListShape, DeepBinaryListIsRefusedWithoutRecursing) {
  LogCapture log;
  // A hundred thousand levels overflow any stack that recurses per level.
  EXPECT_EQ(foundation::binaryPropertyListShape(deepBinaryArrays(100000), kLimits), PropertyListShape::TooDeep);
  EXPECT_FALSE(read(deepBinaryArrays(100000)));
  EXPECT_TRUE(log->contains("property list probe nests deeper than 512 levels"));

  EXPECT_EQ(depthOf(read(deepBinaryArrays(512))), 512u);
  EXPECT_FALSE(read(deepBinaryArrays(513)));
}

TEST(PropertyListShape, DeepXMLListIsRefusedAtTheSameDepth) {
  LogCapture log;
  EXPECT_EQ(foundation::xmlPropertyListShape(deepXMLArrays(1000000), kLimits), PropertyListShape::TooDeep);
  EXPECT_FALSE(read(deepXMLArrays(1000000)));
  EXPECT_TRUE(log->contains("nests deeper than 512 levels"));
  EXPECT_EQ(depthOf(read(deepXMLArrays(512))), 512u);
  EXPECT_FALSE(read(deepXMLArrays(513)));
  // Tags in comments and character data are not structure.
  const std::string commented =
      "<plist><array><!-- <array><array> --><string><![CDATA[<array>]]></string><array/></array></plist>";
  EXPECT_EQ(foundation::xmlPropertyListShape(commented, {1, 10}), PropertyListShape::Fits);
}

TEST(PropertyListShape, ValueCountIsCappedAfterFollowingSharedReferences) {
  LogCapture log;
  // Forty doublings: a trillion values from a few hundred bytes.
  EXPECT_EQ(foundation::binaryPropertyListShape(doublingBinaryArrays(40), kLimits), PropertyListShape::TooLarge);
  EXPECT_FALSE(read(doublingBinaryArrays(40)));
  EXPECT_TRUE(log->contains("property list probe holds more than 65536 values"));
  // Ten doublings expand to 2047 values and read whole.
  auto small = objc::as<NSArray>(read(doublingBinaryArrays(10)));
  ASSERT_TRUE(small);
  EXPECT_EQ(small->count(), 2u);

  EXPECT_EQ(foundation::xmlPropertyListShape(wideXMLDictionary(100000), kLimits), PropertyListShape::TooLarge);
  EXPECT_FALSE(read(wideXMLDictionary(100000)));
  auto wide = objc::as<NSDictionary>(read(wideXMLDictionary(30000)));
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide->count(), 30000u);
}

TEST(PropertyListShape, BinaryCyclesAndStrayReferencesAreRefused) {
  LogCapture log;
  // An array holding itself, and one holding its parent two levels up.
  EXPECT_EQ(foundation::binaryPropertyListShape(binaryPlist({container(0xA0, {0})}), kLimits),
            PropertyListShape::Cycle);
  const std::string loop = binaryPlist({container(0xA0, {1}), container(0xA0, {2}), container(0xA0, {0})});
  EXPECT_EQ(foundation::binaryPropertyListShape(loop, kLimits), PropertyListShape::Cycle);
  EXPECT_FALSE(read(loop));
  EXPECT_TRUE(log->contains("has a container that holds itself"));

  // A reference past the object table, a count running into the offset table.
  EXPECT_EQ(foundation::binaryPropertyListShape(binaryPlist({container(0xA0, {7})}), kLimits),
            PropertyListShape::Malformed);
  std::string overlong = binaryPlist({container(0xA0, {})});
  overlong[8] = char(0xAE);
  EXPECT_EQ(foundation::binaryPropertyListShape(overlong, kLimits), PropertyListShape::Malformed);
  // Truncated anywhere: never read past the end.
  const std::string good =
      binaryPlist({container(0xD0, {1, 2}), asciiString("a key of some length"), asciiString("value")});
  EXPECT_EQ(foundation::binaryPropertyListShape(good, kLimits), PropertyListShape::Fits);
  for (size_t n = 0; n < good.size(); ++n)
    EXPECT_NE(foundation::binaryPropertyListShape(good.substr(0, n), kLimits), PropertyListShape::Fits) << n;
  auto d = objc::as<NSDictionary>(read(good));
  ASSERT_TRUE(d);
  EXPECT_EQ(objc::cast<NSString>(d->objectForKey(std::string_view("a key of some length")))->str(), "value");
}

std::string binaryDate(double seconds) {
  uint64_t bits = 0;
  std::memcpy(&bits, &seconds, sizeof bits);
  std::string o(1, char(0x33));
  for (int i = 7; i >= 0; --i) o += char((bits >> (8 * i)) & 0xFF);
  return o;
}

TEST(PropertyListShape, BinaryDatesFarOutsideThirtyTwoBitSeconds) {
  LogCapture log;
  // 1869 and 2199 read to the fraction; dates no calendar names are refused.
  for (double t : {-4165314207.75, 6208830611.5}) {
    auto a = objc::as<NSArray>(read(binaryPlist({container(0xA0, {1}), binaryDate(t)})));
    ASSERT_TRUE(a) << t;
    EXPECT_DOUBLE_EQ(objc::cast<NSDate>(a->objectAtIndex(0))->timeIntervalSinceReferenceDate(), t);
  }
  for (double t : {1e300, -1e19, std::nan("")})
    EXPECT_FALSE(read(binaryPlist({container(0xA0, {1}), binaryDate(t)}))) << t;
}

TEST(PropertyListShape, StringsWithNulAreNotWrittenShort) {
  // XML text can carry a raw NUL that libplist reads; writing it back would
  // cut the string at the NUL, so the list cannot be written at all.
  const std::string xml = std::string("<plist><array><string>ab") + '\0' + "cd</string></array></plist>";
  auto a = objc::as<NSArray>(read(xml));
  ASSERT_TRUE(a);
  EXPECT_NE(objc::cast<NSString>(a->objectAtIndex(0))->str().find('\0'), std::string::npos);
  std::string out;
  EXPECT_FALSE(foundation::propertyListXML(*a, out));
  auto keyed = NSDictionary::dictionaryWithEntries({{NSStr(std::string_view("k\0", 2)), NSStr("v")}});
  EXPECT_FALSE(foundation::propertyListXML(*keyed, out));
  EXPECT_TRUE(foundation::propertyListXML(*NSArray::arrayWithObjects({NSStr("abcd")}), out));
}

}  // namespace
