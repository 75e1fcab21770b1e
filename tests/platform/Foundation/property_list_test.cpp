// Property lists from real-world files: XML and binary twins read alike,
// bad files give nil with a log line, and what is written reads back.

#include <Foundation/NSArray.h>
#include <Foundation/NSData.h>
#include <Foundation/NSDate.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSNumber.h>
#include <Foundation/NSString.h>
#include <Foundation/NSURL.h>
#include <Foundation/PropertyList.h>

#include <gtest/gtest.h>

#include <fstream>

#include "TempRoot.h"

namespace {

using foundation::PropertyListRoot;

class PlistCorpusTest : public ::testing::Test {
 protected:
  void SetUp() override { foundation::setDeviceRoot(QP_CORPUS_DIR); }
  static Ref<NSDictionary> dict(const char* name) {
    return NSDictionary::dictionaryWithContentsOfFile(std::string("/plist/") + name);
  }
  static Ref<NSArray> array(const char* name) {
    return NSArray::arrayWithContentsOfFile(std::string("/plist/") + name);
  }
  LogCapture log;
};

Ref<NSNumber> number(const id& v) { return objc::cast<NSNumber>(v); }

TEST_F(PlistCorpusTest, IntegerExtremesReadAlikeFromXmlAndBinary) {
  auto xml = array("xml_array_root_int_extremes.plist");
  auto bin = array("bin_array_root_int_extremes.bplist");
  ASSERT_TRUE(xml && bin);
  EXPECT_TRUE(xml->isEqualTo(*bin));
  for (const auto& a : {xml, bin}) {
    ASSERT_EQ(a->count(), 5u);
    EXPECT_EQ(number(a->objectAtIndex(0))->integerValue(), -1);
    EXPECT_EQ(number(a->objectAtIndex(0))->kind(), NSNumber::Kind::Integer);
    EXPECT_EQ(number(a->objectAtIndex(1))->unsignedIntegerValue(), UINT64_MAX);
    EXPECT_EQ(number(a->objectAtIndex(1))->kind(), NSNumber::Kind::Unsigned);
    EXPECT_EQ(number(a->objectAtIndex(2))->integerValue(), INT64_MAX);
    EXPECT_EQ(number(a->objectAtIndex(3))->integerValue(), INT64_MIN);
    EXPECT_EQ(number(a->objectAtIndex(4))->unsignedIntegerValue(), 9223372036854775808u);
  }
}

TEST_F(PlistCorpusTest, DatesBeforeAndAfterThirtyTwoBitSeconds) {
  auto d = dict("xml_dates_1869_2199.plist");
  ASSERT_TRUE(d);
  auto date = [&](const char* key) { return objc::cast<NSDate>(d->objectForKey(std::string_view(key))); };
  EXPECT_EQ(date("Time1")->descriptionString(), "2010-11-12 13:14:15 +0000");
  EXPECT_EQ(date("Time3")->descriptionString(), "1869-01-03 08:16:32 +0000");
  EXPECT_EQ(date("Time4")->descriptionString(), "2199-08-20 01:10:11 +0000");
  EXPECT_DOUBLE_EQ(date("Time3")->timeIntervalSince1970(), -3187007008.0);
}

TEST_F(PlistCorpusTest, EveryValueKindOfABinaryDictionary) {
  auto d = dict("bin_dict_all_types.plist");
  ASSERT_TRUE(d);
  auto get = [&](const char* key) { return d->objectForKey(std::string_view(key)); };
  EXPECT_EQ(objc::cast<NSString>(get("Author"))->str(), "William Shakespeare");
  EXPECT_EQ(objc::cast<NSString>(get("Blank"))->str(), "");
  EXPECT_EQ(number(get("Death"))->integerValue(), 1564);
  EXPECT_EQ(number(get("Height"))->kind(), NSNumber::Kind::Real);
  EXPECT_DOUBLE_EQ(number(get("Height"))->doubleValue(), 1.6);
  EXPECT_TRUE(number(get("IsTrue"))->isBoolean());
  EXPECT_TRUE(number(get("IsTrue"))->boolValue());
  EXPECT_FALSE(number(get("IsNotFalse"))->boolValue());
  EXPECT_EQ(objc::cast<NSDate>(get("Birthdate"))->descriptionString(), "1981-05-16 11:32:06 +0000");
  EXPECT_EQ(objc::cast<NSData>(get("Data"))->length(), 15u);
  EXPECT_EQ(objc::cast<NSArray>(get("EmptyArray"))->count(), 0u);
  EXPECT_EQ(objc::cast<NSDictionary>(get("EmptyDictionary"))->count(), 0u);
  EXPECT_EQ(objc::cast<NSArray>(get("Lines"))->count(), 2u);
}

TEST_F(PlistCorpusTest, Utf8AndUtf16Strings) {
  auto xml = dict("xml_dict_utf8_all_types.plist");
  ASSERT_TRUE(xml);
  EXPECT_EQ(objc::cast<NSString>(xml->objectForKey(std::string_view("Keys & \"entities\"")))->str(),
            "hellow world & others <nodes> are \"fun!?'");
  auto scripts = objc::cast<NSArray>(xml->objectForKey(std::string_view("Some UTF8 strings")));
  EXPECT_EQ(objc::cast<NSString>(scripts->objectAtIndex(1))->str(), "日本語");
  EXPECT_EQ(number(xml->objectForKey(std::string_view("Some Int")))->integerValue(), 32434543632);

  auto bin = dict("bin_utf16_strings.plist");
  ASSERT_TRUE(bin);
  auto name = objc::cast<NSString>(bin->objectForKey(std::string_view("name")));
  EXPECT_EQ(name->str(), "★ or better");
  EXPECT_EQ(name->length(), 11u);
}

TEST_F(PlistCorpusTest, KeyedArchiveUidsReadAsTheirDictionaryForm) {
  auto d = dict("bin_nskeyedarchiver_uid.plist");
  ASSERT_TRUE(d);
  auto top = objc::cast<NSDictionary>(d->objectForKey(std::string_view("$top")));
  auto uid = objc::cast<NSDictionary>(top->objectForKey(std::string_view("foundItems")));
  EXPECT_EQ(number(uid->objectForKey(std::string_view("CF$UID")))->integerValue(), 1);
}

TEST_F(PlistCorpusTest, CorruptFilesGiveNilAndALogLine) {
  for (const char* name : {"bin_corrupt_malformed_dict.bplist", "bin_corrupt_self_reference.bplist",
                           "bin_corrupt_zero_offset_size.plist", "xml_corrupt_truncated.plist"}) {
    log->clear();
    EXPECT_FALSE(dict(name)) << name;
    EXPECT_FALSE(array(name)) << name;
    EXPECT_TRUE(log->contains(name)) << name;
  }
}

TEST_F(PlistCorpusTest, BinaryKeysWithNulAreRefused) {
  // libplist cannot hand such keys out; the file is bad input, not a crash.
  foundation::setDeviceRoot(QP_SOURCE_DIR);
  EXPECT_FALSE(NSDictionary::dictionaryWithContentsOfFile("/fuzz/corpus/plist/bin_key_with_nul.bplist"));
  EXPECT_TRUE(log->contains("NUL"));
}

TEST_F(PlistCorpusTest, MissingFileGivesNilSilently) {
  EXPECT_FALSE(dict("no_such_file.plist"));
  EXPECT_FALSE(NSMutableArray::arrayWithContentsOfFile("/plist/no_such_file.plist"));
  EXPECT_TRUE(log->lines().empty());
}

TEST_F(PlistCorpusTest, OtherRootGivesNil) {
  EXPECT_FALSE(dict("xml_array_root_int_extremes.plist"));
  EXPECT_FALSE(array("bin_dict_all_types.plist"));
  EXPECT_TRUE(array("xml_array_root_int_extremes.plist"));
}

class PlistWriteTest : public ::testing::Test {
 protected:
  TempRoot root;
};

TEST_F(PlistWriteTest, CorpusFilesRoundTripThroughXml) {
  for (const char* name : {"bin_dict_all_types.plist", "xml_dict_utf8_all_types.plist", "xml_dates_1869_2199.plist",
                           "bin_utf16_strings.plist", "bin_apple_airplay_status.bplist"}) {
    std::string bytes;
    std::ifstream in(std::string(QP_CORPUS_DIR) + "/plist/" + name, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    auto original = objc::as<NSDictionary>(foundation::propertyListFromBytes(bytes, PropertyListRoot::Dictionary));
    ASSERT_TRUE(original) << name;
    for (bool atomically : {true, false}) {
      ASSERT_TRUE(original->writeToFile("/copy.plist", atomically)) << name;
      auto copy = NSDictionary::dictionaryWithContentsOfFile("/copy.plist");
      ASSERT_TRUE(copy) << name;
      EXPECT_TRUE(copy->isEqualTo(*original)) << name << "\n" << copy->descriptionString();
    }
  }
}

TEST_F(PlistWriteTest, WrittenFilesAreXml) {
  auto prefs = NSMutableDictionary::dictionary();
  prefs->setObjectForKey(NSNumber::numberWithBool(true), "enabled");
  prefs->setObjectForKey(NSNumber::numberWithInteger(-12), "sortPriority");
  prefs->setObjectForKey(NSNumber::numberWithUnsignedInteger(UINT64_MAX), "big");
  prefs->setObjectForKey(NSNumber::numberWithDouble(0.5), "alpha");
  prefs->setObjectForKey(NSDate::dateWithTimeIntervalSince1970(-3187007008.0), "old");
  ASSERT_TRUE(prefs->writeToFile("/p.plist", true));
  std::string xml;
  ASSERT_TRUE(foundation::readDeviceFile("/p.plist", xml));
  EXPECT_NE(xml.find("<?xml"), std::string::npos);
  EXPECT_NE(xml.find("<key>enabled</key>\n\t<true/>"), std::string::npos);
  EXPECT_NE(xml.find("<integer>-12</integer>"), std::string::npos);
  EXPECT_NE(xml.find("<integer>18446744073709551615</integer>"), std::string::npos);
  EXPECT_NE(xml.find("<date>1869-01-03T08:16:32Z</date>"), std::string::npos);
  auto back = NSDictionary::dictionaryWithContentsOfFile("/p.plist");
  ASSERT_TRUE(back);
  EXPECT_TRUE(back->isEqualTo(*prefs));
}

TEST_F(PlistWriteTest, ArraysRoundTrip) {
  auto order = NSArray::arrayWithObjects({NSStr("System Items"), NSStr("Datebeam"), NSStr("Quillpane")});
  ASSERT_TRUE(order->writeToFile("/sorting.plist", false));
  auto back = NSMutableArray::arrayWithContentsOfFile("/sorting.plist");
  ASSERT_TRUE(back);
  EXPECT_TRUE(back->isEqualTo(*order));
}

TEST_F(PlistWriteTest, ValuesNoPropertyListCarriesAreRefused) {
  LogCapture log;
  auto d = NSMutableDictionary::dictionary();
  d->setObjectForKey(NSURL::URLWithString("https://example.com"), "url");
  EXPECT_FALSE(d->writeToFile("/bad.plist", true));
  EXPECT_FALSE(std::filesystem::exists(root.path() / "bad.plist"));
  EXPECT_TRUE(log->contains("cannot be written"));
  auto numberKeys = NSMutableDictionary::dictionary();
  numberKeys->setObjectForKey(NSStr("x"), NSNumber::numberWithInteger(1));
  EXPECT_FALSE(numberKeys->writeToFile("/bad.plist", false));
}

TEST_F(PlistWriteTest, GarbageAndDeepNestingAreRejected) {
  LogCapture log;
  EXPECT_FALSE(foundation::propertyListFromBytes("", PropertyListRoot::Any));
  EXPECT_FALSE(foundation::propertyListFromBytes("bplist00", PropertyListRoot::Any));
  EXPECT_FALSE(foundation::propertyListFromBytes("<plist><dict><key>a</key></plist>", PropertyListRoot::Any));
  std::string deep = "<plist>";
  for (int i = 0; i < 600; ++i) deep += "<array>";
  for (int i = 0; i < 600; ++i) deep += "</array>";
  deep += "</plist>";
  EXPECT_FALSE(foundation::propertyListFromBytes(deep, PropertyListRoot::Any));
  EXPECT_FALSE(log->lines().empty());
}

}  // namespace
