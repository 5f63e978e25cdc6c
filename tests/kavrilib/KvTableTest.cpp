// Layout tables: cell placement, spacer cells, full-width rows, closing rows;
// label-and-list rows of people, named and sorted through an in-memory
// directory.
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
  };
  for (const auto& c : cases) {
    KvTable table(c.columns, c.spaced, c.gap);
    c.fill(&table);
    EXPECT_EQ(EmitFlat(&table), "<table cellspacing=\"0\" cellpadding=\"0\">" + c.rows + "</table>");
  }
  EXPECT_EQ(EmitFlat(&owner), "kept");
}

using testsupport::ListOf;

// The console's lists of people: checked boxes or links to each person,
// sorted by display name through the directory; an empty checked list still
// sends a field.
TEST(KvPersonGroupTableTest, CheckedAndLinkedPeople) {
  FakeUserDB users;
  users.Add("u1", "Zoe Adams");
  users.Add("u2", "Al <b>Brown</b>");
  users.Add("u 3&x", "Mia Chen");
  std::unique_ptr<ValList> three(ListOf({"u1", "u2", "u 3&x"})), none(ListOf({}));
  KvPersonGroupTable table;
  table.AddCheckedPeople("who", three.get(), "People", &users);
  table.AddCheckedPeople("who", none.get(), "Nobody", &users);
  table.AddPeople(three.get(), "Linked", &users, 1);
  const std::string out = EmitFlat(&table, "style0");
  size_t al = out.find("value=\"u2\" checked=\"true\">"), mia = out.find("value=\"u 3&amp;x\" checked"),
         zoe = out.find("value=\"u1\" checked");
  EXPECT_TRUE(al < mia && mia < zoe && zoe != std::string::npos) << out;
  EXPECT_NE(out.find("<b>Nobody</b></td><td></td><td valign=\"center\" align=\"left\">"
                     "<input type=\"hidden\" name=\"hack\" value=\"hack\"></td>"), std::string::npos) << out;
  EXPECT_NE(out.find("<a href=\"../../velmora/bin/velmora.cgi?program=front&selected_prog=getentry&uid=u%203%26x\" "
                     "target=\"main_frame\""), std::string::npos) << out;
  EXPECT_EQ(out.find("<b>Brown"), std::string::npos) << out;
}

}  // namespace
