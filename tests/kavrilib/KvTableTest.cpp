// Layout tables: cell placement, spacer cells, full-width rows, closing rows.
#include <gtest/gtest.h>

#include <string>

#include "CaptureRequest.h"
#include "TestSupport.h"
#include "kavrilib.h"

namespace {

using testsupport::CountOf;

const std::string kCell = "<td valign=\"top\" align=\"left\">";

std::string Cell(const std::string& text) { return kCell + text + "</td>"; }

// The no-break space in UTF-8.
std::string Nbsp(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text += "\xC2\xA0";
  return text;
}

TEST(KvTableTest, FiveObjectsInThreeSpacedColumns) {
  KvTable table(3, 1, 4);
  for (const char* t : {"a", "b", "c", "d", "e"}) table.addObject(new HTMLObject(t));
  table.CloseRow();

  const std::string spacer = "<td>" + Nbsp(4) + "</td>";
  EXPECT_EQ(EmitFlat(&table),
            "<table cellspacing=\"0\" cellpadding=\"0\">"
            "<tr>" + Cell("a") + spacer + Cell("b") + spacer + Cell("c") + "</tr>"
            "<tr>" + Cell("d") + "<td></td>" + Cell("e") +
                "<td colspan=\"1\"></td></tr>"
            "</table>");
}

TEST(KvTableTest, ZeroColumnsMeansOneColumnWithoutGap) {
  KvTable table(0, 0, 0);
  EXPECT_EQ(table.GetColumns(), 1);
  EXPECT_EQ(table.GetGap(), 0);
  table.addObject("x", 0);
  table.addObject(7);
  EXPECT_EQ(EmitFlat(&table),
            "<table cellspacing=\"0\" cellpadding=\"0\">"
            "<tr>" + Cell("x") + "</tr><tr>" + Cell("7") + "</tr></table>");
}

TEST(KvTableTest, ObjectAttachedElsewhereLeavesAnEmptyCell) {
  KvTable table(2, 0, 0);
  HTMLObject owner;
  HTMLObject* kept = owner.addObject("kept", 0);
  EXPECT_NE(table.addObject(kept), nullptr);
  table.addObject("b", 0);
  EXPECT_EQ(EmitFlat(&table),
            "<table cellspacing=\"0\" cellpadding=\"0\">"
            "<tr>" + Cell("") + Cell("b") + "</tr></table>");
  EXPECT_EQ(EmitFlat(&owner), "kept");
}

TEST(KvTableTest, GapIsClampedOnlyWhenSpaced) {
  struct {
    int columns;
    KvBoolean spaced;
    int gap;
    int expected;
  } cases[] = {
      {2, 1, 50, 20}, {2, 1, 20, 20}, {2, 1, 0, 1}, {2, 1, -3, 1}, {2, 0, 9, 0}, {2, 1, 4, 4},
  };
  for (const auto& c : cases) {
    KvTable table(c.columns, c.spaced, c.gap);
    EXPECT_EQ(table.GetGap(), c.expected) << c.gap;
  }
  KvTable wide(2, 1, 50);
  wide.addObject("a", 0);
  wide.addObject("b", 0);
  EXPECT_EQ(CountOf(EmitFlat(&wide), Nbsp(20)), 1);
  EXPECT_EQ(CountOf(EmitFlat(&wide), Nbsp(21)), 0);
}

TEST(KvTableTest, AddRowSpansTheWidthAndEndsTheRow) {
  KvTable table(3, 1, 2);
  table.SetWrap(0);
  table.addObject("a", 0);
  table.AddRow(new HTMLObject("wide"));
  table.addObject("b", 0);
  std::string out = EmitFlat(&table);
  // The unfinished first row is left as it is; "b" starts a new row.
  EXPECT_NE(out.find("<tr><td nowrap=\"true\" colspan=\"5\">wide</td></tr><tr>"
                     "<td valign=\"top\" align=\"left\" nowrap=\"true\">b</td>"),
            std::string::npos)
      << out;
  // The first-row flag is unchanged: "b"'s spacer still fixes the gap.
  EXPECT_EQ(CountOf(out, Nbsp(2)), 2);

  KvTable plain(4, 0, 0);
  plain.AddRow(new HTMLObject("w"));
  EXPECT_NE(EmitFlat(&plain).find("<td colspan=\"4\">w</td>"), std::string::npos);
}

TEST(KvTableTest, CloseRowWithoutGapStretchesTheLastContentCell) {
  KvTable table(4, 0, 0);
  table.addObject("a", 0);
  table.CloseRow();
  table.CloseRow();  // nothing left to close
  table.addObject("b", 0);
  EXPECT_EQ(EmitFlat(&table),
            "<table cellspacing=\"0\" cellpadding=\"0\">"
            "<tr><td valign=\"top\" align=\"left\" colspan=\"3\">a</td></tr>"
            "<tr>" + Cell("b") + "</tr></table>");
}

TEST(KvTableTest, PairHelpersSetAlignmentForLaterCells) {
  KvTable table(2, 0, 0);
  table.AddCC("a", "b");
  table.AddHTopH(new HTMLObject("c"), new HTMLObject("d"));
  table.SetHorizontalAlignment("right");
  table.AddHC(new HTMLObject("e"), "f");
  table.addObject("g", 0);
  std::string out = EmitFlat(&table);
  EXPECT_EQ(CountOf(out, "valign=\"center\" align=\"left\""), 2);
  EXPECT_EQ(CountOf(out, "valign=\"top\" align=\"left\""), 2);
  EXPECT_EQ(CountOf(out, "valign=\"center\" align=\"right\""), 3);
}

}  // namespace
