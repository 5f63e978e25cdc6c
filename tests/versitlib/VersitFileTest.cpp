// Tests of versit files: reading cards, format errors with their line
// numbers, the raw flag, writing cards back, and both index builders.
#include <gtest/gtest.h>

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
  if (key) {
    file.IndexFileOn(tmp.Path("idx").c_str(), key, report, progress);
  } else {
    file.IndexFile(tmp.Path("idx").c_str(), report, progress);
  }
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

TEST(VersitFileTest, FormatErrorsCarryTheLineNumber) {
  const std::string outside = "Text outside BEGIN and END in versit card";
  struct Case {
    std::string text;
    Strings lines;
  } cases[] = {
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
  for (const Case& c : cases) {
    TempDir tmp;
    VersitFile file;
    ASSERT_TRUE(file.Open(tmp.Write("f.vcf", c.text).c_str(), false));
    int kind = 0;
    EXPECT_EQ(UserLinesOf([&] { while (VCard* card = file.GetVCardFromFile()) delete card; }, &kind),
              c.lines) << c.text;
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

TEST(VersitFileTest, CardsWrittenByPrintReadBackEqual) {
  VCard a, b;
  a.AddEntry(kVCardN, "Smith;John;;Dr.;");
  a.AddEntry(kVCardUID, "jsmith");
  a.AddEntry(kVCardTitle, nullptr);
  a.AddEntry(kVCardNote, "colons: a:b; semis; ; trailing  ");
  a.AddEntry(kVCardAdr, ";;Main St 1;Springfield;;12345;US");
  a.AddEntry(kVCardFirstLabel + 4, "custom");
  VCardEntry* photo = new VCardEntry(kVCardPhoto, "http://x/y.gif");
  photo->AddSubType(kSubTypeValue, kValueURL);
  photo->AddSubType(kSubTypeType, kTypeFirstKavri + 2);
  a.AddEntry(photo);
  b.AddEntry(kVCardUID, "other");
  TempDir tmp;
  VersitFile out;
  ASSERT_TRUE(out.OpenForWriting(tmp.Path("w.vcf").c_str()));
  a.Print(out.GetStream());
  b.Print(out.GetStream());
  EXPECT_TRUE(out.Close());
  EXPECT_EQ(CardsOf(tmp.Path("w.vcf"), true), (Strings{Take(a.Print(false)), Take(b.Print(false))}));
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
    VersitFile bad;
    ASSERT_TRUE(bad.Open(tmp.Write("bad.vcf", Card("a") + card).c_str(), false));
    int kind = 0;
    EXPECT_EQ(UserLinesOf([&] { bad.IndexFileOn(tmp.Path("bad.idx").c_str(), kVCardFN, nullptr, nullptr); },
                          &kind),
              Strings{message});
    EXPECT_EQ(kind, kKvErrorParse);
    EXPECT_FALSE(KvCheckIfFile(tmp.Path("bad.idx").c_str()));
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
  EXPECT_EQ(uids[0], "p19999");  // "Name 0", the last card with it first
  EXPECT_EQ(uids[1], "p18999");
  EXPECT_EQ(uids[kCards - 1], "p0");
}
