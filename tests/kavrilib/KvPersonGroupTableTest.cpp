// Label-and-list rows of people, groups and documents, named and sorted
// through an in-memory directory.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "CaptureRequest.h"
#include "TestSupport.h"
#include "FakeDirectory.h"

namespace {

using testsupport::CountOf;

class KvPersonGroupTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    users.Add("u1", "Zoe Adams", "zoe@example.com");
    users.Add("u2", "Al Brown", "al@example.com");
    users.Add("u3", "Mia Chen");
    users.Add("u4", "Bo Diaz", "bo@example.com");
    groups.Add("g1", "Sales", {"u1", "u2"});
    groups.Add("g2", "Admins", {"u2", "u4"});
  }

  static ValList* List(std::initializer_list<const char*> items) {
    ValList* list = new ValList();
    for (const char* i : items) list->Append(i);
    return list;
  }

  FakeUserDB users;
  FakeGroupDB groups;
};

TEST_F(KvPersonGroupTableTest, CheckedPeopleAlignmentDependsOnCount) {
  std::unique_ptr<ValList> three(List({"u1", "u2", "u3"}));
  std::unique_ptr<ValList> four(List({"u1", "u2", "u3", "u4"}));

  KvPersonGroupTable small;
  small.AddCheckedPeople("who", three.get(), "People", &users);
  std::string out = EmitFlat(&small);
  // Label and list cells of the outer table are centred (AddHH).
  EXPECT_NE(out.find("<tr><td valign=\"center\" align=\"left\"><b>People</b></td>"),
            std::string::npos) << out;
  EXPECT_EQ(CountOf(out, "type=\"checkbox\" name=\"who\""), 3);
  EXPECT_EQ(CountOf(out, "checked=\"true\""), 3);
  EXPECT_EQ(CountOf(out, "nowrap=\"true\""), 3);
  // Sorted by display name.
  size_t al = out.find("Al Brown"), mia = out.find("Mia Chen"), zoe = out.find("Zoe Adams");
  EXPECT_LT(al, mia);
  EXPECT_LT(mia, zoe);

  KvPersonGroupTable big;
  big.AddCheckedPeople("who", four.get(), "People", &users);
  out = EmitFlat(&big);
  EXPECT_NE(out.find("<td valign=\"top\" align=\"left\"><b>People</b></td>"), std::string::npos);
  EXPECT_EQ(out.find("valign=\"center\""), std::string::npos);
  EXPECT_EQ(CountOf(out, "type=\"checkbox\""), 4);
}

TEST_F(KvPersonGroupTableTest, CheckedFormsSendHackWhenEmpty) {
  ValList none;
  KvPersonGroupTable table;
  table.AddCheckedPeople("who", &none, "People", &users);
  table.AddCheckedGroups("grp", nullptr, "Groups", &groups);
  std::string out = EmitFlat(&table);
  EXPECT_EQ(CountOf(out, "<input type=\"hidden\" name=\"hack\" value=\"hack\">"), 2) << out;
  EXPECT_EQ(out.find("checkbox"), std::string::npos);
}

TEST_F(KvPersonGroupTableTest, CheckedPeopleWithObjectLabelAndOnClick) {
  std::unique_ptr<ValList> one(List({"u2"}));
  KvPersonGroupTable table;
  table.AddCheckedPeople("who", one.get(), nullptr, &users, "pick()");
  std::string out = EmitFlat(&table);
  EXPECT_NE(out.find("<input type=\"checkbox\" name=\"who\" value=\"u2\" "
                     "checked=\"true\" onClick=\"pick()\">"
                     "<a><img border=\"0\" align=\"abscenter\" "
                     "src=\"../../common/bin/images/mpersonicon.gif\">Al Brown</a>"),
            std::string::npos)
      << out;
  // No label: the first cell of the row is empty.
  EXPECT_NE(out.find("<tr><td valign=\"center\" align=\"left\"></td>"), std::string::npos);
}

TEST_F(KvPersonGroupTableTest, RadioButtonsMarkTheSelectedUid) {
  std::unique_ptr<ValList> uids(List({"u1", "u2"}));
  KvPersonGroupTable table;
  table.AddRadioButtonPeople("boss", uids.get(), "U1", "Boss", &users);
  std::string out = EmitFlat(&table);
  EXPECT_NE(out.find("value=\"u1\" checked=\"true\">Zoe Adams"), std::string::npos) << out;
  EXPECT_NE(out.find("value=\"u2\">Al Brown"), std::string::npos);
}

TEST_F(KvPersonGroupTableTest, PeopleAndGroupLinks) {
  std::unique_ptr<ValList> uids(List({"u3"}));
  std::unique_ptr<ValList> gids(List({"g1", "g2"}));
  KvPersonGroupTable table;
  table.AddPeople(uids.get(), "Linked", &users, 1);
  table.AddPeopleNoIcons(uids.get(), "Plain", &users);
  table.AddGroups(gids.get(), "Groups", &groups);
  table.AddGroupsNoIcons(gids.get(), "Names", &groups);
  std::string out = EmitFlat(&table);
  EXPECT_NE(out.find("href=\"../../velmora/bin/velmora.cgi?program=front&"
                     "selected_prog=getentry&uid=u3\" target=\"main_frame\""),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("<b>Mia Chen</b>"), std::string::npos);
  EXPECT_NE(out.find("groupmgr.cgi?program=front&selected_prog=show&gid=g2"),
            std::string::npos);
  EXPECT_LT(out.find("Admins"), out.find("Sales"));
  EXPECT_NE(out.find("<b>Admins</b>"), std::string::npos);
}

TEST_F(KvPersonGroupTableTest, DocumentsAndTheirTargets) {
  std::unique_ptr<ValList> docs(List({"plan.HTML", "plan.html", "notes.htm", "a.txt"}));
  ValNameList params;
  params.Append("program", "getDoc");
  KvPersonGroupTable table;
  table.AddHyperlinkedDocuments("doc", docs.get(), "Files", "velmoraadmin.cgi", &params);
  std::string out = EmitFlat(&table, "style0");
  EXPECT_NE(out.find("href=\"velmoraadmin.cgi?program=getDoc&doc=plan.HTML\" target=\"_top\""),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("doc=plan.html\" target=\"_blank\""), std::string::npos);
  EXPECT_NE(out.find("doc=notes.htm\" target=\"_blank\""), std::string::npos);
  EXPECT_NE(out.find("doc=a.txt\" target=\"_top\""), std::string::npos);
  EXPECT_EQ(CountOf(out, "src=\"images/style0/mdocumenticon.gif\""), 4);

  KvPersonGroupTable checked;
  checked.AddCheckedDocuments("del", docs.get(), nullptr);
  checked.AddDocumentsNoIcons(docs.get(), "Docs");
  out = EmitFlat(&checked);
  EXPECT_EQ(CountOf(out, "type=\"checkbox\" name=\"del\""), 4);
  EXPECT_EQ(out.find("href"), std::string::npos);
}

}  // namespace
