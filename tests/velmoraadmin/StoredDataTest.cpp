// Stored lists under concurrent changes, through the program as the web
// server runs it over the real file directory back end.
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "FileBackendTest.h"

namespace {

class StoredDataTest : public FileBackendTest {
 protected:
  void SetUp() override {
    std::string cards = "BEGIN:VCARD\nFN:Zoe Adams\nUID:zadams\nEND:VCARD\n";
    for (int i = 0; i < 10; ++i)
      cards += "BEGIN:VCARD\nFN:Person " + std::to_string(i) + "\nUID:p" +
               std::to_string(i) + "\nEND:VCARD\n";
    InstallFileBackend(cards.c_str());
  }
  std::string Common(const std::string& name) const {
    return ConsoleTestTree::ReadFile(tree_.top() + "/data/common/" + name);
  }
};

// Twenty processes at once: ten add a field, five change the administrators
// on the console's form, five with the tool. Every change is kept.
TEST_F(StoredDataTest, ConcurrentChangesAreAllKept) {
  std::vector<pid_t> children;
  for (int i = 0; i < 20; ++i) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      std::string n = std::to_string(i);
      if (i < 10) {
        Post("program=proModAddnalFlds",
             "sub_program=processadd&fldheading=Field" + n + "&size=10");
      } else if (i < 15) {
        Post("program=procconfDirAdmins",
             "dirAdminsListed=1&dirAdminListedUid=zadams&dirAdminUidVal=zadams"
             "&dirAdminUidVal=p" + std::to_string(i - 10));
      } else {
        Tool("admins add p" + std::to_string(i - 10));
      }
      _exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) waitpid(pid, nullptr, 0);

  std::string fields = Common("addinfo.lst");
  EXPECT_EQ(Count(fields, "Desc_"), 10u) << fields;
  EXPECT_EQ(Count(fields, "Size_"), 10u) << fields;
  for (int i = 0; i < 10; ++i) EXPECT_EQ(Count(fields, ":Field" + std::to_string(i) + "\n"), 1u);
  std::string admins = Common("admins.lst");
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(Count(admins, "p" + std::to_string(i) + "\n"), 1u) << admins;
  EXPECT_EQ(Count(admins, "zadams\n"), 1u);
  // Still a list the page can read, and no change left anything behind.
  EXPECT_TRUE(Get("program=genChangeAdditionalInfoForm").Has("Field7"));
}

// The form's change (one added, one taken off) applies to the list as it is
// stored now; an old form without its starting list replaces the list.
TEST_F(StoredDataTest, AdministratorFormChangesOnlyWhatItChanged) {
  ASSERT_EQ(Tool("admins add p1"), 0);
  std::string form = Get("program=genDirAdminsConfPage").body;
  EXPECT_EQ(Count(form, "name=\"dirAdminListedUid\""), 2u) << form;
  ASSERT_EQ(Tool("admins add p2"), 0);  // meanwhile
  Post("program=procconfDirAdmins",
       "dirAdminsListed=1&dirAdminListedUid=zadams&dirAdminListedUid=p1"
       "&dirAdminUidVal=zadams&dirAdminUidVal=p3");
  EXPECT_EQ(Common("admins.lst"), "BEGIN:vList\nzadams\np2\np3\nEND:vList\n");
  Post("program=procconfDirAdmins", "dirAdminUidVal=zadams&dirAdminUidVal=p4");
  EXPECT_EQ(Common("admins.lst"), "BEGIN:vList\nzadams\np4\nEND:vList\n");
}

}  // namespace
