// Tests of versit files: reading cards, format errors with their line
// numbers, the raw flag, the index builders; and files opened with their
// index: fetching by UID and items of a stale index.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "VersitTestUtil.h"

namespace {

const std::string kAtLine = "Error reading versit card at line number ";

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
Strings IndexUids(const TempDir& tmp, const std::string& path, int key = 0) {
  VersitFile file;
  EXPECT_TRUE(file.Open(path.c_str(), false));
  key ? file.IndexFileOn(tmp.Path("idx").c_str(), key, nullptr, nullptr)
      : file.IndexFile(tmp.Path("idx").c_str(), nullptr, nullptr);
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
    // The scanner that indexing uses reports the same.
    static const int keep[] = {kVCardUID, -1};
    ASSERT_TRUE(file.Open(tmp.Path("f.vcf").c_str(), false));
    EXPECT_EQ(UserLinesOf([&] { while (VCard* card = file.ScanVCardFromFile(keep)) delete card; }),
              lines) << text;
  }
}

// The scanner reads blocks ahead of the stream: its cards, offsets and line
// numbers must be the full reader's on awkward files, and any other read
// after it must start where its last card ended.
TEST(VersitFileTest, ScannerAgreesWithTheFullReader) {
  static const int keep[] = {kVCardUID, kVCardOrg, -1};
  auto kept = [](const VCard* card) {
    if (card == nullptr) return std::string("no card");
    std::string out;
    for (int id : {kVCardUID, kVCardOrg}) {
      const VCardEntry* entry = card->GetEntry(id);
      out += entry && entry->value ? entry->value : "-";
      out += '|';
    }
    return out;
  };
  const std::string texts[] = {
      Card("a", "ORG:One;Two\n") + Card("b"),
      // CRLF, a line longer than any block, no line break at the very end
      Card("a") + "BEGIN:vCard\r\nUID:b\r\nNOTE:" + std::string(300000, 'x') + "\r\nEND:vCard",
      // a NUL ends what is read of a line
      Card(std::string("a\0junk", 6), "ORG:x\n" + std::string("\0junk\n", 6)) + Card("b"),
      "\n  \n" + Card("a", "X-ODD:1\nTITLE:t\r\r\n") + "\n\n" + Card("c", "org:lower\n"),
  };
  for (const std::string& text : texts) {
    TempDir tmp;
    std::string path = tmp.Write("f.vcf", text);
    VersitFile full;
    VersitFile scanned;
    ASSERT_TRUE(full.Open(path.c_str(), false));
    ASSERT_TRUE(scanned.Open(path.c_str(), false));
    long consumed = 0;
    for (;;) {
      std::unique_ptr<VCard> expected(full.GetVCardFromFile());
      std::unique_ptr<VCard> got(scanned.ScanVCardFromFile(keep, &consumed));
      ASSERT_EQ(expected == nullptr, got == nullptr) << text.substr(0, 60);
      if (!got) break;
      EXPECT_EQ(kept(got.get()), kept(expected.get()));
      EXPECT_EQ(scanned.GetVCardFileOffset(), full.GetVCardFileOffset());
      EXPECT_EQ(consumed, full.GetVCardFileOffset());
      EXPECT_EQ(scanned.GetLineNumber(), full.GetLineNumber());
    }
  }

  TempDir tmp;
  VersitFile file;
  ASSERT_TRUE(file.Open(tmp.Write("f.vcf", Card("a") + Card("b") + Card("c")).c_str(), false));
  std::unique_ptr<VCard> card(file.ScanVCardFromFile(keep));
  card.reset(file.GetVCardFromFile());
  EXPECT_EQ(kept(card.get()), "b|-|");
  card.reset(file.ScanVCardFromFile(keep));
  EXPECT_EQ(kept(card.get()), "c|-|");
  ASSERT_TRUE(file.PositionVCardFile(0));
  card.reset(file.ScanVCardFromFile(keep));
  EXPECT_EQ(kept(card.get()), "a|-|");
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

// Ordered on a key, equal keys put the later card first.
TEST(VersitFileTest, IndexFileOnOrdersByKeyLaterCardFirst) {
  TempDir tmp;
  std::string path = tmp.Write("f.vcf", Card("first", "FN:B\n") + Card("second", "FN:a\n") +
                                            Card("third", "FN:b\n") + Card("nokey") +
                                            Card("fifth", "FN:A\n") + Card("sixth", "FN:C\n"));
  EXPECT_EQ(IndexUids(tmp, path, kVCardFN),
            (Strings{"nokey", "fifth", "second", "third", "first", "sixth"}));
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

}  // namespace

TEST(VersitFileWithIndexTest, FetchByUidAndStaleOrMissingIndex) {
  TempDir tmp;
  std::string one = Noted("one", "match");
  std::string data = tmp.Write("d.vcf", one + Noted("two", "match"));
  IndexUids(tmp, data);
  VersitFileWithIndex good;
  ASSERT_TRUE(good.OpenWithIndex(data.c_str(), tmp.Path("idx").c_str(), false));
  EXPECT_EQ(good.GetVCardOffset("TWO"), static_cast<int>(one.size()));
  EXPECT_EQ(good.GetVCardOffset("nobody"), -1);
  EXPECT_EQ(Uids(good.GetVCard("two")), Strings{"two"});
  // Past the end, inside a card, another person's card, not a number, and
  // one good item.
  tmp.Write("d.idx", "BEGIN:vNameList\ngone:99999\nmid:20\nthree:0\nbad:x\ntwo:" +
                         std::to_string(one.size()) + "\nEND:vNameList\n");
  VersitFileWithIndex stale;
  ASSERT_TRUE(stale.OpenWithIndex(data.c_str(), tmp.Path("d.idx").c_str(), false));
  for (const char* uid : {"gone", "mid", "three", "bad", "nobody"}) EXPECT_EQ(stale.GetVCard(uid), nullptr) << uid;
  EXPECT_EQ(Uids(stale.GetVCard("two")), Strings{"two"});
  VersitFileWithIndex file;
  EXPECT_FALSE(file.OpenWithIndex(tmp.Path("none.vcf").c_str(), tmp.Path("none.idx").c_str(), false));
  EXPECT_TRUE(file.OpenWithIndex(data.c_str(), tmp.Path("none.idx").c_str(), false));
  EXPECT_EQ(file.GetIndex()->count, 0);
  EXPECT_EQ(file.GetVCard("one"), nullptr);
  // Left open on purpose: the destructor releases the stream and the index.
}
