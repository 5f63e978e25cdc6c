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

bool Contains(const Strings& lines, const std::string& part) {
  for (const std::string& line : lines) {
    if (line.find(part) != std::string::npos) return true;
  }
  return false;
}

TEST_F(FileDBTest, IndexingReportsProgressAndServesEveryCard) {
  Strings progress;
  EXPECT_EQ(IndexText(ManyPeople(700), Record, &progress), Strings{});
  EXPECT_EQ(progress, (Strings{"350 records processed", "700 records processed",
                               "700 records processed", "-1700 cards loaded"}));
  for (const char* uid : {"p0", "p349", "p350", "p699"}) {
    std::unique_ptr<VCard> card(db->GetUserCard(uid));
    ASSERT_TRUE(card) << uid;
    EXPECT_STREQ(card->GetEntry(kVCardUID)->value, uid);
  }
  EXPECT_EQ(ReadAll(Common("data.vcf")), ManyPeople(700));
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

// A phone's export (2.1, quoted-printable, no UID) is loaded whole, and the
// report names what was dropped and made.
TEST_F(FileDBTest, ExportedCardsAreLoadedWithAReport) {
  std::string path = std::string(TEST_SOURCE_DIR) + "/tests/data/versitlib/exporters/phone21.vcf";
  Strings progress;
  EXPECT_EQ(Texts(db->IndexDataFile(path.c_str(), "admin", &progress, Record)), Strings{});
  EXPECT_EQ(progress, (Strings{"1 records processed", "-11 card loaded",
                               "-1Properties dropped: X-ANDROID-CUSTOM (1)", "-1UIDs made: 1"}));
  std::unique_ptr<VCard> card(db->GetUserCard("jose.lopez"));
  ASSERT_TRUE(card);
  EXPECT_STREQ(card->GetEntry(kVCardFN)->value, "José López");
  EXPECT_STREQ(card->GetEntry(kVCardTitle)->value, "Jefe de Diseño");
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
      {"text after the last card",
       "BEGIN:VCARD\nFN:New One\nUID:new1\nEND:VCARD\n\nsignature\n",
       {"Error reading versit card at line number 6", "Text outside BEGIN and END"}},
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
  Strings missing = Texts(
      db->IndexDataFile((top + "/tmp/none.vcf").c_str(), "admin", nullptr, nullptr));
  ASSERT_EQ(missing.size(), 1u);
  EXPECT_NE(missing[0].find("Unable to access the data file"), std::string::npos);
  EXPECT_EQ(FilesContaining(top + "/data/common", ".tmp").size(), 0u);
}

TEST_F(FileDBTest, ANewIndexIsSeenByDirectoriesAlreadyOpen) {
  ASSERT_EQ(IndexText(kThreePeople), Strings{});
  UserDB* reader = NewDB();
  EXPECT_EQ(reader->IsValidUser("zadams"), 1);  // has the old data open

  ASSERT_EQ(IndexText("BEGIN:VCARD\nFN:Only One\nUID:only\nEND:VCARD\n"), Strings{});
  EXPECT_EQ(reader->IsValidUser("zadams"), 0);
  std::unique_ptr<VCard> card(reader->GetUserCard("only"));
  ASSERT_TRUE(card);
  EXPECT_STREQ(card->GetEntry(kVCardFN)->value, "Only One");
  Destroy(reader);
}

// An indexing killed after it wrote its swap note, before or between the
// two renames: the next reader completes the swap, so data and index match.
TEST_F(FileDBTest, AnInterruptedSwapIsCompletedByTheNextReader) {
  ASSERT_EQ(IndexText(kThreePeople), Strings{});
  std::string oldData = ReadAll(Common("data.vcf")), oldIndex = ReadAll(Common("data.idx"));
  ASSERT_EQ(IndexText("BEGIN:VCARD\nFN:Only One\nUID:only\nEND:VCARD\n"), Strings{});
  std::string newData = ReadAll(Common("data.vcf")), newIndex = ReadAll(Common("data.idx"));
  for (bool dataRenamed : {false, true}) {
    SCOPED_TRACE(dataRenamed);
    std::string dataTmp = Common("data.vcf.tmpAbC123"), indexTmp = Common("data.idx.tmpDeF456");
    WriteAll(Common("data.vcf"), dataRenamed ? newData : oldData);
    if (!dataRenamed) WriteAll(dataTmp, newData);
    WriteAll(Common("data.idx"), oldIndex);
    WriteAll(indexTmp, newIndex);
    WriteAll(Common("data.swap"), dataTmp + "\n" + indexTmp + "\n");
    UserDB* reader = NewDB();
    std::unique_ptr<VCard> card(reader->GetUserCard("only"));
    ASSERT_TRUE(card);
    EXPECT_STREQ(card->GetEntry(kVCardFN)->value, "Only One");
    EXPECT_EQ(reader->IsValidUser("zadams"), 0);
    Destroy(reader);
    EXPECT_EQ(FilesContaining(top + "/data/common", ".tmp"), Strings{});
    EXPECT_EQ(FilesContaining(top + "/data/common", ".swap"), Strings{});
  }
}

TEST_F(FileDBTest, IndexingWithoutAPathRebuildsTheCurrentData) {
  ASSERT_EQ(IndexText(kThreePeople), Strings{});
  std::string dataBefore = ReadAll(Common("data.vcf"));
  std::filesystem::remove(Common("data.idx"));
  EXPECT_EQ(db->IsSetup(), 0);
  Strings progress;
  EXPECT_EQ(Texts(db->IndexDataFile(nullptr, "admin", &progress, Record)),
            Strings{});
  EXPECT_EQ(progress, (Strings{"3 records processed", "-13 cards loaded"}));
  EXPECT_EQ(ReadAll(Common("data.vcf")), dataBefore);
  EXPECT_EQ(db->IsSetup(), 1);
  EXPECT_EQ(db->IsValidUser("cyoung"), 1);
}

TEST_F(FileDBTest, TheSampleDataIndexesAsOneOrganisationTree) {
  std::string sample = ReadAll(std::string(TEST_SOURCE_DIR) + "/site/sample/data.vcf");
  ASSERT_EQ(IndexText(sample), Strings{});
  std::unique_ptr<VersitFileWithIndex> file(new VersitFileWithIndex());
  ASSERT_TRUE(file->OpenWithIndex(Common("data.vcf").c_str(), Common("data.idx").c_str(),
                                  true));
  ValNameList* index = file->GetIndex();
  ASSERT_GE(index->GetCount(), 200);
  int roots = 0;
  for (ValNameListItem* item = index->GetFirst(); item; item = item->next) {
    std::unique_ptr<VCard> card(db->GetUserCard(item->name));
    ASSERT_TRUE(card);
    VCardEntry* mgr = card->GetEntry(kVCardMgrUID);
    if (mgr == nullptr) {
      ++roots;
      continue;
    }
    std::unique_ptr<VCard> boss(db->GetUserCard(mgr->value));
    ASSERT_TRUE(boss) << item->name;
    bool listed = false;
    for (VCardEntry* e = boss->firstEntry; e; e = e->next) {
      if (e->id == kVCardDirectReportUID && strcasecmp(e->value, item->name) == 0) {
        listed = true;
      }
    }
    EXPECT_TRUE(listed) << item->name << " missing under " << mgr->value;
  }
  EXPECT_EQ(roots, 1);
  file->Close();
}

TEST_F(FileDBTest, PhotographsOfKnownPeopleAreCopied) {
  ASSERT_EQ(IndexText(kThreePeople), Strings{});
  std::string src = top + "/tmp/photos";
  WriteAll(src + "/ZADAMS.JPG", "jpeg bytes");
  WriteAll(src + "/mbrown.gif", "gif bytes");
  WriteAll(src + "/stranger.png", "png bytes");
  WriteAll(src + "/notes.txt", "not a photo");
  Strings progress;
  char* error = db->CopyPhotos(top.c_str(), src.c_str(), nullptr, Record, &progress);
  EXPECT_EQ(error, nullptr);
  free(error);
  EXPECT_EQ(ReadAll(top + "/data/photos/zadams.jpg"), "jpeg bytes");
  EXPECT_EQ(ReadAll(top + "/data/photos/mbrown.gif"), "gif bytes");
  EXPECT_FALSE(std::filesystem::exists(top + "/data/photos/stranger.png"));
  EXPECT_TRUE(Contains(progress, "[stranger.png]"));
  EXPECT_EQ(progress.back(), "2");

  char* notDir = db->CopyPhotos(top.c_str(), (src + "/notes.txt").c_str(), nullptr,
                                nullptr, nullptr);
  ASSERT_NE(notDir, nullptr);
  EXPECT_NE(std::string(notDir).find("is not a directory on the server machine!"),
            std::string::npos);
  free(notDir);
}

}  // namespace
