// The LDAP back end against a real slapd: people and cards, logins by bind,
// accounts, the console's lists, templates and fields, groups, photographs
// and a refused bind. Names given by users reach the server's search
// filters and DNs escaped.
#include <algorithm>

#include "LdapTestWorld.h"

using namespace ldaptest;

namespace {

// "NAME;PARAMS:value" per field of the card, sorted.
Strings Fields(VCard* card) {
  std::unique_ptr<VCard> owned(card);
  Strings out;
  for (VCardEntry* e = card ? card->firstEntry : nullptr; e; e = e->next)
    out.push_back(TakeText(e->GetNameAndSubTypes()) + ":" + (e->value ? e->value : ""));
  std::sort(out.begin(), out.end());
  return out;
}

class LdapDBTest : public ::testing::Test {
 protected:
  const Slapd& server = TheWorld().server;
  UserDBHolder db{TheWorld().server};
};

TEST_F(LdapDBTest, ConvertedPeopleBecomeCardsAndLogIn) {
  EXPECT_NE(TheWorld().conversionPage.find("Data successfuly converted"), std::string::npos);
  EXPECT_EQ(db->IsSetup(), 1);
  EXPECT_EQ(Fields(db->GetUserCard("lschmidt")),
            Sorted({"N:Schmidt;Lena;;;", "FN:Lena Schmidt", "TITLE:Director",
                    "ORG:Kavri;Engineering", "TEL;WORK;VOICE:+1 555 0101 1002",
                    "EMAIL;INTERNET:lschmidt@example.com", "UID:lschmidt",
                    "X-KAVRI-MGR-UID:bvogel", "X-KAVRI-DIRECT-REPORT-UID:zadams"}));
  Strings bvogel = Fields(db->GetUserCard("BVOGEL"));  // any case; two reports
  ASSERT_EQ(bvogel.size(), 9u);
  EXPECT_EQ(Strings(bvogel.end() - 2, bvogel.end()),
            (Strings{"X-KAVRI-DIRECT-REPORT-UID:lschmidt", "X-KAVRI-DIRECT-REPORT-UID:mbrown"}));

  // The conversion gives everybody the password given_family.
  struct Case {
    const char* login;
    const char* uid;      // GetUidFromLogin, or null: no such person
    const char* display;  // GetDisplayName
    const char* password;
    int accepted;
  } cases[] = {
      {"mbrown", "mbrown", "Mark Brown", "mark_brown", 1},
      {"MBROWN", "mbrown", "Mark Brown", "mark_brown", 1},
      {"mbrown", "mbrown", "Mark Brown", "Mark_Brown", 0},
      {"ZAdams", "zadams", "Zoe Adams", "", 0},  // never an anonymous bind
      {"ghost", nullptr, "ghost", "mark_brown", 0},
      {"z*", nullptr, "z*", "zoe_adams", 0},
      {"*", nullptr, "*", "mark_brown", 0},
      {"bvogel)(uid=*", nullptr, "bvogel)(uid=*", "bianca_vogel", 0},
      {"", nullptr, "", "x", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.login) + "/" + c.password);
    EXPECT_EQ(db->IsValidUser(c.login), c.uid != nullptr);
    EXPECT_EQ(TakeText(db->GetUidFromLogin(c.login)), c.uid ? c.uid : "(null)");
    EXPECT_EQ(TakeText(db->GetUidFromRemoteUser(c.login)), c.uid ? c.uid : "(null)");
    EXPECT_EQ(TakeText(db->GetDisplayName(c.login)), c.display);
    EXPECT_EQ(Fields(db->GetUserCard(c.login)).empty(), c.uid == nullptr);
    EXPECT_EQ(db->CheckPassword(c.login, c.password) != 0, c.accepted == 1);
  }
}

TEST_F(LdapDBTest, PasswordsAndGeneratedAccountsBind) {
  ThePlugin().setPassword(db.db, "zadams", "n3w pass");
  EXPECT_NE(db->CheckPassword("zadams", "n3w pass"), 0);
  EXPECT_EQ(db->CheckPassword("zadams", "zoe_adams"), 0);
  EXPECT_TRUE(Throws([&] { ThePlugin().setPassword(db.db, "ghost", "x"); }));

  std::string out;
  ASSERT_EQ(server.Tool("ldapadd",
                        "dn: cn=New Hire,ou=Sales,o=Kavri,c=US\nobjectClass: inetOrgPerson\n"
                        "cn: New Hire\nsn: Hire\nuid: nhire\n",
                        "", &out),
            0)
      << out;
  TempTree top;
  ASSERT_TRUE(top.Make("/tmp/ldapdbtest", {"data/common"}));
  UserDBHolder withTop(server, top.top());
  int before = withTop->GetNumAccounts();
  EXPECT_EQ(withTop->GenerateAccounts(), 1);
  EXPECT_EQ(withTop->GetNumAccounts(), before + 1);
  std::string list = ReadAll(top.Path("data/common/new-accounts.txt"));
  ASSERT_EQ(list.compare(0, 6, "nhire "), 0) << list;
  std::string password = list.substr(6, list.find('\n') - 6);
  EXPECT_NE(withTop->CheckPassword("nhire", password.c_str()), 0);
  EXPECT_EQ(withTop->GenerateAccounts(), 1);  // nobody left without one
  EXPECT_EQ(ReadAll(top.Path("data/common/new-accounts.txt")), list);
}

TEST_F(LdapDBTest, AdministratorsAccessListsFieldsAndTemplates) {
  UserDBHolder other(server);
  CheckAdministrators(db.db, other.db, {"bvogel", "lschmidt", "mbrown"});
  // Each change went out as value additions and deletions: the server's
  // entry holds exactly the list.
  std::string out;
  server.Tool("ldapsearch", "", "-LLL -b 'cn=admins,ou=velmoraadmin,o=Kavri,c=US' description",
              &out);
  EXPECT_EQ(CountOf(out, "description:"), 1) << out;
  CheckAccessLists(db.db, other.db, "title",
                   {{"defaultAttr", {"self", "dirAdmin"}, {"dirAdmin"}},
                    {"telephoneNumber", {"zadams", "mbrown", "self"}, {"mbrown"}},
                    {"mail", {"any"}, {}},
                    {"cn", {}, {}},  // an empty list stays empty
                    {"odd, id+with=special;chars\\", {"zadams"}, {"zadams"}}},
                   "lschmidt");
  CheckFieldsList(db.db, other.db);
  CheckTemplates(db.db, other.db);
}

TEST_F(LdapDBTest, GroupsAndMembers) {
  GroupDB* groups = ThePlugin().createGroup();
  ASSERT_EQ(ThePlugin().groupOpenWith(groups, server.uri().c_str(), server.rootDN().c_str(),
                                      Slapd::kRootPasswd, kSuffix, 0),
            1);
  EXPECT_EQ(TakeText(groups->GetGroupName("g-eng")), "Engineering");
  EXPECT_EQ(TakeText(groups->GetGroupName("g-all")), "g-all");
  EXPECT_EQ(TakeText(groups->GetGroupName("g-none")), "(null)");
  EXPECT_EQ(Sorted(Texts(groups->GetMembers("g-eng"))), (Strings{"lschmidt", "zadams"}));
  EXPECT_EQ(Texts(groups->GetMembers("g-none")), Strings{});
  std::unique_ptr<ValList> gids(ListOf({"g-all", "g-eng"}));
  std::unique_ptr<ValNameList> sorted(groups->SortByValue(gids.get()));
  EXPECT_STREQ(sorted->GetFirst()->name, "g-eng");
  ThePlugin().destroyGroup(groups);
}

TEST_F(LdapDBTest, PhotographsGoIntoJpegPhoto) {
  TempTree photos;
  ASSERT_TRUE(photos.Make("/tmp/ldapphotos"));
  WriteAll(photos.Path("mbrown.jpg"), std::string("\xff\xd8\xff\xe0 jpeg", 9));
  WriteAll(photos.Path("ghost.jpg"), "x");
  WriteAll(photos.Path("zadams.gif"), "GIF89a");
  Strings seen;  // the count copied, after the names skipped
  auto callback = [](void* cookie, CallbackProgress* p) {
    Strings* s = static_cast<Strings*>(cookie);
    if (!p->messageList) s->push_back(std::to_string(p->count));
    for (ValListItem* i = p->messageList ? p->messageList->GetFirst() : nullptr; i; i = i->next)
      s->push_back(i->value);
  };
  EXPECT_EQ(TakeText(db->CopyPhotos(nullptr, photos.top().c_str(), nullptr, callback, &seen)),
            "(null)");
  EXPECT_EQ(Sorted(seen), (Strings{"1", "ghost.jpg", "zadams.gif"}));
  std::string out;
  server.Tool("ldapsearch", "", "-LLL -b 'o=Kavri,c=US' '(uid=mbrown)' jpegPhoto", &out);
  EXPECT_NE(out.find("jpegPhoto:: /9j/4CBqcGVn"), std::string::npos) << out;
  EXPECT_NE(TakeText(db->CopyPhotos(nullptr, "/no/such/dir", nullptr, nullptr, nullptr))
                .find("is not a directory"),
            std::string::npos);
}

// A refused bind is reported like an unreachable server (the console then
// offers its set-up page, as ConsoleLdapTest shows for a closed port).
TEST_F(LdapDBTest, AWrongRootPasswordIsAKindThreeError) {
  UserDB* fresh = ThePlugin().createUser();
  try {
    ThePlugin().openWith(fresh, server.uri().c_str(), server.rootDN().c_str(), "wrong", kSuffix, "", 0);
    ADD_FAILURE() << "opened";
  } catch (KvError* e) {
    std::unique_ptr<KvError> owned(e);
    EXPECT_EQ(e->GetKind(), kKvErrorUnreachable);
    EXPECT_GE(e->GetUserLines()->GetCount(), 1);
  }
  ThePlugin().destroyUser(fresh);
}

}  // namespace
