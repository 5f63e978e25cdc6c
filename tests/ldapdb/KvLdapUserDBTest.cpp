// The LDAP back end against a real slapd: people and cards, logins by bind,
// accounts, the console's lists, templates and fields, groups, photographs
// and an unreachable server.
#include <algorithm>
#include <cstring>

#include "LdapTestWorld.h"

using namespace ldaptest;
using testsupport::ListOf;
using testsupport::Strings;
using testsupport::Texts;

namespace {

// "NAME;PARAMS:value" per field of the card.
Strings Fields(VCard* card) {
  std::unique_ptr<VCard> owned(card);
  Strings out;
  if (!card) return out;
  for (VCardEntry* e = card->firstEntry; e; e = e->next) {
    std::unique_ptr<char, decltype(&free)> name(e->GetNameAndSubTypes(), &free);
    out.push_back(std::string(name.get()) + ":" + (e->value ? e->value : ""));
  }
  return out;
}

std::string Owned(char* text) {
  std::unique_ptr<char, decltype(&free)> owned(text, &free);
  return text ? text : "(null)";
}

KvError* Caught(const std::function<void()>& body) {
  try {
    body();
  } catch (KvError* e) {
    return e;
  }
  return nullptr;
}

class LdapDBTest : public ::testing::Test {
 protected:
  const Slapd& server = TheWorld().server;
  UserDBHolder db{TheWorld().server};
};

TEST_F(LdapDBTest, ConvertedPeopleBecomeCards) {
  EXPECT_NE(TheWorld().conversionPage.find("Data successfuly converted"), std::string::npos);
  EXPECT_EQ(db->IsSetup(), 1);
  struct Case {
    const char* uid;
    Strings fields;
  } cases[] = {
      {"lschmidt",
       {"N:Schmidt;Lena;;;", "FN:Lena Schmidt", "TITLE:Director", "ORG:Kavri;Engineering",
        "TEL;WORK;VOICE:+1 555 0101 1002", "EMAIL;INTERNET:lschmidt@example.com",
        "UID:lschmidt", "X-KAVRI-MGR-UID:bvogel", "X-KAVRI-DIRECT-REPORT-UID:zadams"}},
      {"BVOGEL",  // any case
       {"N:Vogel;Bianca;;;", "FN:Bianca Vogel", "TITLE:Chief Executive Officer",
        "ORG:Kavri;Executive", "TEL;WORK;VOICE:+1 555 0101 1001",
        "EMAIL;INTERNET:bvogel@example.com", "UID:bvogel"}},
      {"nobody", {}},
      {"*", {}},
      {"bvogel)(uid=*", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.uid);
    Strings fields = Fields(db->GetUserCard(c.uid));
    // Direct reports come in the server's order.
    Strings want = c.fields;
    if (strcmp(c.uid, "BVOGEL") == 0) {
      ASSERT_GE(fields.size(), want.size() + 2);
      Strings reports(fields.begin() + want.size(), fields.end());
      std::sort(reports.begin(), reports.end());
      EXPECT_EQ(reports, (Strings{"X-KAVRI-DIRECT-REPORT-UID:lschmidt",
                                  "X-KAVRI-DIRECT-REPORT-UID:mbrown"}));
      fields.resize(want.size());
    }
    EXPECT_EQ(fields, want);
  }
}

TEST_F(LdapDBTest, NamesAndLogins) {
  struct Case {
    const char* login;
    int valid;
    const char* uid;      // GetUidFromLogin
    const char* display;  // GetDisplayName
  } cases[] = {
      {"zadams", 1, "zadams", "Zoe Adams"},
      {"ZAdams", 1, "zadams", "Zoe Adams"},
      {"ghost", 0, "(null)", "ghost"},
      {"z*", 0, "(null)", "z*"},
      {"", 0, "(null)", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.login);
    EXPECT_EQ(db->IsValidUser(c.login), c.valid);
    EXPECT_EQ(Owned(db->GetUidFromLogin(c.login)), c.uid);
    EXPECT_EQ(Owned(db->GetUidFromRemoteUser(c.login)), c.uid);
    EXPECT_EQ(Owned(db->GetDisplayName(c.login)), c.display);
  }
  std::unique_ptr<ValList> uids(ListOf({"zadams", "bvogel", "mbrown"}));
  std::unique_ptr<ValNameList> sorted(db->SortByValue(uids.get()));
  EXPECT_STREQ(sorted->GetFirst()->value, "Bianca Vogel");
  EXPECT_STREQ(sorted->GetLast()->value, "Zoe Adams");
}

TEST_F(LdapDBTest, PasswordsAreCheckedByBinding) {
  // The conversion gives everybody the password given_family.
  struct Case {
    const char* uid;
    const char* password;
    int accepted;
  } cases[] = {
      {"mbrown", "mark_brown", 1},    {"MBROWN", "mark_brown", 1},
      {"mbrown", "Mark_Brown", 0},    {"mbrown", "", 0},  // never an anonymous bind
      {"ghost", "mark_brown", 0},     {"*", "mark_brown", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.uid) + "/" + c.password);
    EXPECT_EQ(db->CheckPassword(c.uid, c.password) != 0, c.accepted == 1);
  }
  ThePlugin().setPassword(db.db, "zadams", "n3w pass");
  EXPECT_NE(db->CheckPassword("zadams", "n3w pass"), 0);
  EXPECT_EQ(db->CheckPassword("zadams", "zoe_adams"), 0);
  KvError* unknown = Caught([&] { ThePlugin().setPassword(db.db, "ghost", "x"); });
  ASSERT_NE(unknown, nullptr);
  delete unknown;
}

TEST_F(LdapDBTest, GeneratedAccountsAreWrittenDownAndBind) {
  std::string out;
  ASSERT_EQ(server.Tool("ldapadd",
                        "dn: cn=New Hire,ou=Sales,o=Kavri,c=US\nobjectClass: inetOrgPerson\n"
                        "cn: New Hire\nsn: Hire\nuid: nhire\n",
                        "", &out),
            0)
      << out;
  testsupport::TempTree top;
  ASSERT_TRUE(top.Make("/tmp/ldapdbtest", {"data/common"}));
  UserDBHolder withTop(server, top.top());
  int before = withTop->GetNumAccounts();
  EXPECT_EQ(withTop->GenerateAccounts(), 1);
  EXPECT_EQ(withTop->GetNumAccounts(), before + 1);
  std::string list = testsupport::ReadAll(top.Path("data/common/new-accounts.txt"));
  ASSERT_EQ(list.compare(0, 6, "nhire "), 0) << list;
  std::string password = list.substr(6, list.find('\n') - 6);
  EXPECT_NE(withTop->CheckPassword("nhire", password.c_str()), 0);
  EXPECT_EQ(withTop->GenerateAccounts(), 1);  // nobody left without one
  EXPECT_EQ(testsupport::ReadAll(top.Path("data/common/new-accounts.txt")), list);
}

TEST_F(LdapDBTest, AdministratorsAndAccessLists) {
  EXPECT_EQ(Texts(db->GetAttribModifiers(nullptr, "defaultAttr")), Strings{"dirAdmin"});
  EXPECT_EQ(Texts(db->GetAttribModifiers(nullptr, "title")), Strings{"default"});
  EXPECT_EQ(Texts(db->GetOperModifiers("add")), Strings{"dirAdmin"});
  EXPECT_EQ(Texts(db->GetOperNotifyList("delete")), Strings{});

  struct Case {
    const char* id;
    Strings modifiers;
    Strings approvers;
  } cases[] = {
      {"defaultAttr", {"self", "dirAdmin"}, {"dirAdmin"}},
      {"telephoneNumber", {"zadams", "mbrown", "self"}, {"mbrown"}},
      {"mail", {"any"}, {}},
      {"cn", {}, {}},  // an empty list stays empty
      {"odd, id+with=special;chars\\", {"zadams"}, {"zadams"}},
  };
  for (int round = 0; round < 2; ++round) {  // written new, then changed
    for (const Case& c : cases) {
      Strings m = c.modifiers, a = c.approvers;
      if (round == 0) {
        m.push_back("lschmidt");
        a.push_back("lschmidt");
      }
      std::unique_ptr<ValList> ml(ListOf(m)), al(ListOf(a));
      EXPECT_EQ(db->SetAttribModifiers(nullptr, c.id, ml.get()), 1);
      EXPECT_EQ(db->SetAttribApprovers(nullptr, c.id, al.get()), 1);
    }
  }
  UserDBHolder other(server);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Strings m = Texts(other->GetAttribModifiers(nullptr, c.id));
    Strings want = c.modifiers;
    std::sort(m.begin(), m.end());
    std::sort(want.begin(), want.end());
    EXPECT_EQ(m, want);
    EXPECT_EQ(Texts(other->GetAttribApprovers(nullptr, c.id)), c.approvers);
  }

  std::unique_ptr<ValList> adders(ListOf({"dirAdmin", "mbrown"}));
  std::unique_ptr<ValList> told(ListOf({"mbrown"}));
  std::unique_ptr<ValList> deleters(ListOf({"zadams"}));
  db->SetOperModifiers("ADD", adders.get());
  db->SetOperNotifyList("add", told.get());
  db->SetOperModifiers("remove", deleters.get());  // not "add": the delete lists
  EXPECT_EQ(Texts(other->GetOperNotifyList("add")), Strings{"mbrown"});
  EXPECT_EQ(Texts(other->GetOperModifiers("delete")), Strings{"zadams"});
  EXPECT_EQ(Texts(other->GetOperModifiers("add")).size(), 2u);

  std::unique_ptr<ValList> admins(ListOf({"bvogel", "lschmidt", "BVOGEL", ""}));
  EXPECT_EQ(db->SetDirAdmins(admins.get()), 1);
  EXPECT_EQ(Texts(other->GetDirAdmins()), (Strings{"bvogel", "lschmidt"}));
  std::unique_ptr<ValList> fewer(ListOf({"lschmidt"}));
  db->SetDirAdmins(fewer.get());
  EXPECT_EQ(other->IsDirAdmin("LSchmidt"), 1);
  EXPECT_EQ(other->IsDirAdmin("bvogel"), 0);
  // Each change went out as value additions and deletions: the server's
  // entry holds exactly the list.
  std::string out;
  server.Tool("ldapsearch", "", "-LLL -b 'cn=admins,ou=velmoraadmin,o=Kavri,c=US' description",
              &out);
  EXPECT_EQ(testsupport::CountOf(out, "description:"), 1) << out;

  std::unique_ptr<ValList> bad(ListOf({"a\nb"}));
  KvError* refused = Caught([&] { db->SetDirAdmins(bad.get()); });
  ASSERT_NE(refused, nullptr);
  delete refused;
}

TEST_F(LdapDBTest, TemplatesAndFieldsKeepTheirOrder) {
  std::unique_ptr<VCard> card(db->GetCardTemplate());
  EXPECT_EQ(Fields(card->Copy())[0], "FN:Name");  // the default before any write
  std::unique_ptr<VCard> mine(new VCard());
  const char* const rows[][2] = {{"TEL;WORK;FAX", "Fax: office"}, {"FN", "Who"},
                                 {"EMAIL;INTERNET", ""}, {"X-KAVRI-LABEL-1", "Room"}};
  for (const auto& row : rows) {
    VCardEntry* e = VCardEntry::ParsePropertyName(row[0]);
    e->SetPropValue(row[1]);
    mine->AddEntry(e);
  }
  for (int i = 0; i < 2; ++i) {  // created, then replaced
    EXPECT_EQ(db->WritePersonTemplate(mine.get()), 1);
    EXPECT_EQ(Fields(db->GetPersonTemplate()),
              (Strings{"TEL;WORK;FAX:Fax: office", "FN:Who", "EMAIL;INTERNET:",
                       "X-KAVRI-LABEL-1:Room"}));
  }
  EXPECT_EQ(Fields(db->GetCardTemplate())[0], "FN:Name");

  ValNameList fields;
  fields.Append("Desc_1", "Office: Room");
  fields.Append("Size_1", "20");
  fields.Append("Desc_0", "Parking");
  fields.Append("Size_0", "5");
  EXPECT_EQ(db->WriteFieldsList(&fields), 1);
  std::unique_ptr<ValNameList> back(db->GetFieldsList());
  ASSERT_EQ(back->GetCount(), 4);
  EXPECT_STREQ(back->GetFirst()->value, "Office: Room");
  EXPECT_STREQ(back->GetLast()->name, "Size_0");
  VCardEntry label(kVCardFirstLabel + 1, "x");
  EXPECT_EQ(Owned(db->GetEntryDisplayName(&label)), "Office: Room");
  fields.Append("Desc_2", "odd one out");
  KvError* odd = Caught([&] { db->WriteFieldsList(&fields); });
  ASSERT_NE(odd, nullptr);
  delete odd;
}

TEST_F(LdapDBTest, GroupsAndAttributes) {
  GroupDB* groups = ThePlugin().createGroup();
  ASSERT_EQ(ThePlugin().groupOpenWith(groups, server.uri().c_str(), server.rootDN().c_str(),
                                      Slapd::kRootPasswd, kSuffix, 0),
            1);
  EXPECT_EQ(Owned(groups->GetGroupName("g-eng")), "Engineering");
  EXPECT_EQ(Owned(groups->GetGroupName("g-all")), "g-all");
  EXPECT_EQ(Owned(groups->GetGroupName("g-none")), "(null)");
  Strings members = Texts(groups->GetMembers("g-eng"));
  std::sort(members.begin(), members.end());
  EXPECT_EQ(members, (Strings{"lschmidt", "zadams"}));
  EXPECT_EQ(Texts(groups->GetMembers("g-none")), Strings{});
  std::unique_ptr<ValList> gids(ListOf({"g-all", "g-eng"}));
  std::unique_ptr<ValNameList> sorted(groups->SortByValue(gids.get()));
  EXPECT_STREQ(sorted->GetFirst()->name, "g-eng");
  ThePlugin().destroyGroup(groups);

  Strings ids = Texts(db->GetAttributeList());
  EXPECT_NE(std::find(ids.begin(), ids.end(), "telephoneNumber"), ids.end());
  std::unique_ptr<ValNameList> types(db->GetAttributeTypes());
  EXPECT_EQ(types->GetCount(), static_cast<int>(ids.size()));
}

TEST_F(LdapDBTest, PhotographsGoIntoJpegPhoto) {
  testsupport::TempTree photos;
  ASSERT_TRUE(photos.Make("/tmp/ldapphotos"));
  testsupport::WriteAll(photos.Path("mbrown.jpg"), std::string("\xff\xd8\xff\xe0 jpeg", 9));
  testsupport::WriteAll(photos.Path("ghost.jpg"), "x");
  testsupport::WriteAll(photos.Path("zadams.gif"), "GIF89a");
  struct Seen {
    int copied = -2;
    Strings skipped;
  } seen;
  auto callback = [](void* cookie, CallbackProgress* p) {
    Seen* s = static_cast<Seen*>(cookie);
    if (p->messageList) {
      for (ValListItem* i = p->messageList->GetFirst(); i; i = i->next) s->skipped.push_back(i->value);
    } else {
      s->copied = p->count;
    }
  };
  EXPECT_EQ(Owned(db->CopyPhotos(nullptr, photos.top().c_str(), nullptr, callback, &seen)),
            "(null)");
  EXPECT_EQ(seen.copied, 1);
  std::sort(seen.skipped.begin(), seen.skipped.end());
  EXPECT_EQ(seen.skipped, (Strings{"ghost.jpg", "zadams.gif"}));
  std::string out;
  server.Tool("ldapsearch", "", "-LLL -b 'o=Kavri,c=US' '(uid=mbrown)' jpegPhoto", &out);
  EXPECT_NE(out.find("jpegPhoto:: /9j/4CBqcGVn"), std::string::npos) << out;
  EXPECT_NE(Owned(db->CopyPhotos(nullptr, "/no/such/dir", nullptr, nullptr, nullptr))
                .find("is not a directory"),
            std::string::npos);
}

TEST_F(LdapDBTest, AnUnreachableServerIsAKindThreeError) {
  struct Case {
    std::string uri;
    const char* password;
  } cases[] = {
      {"ldap://127.0.0.1:" + std::to_string(FreePort()) + "/", Slapd::kRootPasswd},
      {server.uri(), "wrong"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.uri);
    UserDB* fresh = ThePlugin().createUser();
    KvError* e = Caught([&] {
      ThePlugin().openWith(fresh, c.uri.c_str(), server.rootDN().c_str(), c.password,
                           kSuffix, "", 0);
    });
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->GetKind(), kKvErrorUnreachable);
    EXPECT_GE(e->GetUserLines()->GetCount(), 1);
    delete e;
    ThePlugin().destroyUser(fresh);
  }
}

}  // namespace
