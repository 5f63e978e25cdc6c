// Tests of versit files opened with their index: offsets, fetching by UID,
// searching in batches with the cursor, cards read into memory, and items
// of a stale index.
#include <gtest/gtest.h>

#include <memory>

#include "VersitTestUtil.h"

namespace {

std::string Noted(const std::string& uid, const std::string& note) {
  return Card(uid, "NOTE:" + note + "\n");
}

// The UIDs of a result chain, which is deleted.
Strings Uids(VCard* chain) {
  Strings out;
  while (chain != nullptr) {
    std::unique_ptr<VCard> card(chain);
    chain = card->next;
    out.push_back(card->GetEntry(kVCardUID)->value);
  }
  return out;
}

// Seven cards, five with "match" in their note, indexed in file order; the
// parameter says whether the cards are read into memory.
class IndexedFileTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    std::string data = tmp.Write("d.vcf", Noted("u1", "a match") + Noted("u2", "no") +
                                              Noted("u3", "match") + Noted("u4", "MATCH x") +
                                              Noted("u5", "matches") + Noted("u6", "none") +
                                              Noted("u7", "last match"));
    VersitFile indexer;
    ASSERT_TRUE(indexer.Open(data.c_str(), false));
    indexer.IndexFile(tmp.Path("d.idx").c_str(), nullptr, nullptr);
    ASSERT_TRUE(file.OpenWithIndex(data.c_str(), tmp.Path("d.idx").c_str(), false));
    if (GetParam()) file.ReadInAllCards();
    words.Append("match");
    pattern.AddEntry(kVCardNote, "Notes");
  }

  VCard* Next(int* count, char** cursor) {
    return file.Search(&words, count, 2, cursor, nullptr, &pattern);
  }

  TempDir tmp;
  VersitFileWithIndex file;
  ValList words;
  VCard pattern;
};

}  // namespace

TEST_P(IndexedFileTest, OffsetsAndFetchByUid) {
  EXPECT_EQ(file.GetVCardOffset("U2"), static_cast<int>(Noted("u1", "a match").size()));
  EXPECT_EQ(file.GetVCardOffset("nobody"), -1);
  std::unique_ptr<VCard> card(file.GetVCard("u4"));
  ASSERT_NE(card, nullptr);
  EXPECT_STREQ(card->GetEntry(kVCardNote)->value, "MATCH x");
  EXPECT_EQ(file.GetVCard("nobody"), nullptr);
}

TEST_P(IndexedFileTest, SearchInBatchesWithTheCursor) {
  struct Step {
    bool reset;  // the count set back to 0 first
    Strings uids;
    const char* cursor;
  } steps[] = {
      {true, {"u1", "u3"}, "u4"},
      {true, {"u4", "u5"}, "u6"},  // the next item, whether it matches or not
      {true, {"u7"}, nullptr},
      {true, {"u1", "u3"}, "u4"},
      // Without setting the count back the maximum is never reached again.
      {false, {"u4", "u5", "u7"}, nullptr},
  };
  int count = 0;
  char* cursor = nullptr;
  for (const Step& s : steps) {
    if (s.reset) count = 0;
    EXPECT_EQ(Uids(Next(&count, &cursor)), s.uids);
    EXPECT_STREQ(cursor, s.cursor);
  }
  EXPECT_EQ(count, 5);

  VCardEntry note(kVCardNote, nullptr);
  ValList last;
  last.Append("LAST");
  count = 1;
  EXPECT_EQ(Uids(file.Search(&last, &count, 2, &cursor, &note, nullptr)), Strings{"u7"});
  EXPECT_EQ(cursor, nullptr);  // the maximum was reached on the last item
  char named[] = "U5";  // a UID typed by the caller is looked up by name
  cursor = named;
  count = 0;
  EXPECT_EQ(Uids(Next(&count, &cursor)), (Strings{"u5", "u7"}));
  char unknown[] = "nobody";
  cursor = unknown;
  EXPECT_EQ(Next(&count, &cursor), nullptr);
  EXPECT_EQ(cursor, nullptr);
}

INSTANTIATE_TEST_SUITE_P(FromFileAndFromMemory, IndexedFileTest, ::testing::Bool());

TEST(VersitFileWithIndexTest, ReadInAllCardsFollowsTheIndexOrder) {
  TempDir tmp;
  std::string data = tmp.Write("d.vcf", Noted("b1", "B") + Noted("a1", "A") + Noted("b2", "b"));
  VersitFile indexer;
  ASSERT_TRUE(indexer.Open(data.c_str(), false));
  indexer.IndexFileOn(tmp.Path("d.idx").c_str(), kVCardNote, nullptr, nullptr);
  VersitFileWithIndex file;
  ASSERT_TRUE(file.OpenWithIndex(data.c_str(), tmp.Path("d.idx").c_str(), true));
  file.ReadInAllCards();
  ASSERT_NE(file.GetCards(), nullptr);
  EXPECT_EQ(Uids(file.GetCards()->Copy()), Strings{"a1"});
  EXPECT_STREQ(file.GetCards()->next->GetEntry(kVCardUID)->value, "b2");
  EXPECT_STREQ(file.GetCards()->next->next->GetEntry(kVCardUID)->value, "b1");
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(file.GetVCard("a1"), nullptr);
  EXPECT_EQ(file.GetVCardOffset("a1"), -1);
}

TEST(VersitFileWithIndexTest, StaleOrMissingIndexGivesNoCard) {
  TempDir tmp;
  std::string one = Noted("one", "match");
  std::string data = tmp.Write("d.vcf", one + Noted("two", "match"));
  // Past the end, inside a card, another person's card, not a number, and
  // one good item.
  tmp.Write("d.idx", "BEGIN:vNameList\ngone:99999\nmid:20\nthree:0\nbad:x\ntwo:" +
                         std::to_string(one.size()) + "\nEND:vNameList\n");
  for (bool inMemory : {false, true}) {
    VersitFileWithIndex file;
    ASSERT_TRUE(file.OpenWithIndex(data.c_str(), tmp.Path("d.idx").c_str(), false));
    if (inMemory) file.ReadInAllCards();
    for (const char* uid : {"gone", "mid", "three", "bad"}) EXPECT_EQ(file.GetVCard(uid), nullptr) << uid;
    EXPECT_EQ(Uids(file.GetVCard("two")), Strings{"two"});
    ValList words;
    VCard pattern;
    pattern.AddEntry(kVCardNote, "n");
    int count = 0;
    char* cursor = nullptr;
    EXPECT_EQ(Uids(file.Search(&words, &count, 10, &cursor, nullptr, &pattern)), Strings{"two"});
  }
  VersitFileWithIndex file;
  EXPECT_FALSE(file.OpenWithIndex(tmp.Path("none.vcf").c_str(), tmp.Path("none.idx").c_str(), false));
  EXPECT_TRUE(file.OpenWithIndex(data.c_str(), tmp.Path("none.idx").c_str(), false));
  EXPECT_EQ(file.GetIndex()->count, 0);
  EXPECT_EQ(file.GetVCard("one"), nullptr);
  // Left open on purpose: the destructor releases the stream and the index.
}
