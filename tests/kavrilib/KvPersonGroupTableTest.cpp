// Label-and-list rows of people, groups and documents, named and sorted
// through an in-memory directory.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CaptureRequest.h"
#include "FakeDirectory.h"
#include "TestSupport.h"

namespace {

using testsupport::CountOf;
using testsupport::ListOf;

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
  const std::string checkbox = "type=\"checkbox\"", hack = "<input type=\"hidden\" name=\"hack\" value=\"hack\">";
  const struct {
    std::function<void(KvPersonGroupTable*)> fill;
    std::vector<std::string> inOrder;
    std::vector<std::pair<std::string, int>> counts;
  } cases[] = {
      // Up to three people the label and list cells are centred; sorted by
      // display name.
      {[&](KvPersonGroupTable* t) { t->AddCheckedPeople("who", three.get(), "People", &users); },
       {"<tr><td valign=\"center\" align=\"left\"><b>People</b></td>", "Al Brown", "Mia Chen", "Zoe Adams"},
       {{checkbox + " name=\"who\"", 3}, {"checked=\"true\"", 3}, {"nowrap=\"true\"", 3}}},
      {[&](KvPersonGroupTable* t) { t->AddCheckedPeople("who", four.get(), "People", &users); },
       {"<td valign=\"top\" align=\"left\"><b>People</b></td>"}, {{"valign=\"center\"", 0}, {checkbox, 4}}},
      // Empty checked lists still send a field.
      {[&](KvPersonGroupTable* t) {
         t->AddCheckedPeople("who", none.get(), "People", &users);
         t->AddCheckedGroups("grp", nullptr, "Groups", &groups);
       },
       {}, {{hack, 2}, {checkbox, 0}}},
      // No label: the first cell is empty.
      {[&](KvPersonGroupTable* t) { t->AddCheckedPeople("who", u2.get(), nullptr, &users, "pick()"); },
       {"<tr><td valign=\"center\" align=\"left\"></td>",
        "<input type=\"checkbox\" name=\"who\" value=\"u2\" checked=\"true\" onClick=\"pick()\"><a>"
        "<img border=\"0\" align=\"abscenter\" src=\"../../common/bin/images/style0/mpersonicon.gif\">Al Brown</a>"},
       {}},
      {[&](KvPersonGroupTable* t) { t->AddRadioButtonPeople("boss", three.get(), "U1", "Boss", &users); },
       {"value=\"u2\">Al Brown", "value=\"u3\">Mia Chen", "value=\"u1\" checked=\"true\">Zoe Adams"},
       {{"checked", 1}}},
      {[&](KvPersonGroupTable* t) {
         t->AddPeople(u3.get(), "Linked", &users, 1);
         t->AddPeopleNoIcons(u3.get(), "Plain", &users);
         t->AddGroups(gids.get(), "Groups", &groups);
         t->AddGroupsNoIcons(gids.get(), "Names", &groups);
       },
       {"href=\"../../velmora/bin/velmora.cgi?program=front&selected_prog=getentry&uid=u3\" "
        "target=\"main_frame\"",
        "<b>Mia Chen</b>", "groupmgr.cgi?program=front&selected_prog=show&gid=g2", "Admins", "Sales",
        "<b>Admins</b>", "<b>Sales</b>"},
       {}},
      // HTML documents open in a window of their own.
      {[&](KvPersonGroupTable* t) {
         t->AddHyperlinkedDocuments("doc", docs.get(), "Files", "velmoraadmin.cgi", &params);
       },
       {"href=\"velmoraadmin.cgi?program=getDoc&doc=plan.HTML\" target=\"_top\"",
        "doc=plan.html\" target=\"_blank\"", "doc=notes.htm\" target=\"_blank\"", "doc=a.txt\" target=\"_top\""},
       {{"src=\"images/style0/mdocumenticon.gif\"", 4}}},
      {[&](KvPersonGroupTable* t) {
         t->AddCheckedDocuments("del", docs.get(), nullptr);
         t->AddDocumentsNoIcons(docs.get(), "Docs");
       },
       {}, {{checkbox + " name=\"del\"", 4}, {"href", 0}}},
  };
  for (const auto& c : cases) {
    KvPersonGroupTable table;
    c.fill(&table);
    const std::string out = EmitFlat(&table, "style0");
    SCOPED_TRACE(out);
    size_t at = 0;
    for (const std::string& fragment : c.inOrder) {
      at = out.find(fragment, at);
      ASSERT_NE(at, std::string::npos) << fragment;
    }
    for (const auto& [fragment, n] : c.counts) EXPECT_EQ(CountOf(out, fragment), n) << fragment;
  }
}

}  // namespace
