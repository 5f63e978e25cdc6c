// The directory loader against a small back end built as a loadable module,
// found through the library name under a temporary top directory; and the
// bodies the user directory interface gives its back ends.
#include <cstring>

#include "DbTestTree.h"
#include "TestDirectories.h"

using dbtest::TreeTest;

namespace {

class LoaderTest : public TreeTest {
 protected:
  void Install(const char* name) {
    std::filesystem::copy_file(TEST_BACKEND_PATH, top + "/lib/" + name);
  }
};

TEST_F(LoaderTest, CreatesAndDestroysThroughTheBackEndLibrary) {
  WriteConfig("empDirDBFormat:KV_KAVRI\n");
  Install("kvfiledblib_cgi.so");
  KvConfigDB config;
  UserDB* users = KvCreateUserDB(&config);
  ASSERT_NE(users, nullptr);
  EXPECT_EQ(users->Open(&config, 0, false), 1);
  EXPECT_EQ(users->IsDirAdmin("u1"), 1);
  EXPECT_EQ(users->GetNumAccounts(), 3);
  ValList uids;
  uids.Append("u1");
  uids.Append("u2");
  uids.Append("u3");
  ValNameList* sorted = users->SortByValue(&uids);
  ASSERT_EQ(sorted->GetCount(), 3);
  EXPECT_STREQ(sorted->GetNthItem(0)->name, "u2");  // adam Young
  EXPECT_STREQ(sorted->GetNthItem(1)->name, "u3");  // Mia Brown
  EXPECT_STREQ(sorted->GetNthItem(2)->value, "Zoe Adams");
  delete sorted;
  KvDestroyUserDB(users, &config);

  GroupDB* groups = KvCreateGroupDB(&config);
  ASSERT_NE(groups, nullptr);
  ValList* members = groups->GetMembers("g");
  EXPECT_EQ(members->GetCount(), 2);
  delete members;
  KvDestroyGroupDB(groups, &config);
}

TEST_F(LoaderTest, SqlFormatPutsTheDatabaseEnvironmentFirst) {
  WriteConfig("empDirDBFormat:KV_SQL\nDBENV:VELMORA_DBLIB_TEST_ENV=on\n");
  Install("kvsqldblib_cgi.so");
  unsetenv("VELMORA_DBLIB_TEST_ENV");
  KvConfigDB config;
  UserDB* users = KvCreateUserDB(&config);
  ASSERT_NE(users, nullptr);
  EXPECT_STREQ(getenv("VELMORA_DBLIB_TEST_ENV"), "on");
  KvDestroyUserDB(users, &config);
}

TEST_F(LoaderTest, MissingOrWrongLibrariesAreReported) {
  WriteConfig("empDirDBFormat:KV_LDAP\n");
  KvConfigDB config;
  struct Case {
    const char* what;
    std::function<void()> call;
    const char* outer;
  } cases[] = {
      {"user", [&config]() { KvCreateUserDB(&config); },
       "KvCreateUserDB() failed!"},
      {"group", [&config]() { KvCreateGroupDB(&config); },
       "KvCreateGroupDB() failed!"},
      {"destroy", [&config]() { KvDestroyUserDB(nullptr, &config); },
       "KvDestroyUserDB() failed!"},
  };
  for (const Case& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << c.what << ": no error";
    } catch (KvError* e) {
      std::string lines = dbtest::Lines(e);
      std::string first = lines.substr(0, lines.find('\n'));
      std::string rest = lines.substr(lines.find('\n') + 1);
      EXPECT_NE(first.find(std::string(" : ") + c.outer), std::string::npos)
          << lines;
      EXPECT_NE(rest.find(" : Unable to locate the shared library to load!\n"),
                std::string::npos)
          << lines;
    }
  }

  // A library without the entry point.
  dbtest::WriteAll(top + "/lib/kvldapdblib_cgi.so", "not a library");
  try {
    KvCreateUserDB(&config);
    ADD_FAILURE() << "no error";
  } catch (KvError* e) {
    std::string lines = dbtest::Lines(e);
    EXPECT_NE(lines.find("Unable to open the shared library"), std::string::npos)
        << lines;
    EXPECT_NE(lines.find("KvCreateUserDB() failed!"), std::string::npos);
  }
}

class UserDBBodiesTest : public TreeTest {};

TEST_F(UserDBBodiesTest, ColdStartUntilSetupIsDone) {
  TestUserDB users;
  EXPECT_TRUE(users.CheckIfColdStart() == true);
  dbtest::WriteAll(top + "/config/setup.lst",
                   "BEGIN:vNameList\nstatus:pending\nEND:vNameList\n");
  EXPECT_TRUE(users.CheckIfColdStart() == true);
  dbtest::WriteAll(top + "/config/setup.lst",
                   "BEGIN:vNameList\nSTATUS:Done\nEND:vNameList\n");
  EXPECT_FALSE(users.CheckIfColdStart());
  EXPECT_EQ(users.GetTableKey("x"), nullptr);
  EXPECT_EQ(users.Connect(nullptr), 1);
}

TEST_F(UserDBBodiesTest, CardFieldsAndSortingOfCards) {
  TestUserDB users;
  VCard zed, amy, none;
  zed.AddEntry(kVCardFN, "zed");
  zed.AddEntry(kVCardRole, "Manager");
  VCardEntry* indirect = new VCardEntry(kVCardKavriUID, "boss2");
  indirect->AddSubType(kSubTypeType, kTypeIndirectMgr);
  zed.AddEntry(kVCardKavriUID, "self");
  zed.AddEntry(indirect);
  amy.AddEntry(kVCardFN, "Amy");

  char* role = users.GetRole(&zed);
  EXPECT_STREQ(role, "Manager");
  free(role);
  EXPECT_EQ(users.GetRole(&amy), nullptr);
  char* mgr = users.GetIndirectReport(&zed);
  EXPECT_STREQ(mgr, "boss2");
  free(mgr);
  EXPECT_EQ(users.GetIndirectReport(&amy), nullptr);

  VoidList cards;
  cards.Append(&zed);
  cards.Append(&none);
  cards.Append(&amy);
  users.SortByValue(&cards);
  EXPECT_EQ(cards.GetNthItem(0)->data, &none);  // no name sorts first
  EXPECT_EQ(cards.GetNthItem(1)->data, &amy);
  EXPECT_EQ(cards.GetNthItem(2)->data, &zed);
  EXPECT_EQ(cards.GetCount(), 3);
}

}  // namespace
