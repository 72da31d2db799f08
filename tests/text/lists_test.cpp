#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tests/support/TraceRecorder.h"
#include "text/ListOfPairOfStrings.h"
#include "text/Utils.h"

namespace quillor {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A pair list that frees its pairs when the test ends, as every owner must.
class OwnedPairs : public TListOfPairOfStrings {
 public:
  ~OwnedPairs() override { ClearAndFreeEachObject(); }

  std::vector<std::string> Keys() const {
    std::vector<std::string> keys;
    for (int32_t i = 0; i < Count(); ++i) keys.push_back(At(i)->fKey);
    return keys;
  }
};

// Counts its live instances, to see what a list frees and what it leaves.
struct Tracked {
  explicit Tracked(int* live) : live(live) { ++*live; }
  ~Tracked() { --*live; }
  Tracked(const Tracked&) = delete;
  Tracked& operator=(const Tracked&) = delete;
  int* live;
};

TEST(PairList, KeepsKeysInByteOrder) {
  test::TraceRecorder recorder;
  OwnedPairs list;
  list.add("b", "2");
  list.add("a", "1");
  list.add("c", "3");
  EXPECT_THAT(list.Keys(), ElementsAre("a", "b", "c"));
  EXPECT_EQ(list.getData("a"), "1");
  EXPECT_EQ(list.getData("b"), "2");
  EXPECT_EQ(list.getData("c"), "3");
  EXPECT_FALSE(list.exists("d"));
  EXPECT_TRUE(list.exists("b"));

  OwnedPairs mixed;
  for (const char* key : {"abc", "a", "B", "ab", "\xE9t\xE9", "b", "A"}) mixed.add(key, "x");
  // Upper case before lower case, a prefix first, bytes above 0x7F last.
  EXPECT_THAT(mixed.Keys(), ElementsAre("A", "B", "a", "ab", "abc", "b", "\xE9t\xE9"));
  EXPECT_EQ(mixed.findPos("0"), 0);
  EXPECT_EQ(mixed.findPos("\xFF"), mixed.Count());
  EXPECT_FALSE(mixed.exists("AB"));
  EXPECT_THAT(recorder.Boxes(), IsEmpty());
}

TEST(PairList, FindPosAgreesWithLowerBoundOnRandomKeys) {
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> length(1, 4), letter(0, 3);
  const char alphabet[] = {'a', 'b', 'Z', '\xE9'};
  for (int round = 0; round < 200; ++round) {
    OwnedPairs list;
    std::vector<std::string> keys;
    auto randomKey = [&] {
      std::string key(static_cast<size_t>(length(rng)), ' ');
      for (char& c : key) c = alphabet[letter(rng)];
      return key;
    };
    const int n = round % 40;
    for (int i = 0; i < n; ++i) {
      const std::string key = randomKey();
      if (std::find(keys.begin(), keys.end(), key) != keys.end()) continue;
      keys.push_back(key);
      list.add(key, "v");
    }
    std::sort(keys.begin(), keys.end());
    ASSERT_EQ(list.Keys(), keys);
    for (int probe = 0; probe < 30; ++probe) {
      const std::string key = randomKey();
      const auto expected = std::lower_bound(keys.begin(), keys.end(), key) - keys.begin();
      ASSERT_EQ(list.findPos(key), expected) << key;
      ASSERT_EQ(list.exists(key), std::binary_search(keys.begin(), keys.end(), key));
    }
  }
}

TEST(PairList, ReportsDuplicatesEmptyKeysAndEmptyData) {
  test::TraceRecorder recorder;
  OwnedPairs list;
  list.add("a", "1");
  list.add("a", "2");
  EXPECT_THAT(recorder.Errors(), ElementsAre("String_Manager_Unit:TListOfPairOfStrings.add:cl\xE9"
                                             " deja existante : a"));
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.getData("a"), "2");
  recorder.Clear();

  list.add("", "x");
  EXPECT_THAT(recorder.Errors(), ElementsAre("String_Manager_Unit:TListOfPairOfStrings.add: cle vide"));
  EXPECT_EQ(list.Count(), 1);
  recorder.Clear();

  list.add("b", "");
  EXPECT_THAT(recorder.Boxes(), IsEmpty());
  EXPECT_THAT(recorder.Warnings(), ElementsAre("String_Manager_Unit:TListOfPairOfStrings.add: data vide"));
  EXPECT_TRUE(list.exists("b"));
  EXPECT_EQ(list.getData("b"), "");
}

TEST(PairList, EmptyListAnswersWithWarningsOnly) {
  test::TraceRecorder recorder;
  OwnedPairs list;
  EXPECT_EQ(list.getData("x"), "");
  EXPECT_FALSE(list.exists("x"));
  EXPECT_EQ(list.findPos("x"), 0);
  EXPECT_THAT(recorder.Boxes(), IsEmpty());
  EXPECT_THAT(recorder.Warnings(), ElementsAre("TListOfPairOfStrings.getData: parametre n'existe pas : x"));
}

TEST(ObjectList, CheckedAccessAndInsertion) {
  test::TraceRecorder recorder;
  int live = 0;
  {
    TMyList<Tracked> list;
    Tracked* first = new Tracked(&live);
    Tracked* second = new Tracked(&live);
    list.Insert(0, second);
    list.Insert(0, first);
    Tracked* last = new Tracked(&live);
    list.Insert(list.Count(), last);
    EXPECT_EQ(list.GetItem(0), first);
    EXPECT_EQ(list.GetItem(1), second);
    EXPECT_EQ(list.GetItem(2), last);
    EXPECT_THAT(recorder.Boxes(), IsEmpty());

    EXPECT_EQ(list.GetItem(-1), nullptr);
    EXPECT_EQ(list.GetItem(3), nullptr);
    EXPECT_THAT(recorder.Errors(),
                ElementsAre("TMyList.GetItem[-1] : index hors limites", "TMyList.GetItem : resultat nil",
                            "TMyList.GetItem[3] : index hors limites", "TMyList.GetItem : resultat nil"));
    recorder.Clear();

    Tracked* stray = new Tracked(&live);
    list.Insert(list.Count() + 1, stray);
    EXPECT_THAT(recorder.Errors(), ElementsAre("Utils_Unit:TMyList.Insert: bad index 4"));
    EXPECT_EQ(list.Count(), 3);
    delete stray;
    recorder.Clear();

    // An absent item is reported, stored all the same, and reported again
    // when read and when freed.
    list.Insert(1, nullptr);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.GetItem(1), nullptr);
    list.ClearAndFreeEachObject();
    EXPECT_THAT(recorder.Errors(),
                ElementsAre("Utils_Unit:TMyList.Insert:Non Assigned Item", "TMyList.GetItem : resultat nil",
                            "Utils_Unit:TMyList.ClearAndFreeEachObject : Item not assigned"));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(live, 0);
    recorder.Clear();
  }
  // An emptied list is destroyed silently.
  EXPECT_THAT(recorder.Boxes(), IsEmpty());
}

TEST(ObjectList, DestroyingANonEmptyListReportsAndLeavesItemsAlive) {
  test::TraceRecorder recorder;
  int live = 0;
  auto first = std::make_unique<Tracked>(&live);
  auto second = std::make_unique<Tracked>(&live);
  {
    TMyList<Tracked> list;
    list.Insert(0, first.get());
    list.Insert(1, second.get());
  }
  EXPECT_THAT(recorder.Errors(), ElementsAre("Utils_Unit:TMyList.Destroy:Freeing non empty List"));
  EXPECT_EQ(live, 2);
}

TEST(IntegerHelpers, BoundsInEitherOrderAndStrictBetween) {
  EXPECT_EQ(MaxOf(3, 5), 5);
  EXPECT_EQ(MaxOf(-3, -5), -3);
  EXPECT_EQ(MinOf(3, 5), 3);
  EXPECT_EQ(MinOf(-3, -5), -5);
  EXPECT_TRUE(InBounds(5, 10, 0));
  EXPECT_TRUE(InBounds(0, 10, 0));
  EXPECT_TRUE(InBounds(10, 0, 10));
  EXPECT_FALSE(InBounds(11, 10, 0));
  EXPECT_TRUE(InBounds(-1, 0, -1));
  EXPECT_FALSE(Between(5, 10, 0));
  EXPECT_TRUE(Between(5, 0, 10));
  EXPECT_TRUE(Between(0, 0, 0));
  EXPECT_FALSE(Between(0, 0, -1));
}

}  // namespace
}  // namespace quillor
