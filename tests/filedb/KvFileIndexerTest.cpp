// Indexing vCard data files into the file directory: progress, refusal of
// bad files without harm to the current data, swapping in, and copying
// photographs.
#include <algorithm>
#include <filesystem>

#include "FileDBTestSupport.h"

using namespace filedbtest;

namespace {

void Record(void* cookie, CallbackProgress* progress) {
  auto* seen = static_cast<Strings*>(cookie);
  std::string line = std::to_string(progress->count);
  if (progress->message) line += progress->message;
  if (progress->messageList) {
    for (ValListItem* item = progress->messageList->GetFirst(); item; item = item->next) {
      line += std::string(" [") + item->value + "]";
    }
  }
  seen->push_back(line);
}

// Many cards; a phone's export (2.1, quoted-printable, no UID), loaded whole
// with a report of what was dropped and made.
TEST_F(FileDBTest, IndexingReportsProgressAndServesEveryCard) {
  struct Case {
    std::string path;
    Strings progress;
    const char* uid;
    const char* name;
    bool verbatim;
  } cases[] = {
      {Input("many.vcf", ManyPeople(700)),
       {"350 records processed", "700 records processed", "700 records processed",
        "-1700 cards loaded"},
       "p350", "Person 350", true},
      {std::string(TEST_SOURCE_DIR) + "/tests/data/versitlib/exporters/phone21.vcf",
       {"1 records processed", "-11 card loaded", "-1Properties dropped: X-ANDROID-CUSTOM (1)",
        "-1UIDs made: 1"},
       "jose.lopez", "José López", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    Strings progress;
    EXPECT_EQ(Texts(db->IndexDataFile(c.path.c_str(), "admin", &progress, Record)), Strings{});
    EXPECT_EQ(progress, c.progress);
    EXPECT_EQ(db->IsSetup(), 1);
    std::unique_ptr<VCard> card(db->GetUserCard(c.uid));
    ASSERT_TRUE(card);
    EXPECT_STREQ(card->GetEntry(kVCardFN)->value, c.name);
    if (c.verbatim) {  // the data is the file as given
      EXPECT_EQ(ReadAll(Common("data.vcf")), ReadAll(c.path));
    }
  }
  std::unique_ptr<VCard> jose(db->GetUserCard("jose.lopez"));
  EXPECT_STREQ(jose->GetEntry(kVCardTitle)->value, "Jefe de Diseño");
  EXPECT_EQ(db->IsValidUser("p0"), 0);
}

// Enough people that the search file is sorted in several runs and merged.
TEST_F(FileDBTest, TheSearchFileOfManyPeopleIsSortedByName) {
  const int n = 30000;
  ASSERT_EQ(IndexText(ManyPeople(n)), Strings{});
  std::vector<std::string> names;
  for (int i = 0; i < n; ++i) names.push_back("person " + std::to_string(i));
  std::sort(names.begin(), names.end());
  std::string expected;
  for (const std::string& name : names) {
    std::string id = name.substr(7);
    expected += "p" + id + "\tPerson " + id + "\t\t\x1fp" + id + "\x1f" + name + "\x1f" + id + "\n";
  }
  EXPECT_EQ(ReadAll(Common("data.search")), expected);
}

TEST_F(FileDBTest, AFileWithErrorsLeavesTheCurrentDataAlone) {
  ASSERT_EQ(IndexText(kThreePeople), Strings{});
  std::string dataBefore = ReadAll(Common("data.vcf"));
  std::string indexBefore = ReadAll(Common("data.idx"));

  struct Case {
    const char* name;
    std::string text;
    Strings expected;  // parts of the error lines, in order
  } cases[] = {
      {"bad property line",
       "BEGIN:VCARD\nFN:New One\nUID:new1\nEND:VCARD\n"
       "BEGIN:VCARD\nFN:New Two\nTEL WORK FAX 123\nUID:new2\nEND:VCARD\n",
       {"Error reading versit card at line number 7", "No ':' character found on line"}},
      {"card without END", "BEGIN:VCARD\nFN:New One\nUID:new1\n",
       {"Error reading versit card at line number 3", "BEGIN without END"}},
      {"colon in a UID", "BEGIN:VCARD\nUID:a:b\nEND:VCARD\n",
       {"The UID a:b holds a character a UID may not hold (':')"}},
      {"UID twice, before a bad UID",
       "BEGIN:VCARD\nUID:dup\nEND:VCARD\nBEGIN:VCARD\nUID:x\nEND:VCARD\n"
       "BEGIN:VCARD\nUID:DUP\nEND:VCARD\nBEGIN:VCARD\nUID:dup\nEND:VCARD\n"
       "BEGIN:VCARD\nUID:a:b\nEND:VCARD\n",
       {"The UID DUP is given to two cards, numbers 1 and 3"}},
      {"no cards at all", "\n\n", {"holds no vCards; the directory was not changed"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Strings errors = IndexText(c.text);
    ASSERT_GE(errors.size(), c.expected.size());
    for (size_t i = 0; i < c.expected.size(); ++i) {
      EXPECT_NE(errors[i].find(c.expected[i]), std::string::npos) << errors[i];
    }
    EXPECT_EQ(ReadAll(Common("data.vcf")), dataBefore);
    EXPECT_EQ(ReadAll(Common("data.idx")), indexBefore);
    EXPECT_EQ(db->IsValidUser("zadams"), 1);
    EXPECT_EQ(db->IsValidUser("new1"), 0);
  }
  EXPECT_EQ(CommonFiles(".tmp"), Strings{});
}

// A directory open on the old data sees the new one. An indexing killed
// after it wrote its swap note, before or between the two renames: the next
// reader completes the swap, so data and index match.
TEST_F(FileDBTest, ANewIndexIsSeenByOpenReadersAndAnInterruptedSwapIsCompleted) {
  ASSERT_EQ(IndexText(kThreePeople), Strings{});
  std::string oldData = ReadAll(Common("data.vcf")), oldIndex = ReadAll(Common("data.idx"));
  UserDB* open = NewDB();
  EXPECT_EQ(open->IsValidUser("zadams"), 1);
  ASSERT_EQ(IndexText("BEGIN:VCARD\nFN:Only One\nUID:only\nEND:VCARD\n"), Strings{});
  std::string newData = ReadAll(Common("data.vcf")), newIndex = ReadAll(Common("data.idx"));
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);  // 0: swapped, 1: nothing renamed yet, 2: the data renamed
    std::string dataTmp = Common("data.vcf.tmpAbC123"), indexTmp = Common("data.idx.tmpDeF456");
    if (round > 0) {
      WriteAll(Common("data.vcf"), round == 2 ? newData : oldData);
      if (round == 1) WriteAll(dataTmp, newData);
      WriteAll(Common("data.idx"), oldIndex);
      WriteAll(indexTmp, newIndex);
      WriteAll(Common("data.swap"), dataTmp + "\n" + indexTmp + "\n");
    }
    UserDB* reader = round == 0 ? open : NewDB();
    std::unique_ptr<VCard> card(reader->GetUserCard("only"));
    ASSERT_TRUE(card);
    EXPECT_STREQ(card->GetEntry(kVCardFN)->value, "Only One");
    EXPECT_EQ(reader->IsValidUser("zadams"), 0);
    Destroy(reader);
    EXPECT_EQ(CommonFiles(".tmp"), Strings{});
    EXPECT_EQ(CommonFiles(".swap"), Strings{});
  }
}

TEST_F(FileDBTest, PhotographsOfKnownPeopleAreCopied) {
  ASSERT_EQ(IndexText(kThreePeople), Strings{});
  std::string src = top + "/tmp/photos";
  WriteAll(src + "/ZADAMS.JPG", "jpeg bytes");
  WriteAll(src + "/stranger.png", "png bytes");
  WriteAll(src + "/notes.txt", "not a photo");
  Strings progress;
  EXPECT_EQ(TakeText(db->CopyPhotos(top.c_str(), src.c_str(), nullptr, Record, &progress)),
            "(null)");
  EXPECT_EQ(ReadAll(top + "/data/photos/zadams.jpg"), "jpeg bytes");
  EXPECT_FALSE(std::filesystem::exists(top + "/data/photos/stranger.png"));
  EXPECT_EQ(progress, (Strings{"-1Photographs whose names match no person were not copied: "
                               "[stranger.png]",
                               "1"}));
}

}  // namespace
