// The directory loader against a small back end built as a loadable module,
// found through the library name under a temporary top directory.
#include <cstring>

#include "DbTestTree.h"
#include "TestDirectories.h"

using dbtest::Has;
using dbtest::TreeTest;

namespace {

class LoaderTest : public TreeTest {
 protected:
  void Install(const char* name) {
    std::filesystem::copy_file(TEST_BACKEND_PATH, top + "/lib/" + name);
  }
};

TEST_F(LoaderTest, CreatesAndDestroysThroughTheBackEndLibrary) {
  // The SQL back end gets the database environment before it is loaded.
  WriteConfig("empDirDBFormat:KV_SQL\nDBENV:VELMORA_DBLIB_TEST_ENV=on\n");
  Install("kvsqldblib_cgi.so");
  unsetenv("VELMORA_DBLIB_TEST_ENV");
  KvConfigDB config;
  UserDB* users = KvCreateUserDB(&config);
  ASSERT_NE(users, nullptr);
  EXPECT_STREQ(getenv("VELMORA_DBLIB_TEST_ENV"), "on");
  EXPECT_EQ(users->Open(&config, 0, false), 1);
  EXPECT_EQ(users->IsDirAdmin("u1"), 1);
  ValList uids;
  for (const char* uid : {"u1", "u2", "u3"}) uids.Append(uid);
  std::unique_ptr<ValNameList> sorted(users->SortByValue(&uids));
  ASSERT_EQ(sorted->GetCount(), 3);
  EXPECT_STREQ(sorted->GetNthItem(0)->name, "u2");  // adam Young
  EXPECT_STREQ(sorted->GetNthItem(1)->name, "u3");  // Mia Brown
  EXPECT_STREQ(sorted->GetNthItem(2)->value, "Zoe Adams");
  KvDestroyUserDB(users, &config);
  GroupDB* groups = KvCreateGroupDB(&config);
  ASSERT_NE(groups, nullptr);
  EXPECT_EQ(std::unique_ptr<ValList>(groups->GetMembers("g"))->GetCount(), 2);
  KvDestroyGroupDB(groups, &config);
}

TEST_F(LoaderTest, MissingOrWrongLibrariesAreReported) {
  WriteConfig("empDirDBFormat:KV_LDAP\n");
  KvConfigDB config;
  const char* missing = " : Unable to locate the shared library to load!\n";
  struct Case {
    std::function<void()> call;
    const char *outer, *cause;
  } cases[] = {
      {[&config]() { KvCreateUserDB(&config); }, "KvCreateUserDB() failed!", missing},
      {[&config]() { KvCreateGroupDB(&config); }, "KvCreateGroupDB() failed!", missing},
      {[&config]() { KvDestroyUserDB(nullptr, &config); }, "KvDestroyUserDB() failed!", missing},
      {[this, &config]() {  // a library without the entry point
         dbtest::WriteAll(top + "/lib/kvldapdblib_cgi.so", "not a library");
         KvCreateUserDB(&config);
       },
       "KvCreateUserDB() failed!", "Unable to open the shared library"},
  };
  for (const Case& c : cases) {
    std::string lines = dbtest::ErrorText(c.call);
    EXPECT_TRUE(Has(lines.substr(0, lines.find('\n')), std::string(" : ") + c.outer)) << lines;
    EXPECT_TRUE(Has(lines.substr(lines.find('\n') + 1), c.cause)) << lines;
  }
}

}  // namespace
