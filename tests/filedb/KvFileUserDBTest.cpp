// The user directory of the file back end as the console uses it: opening
// through the loader, person cards, names, field names, template cards,
// set-up state, login notices, attributes and the additional fields.
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "FileDBTestSupport.h"

using namespace filedbtest;

namespace {

std::string Take(char* text) {
  std::string out = text ? text : "(null)";
  free(text);
  return out;
}

std::string CardText(VCard* card) {
  std::unique_ptr<VCard> owned(card);
  if (!card) return "(no card)";
  return Take(card->Print(false));
}

TEST_F(FileDBTest, OpensThroughTheLoaderAtTheConfiguredTopDirectory) {
  ASSERT_TRUE(IndexText(kThreePeople).empty());
  std::filesystem::copy_file(KVFILEDB_PLUGIN, top + "/lib/kvfiledblib_cgi.so");
  std::string oldCwd = std::filesystem::current_path().string();
  ASSERT_EQ(chdir((top + "/apps/admin/bin").c_str()), 0);
  {
    KvConfigDB config;
    UserDB* users = KvCreateUserDB(&config);
    ASSERT_NE(users, nullptr);
    EXPECT_EQ(users->Open(&config, 0, false), 1);
    EXPECT_EQ(users->IsValidUser("cyoung"), 1);
    EXPECT_EQ(Take(users->GetDisplayName("zadams")), "Zoe Adams");
    KvDestroyUserDB(users, &config);

    WriteAll(Common("groups.lst"), "BEGIN:vNameList\ng1:Team\nEND:vNameList\n");
    GroupDB* loaded = KvCreateGroupDB(&config);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->Open(&config, 0), 1);
    EXPECT_EQ(Take(loaded->GetGroupName("g1")), "Team");
    KvDestroyGroupDB(loaded, &config);
  }
  ASSERT_EQ(chdir(oldCwd.c_str()), 0);
}

TEST_F(FileDBTest, FindsPeopleByUidLoginAndWebServerUser) {
  EXPECT_EQ(db->GetUserCard("zadams"), nullptr);  // no data yet
  EXPECT_EQ(db->IsValidUser("zadams"), 0);
  ASSERT_TRUE(IndexText(kThreePeople).empty());

  std::unique_ptr<VCard> card(db->GetUserCard("ZAdams"));
  ASSERT_TRUE(card);
  EXPECT_STREQ(card->GetEntry(kVCardTitle)->value, "Engineer");
  EXPECT_EQ(db->GetUserCard("nobody"), nullptr);
  EXPECT_EQ(db->GetUserCard(nullptr), nullptr);

  struct Case {
    const char* given;
    int valid;
    const char* login;   // GetUidFromLogin
    const char* remote;  // GetUidFromRemoteUser
  } cases[] = {
      {"zadams", 1, "zadams", "zadams"},
      {"MBROWN", 1, "mbrown", "mbrown"},
      {"zadams@EXAMPLE.COM", 0, "(null)", "(null)"},
      {"ADS\\zadams", 0, "(null)", "(null)"},
      {"", 0, "(null)", "(null)"},
      {"nobody", 0, "(null)", "(null)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.given);
    EXPECT_EQ(db->IsValidUser(c.given), c.valid);
    EXPECT_EQ(Take(db->GetUidFromLogin(c.given)), c.login);
    EXPECT_EQ(Take(db->GetUidFromRemoteUser(c.given)), c.remote);
  }
}

// The first few look-ups of a directory object read the index file line by
// line; later ones use the index loaded whole. Both must read an index alike.
TEST_F(FileDBTest, LookingUpOnePersonReadsTheIndexAsLoadingItDoes) {
  ASSERT_TRUE(IndexText(kThreePeople).empty());
  std::unique_ptr<ValNameList> real(new ValNameList);
  real->Read(Common("data.idx").c_str(), true);
  const std::string zadams = real->Lookup("zadams")->value;
  WriteAll(Common("data.idx"),
           "BEGIN:vNameList\n"
           "zadams:" + zadams + "\n"
           "ZADAMS:999999\n"            // a second item: the first one counts
           "mbrown:" + zadams + "\n"    // stale: another person's card
           "cyoung:none\n"              // no offset
           "note:text=0A=\n cyoung2:0\n"  // a value going on over two lines
           "END:vNameList\n"
           "after:0\n");
  struct Case {
    const char* uid;
    const char* stored;  // GetUidFromLogin
    const char* card;    // the UID of GetUserCard's card
  } cases[] = {
      {"zadams", "zadams", "zadams"}, {"ZAdams", "zadams", "zadams"},
      {"mbrown", "mbrown", nullptr},  {"cyoung", "cyoung", nullptr},
      {"cyoung2", "(null)", nullptr}, {" cyoung2", "(null)", nullptr},
      {"after", "(null)", nullptr},   {"zadams:", "(null)", nullptr},
  };
  for (bool loaded : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.uid) + (loaded ? ", index loaded" : ", index read"));
      for (int call = 0; call < 2; ++call) {
        UserDB* users = NewDB();
        // Enough look-ups first to make the directory load the index.
        for (int i = 0; loaded && i < 8; ++i) users->IsValidUser("warm-up");
        std::unique_ptr<VCard> card;
        if (call == 0) {
          EXPECT_EQ(Take(users->GetUidFromLogin(c.uid)), c.stored);
        } else {
          card.reset(users->GetUserCard(c.uid));
          EXPECT_EQ(card ? card->GetEntry(kVCardUID)->value : "(none)",
                    std::string(c.card ? c.card : "(none)"));
        }
        Destroy(users);
      }
    }
  }
}

TEST_F(FileDBTest, DisplayNamesAndAddresses) {
  ASSERT_TRUE(IndexText(kThreePeople).empty());
  EXPECT_EQ(Take(db->GetDisplayName("zadams")), "Zoe Adams");
  EXPECT_EQ(Take(db->GetDisplayName("mbrown")), "Mark Brown");  // from N
  EXPECT_EQ(Take(db->GetDisplayName("ghost")), "ghost");
  EXPECT_EQ(Take(ThePlugin().getEmail(db, "zadams")), "zadams@example.com");
  EXPECT_EQ(Take(ThePlugin().getEmail(db, "mbrown")), "mark.brown@example.com");
  EXPECT_EQ(Take(ThePlugin().getEmail(db, "cyoung")), "(null)");

  ValList uids;
  for (const char* uid : {"zadams", "cyoung", "mbrown"}) uids.Append(uid);
  std::unique_ptr<ValNameList> sorted(db->SortByValue(&uids));
  ASSERT_EQ(sorted->GetCount(), 3);
  EXPECT_STREQ(sorted->GetNthItem(0)->name, "cyoung");
  EXPECT_STREQ(sorted->GetNthItem(1)->name, "mbrown");
  EXPECT_STREQ(sorted->GetNthItem(2)->value, "Zoe Adams");
}

TEST_F(FileDBTest, SearchesPeopleByAPrefixOfNameUidOrAddress) {
  ASSERT_TRUE(IndexText(std::string(kThreePeople) +
                        "BEGIN:VCARD\nFN:Émile Ødegård\nUID:eodegard\n"
                        "END:VCARD\n")
                  .empty());
  auto uids = [&](const char* prefix, int max = 10) {
    std::unique_ptr<ValNameList> found(db->SearchPeople(prefix, max));
    std::string out;
    for (ValNameListItem* item = found ? found->GetFirst() : nullptr; item; item = item->next)
      out += std::string(out.empty() ? "" : " ") + item->name;
    return out;
  };
  struct Case {
    const char* prefix;
    const char* uids;
  } cases[] = {
      {"zo", "zadams"},                       // first word of the name
      {"ADAMS", "zadams"},                    // a later word, any case
      {"mark.b", "mbrown"},                   // e-mail address
      {"cy", "cyoung"},                       // uid
      {"émi", "eodegard"},                    // UTF-8, folded
      {"ØDEGÅ", "eodegard"},
      {"dams", ""},                           // not a prefix
      {"\xe2\x82", ""},                       // a broken UTF-8 sequence
      {"  carl young ", "cyoung"},            // the whole name, blanks trimmed
      {"", "cyoung mbrown zadams eodegard"},  // everybody, by name
  };
  for (const Case& c : cases) EXPECT_EQ(uids(c.prefix), c.uids) << c.prefix;
  EXPECT_EQ(uids("", 2), "cyoung mbrown zadams");  // one more than asked: there are more
  std::unique_ptr<ValNameList> zoe(db->SearchPeople("zoe", 5));
  ASSERT_EQ(zoe->GetCount(), 1);
  EXPECT_STREQ(zoe->GetFirst()->value, "Zoe Adams");
  EXPECT_STREQ(zoe->GetFirst()->extra1, "zadams@example.com");

  // Data indexed before there were search files gets one on first use.
  unlink(Common("data.search").c_str());
  EXPECT_EQ(uids("brown"), "mbrown");
}

TEST_F(FileDBTest, NamesCardFieldsForTheLabelPages) {
  WriteAll(Common("addinfo.lst"),
           "BEGIN:vNameList\nDesc_7:Office Room\nSize_7:10\nEND:vNameList\n");
  struct Case {
    const char* field;
    const char* name;
  } cases[] = {
      {"TEL;WORK;FAX", "Work Fax"},
      {"TEL;FAX;WORK", "Work Fax"},
      {"TEL;WORK;VOICE", "Work Phone"},
      {"TEL;WORK", "Work Phone"},
      {"TEL;HOME;VOICE;PREF", "Home Phone"},
      {"TEL;CELL", "Mobile Phone"},
      {"TEL;WORK;VOICE;X-KAVRI-TYPE-0", "Work Phone 2"},
      {"EMAIL;INTERNET", "E-mail"},
      {"FN", "Name"},
      {"ADR;WORK", "Work Address"},
      {"X-KAVRI-UID;X-KAVRI-SECRETARY", "Secretary"},
      {"X-KAVRI-MGR-UID", "Manager"},
      {"X-KAVRI-LABEL-7", "Office Room"},
      {"X-KAVRI-LABEL-8", "X-KAVRI-LABEL-8"},
      {"TEL;ISDN;WORK", "TEL(ISDN)(WORK)"},
      {"EMAIL;AOL", "EMAIL(AOL)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    std::unique_ptr<VCardEntry> entry(VCardEntry::ParsePropertyName(c.field));
    EXPECT_EQ(Take(db->GetEntryDisplayName(entry.get())), c.name);
  }
}

TEST_F(FileDBTest, TemplateCardsStartFromDefaultsAndPersist) {
  EXPECT_EQ(CardText(db->GetCardTemplate()),
            "begin:vCard\nFN:Name\nTITLE:Title\nORG:Organization\n"
            "TEL;WORK;VOICE:Phone\nEMAIL;INTERNET:E-mail\nend:vCard");
  std::unique_ptr<VCard> person(db->GetPersonTemplate());
  EXPECT_EQ(person->GetNumEntries(), 8);

  VCard mine;
  for (const char* field : {"TEL;WORK;FAX", "FN", "X-KAVRI-LABEL-3", "ADR;WORK"}) {
    mine.AddEntry(VCardEntry::ParsePropertyName(field));
  }
  mine.GetNthEntry(0)->SetPropValue("Fax: office");
  mine.GetNthEntry(1)->SetPropValue("Name");
  mine.GetNthEntry(2)->SetPropValue("Two\nlines");
  EXPECT_EQ(db->WriteCardTemplate(&mine), 1);
  std::string written = CardText(mine.Copy());

  UserDB* other = NewDB();  // a fresh object reads the files again
  EXPECT_EQ(CardText(other->GetCardTemplate()), written);
  EXPECT_EQ(CardText(other->GetPersonTemplate()), CardText(db->GetPersonTemplate()));
  Destroy(other);
  EXPECT_EQ(FilesContaining(top + "/data/common", ".tmp").size(), 0u);
}

TEST_F(FileDBTest, SetUpStateAndLoginNotices) {
  EXPECT_EQ(db->IsSetup(), 0);
  ASSERT_TRUE(IndexText(kThreePeople).empty());
  EXPECT_EQ(db->IsSetup(), 1);
  db->UserLoggedIn("ZADAMS");
  db->UserLoggedIn("ghost");
  std::string logins = ReadAll(Common("logins.lst"));
  EXPECT_NE(logins.find("zadams:"), std::string::npos);
  EXPECT_EQ(logins.find("ghost"), std::string::npos);
}

TEST_F(FileDBTest, UserAttributesCarryTheStyle) {
  WriteAll(Common("userattrs.lst"),
           "BEGIN:vNameList\nzadams:style=style3\nmbrown:style=style1\n"
           "zadams:lang=en\nzadams:broken\nEND:vNameList\n");
  std::unique_ptr<ValNameList> attrs(db->GetUserAttributes("ZADAMS"));
  ASSERT_EQ(attrs->GetCount(), 2);
  EXPECT_STREQ(attrs->Lookup("style")->value, "style3");
  EXPECT_STREQ(attrs->Lookup("lang")->value, "en");
  std::unique_ptr<ValNameList> none(db->GetUserAttributes("cyoung"));
  EXPECT_EQ(none->GetCount(), 0);
}

TEST_F(FileDBTest, AdditionalFieldsListIsKeptWholeAndInPairs) {
  std::unique_ptr<ValNameList> empty(db->GetFieldsList());
  EXPECT_EQ(empty->GetCount(), 0);

  ValNameList fields;
  fields.Append("Desc_200", "Room");
  fields.Append("Size_200", "10");
  fields.Append("Desc_100", "Hobby: sailing");
  fields.Append("Size_100", "50");
  EXPECT_EQ(db->WriteFieldsList(&fields), 1);

  ValNameList odd;
  odd.Append("Desc_300", "Odd");
  EXPECT_TRUE(Throws([&] { db->WriteFieldsList(&odd); }));
  std::unique_ptr<ValNameList> back(db->GetFieldsList());
  ASSERT_EQ(back->GetCount(), 4);
  EXPECT_STREQ(back->GetNthItem(0)->name, "Desc_200");
  EXPECT_STREQ(back->GetNthItem(2)->value, "Hobby: sailing");
}

}  // namespace
