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

std::string FirstErrorLine(KvError* e) {
  std::unique_ptr<KvError> owned(e);
  return Str(e->lines->first ? e->lines->first->value : nullptr);
}

}  // namespace

TEST(ValNameListTest, LookupsAndReplace) {
  ValNameList list;
  list.Append("key", "v1");
  list.Append("other", "V1", "x1", "x2", "x3");
  list.Prepend("first", "f");
  list.AppendWithDupCheck("KEY", "dup");
  list.PrependWithDupCheck("Other", "dup");
  EXPECT_EQ(3, list.count);
  EXPECT_STREQ("key", list.Lookup("KEY")->name);
  EXPECT_STREQ("other", list.LookupByVal("v1")->next->name);
  EXPECT_STREQ("other", list.LookupByNameVal("OTHER", "v1")->name);
  EXPECT_EQ(nullptr, list.LookupByNameVal("key", "f"));
  EXPECT_EQ(2, list.GetIndexOf("Other"));
  EXPECT_EQ(-1, list.GetIndexOf(nullptr));

  list.Replace("KEY", "new");
  EXPECT_STREQ("key", list.Lookup("key")->name);
  EXPECT_STREQ("new", list.Lookup("key")->value);
  list.Replace("count", 42);
  EXPECT_STREQ("42", list.last->value);
  list.Replace("key", list.Lookup("key")->value);
  EXPECT_STREQ("new", list.Lookup("key")->value);

  std::unique_ptr<ValList> keys(list.GetKeyList());
  EXPECT_EQ(4, keys->count);
  std::unique_ptr<ValList> matching(list.GetKeyListMatchingVal("V1"));
  ASSERT_EQ(1, matching->count);
  EXPECT_STREQ("other", matching->first->value);

  std::unique_ptr<ValNameList> copy(list.Copy());
  ValNameListItem* other = copy->Lookup("other");
  EXPECT_STREQ("x1", other->extra1);
  EXPECT_STREQ("x3", other->extra3);
}

TEST(ValNameListTest, RemovalsKeepEnds) {
  ValNameList list;
  list.Append("a", "1");
  list.Append("b", "2");
  list.Append("A", "2");
  list.Append("c", "2");
  list.RemoveEveryNameVal("a", "2");
  EXPECT_EQ((Pairs{{"a", "1"}, {"b", "2"}, {"c", "2"}}), Items(list));
  list.RemoveEveryVal("2");
  EXPECT_EQ((Pairs{{"a", "1"}}), Items(list));
  EXPECT_EQ(list.first, list.last);
  list.Append("a", "3");
  list.RemoveEvery(list.first->name);  // argument points into the list
  EXPECT_EQ(0, list.count);
  EXPECT_EQ(nullptr, list.last);
  list.Append("x", "1");
  list.Append("y", "2");
  list.Remove("Y");
  EXPECT_STREQ("x", list.last->name);
  EXPECT_EQ(nullptr, list.last->next);
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
  std::string text = ReadText(path);
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
       "Unable to read list header\nPremature end of list. Last string read was <>\n", {}},
      {"BEGIN:vList\nk:v\nEND:vNameList\n", true, "Malformed list header\n", {{"k", "v"}}},
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
    WriteText(path, c.text);
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
  WriteText(path, "BEGIN:vNameList\nnocolon\n:value\nEND:vNameList\n");
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

TEST(ValNameListTest, WriteFailuresThrow) {
  ValNameList list;
  list.Append("k", "v");
  try {
    list.Write("/nonexistent-dir/names");
    ADD_FAILURE() << "no error";
  } catch (KvError* e) {
    EXPECT_NE(std::string::npos,
              FirstErrorLine(e).find(" : Unable to open file /nonexistent-dir/namesfor writing"));
  }
  try {
    list.Write("/dev/full");
    ADD_FAILURE() << "no error";
  } catch (KvError* e) {
    EXPECT_NE(std::string::npos,
              FirstErrorLine(e).find(" : Unable to close file /dev/fullafter writing"));
  }
}
