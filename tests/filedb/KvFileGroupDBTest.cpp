// The group directory of the file back end.
#include <cstdlib>

#include "FileDBTestSupport.h"

using namespace filedbtest;

namespace {

class FileDBGroupTest : public FileDBTest {
 protected:
  void SetUp() override {
    FileDBTest::SetUp();
    WriteAll(Common("groups.lst"),
             "BEGIN:vNameList\ng-eng:engineering\ng-exec:Board\ng-fun:Clubs\n"
             "END:vNameList\n");
    WriteAll(Common("groupmembers.lst"),
             "BEGIN:vNameList\ng-eng:zadams\ng-exec:mbrown\nG-ENG:cyoung\n"
             "g-eng:ZADAMS\nEND:vNameList\n");
  }
};

TEST_F(FileDBGroupTest, NamesAndMembers) {
  char* name = groups->GetGroupName("G-EXEC");
  ASSERT_NE(name, nullptr);
  EXPECT_STREQ(name, "Board");
  free(name);
  EXPECT_EQ(groups->GetGroupName("g-none"), nullptr);
  EXPECT_EQ(Texts(groups->GetMembers("g-eng")), (Strings{"zadams", "cyoung"}));
  EXPECT_EQ(Texts(groups->GetMembers("g-fun")), Strings{});
}

TEST_F(FileDBGroupTest, SortsByGroupName) {
  ValList gids;
  for (const char* gid : {"g-exec", "g-fun", "g-eng", "g-gone"}) gids.Append(gid);
  std::unique_ptr<ValNameList> sorted(groups->SortByValue(&gids));
  Strings order;
  for (ValNameListItem* item = sorted->GetFirst(); item; item = item->next) {
    order.push_back(std::string(item->name) + "=" + item->value);
  }
  EXPECT_EQ(order, (Strings{"g-exec=Board", "g-fun=Clubs", "g-eng=engineering",
                            "g-gone=g-gone"}));
  std::unique_ptr<ValNameList> all(groups->GetGroups());
  order.clear();
  for (ValNameListItem* item = all->GetFirst(); item; item = item->next) order.push_back(item->name);
  EXPECT_EQ(order, (Strings{"g-exec", "g-fun", "g-eng"}));

  VCard a, b, c;
  a.AddEntry(kVCardFN, "zeta");
  b.AddEntry(kVCardUID, "no name");
  c.AddEntry(kVCardFN, "Alpha");
  VoidList records;
  records.Append(&a);
  records.Append(&b);
  records.Append(&c);
  groups->SortByValue(&records);
  EXPECT_EQ(records.GetNthItem(0)->data, &c);
  EXPECT_EQ(records.GetNthItem(1)->data, &a);
  EXPECT_EQ(records.GetNthItem(2)->data, &b);
}

}  // namespace
