// Strings, arrays and dictionaries as the platform and the tweak use them.

#include <Foundation/NSArray.h>
#include <Foundation/NSData.h>
#include <Foundation/NSDictionary.h>
#include <Foundation/NSNumber.h>
#include <Foundation/NSString.h>
#include <Foundation/NSURL.h>
#include <objc/message.h>

#include <gtest/gtest.h>

namespace {

std::vector<std::string> texts(const NSArray& a) {
  std::vector<std::string> out;
  for (const id& item : a) out.push_back(objc::cast<NSString>(item)->str());
  return out;
}

TEST(NSStringTest, LengthCountsUtf16Units) {
  EXPECT_EQ(NSStr("")->length(), 0u);
  EXPECT_EQ(NSStr("abc")->length(), 3u);
  EXPECT_EQ(NSStr("é")->length(), 1u);       // two bytes, one unit
  EXPECT_EQ(NSStr("日本語")->length(), 3u);  // three bytes each
  EXPECT_EQ(NSStr("a\xF0\x9F\x98\x80"
                  "b")
                ->length(),
            4u);  // an emoji is a surrogate pair
  EXPECT_EQ(objc::msg<uint64_t>(NSStr("★ or better"), SEL_("length")), 11u);
}

TEST(NSStringTest, ComponentsSeparatedByString) {
  using V = std::vector<std::string>;
  EXPECT_EQ(texts(*NSStr("a|b||c")->componentsSeparatedByString("|")), (V{"a", "b", "", "c"}));
  EXPECT_EQ(texts(*NSStr("Quillpane 3|red")->componentsSeparatedByString("|")), (V{"Quillpane 3", "red"}));
  EXPECT_EQ(texts(*NSStr("|")->componentsSeparatedByString("|")), (V{"", ""}));
  EXPECT_EQ(texts(*NSStr("")->componentsSeparatedByString("|")), (V{""}));
  EXPECT_EQ(texts(*NSStr("a--b")->componentsSeparatedByString("--")), (V{"a", "b"}));
  EXPECT_EQ(texts(*NSStr("abc")->componentsSeparatedByString("")), (V{"abc"}));
}

TEST(NSStringTest, CaseInsensitiveCompare) {
  EXPECT_EQ(NSStr("abc")->caseInsensitiveCompare(*NSStr("ABC")), 0);
  EXPECT_EQ(NSStr("abc")->caseInsensitiveCompare(*NSStr("ABD")), -1);
  EXPECT_EQ(NSStr("b")->caseInsensitiveCompare(*NSStr("A")), 1);
  EXPECT_EQ(NSStr("ab")->caseInsensitiveCompare(*NSStr("AB c")), -1);
  EXPECT_EQ(NSStr("Ärger")->caseInsensitiveCompare(*NSStr("äRGER")), 0);
  EXPECT_EQ(NSStr("Zebra")->caseInsensitiveCompare(*NSStr("äpfel")), -1);  // code-point order, not a locale's
}

TEST(NSStringTest, FormatKeepsDataOutOfTheFormat) {
  EXPECT_EQ(NSString::stringWithFormat("%@ %lu", NSStr("%d%s%n"), uint64_t(3))->str(), "%d%s%n 3");
}

TEST(NSArrayTest, IndexingAndEquality) {
  auto a = NSArray::arrayWithObjects({NSStr("x"), NSNumber::numberWithInteger(2), NSStr("x")});
  EXPECT_EQ(a->count(), 3u);
  EXPECT_EQ(a->indexOfObject(NSStr("x").get()), 0u);
  EXPECT_EQ(a->indexOfObject(NSNumber::numberWithDouble(2.0).get()), 1u);
  EXPECT_EQ(a->indexOfObject(NSStr("y").get()), NSNotFound);
  EXPECT_THROW((void)a->objectAtIndex(3), objc::RuntimeError);
  EXPECT_THROW((void)objc::msg<id>(a, SEL_("objectAtIndex:"), uint64_t(7)), objc::RuntimeError);
  EXPECT_TRUE(a->isEqualTo(*NSArray::arrayWithObjects({NSStr("x"), NSNumber::numberWithInteger(2), NSStr("x")})));
  EXPECT_FALSE(a->isEqualTo(*NSArray::arrayWithObjects({NSStr("x")})));
}

TEST(NSArrayTest, MutationAndStableSort) {
  auto a = NSMutableArray::array();
  for (const char* s : {"b1", "a1", "b2", "a2", "c"}) a->addObject(NSStr(s));
  a->sortUsingComparator([](const id& x, const id& y) {
    const char cx = objc::cast<NSString>(x)->str()[0], cy = objc::cast<NSString>(y)->str()[0];
    return cx < cy ? NSOrderedAscending : cx > cy ? NSOrderedDescending : NSOrderedSame;
  });
  EXPECT_EQ(texts(*a), (std::vector<std::string>{"a1", "a2", "b1", "b2", "c"}));
  a->addObject(NSStr("a1"));
  a->removeObject(NSStr("a1").get());
  EXPECT_EQ(texts(*a), (std::vector<std::string>{"a2", "b1", "b2", "c"}));
  a->insertObjectAtIndex(NSStr("z"), 4);
  a->removeObjectAtIndex(0);
  EXPECT_EQ(texts(*a), (std::vector<std::string>{"b1", "b2", "c", "z"}));
  EXPECT_THROW(a->insertObjectAtIndex(NSStr("q"), 9), objc::RuntimeError);
  EXPECT_THROW(a->addObject(nullptr), objc::RuntimeError);
}

TEST(NSDictionaryTest, StringKeysFindEntriesWithoutBuildingStrings) {
  auto d = NSMutableDictionary::dictionary();
  d->setObjectForKey(NSNumber::numberWithInteger(1), "enabled");
  d->setObjectForKey(NSStr("v"), NSStr("textColor"));
  EXPECT_EQ(objc::cast<NSNumber>(d->objectForKey(std::string_view("enabled")))->integerValue(), 1);
  EXPECT_EQ(objc::cast<NSString>(d->objectForKey(NSStr("textColor").get()))->str(), "v");
  EXPECT_FALSE(d->objectForKey(std::string_view("missing")));
  EXPECT_FALSE(d->objectForKey(static_cast<const NSObject*>(nullptr)));
  EXPECT_EQ(objc::msg<id>(d, SEL_("objectForKey:"), NSStr("textColor")),
            d->objectForKey(std::string_view("textColor")));
}

TEST(NSDictionaryTest, ReplacingAndRemovingKeepOrderAndIndex) {
  auto d = NSMutableDictionary::dictionary();
  for (const char* k : {"a", "b", "c", "d"}) d->setObjectForKey(NSStr(std::string("v") + k), k);
  d->setObjectForKey(NSStr("B"), "b");  // a replaced value keeps its place
  d->removeObjectForKey(NSStr("a").get());
  std::vector<std::string> keys;
  for (const id& k : d->allKeys()) keys.push_back(objc::cast<NSString>(k)->str());
  EXPECT_EQ(keys, (std::vector<std::string>{"b", "c", "d"}));
  EXPECT_EQ(objc::cast<NSString>(d->objectForKey(std::string_view("b")))->str(), "B");
  EXPECT_EQ(objc::cast<NSString>(d->objectForKey(std::string_view("d")))->str(), "vd");
  EXPECT_THROW(d->setObjectForKey(nullptr, "x"), objc::RuntimeError);
}

TEST(NSDictionaryTest, RemovingManyKeysOneByOneKeepsTheRestWhole) {
  // Removals leave holes that are swept up now and then: every view of the
  // dictionary must skip them, before and after a sweep.
  auto d = NSMutableDictionary::dictionary();
  for (int i = 0; i < 10; ++i) d->setObjectForKey(NSNumber::numberWithInteger(i), std::to_string(i));
  for (int i : {0, 3, 4, 9}) d->removeObjectForKey(NSStr(std::to_string(i)).get());
  d->removeObjectForKey(NSStr("missing").get());
  auto keysOf = [](const NSDictionary& dict) {
    std::string out;
    for (const auto& [key, value] : dict.entries()) out += objc::cast<NSString>(key)->str();
    return out;
  };
  EXPECT_EQ(d->count(), 6u);
  EXPECT_EQ(keysOf(*d), "125678");
  EXPECT_EQ(d->allKeys().size(), 6u);
  EXPECT_FALSE(d->objectForKey(std::string_view("3")));
  EXPECT_EQ(objc::cast<NSNumber>(d->objectForKey(std::string_view("8")))->integerValue(), 8);
  EXPECT_EQ(objc::msg<uint64_t>(d, SEL_("count")), 6u);
  // A re-added key goes to the end; a copy and an equal dictionary see the same.
  d->setObjectForKey(NSStr("again"), "3");
  EXPECT_EQ(keysOf(*d), "1256783");
  EXPECT_EQ(keysOf(*NSMutableDictionary::dictionaryWithDictionary(d.get())), "1256783");
  EXPECT_EQ(d->descriptionString().find("4 ="), std::string::npos);
  for (int i : {1, 2, 5, 6, 7}) d->removeObjectForKey(NSStr(std::to_string(i)).get());
  EXPECT_EQ(keysOf(*d), "83");
  EXPECT_TRUE(d->isEqualTo(*NSDictionary::dictionaryWithEntries(
      {{NSStr("3"), NSStr("again")}, {NSStr("8"), NSNumber::numberWithInteger(8)}})));
  d->removeObjectForKey(NSStr("8").get());
  d->removeObjectForKey(NSStr("3").get());
  EXPECT_EQ(d->count(), 0u);
  EXPECT_EQ(keysOf(*d), "");

  // Many sweeps over object keys: every key left still finds its own value,
  // in its own place, and a value set again replaces it there.
  std::vector<Ref<NSNumber>> keys;
  for (int i = 0; i < 1000; ++i) {
    keys.push_back(NSNumber::numberWithInteger(i));
    d->setObjectForKey(NSNumber::numberWithInteger(-i), keys.back());
  }
  for (int i = 0; i < 1000; ++i)
    if (const int k = (i * 7) % 1000; k % 3) d->removeObjectForKey(keys[k].get());
  ASSERT_EQ(d->count(), 334u);
  d->setObjectForKey(NSStr("replaced"), keys[300]);
  int64_t expected = 0;
  for (const auto& [key, value] : d->entries()) {
    EXPECT_EQ(objc::cast<NSNumber>(key)->integerValue(), expected);
    expected += 3;
  }
  for (int k = 0; k < 1000; k += 3) {
    auto value = d->objectForKey(keys[k].get());
    if (k == 300)
      EXPECT_EQ(objc::cast<NSString>(value)->str(), "replaced");
    else
      EXPECT_EQ(objc::cast<NSNumber>(value)->integerValue(), -k) << k;
  }
  EXPECT_FALSE(d->objectForKey(keys[1].get()));
}

/// An object that, when let go of, notes how many objects its list holds.
class ListWatcher : public NSObject {
 public:
  ListWatcher(const NSMutableArray* list, std::vector<uint64_t>* seen) : list_(list), seen_(seen) {}
  ~ListWatcher() override { seen_->push_back(list_->count()); }
  ListWatcher(const ListWatcher&) = delete;
  ListWatcher& operator=(const ListWatcher&) = delete;

 private:
  const NSMutableArray* list_;
  std::vector<uint64_t>* seen_;
};

TEST(NSArrayTest, ObjectsLetGoOfFindTheirListAlreadyEmptiedOrReplaced) {
  auto list = NSMutableArray::array();
  std::vector<uint64_t> seen;
  // More objects than are fetched ahead while a list is let go of.
  for (int i = 0; i < 20; ++i) list->addObject(objc::make_ref<ListWatcher>(list.get(), &seen));
  list->removeAllObjects();
  EXPECT_EQ(seen, std::vector<uint64_t>(20, 0));

  seen.clear();
  for (int i = 0; i < 3; ++i) list->addObject(objc::make_ref<ListWatcher>(list.get(), &seen));
  list->setArray({NSStr("a"), NSStr("b")});
  EXPECT_EQ(seen, std::vector<uint64_t>(3, 2));
  EXPECT_EQ(texts(*list), (std::vector<std::string>{"a", "b"}));
}

TEST(NSArrayTest, BatchAndLastRemoval) {
  auto a = NSMutableArray::array();
  for (const char* s : {"a", "b", "a", "c", "d"}) a->addObject(NSStr(s));
  // Equal objects go, not only the same ones; the rest keep their order.
  a->removeObjectsInArray(NSArray::arrayWithObjects({NSStr("a"), NSStr("d"), NSStr("zz")}).get());
  EXPECT_EQ(texts(*a), (std::vector<std::string>{"b", "c"}));
  a->removeObjectsInArray(a.get());  // a list emptied by itself
  EXPECT_EQ(a->count(), 0u);
  a->addObject(NSStr("x"));
  objc::msg(a, SEL_("removeLastObject"));
  EXPECT_EQ(a->count(), 0u);
  EXPECT_THROW(a->removeLastObject(), objc::RuntimeError);
}

TEST(NSDictionaryTest, NumberKeysMatchAcrossKinds) {
  auto d = NSMutableDictionary::dictionary();
  d->setObjectForKey(NSStr("one"), NSNumber::numberWithInteger(1));
  EXPECT_TRUE(d->objectForKey(NSNumber::numberWithDouble(1.0).get()));
  EXPECT_FALSE(d->objectForKey(NSStr("1").get()));
}

TEST(NSDictionaryTest, EqualityIgnoresOrder) {
  auto a = NSDictionary::dictionaryWithEntries({{NSStr("x"), NSStr("1")}, {NSStr("y"), NSStr("2")}});
  auto b = NSDictionary::dictionaryWithEntries({{NSStr("y"), NSStr("2")}, {NSStr("x"), NSStr("1")}});
  EXPECT_TRUE(a->isEqualTo(*b));
  EXPECT_FALSE(a->isEqualTo(*NSDictionary::dictionaryWithEntries({{NSStr("x"), NSStr("1")}})));
  EXPECT_EQ(a->descriptionString(), "{\n    x = 1;\n    y = 2;\n}");
}

TEST(NSURLTest, OnlyAbsoluteAddresses) {
  EXPECT_EQ(NSURL::URLWithString("x-apple-reminder://")->scheme(), "x-apple-reminder");
  EXPECT_EQ(NSURL::URLWithString("HTTPS://example.com/a?b=c")->scheme(), "https");
  EXPECT_FALSE(NSURL::URLWithString("no scheme here"));
  EXPECT_FALSE(NSURL::URLWithString("/var/mobile"));
  EXPECT_FALSE(NSURL::URLWithString("1http://x"));
  EXPECT_FALSE(NSURL::URLWithString(""));
  // A character a URL only ever holds escaped makes the text no URL at all.
  for (std::string bad : {"\"", "<", ">", "\\", "^", "`", "{", "|", "}", " ", "\t", "\x7f", "\xc3\xa9"})
    EXPECT_FALSE(NSURL::URLWithString("https://example.com/a" + bad + "b")) << bad;
  EXPECT_TRUE(NSURL::URLWithString("https://example.com/~a%20b#c[1]!$&'()*+,;=@"));
  EXPECT_EQ(NSURLRequest::requestWithURL(NSURL::URLWithString("prefs:root=General"))->URL()->absoluteString(),
            "prefs:root=General");
}

TEST(NSDataTest, Description) {
  EXPECT_EQ(objc::create<NSData>(std::vector<uint8_t>{0, 1, 0xab, 0xff, 0x10})->descriptionString(), "<0001abff 10>");
}

}  // namespace

TEST(CollectionDescriptionTest, DeepCollectionsOfManyValuesDescribeWithinAMegabyte) {
  // 60,000 strings 500 levels down: gigabytes of indentation when described whole.
  std::vector<id> leaves(60000, NSStr("leaf"));
  id node = NSArray::arrayWithObjects(std::move(leaves));
  for (int i = 0; i < 500; ++i) node = NSArray::arrayWithObjects({node});
  const std::string text = node->descriptionString();
  EXPECT_LT(text.size(), 2u << 20);
  EXPECT_NE(text.find("leaf,\n"), std::string::npos);
  EXPECT_NE(text.find("..."), std::string::npos);
  EXPECT_EQ(text.back(), ')');

  auto small = NSDictionary::dictionaryWithEntries({{NSStr("k"), NSArray::arrayWithObjects({NSStr("a b")})}});
  EXPECT_EQ(small->descriptionString(), "{\n    k = (\n        \"a b\"\n    );\n}");
}
