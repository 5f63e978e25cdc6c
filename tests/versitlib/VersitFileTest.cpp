// Tests of versit files: reading cards, format errors with their line
// numbers, the raw flag, writing cards back, and both index builders.
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "VersitTestUtil.h"

namespace {

const std::string kAtLine = "Error reading versit card at line number ";

struct Progress {
  std::vector<int> counts;
  std::vector<std::vector<std::string>> lists;

  static void Record(void* cookie, CallbackProgress* p) {
    auto* self = static_cast<Progress*>(cookie);
    self->counts.push_back(p->count);
    EXPECT_STREQ(p->message, p->count < 0 ? nullptr : " records processed");
    self->lists.emplace_back();
    for (ValListItem* i = p->messageList ? p->messageList->first : nullptr; i; i = i->next) {
      self->lists.back().push_back(i->value);
    }
  }
};

std::string Card(const std::string& uid, const std::string& body = "") {
  return "BEGIN:vCard\nUID:" + uid + "\n" + body + "END:vCard\n";
}

// The texts of the cards of path, in order.
std::vector<std::string> ReadAll(const std::string& path, bool raw) {
  VersitFile file;
  EXPECT_TRUE(file.Open(path.c_str(), raw));
  std::vector<std::string> out;
  while (VCard* card = file.GetVCardFromFile()) {
    out.push_back(Take(card->Print(false)));
    delete card;
  }
  EXPECT_TRUE(file.Close());
  return out;
}

std::vector<std::string> UidsOfIndex(const std::string& path) {
  std::vector<std::string> uids;
  for (auto& item : ReadIndex(path)) uids.push_back(item.first);
  return uids;
}

}  // namespace

TEST(VersitFileTest, CardsSeparatedByBlankLinesRawAndFormatted) {
  std::vector<std::string> cards = ReadAll(DataPath("two_cards.vcf"), false);
  ASSERT_EQ(cards.size(), 2u);
  EXPECT_EQ(cards[0], "begin:vCard\nUID:alice\nN:Liddell;Alice\nFN:Alice Liddell\nTITLE:Engineer\nend:vCard");
  // ADR and ORG in their one-line forms; the X- line is dropped.
  EXPECT_EQ(cards[1], "begin:vCard\nUID:bob\nFN:Bob Stone\nADR;WORK:  Main St 1 Springfield  12345 US\n"
                      "ORG:Acme Research Labs\nend:vCard");
  cards = ReadAll(DataPath("two_cards.vcf"), true);
  EXPECT_NE(cards[1].find("ADR;WORK:;;Main St 1;Springfield;;12345;US\nORG:Acme; Research ;Labs\n"),
            std::string::npos);

  TempDir tmp;
  VersitFile file;
  ASSERT_TRUE(file.Open(DataPath("two_cards.vcf").c_str(), false));
  file.IndexFile(tmp.Path("idx").c_str(), nullptr, nullptr);
  std::string afterFirstEnd = std::to_string(Card("alice", "N:Liddell;Alice\nFN:Alice Liddell\nTITLE:Engineer\n").size());
  EXPECT_EQ(ReadIndex(tmp.Path("idx")),
            (std::vector<std::pair<std::string, std::string>>{{"alice", "0"}, {"bob", afterFirstEnd}}));
}

TEST(VersitFileTest, AFailedIndexingLeavesTheOldIndexAndNoTemporaryFile) {
  TempDir tmp;
  std::string index = tmp.Write("idx", "BEGIN:vNameList\nold:0\nEND:vNameList\n");
  VersitFile file;
  ASSERT_TRUE(file.Open(tmp.Write("f.vcf", Card("u1") + "END:vCard\n").c_str(), false));
  EXPECT_TRUE(testsupport::Throws([&] { file.IndexFile(index.c_str(), nullptr, nullptr); }));
  EXPECT_EQ(ReadIndex(index), (std::vector<std::pair<std::string, std::string>>{{"old", "0"}}));
  std::vector<std::string> names;
  DIR* dir = opendir(tmp.Path("").c_str());
  ASSERT_NE(dir, nullptr);
  while (struct dirent* entry = readdir(dir))
    if (entry->d_name[0] != '.') names.push_back(entry->d_name);
  closedir(dir);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"f.vcf", "idx"}));
}

TEST(VersitFileTest, FormatErrorsCarryTheLineNumber) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {"BEGIN:vCard\nUID:a\n\nBEGIN:vCard\nEND:vCard\n",
       {kAtLine + "3", "BEGIN within a BEGIN not allowed in a versit card"}},
      {"\nEND:vCard\n", {kAtLine + "1", "BEGIN not found in versit card"}},
      {"BEGIN:vCard\nUID a\n", {kAtLine + "2", "No ':' character found on line"}},
      // A card cut off before its END line is reported, not lost.
      {"BEGIN:vCard\nUID:a\nEND:vCard\nBEGIN:vCard\nUID:b\nFN:cut off\n\n",
       {kAtLine + "6", "BEGIN without END in versit card"}},
      // Text outside the cards is reported, not lost or taken into a card.
      {"TITLE:early\n" + Card("u1"), {kAtLine + "1", "Text outside BEGIN and END in versit card"}},
      {Card("u1") + "\nNOTE:between\n" + Card("u2"),
       {kAtLine + "4", "Text outside BEGIN and END in versit card"}},
      {Card("u1") + "trailing words\r\n", {kAtLine + "4", "Text outside BEGIN and END in versit card"}},
  };
  for (const Case& c : cases) {
    TempDir tmp;
    VersitFile file;
    ASSERT_TRUE(file.Open(tmp.Write("f.vcf", c.text).c_str(), false));
    int kind = 0;
    auto readAll = [&] {
      while (VCard* card = file.GetVCardFromFile()) delete card;
    };
    EXPECT_EQ(UserLinesOf(readAll, &kind), c.lines) << c.text;
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
            (std::vector<std::string>{kAtLine + "12", "Bad property value : TEL;WROK",
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
  EXPECT_EQ(ReadAll(tmp.Path("w.vcf"), true),
            (std::vector<std::string>{Take(a.Print(false)), Take(b.Print(false))}));
}

TEST(VersitFileTest, ReadInAllCardsAndFindCardFromList) {
  VersitFile file;
  ASSERT_TRUE(file.Open(DataPath("two_cards.vcf").c_str(), false));
  delete file.GetVCardFromFile();  // ReadInAllCards rewinds
  file.ReadInAllCards();
  VCard* first = file.GetCards();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(file.FindCardFromList("BOB", kVCardUID), first->next);
  EXPECT_EQ(file.FindCardFromList("nobody", kVCardUID), nullptr);
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(file.GetCards(), nullptr);
}

TEST(VersitFileTest, ProgressEvery350CardsAndAtTheEnd) {
  TempDir tmp;
  std::string text;
  for (int i = 0; i < 700; ++i) text += Card("u" + std::to_string(i));
  std::string path = tmp.Write("f.vcf", text);
  for (bool sorted : {false, true}) {
    Progress progress;
    VersitFile file;
    ASSERT_TRUE(file.Open(path.c_str(), false));
    if (sorted) {
      file.IndexFileOn(tmp.Path("idx").c_str(), kVCardUID, &Progress::Record, &progress);
    } else {
      file.IndexFile(tmp.Path("idx").c_str(), &Progress::Record, &progress);
    }
    EXPECT_EQ(progress.counts, (std::vector<int>{350, 700, 700}));
    EXPECT_EQ(ReadIndex(tmp.Path("idx")).size(), 700u);
  }
  Progress none;
  VersitFile file;
  ASSERT_TRUE(file.Open(tmp.Write("e.vcf", "\n").c_str(), false));
  file.IndexFile(tmp.Path("idx").c_str(), &Progress::Record, &none);
  EXPECT_EQ(none.counts, std::vector<int>{0});
}

TEST(VersitFileTest, IndexFileSkipsAndReportsCardsWithoutUid) {
  TempDir tmp;
  std::string before = Card("a") + "BEGIN:vCard\nFN:x\nEND:vCard\nBEGIN:vCard\nUID:\nEND:vCard\n";
  std::string path = tmp.Write("f.vcf", before + Card("d"));
  Progress progress;
  VersitFile file;
  ASSERT_TRUE(file.Open(path.c_str(), false));
  file.IndexFile(tmp.Path("idx").c_str(), &Progress::Record, &progress);
  EXPECT_EQ(progress.counts, (std::vector<int>{-1, 4}));
  EXPECT_EQ(progress.lists[0],
            (std::vector<std::string>{
                "Card ending at line number 6 has no UID and was left out of the index",
                "Card ending at line number 9 has an empty UID and was left out of the index"}));
  EXPECT_EQ(ReadIndex(tmp.Path("idx")),
            (std::vector<std::pair<std::string, std::string>>{{"a", "0"},
                                                              {"d", std::to_string(before.size())}}));
}

TEST(VersitFileTest, IndexFileOnOrdersByKeyLaterCardFirst) {
  TempDir tmp;
  std::string path = tmp.Write("f.vcf", Card("first", "FN:B\n") + Card("second", "FN:a\n") +
                                            Card("third", "FN:b\n") + Card("nokey") +
                                            Card("fifth", "FN:A\n") + Card("sixth", "FN:C\n"));
  VersitFile file;
  ASSERT_TRUE(file.Open(path.c_str(), false));
  file.IndexFileOn(tmp.Path("idx").c_str(), kVCardFN, nullptr, nullptr);
  EXPECT_EQ(UidsOfIndex(tmp.Path("idx")),
            (std::vector<std::string>{"nokey", "fifth", "second", "third", "first", "sixth"}));

  for (auto [card, message] : {std::pair{"BEGIN:vCard\nFN:x\nEND:vCard\n", "UID field not found in versit file"},
                               {"BEGIN:vCard\nUID:  \nEND:vCard\n", "UID field is empty in versit file"}}) {
    VersitFile bad;
    ASSERT_TRUE(bad.Open(tmp.Write("bad.vcf", Card("a") + card).c_str(), false));
    int kind = 0;
    EXPECT_EQ(UserLinesOf([&] { bad.IndexFileOn(tmp.Path("bad.idx").c_str(), kVCardFN, nullptr, nullptr); },
                          &kind),
              std::vector<std::string>{message});
    EXPECT_EQ(kind, kKvErrorParse);
    EXPECT_FALSE(KvCheckIfFile(tmp.Path("bad.idx").c_str()));  // nothing written
  }
}

// Speed is measured by bench_versit; this checks the order on a file large
// enough that an ordering mistake among equal keys cannot hide.
TEST(VersitFileTest, IndexFileOnOrdersManyRepeatedKeys) {
  constexpr int kCards = 20000;
  TempDir tmp;
  std::string text;
  for (int i = 0; i < kCards; ++i) {
    // Keys repeat every 1000 cards in descending order.
    text += Card("p" + std::to_string(i), "FN:Name " + std::to_string(999 - i % 1000) + "\n");
  }
  std::string path = tmp.Write("big.vcf", text);
  VersitFile file;
  ASSERT_TRUE(file.Open(path.c_str(), false));
  file.IndexFileOn(tmp.Path("idx").c_str(), kVCardFN, nullptr, nullptr);
  std::vector<std::string> uids = UidsOfIndex(tmp.Path("idx"));
  ASSERT_EQ(uids.size(), static_cast<size_t>(kCards));
  EXPECT_EQ(uids[0], "p19999");  // "Name 0", the last card with it first
  EXPECT_EQ(uids[1], "p18999");
  EXPECT_EQ(uids[kCards - 1], "p0");
}
