// Tests of versit files: reading cards, format errors with their line
// numbers, the raw flag, writing cards back, and both index builders.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "VersitTestUtil.h"

namespace {

const char kAtLine[] = "Error reading versit card at line number ";

struct Progress {
  std::vector<int> counts;
  std::vector<std::string> messages;
  std::vector<std::vector<std::string>> lists;

  static void Record(void* cookie, CallbackProgress* p) {
    auto* self = static_cast<Progress*>(cookie);
    self->counts.push_back(p->count);
    self->messages.push_back(p->message ? p->message : "<null>");
    std::vector<std::string> list;
    if (p->messageList) {
      for (ValListItem* i = p->messageList->first; i; i = i->next) list.push_back(i->value);
    }
    self->lists.push_back(list);
  }
};

std::string Card(const std::string& uid, const std::string& body = "") {
  return "BEGIN:vCard\nUID:" + uid + "\n" + body + "END:vCard\n";
}

std::string CardText(VCard* card) { return Take(card->Print(false)); }

// Reads every card of path; the texts of the cards in order.
std::vector<std::string> ReadAll(const std::string& path, bool raw) {
  VersitFile file;
  EXPECT_TRUE(file.Open(path.c_str(), raw));
  std::vector<std::string> out;
  while (VCard* card = file.GetVCardFromFile()) {
    out.push_back(CardText(card));
    delete card;
  }
  EXPECT_EQ(file.Close(), true);
  return out;
}

// The user lines of the error raised while reading the cards of path.
std::vector<std::string> ReadError(const std::string& path) {
  VersitFile file;
  EXPECT_TRUE(file.Open(path.c_str(), false));
  return UserLinesOf([&] {
    while (VCard* card = file.GetVCardFromFile()) delete card;
  });
}

}  // namespace

TEST(VersitFileTest, CardsSeparatedByBlankLines) {
  std::vector<std::string> cards = ReadAll(DataPath("two_cards.vcf"), false);
  ASSERT_EQ(cards.size(), 2u);
  EXPECT_EQ(cards[0],
            "begin:vCard\nUID:alice\nN:Liddell;Alice\nFN:Alice Liddell\nTITLE:Engineer\nend:vCard");
  // ADR and ORG in their readable forms; the X- line is dropped.
  EXPECT_EQ(cards[1],
            "begin:vCard\nUID:bob\nFN:Bob Stone\nADR;WORK:  Main St 1 Springfield  12345 US\n"
            "ORG:Acme Research Labs\nend:vCard");
}

TEST(VersitFileTest, RawFlagKeepsStructuredValues) {
  std::vector<std::string> cards = ReadAll(DataPath("two_cards.vcf"), true);
  ASSERT_EQ(cards.size(), 2u);
  EXPECT_NE(cards[1].find("ADR;WORK:;;Main St 1;Springfield;;12345;US\n"), std::string::npos);
  EXPECT_NE(cards[1].find("ORG:Acme; Research ;Labs\n"), std::string::npos);
}

TEST(VersitFileTest, IndexFileRecordsCardOffsets) {
  TempDir tmp;
  std::string data = ReadWholeFile(DataPath("two_cards.vcf"));
  VersitFile file;
  ASSERT_TRUE(file.Open(DataPath("two_cards.vcf").c_str(), false));
  file.IndexFile(tmp.Path("idx").c_str(), nullptr, nullptr);
  EXPECT_TRUE(file.Close());
  size_t afterFirstEnd = data.find("END:vCard\n") + 10;
  EXPECT_EQ(ReadIndex(tmp.Path("idx")),
            (std::vector<std::pair<std::string, std::string>>{
                {"alice", "0"}, {"bob", std::to_string(afterFirstEnd)}}));
  EXPECT_EQ(ReadWholeFile(tmp.Path("idx")),
            "BEGIN:vNameList\nalice:0\nbob:" + std::to_string(afterFirstEnd) + "\nEND:vNameList\n");
}

TEST(VersitFileTest, LinesBeforeBeginBelongToTheCard) {
  TempDir tmp;
  std::string path = tmp.Write("f.vcf", "TITLE:early\n" + Card("u1", "FN:x\n") + "NOTE:late\n");
  std::vector<std::string> cards = ReadAll(path, false);
  ASSERT_EQ(cards.size(), 1u);  // the trailing line is not a card
  EXPECT_EQ(cards[0], "begin:vCard\nTITLE:early\nUID:u1\nFN:x\nend:vCard");
}

TEST(VersitFileTest, FormatErrorsCarryTheLineNumber) {
  struct Case {
    const char* text;
    std::vector<std::string> lines;
  } cases[] = {
      {"BEGIN:vCard\nUID:a\n\nBEGIN:vCard\nEND:vCard\n",
       {std::string(kAtLine) + "3", "BEGIN within a BEGIN not allowed in a versit card"}},
      {"\nEND:vCard\n", {std::string(kAtLine) + "1", "BEGIN not found in versit card"}},
      {"BEGIN:vCard\nUID a\n", {std::string(kAtLine) + "2", "No ':' character found on line"}},
      {"BEGIN:vCard\nX-FOO;BAR:1\nEND:vCard\n",
       {std::string(kAtLine) + "2", "Bad property value : X-FOO;BAR",
        "Value for TYPE sub-property not found : BAR"}},
      // A card cut off before its END line is reported, not lost.
      {"BEGIN:vCard\nUID:a\nEND:vCard\nBEGIN:vCard\nUID:b\nFN:cut off\n\n",
       {std::string(kAtLine) + "6", "BEGIN without END in versit card"}},
      {"BEGIN:vCard", {std::string(kAtLine) + "1", "BEGIN without END in versit card"}},
  };
  for (const Case& c : cases) {
    TempDir tmp;
    int kind = 0;
    std::string path = tmp.Write("f.vcf", c.text);
    VersitFile file;
    ASSERT_TRUE(file.Open(path.c_str(), false));
    EXPECT_EQ(UserLinesOf([&] {
                while (VCard* card = file.GetVCardFromFile()) delete card;
              },
                          &kind),
              c.lines)
        << c.text;
    EXPECT_EQ(kind, kKvErrorParse);
  }
}

TEST(VersitFileTest, LastLineWithoutLineBreakEndsTheCard) {
  TempDir tmp;
  std::vector<std::string> cards = ReadAll(tmp.Write("f.vcf", "BEGIN:vCard\r\nUID:a\r\nEND:vCard"), false);
  ASSERT_EQ(cards.size(), 1u);
  EXPECT_EQ(cards[0], "begin:vCard\nUID:a\nend:vCard");
}

TEST(VersitFileTest, LineNumbersCountFromOpenAcrossSeeks) {
  // Four counted lines, read twice, then the bad line is the fourth counted
  // line of the second card: the twelfth since the file was opened.
  TempDir tmp;
  std::string first = "BEGIN:vCard\n\nUID:a\n  \nFN:A\nEND:vCard\n\n";
  std::string path = tmp.Write(
      "f.vcf", first + "BEGIN:vCard\nUID:b\n\nFN:B\nTEL;WROK:5551234\nEND:vCard\n");
  VersitFile file;
  ASSERT_TRUE(file.Open(path.c_str(), false));
  EXPECT_EQ(file.GetLineNumber(), UINT32_MAX);
  delete file.GetVCardFromFile();
  EXPECT_EQ(file.GetLineNumber(), 4u);
  ASSERT_TRUE(file.PositionVCardFile(0));
  delete file.GetVCardFromFile();
  EXPECT_EQ(file.GetVCardFileOffset(), static_cast<long>(first.size() - 1));
  EXPECT_EQ(ReadError(path).size(), 3u);  // a fresh Open counts from 1 again
  EXPECT_EQ(UserLinesOf([&] { delete file.GetVCardFromFile(); }),
            (std::vector<std::string>{std::string(kAtLine) + "12", "Bad property value : TEL;WROK",
                                      "Value for TYPE sub-property not found : WROK"}));
}

TEST(VersitFileTest, LineCounterWrapsToOne) {
  struct Probe : VersitFile {
    void Set(uint32_t n) { lineNumber = n; }
  } probe;
  probe.IncrementLineNumber();
  EXPECT_EQ(probe.GetLineNumber(), 1u);
  probe.Set(UINT32_MAX - 1);
  probe.IncrementLineNumber();
  EXPECT_EQ(probe.GetLineNumber(), UINT32_MAX);
  probe.IncrementLineNumber();
  EXPECT_EQ(probe.GetLineNumber(), 1u);
}

TEST(VersitFileTest, CardsWrittenByPrintReadBackEqual) {
  VCard a;
  a.AddEntry(kVCardN, "Smith;John;;Dr.;");
  a.AddEntry(kVCardUID, "jsmith");
  a.AddEntry(kVCardTitle, nullptr);
  a.AddEntry(kVCardNote, "colons: a:b; semis; ; trailing  ");
  a.AddEntry(kVCardAdr, ";;Main St 1;Springfield;;12345;US");
  a.AddEntry(kVCardFirstLabel + 4, "custom");
  VCardEntry* tel = new VCardEntry(kVCardTel, "555");
  tel->AddSubType(kSubTypeType, kTypeWork);
  tel->AddSubType(kSubTypeType, kTypeFirstKavri + 2);
  a.AddEntry(tel);
  VCardEntry* photo = new VCardEntry(kVCardPhoto, "http://x/y.gif");
  photo->AddSubType(kSubTypeValue, kValueURL);
  photo->AddSubType(kSubTypeEncoding, kEncoding8Bit);
  a.AddEntry(photo);
  a.AddEntry(kVCardDirectReportUID, "r1");
  a.AddEntry(kVCardDirectReportUID, "r2");
  VCard b;
  b.AddEntry(kVCardUID, "other");

  TempDir tmp;
  VersitFile out;
  ASSERT_TRUE(out.OpenForWriting(tmp.Path("w.vcf").c_str()));
  a.Print(out.GetStream());
  b.Print(out.GetStream());
  EXPECT_TRUE(out.Close());

  std::vector<std::string> cards = ReadAll(tmp.Path("w.vcf"), true);
  ASSERT_EQ(cards.size(), 2u);
  EXPECT_EQ(cards[0], CardText(&a));
  EXPECT_EQ(cards[1], CardText(&b));
}

TEST(VersitFileTest, ReadInAllCardsAndFindCardFromList) {
  VersitFile file;
  ASSERT_TRUE(file.Open(DataPath("two_cards.vcf").c_str(), false));
  delete file.GetVCardFromFile();  // ReadInAllCards rewinds
  file.ReadInAllCards();
  VCard* first = file.GetCards();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(first->next, nullptr);
  EXPECT_EQ(first->next->next, nullptr);
  file.ReadInAllCards();  // nothing more
  EXPECT_EQ(file.GetCards(), first);
  EXPECT_EQ(file.FindCardFromList("BOB", kVCardUID), first->next);
  EXPECT_EQ(file.FindCardFromList("Engineer", kVCardTitle), first);
  EXPECT_EQ(file.FindCardFromList("nobody", kVCardUID), nullptr);
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(file.GetCards(), nullptr);
  EXPECT_TRUE(file.Close());  // nothing open
}

TEST(VersitFileTest, OpenFailsForMissingFile) {
  TempDir tmp;
  VersitFile file;
  EXPECT_FALSE(file.Open(tmp.Path("missing.vcf").c_str(), false));
  EXPECT_EQ(file.GetVCardFromFile(), nullptr);
  EXPECT_FALSE(file.OpenForWriting(tmp.Path("no/such/dir.vcf").c_str()));
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
    EXPECT_EQ(progress.messages, std::vector<std::string>(3, " records processed"));
    EXPECT_EQ(ReadIndex(tmp.Path("idx")).size(), 700u);
  }
  TempDir empty;
  Progress none;
  VersitFile file;
  ASSERT_TRUE(file.Open(empty.Write("e.vcf", "\n\n").c_str(), false));
  file.IndexFile(empty.Path("idx").c_str(), &Progress::Record, &none);
  EXPECT_EQ(none.counts, std::vector<int>{0});
  EXPECT_TRUE(ReadIndex(empty.Path("idx")).empty());
}

TEST(VersitFileTest, IndexFileSkipsAndReportsCardsWithoutUid) {
  TempDir tmp;
  std::string before = Card("a") + "BEGIN:vCard\nFN:no uid\nEND:vCard\n" +
                       "BEGIN:vCard\nUID:\nEND:vCard\n";
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
  auto index = ReadIndex(tmp.Path("idx"));
  ASSERT_EQ(index.size(), 2u);
  EXPECT_EQ(index[0].first, "a");
  EXPECT_EQ(index[1].first, "d");
  EXPECT_EQ(index[1].second, std::to_string(before.size()));

  VersitFile silent;  // without a callback the cards are skipped quietly
  ASSERT_TRUE(silent.Open(path.c_str(), false));
  silent.IndexFile(tmp.Path("idx2").c_str(), nullptr, nullptr);
  EXPECT_EQ(ReadIndex(tmp.Path("idx2")), index);
}

TEST(VersitFileTest, IndexFileOnOrdersByKeyLaterCardFirst) {
  TempDir tmp;
  std::string path = tmp.Write("f.vcf", Card("first", "FN:B\n") + Card("second", "FN:a\n") +
                                            Card("third", "FN:b\n") + Card("nokey") +
                                            Card("fifth", "FN:A\n") + Card("sixth", "FN:C\n"));
  VersitFile file;
  ASSERT_TRUE(file.Open(path.c_str(), false));
  file.IndexFileOn(tmp.Path("idx").c_str(), kVCardFN, nullptr, nullptr);
  std::vector<std::string> uids;
  for (auto& item : ReadIndex(tmp.Path("idx"))) uids.push_back(item.first);
  EXPECT_EQ(uids, (std::vector<std::string>{"nokey", "fifth", "second", "third", "first", "sixth"}));
  EXPECT_EQ(ReadIndex(tmp.Path("idx"))[4].second, "0");
}

TEST(VersitFileTest, IndexFileOnRefusesCardsWithoutUid) {
  struct Case {
    std::string card;
    const char* message;
  } cases[] = {
      {"BEGIN:vCard\nFN:x\nEND:vCard\n", "UID field not found in versit file"},
      {"BEGIN:vCard\nUID:  \nEND:vCard\n", "UID field is empty in versit file"},
  };
  for (const Case& c : cases) {
    TempDir tmp;
    std::string path = tmp.Write("f.vcf", Card("a") + c.card);
    VersitFile file;
    ASSERT_TRUE(file.Open(path.c_str(), false));
    int kind = 0;
    EXPECT_EQ(UserLinesOf([&] { file.IndexFileOn(tmp.Path("idx").c_str(), kVCardFN, nullptr, nullptr); },
                          &kind),
              std::vector<std::string>{c.message});
    EXPECT_EQ(kind, kKvErrorParse);
    EXPECT_FALSE(KvCheckIfFile(tmp.Path("idx").c_str()));
  }
}

TEST(VersitFileTest, IndexFileOnHundredThousandCardsInSeconds) {
  constexpr int kCards = 100000;
  TempDir tmp;
  std::string text;
  text.reserve(kCards * 60);
  for (int i = 0; i < kCards; ++i) {
    // Keys repeat every 1000 cards and come in descending order, the worst
    // case for inserting into a sorted list.
    text += Card("p" + std::to_string(i), "FN:Name " + std::to_string(999 - i % 1000) + "\n");
  }
  std::string path = tmp.Write("big.vcf", text);
  auto start = std::chrono::steady_clock::now();
  VersitFile file;
  ASSERT_TRUE(file.Open(path.c_str(), false));
  file.IndexFileOn(tmp.Path("idx").c_str(), kVCardFN, nullptr, nullptr);
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 30.0);
  auto index = ReadIndex(tmp.Path("idx"));
  ASSERT_EQ(index.size(), static_cast<size_t>(kCards));
  // "Name 0" comes from cards 999, 1999, ...; the last of them first.
  EXPECT_EQ(index[0].first, "p99999");
  EXPECT_EQ(index[1].first, "p98999");
  EXPECT_EQ(index[kCards - 1].first, "p0");
}
