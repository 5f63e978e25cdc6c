// Tests of versit files: reading cards, format errors with their line
// numbers, the raw flag, both index builders; and files
// opened with their index: fetching by UID, searching in batches with the
// cursor, cards read into memory, and items of a stale index.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "VersitTestUtil.h"

namespace {

const std::string kAtLine = "Error reading versit card at line number ";

// The progress reports of an index build: counts, and message lists.
struct Progress {
  std::vector<int> counts;
  std::vector<Strings> lists;

  static void Record(void* cookie, CallbackProgress* p) {
    auto* self = static_cast<Progress*>(cookie);
    self->counts.push_back(p->count);
    EXPECT_STREQ(p->message, p->count < 0 ? nullptr : " records processed");
    self->lists.emplace_back();
    for (ValListItem* i = p->messageList ? p->messageList->first : nullptr; i; i = i->next)
      self->lists.back().push_back(i->value);
  }
};

// The texts of the cards of path, in order.
Strings CardsOf(const std::string& path, bool raw) {
  VersitFile file;
  EXPECT_TRUE(file.Open(path.c_str(), raw));
  Strings out;
  while (VCard* card = file.GetVCardFromFile()) {
    out.push_back(Take(card->Print(false)));
    delete card;
  }
  EXPECT_TRUE(file.Close());
  return out;
}

// Indexes path (on key, or in file order when key is 0) and gives the
// index's UIDs.
Strings IndexUids(const TempDir& tmp, const std::string& path, int key = 0,
                  Progress* progress = nullptr) {
  VersitFile file;
  EXPECT_TRUE(file.Open(path.c_str(), false));
  auto report = progress ? &Progress::Record : nullptr;
  key ? file.IndexFileOn(tmp.Path("idx").c_str(), key, report, progress)
      : file.IndexFile(tmp.Path("idx").c_str(), report, progress);
  Strings uids;
  for (auto& item : ReadIndex(tmp.Path("idx"))) uids.push_back(item.first);
  return uids;
}

}  // namespace

TEST(VersitFileTest, CardsSeparatedByBlankLinesRawAndFormatted) {
  Strings cards = CardsOf(DataPath("two_cards.vcf"), false);
  ASSERT_EQ(cards.size(), 2u);
  EXPECT_EQ(cards[0], "begin:vCard\nUID:alice\nN:Liddell;Alice\nFN:Alice Liddell\nTITLE:Engineer\nend:vCard");
  // ADR and ORG in their one-line forms; the X- line is dropped.
  EXPECT_EQ(cards[1], "begin:vCard\nUID:bob\nFN:Bob Stone\nADR;WORK:  Main St 1 Springfield  12345 US\n"
                      "ORG:Acme Research Labs\nend:vCard");
  cards = CardsOf(DataPath("two_cards.vcf"), true);
  EXPECT_NE(cards[1].find("ADR;WORK:;;Main St 1;Springfield;;12345;US\nORG:Acme; Research ;Labs\n"),
            std::string::npos);
  TempDir tmp;
  IndexUids(tmp, DataPath("two_cards.vcf"));
  std::string afterFirstEnd =
      std::to_string(Card("alice", "N:Liddell;Alice\nFN:Alice Liddell\nTITLE:Engineer\n").size());
  EXPECT_EQ(ReadIndex(tmp.Path("idx")), (Pairs{{"alice", "0"}, {"bob", afterFirstEnd}}));
  VersitFile file;
  ASSERT_TRUE(file.Open(DataPath("two_cards.vcf").c_str(), false));
  delete file.GetVCardFromFile();  // ReadInAllCards rewinds
  file.ReadInAllCards();
  ASSERT_NE(file.GetCards(), nullptr);
  EXPECT_EQ(file.FindCardFromList("BOB", kVCardUID), file.GetCards()->next);
  EXPECT_EQ(file.FindCardFromList("nobody", kVCardUID), nullptr);
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(file.GetCards(), nullptr);
}

TEST(VersitFileTest, AFailedIndexingLeavesTheOldIndexAndNoTemporaryFile) {
  TempDir tmp;
  std::string index = tmp.Write("idx", "BEGIN:vNameList\nold:0\nEND:vNameList\n");
  VersitFile file;
  ASSERT_TRUE(file.Open(tmp.Write("f.vcf", Card("u1") + "END:vCard\n").c_str(), false));
  EXPECT_TRUE(testsupport::Throws([&] { file.IndexFile(index.c_str(), nullptr, nullptr); }));
  EXPECT_EQ(ReadIndex(index), (std::vector<std::pair<std::string, std::string>>{{"old", "0"}}));
  Strings names;
  for (const auto& entry : std::filesystem::directory_iterator(tmp.Path(""))) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Strings{"f.vcf", "idx"}));
}

TEST(VersitFileTest, FormatErrorsCarryTheLineNumber) {
  const std::string outside = "Text outside BEGIN and END in versit card";
  const std::pair<std::string, Strings> cases[] = {
      {"BEGIN:vCard\nUID:a\n\nBEGIN:vCard\nEND:vCard\n",
       {kAtLine + "3", "BEGIN within a BEGIN not allowed in a versit card"}},
      {"\nEND:vCard\n", {kAtLine + "1", "BEGIN not found in versit card"}},
      {"BEGIN:vCard\nUID a\n", {kAtLine + "2", "No ':' character found on line"}},
      // A card cut off before its END line is reported, not lost.
      {"BEGIN:vCard\nUID:a\nEND:vCard\nBEGIN:vCard\nUID:b\nFN:cut off\n\n",
       {kAtLine + "6", "BEGIN without END in versit card"}},
      // Text outside the cards is reported, not lost or taken into a card.
      {"TITLE:early\n" + Card("u1"), {kAtLine + "1", outside}},
      {Card("u1") + "\nNOTE:between\n" + Card("u2"), {kAtLine + "4", outside}},
      {Card("u1") + "trailing words\r\n", {kAtLine + "4", outside}},
  };
  for (const auto& [text, lines] : cases) {
    TempDir tmp;
    VersitFile file;
    ASSERT_TRUE(file.Open(tmp.Write("f.vcf", text).c_str(), false));
    int kind = 0;
    EXPECT_EQ(UserLinesOf([&] { while (VCard* card = file.GetVCardFromFile()) delete card; }, &kind),
              lines) << text;
    EXPECT_EQ(kind, kKvErrorParse);
  }
}

TEST(VersitFileTest, LineNumbersCountFromOpenAcrossSeeks) {
  // Four counted lines read twice, then the bad line is the fourth counted
  // line of the next card: the twelfth since the file was opened.
  TempDir tmp;
  std::string path = tmp.Write("f.vcf", "BEGIN:vCard\n\nUID:a\n  \nFN:A\nEND:vCard\n\n"
                                        "BEGIN:vCard\nUID:b\n\nFN:B\nTEL;WROK:5551234\nEND:vCard\n");
  VersitFile file;
  ASSERT_TRUE(file.Open(path.c_str(), false));
  delete file.GetVCardFromFile();
  ASSERT_TRUE(file.PositionVCardFile(0));
  delete file.GetVCardFromFile();
  EXPECT_EQ(file.GetLineNumber(), 8u);
  EXPECT_EQ(UserLinesOf([&] { delete file.GetVCardFromFile(); }),
            (Strings{kAtLine + "12", "Bad property value : TEL;WROK",
                     "Value for TYPE sub-property not found : WROK"}));
}

TEST(VersitFileTest, IndexBuildersReportProgressAndCardsWithoutUid) {
  TempDir tmp;
  std::string text;
  for (int i = 0; i < 700; ++i) text += Card("u" + std::to_string(i));
  std::string path = tmp.Write("f.vcf", text);
  for (int key : {0, int(kVCardUID)}) {  // every 350 cards and at the end
    Progress progress;
    EXPECT_EQ(IndexUids(tmp, path, key, &progress).size(), 700u);
    EXPECT_EQ(progress.counts, (std::vector<int>{350, 700, 700}));
  }
  Progress none;
  IndexUids(tmp, tmp.Write("e.vcf", "\n"), 0, &none);
  EXPECT_EQ(none.counts, std::vector<int>{0});
  // In file order, cards without a UID are left out and reported.
  std::string before = Card("a") + "BEGIN:vCard\nFN:x\nEND:vCard\nBEGIN:vCard\nUID:\nEND:vCard\n";
  Progress progress;
  IndexUids(tmp, tmp.Write("f.vcf", before + Card("d")), 0, &progress);
  EXPECT_EQ(progress.counts, (std::vector<int>{-1, 4}));
  EXPECT_EQ(progress.lists[0],
            (Strings{"Card ending at line number 6 has no UID and was left out of the index",
                     "Card ending at line number 9 has an empty UID and was left out of the index"}));
  EXPECT_EQ(ReadIndex(tmp.Path("idx")), (Pairs{{"a", "0"}, {"d", std::to_string(before.size())}}));
  // Ordered on a key they are refused, and nothing is written.
  for (auto [card, message] : {std::pair{"BEGIN:vCard\nFN:x\nEND:vCard\n", "UID field not found in versit file"},
                               {"BEGIN:vCard\nUID:  \nEND:vCard\n", "UID field is empty in versit file"}}) {
    TempDir fresh;
    int kind = 0;
    std::string bad = fresh.Write("bad.vcf", Card("a") + card);
    EXPECT_EQ(UserLinesOf([&] { IndexUids(fresh, bad, kVCardFN); }, &kind), Strings{message});
    EXPECT_EQ(kind, kKvErrorParse);
    EXPECT_FALSE(KvCheckIfFile(fresh.Path("idx").c_str()));
  }
}

// Ordered on a key, equal keys put the later card first; the large file
// leaves an ordering mistake among equal keys no place to hide (speed is
// measured by bench_versit).
TEST(VersitFileTest, IndexFileOnOrdersByKeyLaterCardFirst) {
  TempDir tmp;
  std::string path = tmp.Write("f.vcf", Card("first", "FN:B\n") + Card("second", "FN:a\n") +
                                            Card("third", "FN:b\n") + Card("nokey") +
                                            Card("fifth", "FN:A\n") + Card("sixth", "FN:C\n"));
  EXPECT_EQ(IndexUids(tmp, path, kVCardFN),
            (Strings{"nokey", "fifth", "second", "third", "first", "sixth"}));
  constexpr int kCards = 20000;
  std::string text;
  for (int i = 0; i < kCards; ++i)  // keys repeat every 1000 cards, descending
    text += Card("p" + std::to_string(i), "FN:Name " + std::to_string(999 - i % 1000) + "\n");
  Strings uids = IndexUids(tmp, tmp.Write("big.vcf", text), kVCardFN);
  ASSERT_EQ(uids.size(), static_cast<size_t>(kCards));
  // "Name 0" first, the last card with it leading; "Name 999" of p0 last.
  EXPECT_EQ((Strings{uids[0], uids[1], uids.back()}), (Strings{"p19999", "p18999", "p0"}));
}

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
    IndexUids(tmp, data);
    ASSERT_TRUE(file.OpenWithIndex(data.c_str(), tmp.Path("idx").c_str(), false));
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
  IndexUids(tmp, data, kVCardNote);
  VersitFileWithIndex file;
  ASSERT_TRUE(file.OpenWithIndex(data.c_str(), tmp.Path("idx").c_str(), true));
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
