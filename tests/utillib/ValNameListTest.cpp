// Tests of ValNameList: lookups, replacement, sorting, and the folded
// "BEGIN:vNameList" file form, including malformed files (reported on
// standard error, never on standard output) and write failures.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestUtil.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs Items(const ValNameList& list) {
  Pairs out;
  for (ValNameListItem* i = list.first; i; i = i->next) {
    out.emplace_back(Str(i->name), Str(i->value));
  }
  return out;
}

}  // namespace

TEST(ValNameListTest, LookupsReplaceAndRemove) {
  ValNameList list;
  list.Append("key", "v1");
  list.Append("other", "V1", "x1", "x2", "x3");
  list.AppendWithDupCheck("KEY", "dup");
  EXPECT_EQ(2, list.count);
  EXPECT_STREQ("other", list.LookupByNameVal("OTHER", "v1")->name);
  std::unique_ptr<ValList> matching(list.GetKeyListMatchingVal("v1"));
  EXPECT_EQ(2, matching->count);

  list.Replace("KEY", "new");  // the stored spelling stays
  EXPECT_EQ((Pairs{{"key", "new"}, {"other", "V1"}}), Items(list));
  list.Replace("key", list.Lookup("key")->value);
  list.Replace("count", 42);
  EXPECT_EQ((Pairs{{"key", "new"}, {"other", "V1"}, {"count", "42"}}), Items(list));
  std::unique_ptr<ValNameList> copy(list.Copy());
  EXPECT_STREQ("x3", copy->Lookup("other")->extra3);

  list.Append("KEY", "again");
  list.RemoveEvery(list.first->name);  // the argument points into the list
  list.RemoveEveryVal("42");
  EXPECT_EQ((Pairs{{"other", "V1"}}), Items(list));
  EXPECT_EQ(list.first, list.last);
}

TEST(ValNameListTest, SwapItemsExchangesAllTextsAndIgnoresNull) {
  ValNameList list;
  list.Append("a", "1", "e1");
  list.Append("b", "2");
  list.SwapItems(list.first, list.last);
  EXPECT_EQ((Pairs{{"b", "2"}, {"a", "1"}}), Items(list));
  EXPECT_STREQ("e1", list.last->extra1);
  EXPECT_EQ(nullptr, list.first->extra1);
  list.SwapItems(list.first, nullptr);
  list.SwapItems(nullptr, list.first);
  list.SwapItems(nullptr, nullptr);
  EXPECT_EQ((Pairs{{"b", "2"}, {"a", "1"}}), Items(list));
}

TEST(ValNameListTest, SortingPutsEqualKeysInReverseOrder) {
  ValNameList list;
  list.Append("b", "z", "bx");
  list.Append("A", "y");
  list.Append("a", "x");
  std::unique_ptr<ValNameList> byName(list.SortListByName());
  EXPECT_EQ((Pairs{{"a", "x"}, {"A", "y"}, {"b", "z"}}), Items(*byName));
  EXPECT_STREQ("bx", byName->last->extra1);
  EXPECT_EQ(byName->last, byName->GetNthItem(2));
  std::unique_ptr<ValNameList> byValue(list.SortListByAscendingValue());
  EXPECT_EQ((Pairs{{"a", "x"}, {"A", "y"}, {"b", "z"}}), Items(*byValue));
  EXPECT_EQ((Pairs{{"b", "z"}, {"A", "y"}, {"a", "x"}}), Items(list));
}

TEST(ValNameListTest, FileRoundTripFoldsLineBreaksAndKeepsLongValues) {
  ScratchDir dir;
  std::string path = dir.File("names.txt");
  const std::string longValue(1500, 'L');
  ValNameList list;
  list.Append("two", "line1\nline2\nline3");
  list.Append("colons", "b:c");
  list.Append("empty", "");
  list.Append("long", (longValue + "\n" + longValue).c_str());
  list.Append("edges", "\n  middle  \n");
  list.Write(path.c_str());
  std::string text = ReadAll(path);
  EXPECT_EQ(0u, text.find("BEGIN:vNameList\ntwo:line1=0A=\n line2=0A=\n line3\ncolons:b:c\n"));
  EXPECT_EQ(text.size() - strlen("END:vNameList\n"), text.rfind("END:vNameList\n"));

  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  ValNameList back;
  back.Read(path.c_str(), true);
  EXPECT_EQ("", testing::internal::GetCapturedStderr());
  EXPECT_EQ("", testing::internal::GetCapturedStdout());
  EXPECT_EQ(Items(list), Items(back));
}

// Values or names the file form cannot give back unchanged are refused before
// the file is touched; a file written earlier with folds still reads the same.
TEST(ValNameListTest, UnreadableValuesAreRefusedBeforeWriting) {
  ScratchDir dir;
  std::string path = dir.File("fields.lst");
  WriteAll(path, "BEGIN:vNameList\nDesc_1:Room=0A=\n No\nSize_1:10\nEND:vNameList\n");
  ValNameList before;
  before.Read(path.c_str(), true);
  EXPECT_EQ((Pairs{{"Desc_1", "Room\nNo"}, {"Size_1", "10"}}), Items(before));
  const Pairs refused = {{"Desc_2", "Room=0A="}, {"Desc_2", "a=0a=\nb"},
                         {"Desc_2", "x=0A=\r\n"}, {"De:sc", "v"}, {"De\nsc", "v"}};
  for (const auto& [name, value] : refused) {
    ValNameList list;
    list.Append("Desc_1", "Room\nNo");
    list.Append(name.c_str(), value.c_str());
    try {
      list.Write(path.c_str());
      ADD_FAILURE() << "written: " << name << " " << value;
    } catch (KvError* e) {
      delete e;
    }
    ValNameList back;
    back.Read(path.c_str(), true);
    EXPECT_EQ(Items(before), Items(back)) << value;
  }
  EXPECT_TRUE(KvListValueStorable("=0A= in the middle=0A=x\nand =0A=s"));
  std::string text = ReadAll(path);
  ValList lines;
  lines.Append("one\ntwo");
  try {
    lines.Write(path.c_str());
    ADD_FAILURE() << "a line break written";
  } catch (KvError* e) {
    delete e;
  }
  EXPECT_EQ(text, ReadAll(path));
}

TEST(ValNameListTest, MalformedFilesAreReportedOnStandardError) {
  ScratchDir dir;
  struct Case {
    const char* text;
    bool header;
    const char* report;
    Pairs items;
  } cases[] = {
      {"BEGIN:vNameList\na:b:c\na:\nEND:vNameList\n", true, "", {{"a", "b:c"}, {"a", ""}}},
      {"", true,
       "Unable to read list headerPremature end of list. Last string read was <>\n", {}},
      {"BEGIN:vList\nk:v\nEND:vNameList\n", true, "Malformed list header", {{"k", "v"}}},
      {"BEGIN:vNameList\nk:v\nm:w\n", true,
       "Premature end of list. Last string read was <m:w>\n", {{"k", "v"}, {"m", "w"}}},
      {"BEGIN:vNameList\nk:v\nm:w=0A=\n", true,
       "Premature end of list. Last string read was <m:w\n>\n", {{"k", "v"}}},
      {"k:v\nEND:vNameList", false, "", {{"k", "v"}}},
      {"BEGIN:vNameList\nlast:no newline\nEND:vNameList", true, "", {{"last", "no newline"}}},
  };
  int n = 0;
  for (const Case& c : cases) {
    std::string path = dir.File("case" + std::to_string(n++));
    WriteAll(path, c.text);
    ValNameList list;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    list.Read(path.c_str(), c.header);
    EXPECT_EQ(c.report, testing::internal::GetCapturedStderr()) << c.text;
    EXPECT_EQ("", testing::internal::GetCapturedStdout()) << c.text;
    EXPECT_EQ(c.items, Items(list)) << c.text;
  }
  ValNameList untouched;
  untouched.Read(dir.File("missing").c_str(), true);
  EXPECT_EQ(0, untouched.count);
}

TEST(ValNameListTest, NamelessItemsReadBackNameless) {
  ScratchDir dir;
  std::string path = dir.File("nameless");
  WriteAll(path, "BEGIN:vNameList\nnocolon\n:value\nEND:vNameList\n");
  ValNameList list;
  list.Read(path.c_str(), true);
  ASSERT_EQ(2, list.count);
  EXPECT_EQ(nullptr, list.first->name);
  EXPECT_EQ(nullptr, list.last->name);
  EXPECT_STREQ("value", list.last->value);
  EXPECT_EQ(nullptr, list.Lookup(""));
  list.Write(path.c_str());
  ValNameList back;
  back.Read(path.c_str(), true);
  ASSERT_EQ(2, back.count);
  EXPECT_EQ(nullptr, back.first->name);
  EXPECT_STREQ("value", back.last->value);
}
