// The user and group directories of the file back end as the console reads
// them: people, names, searches, field names, attribute descriptions, groups.
#include <unistd.h>

#include "FileDBTestSupport.h"

using namespace filedbtest;

namespace {

Strings Names(ValNameList* list, bool values = false) {
  std::unique_ptr<ValNameList> owned(list);
  Strings out;
  for (ValNameListItem* item = list ? list->GetFirst() : nullptr; item; item = item->next)
    out.push_back(values ? std::string(item->name) + "=" + item->value : item->name);
  return out;
}

TEST_F(FileDBTest, FindsPeopleByUidLoginAndWebServerUser) {
  EXPECT_EQ(db->GetUserCard("zadams"), nullptr);  // no data yet
  ASSERT_TRUE(IndexText(kThreePeople).empty());
  struct Case {
    const char* given;
    const char* uid;      // GetUidFromLogin and GetUidFromRemoteUser
    const char* display;  // GetDisplayName
    const char* email;
  } cases[] = {
      {"zadams", "zadams", "Zoe Adams", "zadams@example.com"},
      {"mbrown", "mbrown", "Mark Brown", "mark.brown@example.com"},  // name from N
      {"MBROWN", "mbrown", "Mark Brown", "mark.brown@example.com"},
      {"cyoung", "cyoung", "Carl Young", "(null)"},
      {"zadams@EXAMPLE.COM", "(null)", nullptr, nullptr},
      {"ADS\\zadams", "(null)", nullptr, nullptr},
      {"", "(null)", nullptr, nullptr},
      {"ghost", "(null)", "ghost", "(null)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.given);
    EXPECT_EQ(db->IsValidUser(c.given), strcmp(c.uid, "(null)") != 0);
    EXPECT_EQ(TakeText(db->GetUidFromLogin(c.given)), c.uid);
    EXPECT_EQ(TakeText(db->GetUidFromRemoteUser(c.given)), c.uid);
    if (c.display) {
      EXPECT_EQ(TakeText(db->GetDisplayName(c.given)), c.display);
      EXPECT_EQ(TakeText(ThePlugin().getEmail(db, c.given)), c.email);
    }
  }
  // Login notices are kept for people only.
  db->UserLoggedIn("ZADAMS");
  db->UserLoggedIn("ghost");
  std::string logins = ReadAll(Common("logins.lst"));
  EXPECT_NE(logins.find("zadams:"), std::string::npos);
  EXPECT_EQ(logins.find("ghost"), std::string::npos);
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
      UserDB* users = NewDB();
      // Enough look-ups first to make the directory load the index.
      for (int i = 0; loaded && i < 8; ++i) users->IsValidUser("warm-up");
      EXPECT_EQ(TakeText(users->GetUidFromLogin(c.uid)), c.stored);
      std::unique_ptr<VCard> card(users->GetUserCard(c.uid));
      EXPECT_EQ(card ? card->GetEntry(kVCardUID)->value : "(none)",
                std::string(c.card ? c.card : "(none)"));
      Destroy(users);
    }
  }
}

TEST_F(FileDBTest, SearchesPeopleByAPrefixOfNameUidOrAddress) {
  ASSERT_TRUE(IndexText(std::string(kThreePeople) +
                        "BEGIN:VCARD\nFN:Émile Ødegård\nUID:eodegard\nEND:VCARD\n")
                  .empty());
  auto uids = [&](const char* prefix, int max = 10) {
    Strings found = Names(db->SearchPeople(prefix, max));
    std::string out;
    for (const std::string& uid : found) out += (out.empty() ? "" : " ") + uid;
    return out;
  };
  struct Case {
    const char* prefix;
    const char* uids;
  } cases[] = {
      {"zo", "zadams"},                       // first word of the name
      {"ADAMS", "zadams"},                    // a later word, any case
      {"émi", "eodegard"},                    // UTF-8, folded
      {"ØDEGÅ", "eodegard"},
      {"dams", ""},                           // not a prefix
      {"\xe2\x82", ""},                       // a broken UTF-8 sequence
      {"  carl young ", "cyoung"},            // the whole name, blanks trimmed
      {"", "cyoung mbrown zadams eodegard"},  // everybody, by name
  };
  for (const Case& c : cases) EXPECT_EQ(uids(c.prefix), c.uids) << c.prefix;
  EXPECT_EQ(uids("", 2), "cyoung mbrown zadams");  // one more than asked: there are more

  // Data indexed before there were search files gets one on first use.
  unlink(Common("data.search").c_str());
  EXPECT_EQ(uids("brown"), "mbrown");
}

// (A label field named in the additional fields: CheckFieldsList.)
TEST_F(FileDBTest, NamesCardFieldsForTheLabelPages) {
  const char* const cases[][2] = {
      {"TEL;WORK;FAX", "Work Fax"},
      {"TEL;FAX;WORK", "Work Fax"},
      {"TEL;WORK;VOICE;X-KAVRI-TYPE-0", "Work Phone 2"},
      {"X-KAVRI-UID;X-KAVRI-SECRETARY", "Secretary"},
      {"X-KAVRI-LABEL-8", "X-KAVRI-LABEL-8"},
      {"TEL;ISDN;WORK", "TEL(ISDN)(WORK)"},
  };
  for (const auto& c : cases) {
    std::unique_ptr<VCardEntry> entry(VCardEntry::ParsePropertyName(c[0]));
    EXPECT_EQ(TakeText(db->GetEntryDisplayName(entry.get())), c[1]) << c[0];
  }
}

TEST_F(FileDBTest, AttributesHaveTypesAndOptions) {
  WriteAll(Common("attributes.lst"),
           "BEGIN:vNameList\nTITLE:kavriText\nX-KAVRI-LABEL-1:kavriSelectS:rooms\n"
           "NOTE\nEND:vNameList\n");
  WriteAll(Common("options/rooms.lst"),
           "BEGIN:vNameList\nr1:Room One\nr2:Room Two\nEND:vNameList\n");
  WriteAll(Common("userattrs.lst"),
           "BEGIN:vNameList\nzadams:style=style3\nmbrown:style=style1\n"
           "zadams:lang=en\nzadams:broken\nEND:vNameList\n");
  EXPECT_EQ(Texts(db->GetAttributeList()), (Strings{"TITLE", "X-KAVRI-LABEL-1"}));
  std::unique_ptr<ValNameList> types(db->GetAttributeTypes());
  ValNameListItem* select = types->Lookup("x-kavri-label-1");
  ASSERT_NE(select, nullptr);
  EXPECT_STREQ(select->value, "kavriSelectS");
  EXPECT_STREQ(select->extra1, "rooms");
  EXPECT_EQ(Names(db->GetAttributeOptions("X-KAVRI-LABEL-1"), true),
            (Strings{"r1=Room One", "r2=Room Two"}));
  EXPECT_EQ(Names(db->GetUserAttributes("ZADAMS"), true), (Strings{"style=style3", "lang=en"}));
  EXPECT_EQ(Names(db->GetUserAttributes("cyoung")), Strings{});
}

TEST_F(FileDBTest, GroupsHaveNamesMembersAndAnOrder) {
  WriteAll(Common("groups.lst"),
           "BEGIN:vNameList\ng-eng:engineering\ng-exec:Board\ng-fun:Clubs\nEND:vNameList\n");
  WriteAll(Common("groupmembers.lst"),
           "BEGIN:vNameList\ng-eng:zadams\ng-exec:mbrown\nG-ENG:cyoung\n"
           "g-eng:ZADAMS\nEND:vNameList\n");
  EXPECT_EQ(TakeText(groups->GetGroupName("G-EXEC")), "Board");
  EXPECT_EQ(TakeText(groups->GetGroupName("g-none")), "(null)");
  EXPECT_EQ(Texts(groups->GetMembers("g-eng")), (Strings{"zadams", "cyoung"}));
  EXPECT_EQ(Texts(groups->GetMembers("g-fun")), Strings{});
  std::unique_ptr<ValList> gids(ListOf({"g-exec", "g-fun", "g-eng", "g-gone"}));
  EXPECT_EQ(Names(groups->SortByValue(gids.get()), true),
            (Strings{"g-exec=Board", "g-fun=Clubs", "g-eng=engineering", "g-gone=g-gone"}));
  EXPECT_EQ(Names(groups->GetGroups()), (Strings{"g-exec", "g-fun", "g-eng"}));

  VCard a, b, c;  // records sort by name, nameless last
  a.AddEntry(kVCardFN, "zeta");
  b.AddEntry(kVCardUID, "no name");
  c.AddEntry(kVCardFN, "Alpha");
  VoidList records;
  for (VCard* card : {&a, &b, &c}) records.Append(card);
  groups->SortByValue(&records);
  EXPECT_EQ(records.GetNthItem(0)->data, &c);
  EXPECT_EQ(records.GetNthItem(1)->data, &a);
  EXPECT_EQ(records.GetNthItem(2)->data, &b);
}

}  // namespace
