// Tests of versit files opened with their index: offsets, fetching by UID,
// searching in batches with the cursor, cards read into memory, and items
// of a stale index.
#include <gtest/gtest.h>

#include <memory>

#include "VersitTestUtil.h"

namespace {

std::string Card(const std::string& uid, const std::string& note) {
  return "BEGIN:vCard\nUID:" + uid + "\nFN:Person " + uid + "\nNOTE:" + note + "\nEND:vCard\n";
}

std::vector<std::string> Uids(VCard* chain) {
  std::vector<std::string> out;
  while (chain != nullptr) {
    VCard* next = chain->next;
    const VCardEntry* uid = chain->GetEntry(kVCardUID);
    out.push_back(uid && uid->value ? uid->value : "?");
    delete chain;
    chain = next;
  }
  return out;
}

// Seven cards; five of them have "match" in their note. Indexed in file
// order.
class IndexedFileTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    data = tmp.Write("data.vcf", Card("u1", "a match") + Card("u2", "no") + Card("u3", "match") +
                                     Card("u4", "MATCH x") + Card("u5", "matches") +
                                     Card("u6", "none") + Card("u7", "last match"));
    VersitFile indexer;
    ASSERT_TRUE(indexer.Open(data.c_str(), false));
    indexer.IndexFile(tmp.Path("data.idx").c_str(), nullptr, nullptr);
    ASSERT_TRUE(indexer.Close());
    ASSERT_TRUE(file.OpenWithIndex(data.c_str(), tmp.Path("data.idx").c_str(), false));
    if (GetParam()) file.ReadInAllCards();
    words.Append("match");
    pattern.AddEntry(kVCardNote, "Notes");
  }

  TempDir tmp;
  std::string data;
  VersitFileWithIndex file;
  ValList words;
  VCard pattern;
};

}  // namespace

TEST_P(IndexedFileTest, OffsetsAndFetchByUid) {
  EXPECT_EQ(file.GetVCardOffset("u1"), 0);
  EXPECT_EQ(file.GetVCardOffset("U2"), static_cast<int>(Card("u1", "a match").size()));
  EXPECT_EQ(file.GetVCardOffset("nobody"), -1);
  std::unique_ptr<VCard> card(file.GetVCard("u4"));
  ASSERT_NE(card, nullptr);
  EXPECT_STREQ(card->GetEntry(kVCardNote)->value, "MATCH x");
  std::unique_ptr<VCard> again(file.GetVCard("u4"));  // a new card each time
  EXPECT_NE(again.get(), card.get());
  EXPECT_EQ(file.GetVCard("nobody"), nullptr);
}

TEST_P(IndexedFileTest, SearchInBatchesWithTheCursor) {
  int count = 0;
  char* cursor = nullptr;
  EXPECT_EQ(Uids(file.Search(&words, &count, 2, &cursor, nullptr, &pattern)),
            (std::vector<std::string>{"u1", "u3"}));
  EXPECT_EQ(count, 2);
  ASSERT_NE(cursor, nullptr);
  EXPECT_STREQ(cursor, "u4");

  count = 0;
  EXPECT_EQ(Uids(file.Search(&words, &count, 2, &cursor, nullptr, &pattern)),
            (std::vector<std::string>{"u4", "u5"}));
  ASSERT_NE(cursor, nullptr);
  EXPECT_STREQ(cursor, "u6");  // the next item, whether it matches or not

  count = 0;
  EXPECT_EQ(Uids(file.Search(&words, &count, 2, &cursor, nullptr, &pattern)),
            std::vector<std::string>{"u7"});
  EXPECT_EQ(count, 1);
  EXPECT_EQ(cursor, nullptr);
}

TEST_P(IndexedFileTest, CountNotResetReturnsTheRest) {
  int count = 0;
  char* cursor = nullptr;
  Uids(file.Search(&words, &count, 2, &cursor, nullptr, &pattern));
  EXPECT_EQ(Uids(file.Search(&words, &count, 2, &cursor, nullptr, &pattern)),
            (std::vector<std::string>{"u4", "u5", "u7"}));
  EXPECT_EQ(count, 5);
  EXPECT_EQ(cursor, nullptr);
}

TEST_P(IndexedFileTest, MaximumOnTheLastItemLeavesNoCursor) {
  int count = 4;
  char* cursor = nullptr;
  ValList last;
  last.Append("last");
  EXPECT_EQ(Uids(file.Search(&last, &count, 5, &cursor, nullptr, &pattern)),
            std::vector<std::string>{"u7"});
  EXPECT_EQ(cursor, nullptr);
}

TEST_P(IndexedFileTest, FieldPatternAndUnknownCursor) {
  VCardEntry fn(kVCardFN, nullptr);
  ValList person;
  person.Append("person u");
  int count = 0;
  char* cursor = nullptr;
  EXPECT_EQ(Uids(file.Search(&person, &count, 0, &cursor, &fn, &pattern)).size(), 7u);

  char unknown[] = "nobody";
  cursor = unknown;
  count = 0;
  EXPECT_EQ(file.Search(&words, &count, 2, &cursor, nullptr, &pattern), nullptr);
  EXPECT_EQ(cursor, nullptr);

  char named[] = "U5";  // a UID typed by the caller is looked up by name
  cursor = named;
  EXPECT_EQ(Uids(file.Search(&words, &count, 0, &cursor, nullptr, &pattern)),
            (std::vector<std::string>{"u5", "u7"}));
}

INSTANTIATE_TEST_SUITE_P(FromFileAndFromMemory, IndexedFileTest, ::testing::Bool());

TEST(VersitFileWithIndexTest, ReadInAllCardsFollowsTheIndexOrder) {
  TempDir tmp;
  std::string data = tmp.Write("d.vcf", Card("b1", "B") + Card("a1", "A") + Card("b2", "b"));
  VersitFile indexer;
  ASSERT_TRUE(indexer.Open(data.c_str(), false));
  indexer.IndexFileOn(tmp.Path("d.idx").c_str(), kVCardNote, nullptr, nullptr);
  indexer.Close();

  VersitFileWithIndex file;
  ASSERT_TRUE(file.OpenWithIndex(data.c_str(), tmp.Path("d.idx").c_str(), true));
  file.ReadInAllCards();
  std::vector<std::string> order;
  for (VCard* c = file.GetCards(); c != nullptr; c = c->next) {
    order.push_back(c->GetEntry(kVCardUID)->value);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"a1", "b2", "b1"}));
  EXPECT_EQ(file.FindCardFromList("B", kVCardNote), file.GetCards()->next);  // b2, any case
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(file.GetIndex(), nullptr);
  EXPECT_EQ(file.GetVCard("a1"), nullptr);
  EXPECT_EQ(file.GetVCardOffset("a1"), -1);
}

TEST(VersitFileWithIndexTest, StaleIndexItemsGiveNoCard) {
  TempDir tmp;
  std::string one = Card("one", "match");
  std::string data = tmp.Write("d.vcf", one + Card("two", "match"));
  // past the end, inside a card, another person's card, not a number, and
  // one good item.
  tmp.Write("d.idx", "BEGIN:vNameList\ngone:99999\nmid:20\nthree:0\nbad:x\ntwo:" +
                         std::to_string(one.size()) + "\nEND:vNameList\n");
  for (bool inMemory : {false, true}) {
    VersitFileWithIndex file;
    ASSERT_TRUE(file.OpenWithIndex(data.c_str(), tmp.Path("d.idx").c_str(), false));
    if (inMemory) {
      file.ReadInAllCards();
      ASSERT_NE(file.GetCards(), nullptr);
      EXPECT_EQ(file.GetCards()->next, nullptr);
    }
    for (const char* uid : {"gone", "mid", "three", "bad"}) {
      EXPECT_EQ(file.GetVCard(uid), nullptr) << uid;
    }
    EXPECT_EQ(file.GetVCardOffset("three"), 0);
    std::unique_ptr<VCard> two(file.GetVCard("two"));
    ASSERT_NE(two, nullptr);
    ValList words;
    words.Append("match");
    VCard pattern;
    pattern.AddEntry(kVCardNote, "n");
    int count = 0;
    char* cursor = nullptr;
    EXPECT_EQ(Uids(file.Search(&words, &count, 10, &cursor, nullptr, &pattern)),
              std::vector<std::string>{"two"});
  }
}

TEST(VersitFileWithIndexTest, OpenWithIndex) {
  TempDir tmp;
  VersitFileWithIndex file;
  EXPECT_FALSE(file.OpenWithIndex(tmp.Path("none.vcf").c_str(), tmp.Path("none.idx").c_str(), false));
  std::string data = tmp.Write("d.vcf", Card("x", "y"));
  EXPECT_TRUE(file.OpenWithIndex(data.c_str(), tmp.Path("none.idx").c_str(), false));
  ASSERT_NE(file.GetIndex(), nullptr);
  EXPECT_EQ(file.GetIndex()->count, 0);
  EXPECT_EQ(file.GetVCard("x"), nullptr);
  int count = 0;
  char* cursor = nullptr;
  EXPECT_EQ(file.Search(nullptr, &count, 1, &cursor, nullptr, nullptr), nullptr);
  // Left open on purpose: the destructor releases the stream and index.
}
