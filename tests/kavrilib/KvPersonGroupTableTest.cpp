// Label-and-list rows of people, groups and documents, named and sorted
// through an in-memory directory, against one golden file.
#include <gtest/gtest.h>

#include <memory>

#include "CaptureRequest.h"
#include "FakeDirectory.h"
#include "TestSupport.h"

namespace {

using testsupport::ListOf;

// Lists of up to three are centred beside their label, longer ones aligned
// at the top; empty checked lists still send a field; HTML documents open in
// a window of their own.
TEST(KvPersonGroupTableTest, Rows) {
  FakeUserDB users;
  users.Add("u1", "Zoe Adams", "zoe@example.com");
  users.Add("u2", "Al Brown", "al@example.com");
  users.Add("u3", "Mia Chen");
  users.Add("u4", "Bo Diaz", "bo@example.com");
  FakeGroupDB groups;
  groups.Add("g1", "Sales", {"u1", "u2"});
  groups.Add("g2", "Admins", {"u2", "u4"});
  std::unique_ptr<ValList> three(ListOf({"u1", "u2", "u3"})), four(ListOf({"u1", "u2", "u3", "u4"})),
      none(ListOf({})), u2(ListOf({"u2"})), u3(ListOf({"u3"})), gids(ListOf({"g1", "g2"})),
      docs(ListOf({"plan.HTML", "plan.html", "notes.htm", "a.txt"}));
  ValNameList params;
  params.Append("program", "getDoc");
  KvPersonGroupTable table;
  table.AddCheckedPeople("who", three.get(), "People", &users);
  table.AddCheckedPeople("who", four.get(), "People", &users);
  table.AddCheckedPeople("who", none.get(), "People", &users);
  table.AddCheckedGroups("grp", nullptr, "Groups", &groups);
  table.AddCheckedPeople("who", u2.get(), nullptr, &users, "pick()");
  table.AddRadioButtonPeople("boss", three.get(), "U1", "Boss", &users);
  table.AddPeople(u3.get(), "Linked", &users, 1);
  table.AddPeopleNoIcons(u3.get(), "Plain", &users);
  table.AddGroups(gids.get(), "Groups", &groups);
  table.AddGroupsNoIcons(gids.get(), "Names", &groups);
  table.AddHyperlinkedDocuments("doc", docs.get(), "Files", "velmoraadmin.cgi", &params);
  table.AddCheckedDocuments("del", docs.get(), nullptr);
  table.AddDocumentsNoIcons(docs.get(), "Docs");
  EXPECT_EQ(Emit(&table, 0, 1, "style0"), testsupport::ReadAll(TEST_DATA_DIR "/kavrilib/persongrouptable.html"));
}

}  // namespace
