// Layout tables: cell placement, spacer cells, full-width rows, closing rows;
// label-and-list rows of people, groups and documents, named and sorted
// through an in-memory directory.
#include <gtest/gtest.h>

#include "CaptureRequest.h"
#include "FakeDirectory.h"
#include "TestSupport.h"

namespace {

std::string Cell(const std::string& text, const std::string& more = "", const std::string& valign = "top",
                 const std::string& align = "left") {
  return "<td valign=\"" + valign + "\" align=\"" + align + "\"" + more + ">" + text + "</td>";
}

// n no-break spaces, in UTF-8.
std::string Gap(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text += "\xC2\xA0";
  return "<td>" + text + "</td>";
}

// The spacer cells of the first row fix the gap; later rows leave them empty.
TEST(KvTableTest, Layouts) {
  HTMLObject owner;
  HTMLObject* attached = owner.addObject("kept", 0);
  const struct {
    int columns; KvBoolean spaced; int gap; std::function<void(KvTable*)> fill; std::string rows;
  } cases[] = {
      {3, 1, 4,
       [](KvTable* t) {
         for (const char* text : {"a", "b", "c", "d", "e"}) t->addObject(new HTMLObject(text));
         t->CloseRow();
       },
       "<tr>" + Cell("a") + Gap(4) + Cell("b") + Gap(4) + Cell("c") + "</tr><tr>" + Cell("d") +
           "<td></td>" + Cell("e") + "<td colspan=\"1\"></td></tr>"},
      // No columns means one column without gap.
      {0, 0, 0, [](KvTable* t) { t->addObject("x", 0), t->addObject(7); },
       "<tr>" + Cell("x") + "</tr><tr>" + Cell("7") + "</tr>"},
      // An object attached elsewhere leaves its cell empty.
      {2, 0, 0, [&](KvTable* t) { t->addObject(attached), t->addObject("b", 0); },
       "<tr>" + Cell("") + Cell("b") + "</tr>"},
      // The gap is at most 20 and at least 1.
      {2, 1, 50, [](KvTable* t) { t->addObject("a", 0), t->addObject("b", 0); },
       "<tr>" + Cell("a") + Gap(20) + Cell("b") + "</tr>"},
      {2, 1, -3, [](KvTable* t) { t->addObject("a", 0); }, "<tr>" + Cell("a") + Gap(1) + "</tr>"},
      // Without a gap the last content cell stretches to the end of the row.
      {4, 0, 0, [](KvTable* t) { t->addObject("a", 0), t->CloseRow(), t->CloseRow(), t->addObject("b", 0); },
       "<tr>" + Cell("a", " colspan=\"3\"") + "</tr><tr>" + Cell("b") + "</tr>"},
      // A full-width row ends the unfinished one; the first-row flag stays, so
      // "b" still brings its spacer.
      {3, 1, 2,
       [](KvTable* t) {
         t->SetWrap(0), t->addObject("a", 0), t->AddRow(new HTMLObject("wide")), t->addObject("b", 0);
       },
       "<tr>" + Cell("a", " nowrap=\"true\"") + Gap(2) +
           "</tr><tr><td nowrap=\"true\" colspan=\"5\">wide</td></tr>"
           "<tr>" + Cell("b", " nowrap=\"true\"") + Gap(2) + "</tr>"},
      {4, 0, 0, [](KvTable* t) { t->AddRow(new HTMLObject("w")); }, "<tr><td colspan=\"4\">w</td></tr>"},
      // The pair helpers centre their cells; alignment holds for later cells.
      {2, 0, 0,
       [](KvTable* t) {
         t->AddCC("a", "b"), t->AddHTopH(new HTMLObject("c"), new HTMLObject("d"));
         t->SetHorizontalAlignment("right"), t->AddHC(new HTMLObject("e"), "f"), t->addObject("g", 0);
       },
       "<tr>" + Cell("a", "", "center") + Cell("b", "", "center") + "</tr><tr>" +
           Cell("c") + Cell("d") + "</tr><tr>" + Cell("e", "", "center", "right") +
           Cell("f", "", "center", "right") + "</tr><tr>" + Cell("g", "", "center", "right") + "</tr>"},
  };
  for (const auto& c : cases) {
    KvTable table(c.columns, c.spaced, c.gap);
    c.fill(&table);
    EXPECT_EQ(EmitFlat(&table), "<table cellspacing=\"0\" cellpadding=\"0\">" + c.rows + "</table>");
  }
  EXPECT_EQ(EmitFlat(&owner), "kept");
}

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
  EXPECT_EQ(Emit(&table, 0, 1, "style0"),
            testsupport::ReadAll(TEST_DATA_DIR "/kavrilib/persongrouptable.html"));
}

}  // namespace
