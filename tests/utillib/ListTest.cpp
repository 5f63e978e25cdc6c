// Tests of the lists: ends and count through edits, ownership, lookups and
// sorting, and the "BEGIN:vList" / "BEGIN:vNameList" file forms with their
// folded values, malformed files and write failures.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestUtil.h"

namespace {

std::vector<int> Ints(const VoidList& list) {
  std::vector<int> out;
  for (VoidItem* i = list.first; i; i = i->next) out.push_back(*static_cast<int*>(i->data));
  return out;
}

}  // namespace

TEST(ListTest, VoidListEndsAndCountThroughEdits) {
  int a = 1, b = 2, c = 3;
  VoidList list;
  list.Append(&b);
  list.Prepend(&a);
  list.AddAfter(list.last, &c);
  list.AppendWithDupCheck(&a);
  EXPECT_EQ((std::vector<int>{1, 2, 3}), Ints(list));
  list.Remove(&c);  // the last: its predecessor becomes the last
  EXPECT_EQ(nullptr, list.last->next);
  list.Add(&list);  // adding a list to itself doubles it once
  list.SwapItems(list.first, nullptr);
  list.SwapItems(list.first, list.last);
  EXPECT_EQ((std::vector<int>{2, 2, 1, 1}), Ints(list));
  std::unique_ptr<VoidList> copy(list.Copy());
  for (int* p : {&a, &b, &a, &b}) copy->Remove(p);
  EXPECT_EQ(nullptr, copy->last);
  EXPECT_EQ(0, copy->count);
  EXPECT_EQ(4, list.count);
}

TEST(ListTest, ValListEdits) {
  ValList list;
  list.Append("b");
  list.Prepend("a");
  list.AppendWithDupCheck("B");
  list.Append(nullptr);
  EXPECT_EQ((Strings{"a", "b", "<null>"}), Vals(list));
  EXPECT_EQ(1, list.GetIndexOf("B"));
  list.Remove("A");
  std::unique_ptr<ValList> copy(list.Copy());
  copy->Add(copy.get());  // adding a list to itself doubles it once
  EXPECT_EQ((Strings{"b", "<null>", "b", "<null>"}), Vals(*copy));
}

TEST(ListTest, ValNameListReplaceRemoveSwapAndSort) {
  ValNameList list;
  list.Append("key", "v1");
  list.Append("other", "V1", "x1", "x2", "x3");
  list.AppendWithDupCheck("KEY", "dup");
  list.Replace("KEY", "new");  // the stored spelling stays
  list.Replace("key", list.Lookup("key")->value);
  list.Replace("count", 42);
  EXPECT_EQ((Pairs{{"key", "new"}, {"other", "V1"}, {"count", "42"}}), Items(list));
  EXPECT_STREQ("x3", std::unique_ptr<ValNameList>(list.Copy())->Lookup("other")->extra3);
  list.Append("KEY", "again");
  list.RemoveEvery(list.first->name);  // the argument points into the list
  EXPECT_EQ((Pairs{{"other", "V1"}, {"count", "42"}}), Items(list));

  ValNameList sorts;
  sorts.Append("b", "z", "bx");
  sorts.Append("A", "y");
  sorts.Append("a", "x");
  std::unique_ptr<ValNameList> byName(sorts.SortListByName());
  EXPECT_EQ((Pairs{{"a", "x"}, {"A", "y"}, {"b", "z"}}), Items(*byName));  // equal keys reversed
  EXPECT_STREQ("bx", byName->last->extra1);
  EXPECT_EQ(Items(*byName), Items(*std::unique_ptr<ValNameList>(sorts.SortListByAscendingValue())));
  sorts.SwapItems(sorts.first, sorts.last);  // all texts change places
  EXPECT_EQ((Pairs{{"a", "x"}, {"A", "y"}, {"b", "z"}}), Items(sorts));
  EXPECT_STREQ("bx", sorts.last->extra1);
  EXPECT_EQ(nullptr, sorts.first->extra1);
  sorts.SwapItems(nullptr, sorts.first);
}

TEST(ListTest, FilesRoundTripFoldedAndLongValues) {
  ScratchDir dir;
  std::string path = dir.File("list");
  const std::string big(5000, 'v');
  ValList list;
  for (const std::string& v : {std::string("first"), big, std::string("with: colon")})
    list.Append(v.c_str());
  list.Write(path.c_str());
  EXPECT_EQ("BEGIN:vList\nfirst\n" + big + "\nwith: colon\nEND:vList\n", ReadAll(path));
  ValList back;
  back.Append("kept");
  back.Read(path.c_str(), true);
  EXPECT_EQ((Strings{"kept", "first", big, "with: colon"}), Vals(back));

  // Line breaks of any kind come back as "\n"; nameless items stay nameless.
  const Pairs values = {{"two", "line1\nline2\nline3"}, {"colons", "b:c"}, {"empty", ""},
                        {"long", big + "\n" + big},     {"edges", "\n  middle  \n"},
                        {"trailing", "x\n"},           {"crlf", "a\r\nb\rc"},
                        {"<null>", "nameless"}};
  ValNameList names;
  for (const auto& [name, value] : values)
    names.Append(name == "<null>" ? nullptr : name.c_str(), value.c_str());
  names.Write(path.c_str());
  std::string text = ReadAll(path);
  EXPECT_EQ(0u, text.find("BEGIN:vNameList\ntwo:line1=0A=\n line2=0A=\n line3\ncolons:b:c\n"));
  EXPECT_TRUE(EndsWith(text, "\n:nameless\nEND:vNameList\n"));
  ValNameList readBack;
  readBack.Read(path.c_str(), true);
  Pairs want = values;
  want[6].second = "a\nb\nc";
  EXPECT_EQ(want, Items(readBack));
  EXPECT_EQ(nullptr, readBack.Lookup(""));
}

// Values or names the file form cannot give back unchanged are refused before
// the file is touched; a file written earlier with folds still reads the same.
TEST(ListTest, UnreadableValuesAreRefusedBeforeWriting) {
  ScratchDir dir;
  std::string path = dir.File("fields.lst");
  WriteAll(path, "BEGIN:vNameList\nDesc_1:Room=0A=\n No\nSize_1:10\nEND:vNameList\n");
  const std::string before = ReadAll(path);
  ValNameList old;
  old.Read(path.c_str(), true);
  EXPECT_EQ((Pairs{{"Desc_1", "Room\nNo"}, {"Size_1", "10"}}), Items(old));
  const Pairs refused = {{"Desc_2", "Room=0A="}, {"Desc_2", "a=0a=\nb"}, {"Desc_2", "x=0A=\r\n"},
                         {"De:sc", "v"},         {"De\nsc", "v"},        {"", "one\ntwo"}};
  for (const auto& [name, value] : refused) {
    ValNameList names;
    names.Append(name.c_str(), value.c_str());
    ValList lines;  // a value list refuses a line break
    lines.Append(value.c_str());
    ErrorLines([&] { name.empty() ? lines.Write(path.c_str()) : names.Write(path.c_str()); });
    EXPECT_EQ(before, ReadAll(path)) << name << value;
  }
  EXPECT_TRUE(KvListValueStorable("=0A= in the middle=0A=x\nand =0A=s"));
}

TEST(ListTest, MalformedFiles) {
  ScratchDir dir;
  // A value list throws (its error names the file); a name list reports on
  // standard error, never on standard output, and keeps what it read.
  struct Case {
    bool names;
    const char* text;
    bool header;
    const char* report;
    Strings items;
  } cases[] = {
      {false, "BEGIN:vListX\na\nEND:vList\n", true, "", {"a"}},
      {false, "BEGIN:vList\r\na\r\n\r\n  \nEND:vList\r\n", true, "", {"a", "<null>", "<null>"}},
      {false, "a\nb\nEND:vList", false, "", {"a", "b"}},
      {false, "BEGIN:vList\na\nb", true, "Premature end of list", {"a", "b"}},
      {false, "", true, "Unable to read list header", {}},
      {false, "BEGIN:vNameList\na\n", true, "Malformed list header", {}},
      {false, "BEGIN:vList\nEND:vListTrailing\nnot read\n", true, "", {}},
      {true, "BEGIN:vNameList\na:b:c\na:\nEND:vNameList\n", true, "", {"a=b:c", "a="}},
      {true, "", true, "Unable to read list headerPremature end of list. Last string read was <>\n",
       {}},
      {true, "BEGIN:vList\nk:v\nEND:vNameList\n", true, "Malformed list header", {"k=v"}},
      {true, "BEGIN:vNameList\nk:v\nm:w=0A=\n", true,
       "Premature end of list. Last string read was <m:w\n>\n", {"k=v"}},
      {true, "BEGIN:vNameList\nlast:no break\nnocolon\nEND:vNameList", true, "",
       {"last=no break", "<null>=<null>"}},
  };
  int n = 0;
  for (const Case& c : cases) {
    std::string path = dir.File("case" + std::to_string(n++));
    WriteAll(path, c.text);
    Strings items;
    if (c.names) {
      ValNameList list;
      testing::internal::CaptureStdout();
      testing::internal::CaptureStderr();
      list.Read(path.c_str(), c.header);
      EXPECT_EQ(c.report, testing::internal::GetCapturedStderr()) << c.text;
      EXPECT_EQ("", testing::internal::GetCapturedStdout()) << c.text;
      for (const auto& [name, value] : Items(list)) items.push_back(name + "=" + value);
    } else {
      ValList list;
      if (*c.report == '\0') {
        list.Read(path.c_str(), c.header);
      } else {
        Strings lines = ErrorLines([&] { list.Read(path.c_str(), c.header); });
        ASSERT_EQ(2u, lines.size()) << c.text;
        EXPECT_TRUE(EndsWith(lines[0], " : Unable to read the list from file " + path)) << lines[0];
        EXPECT_TRUE(EndsWith(lines[1], std::string(" : ") + c.report)) << lines[1];
      }
      items = Vals(list);
    }
    EXPECT_EQ(c.items, items) << c.text;
  }
  ValList none;
  none.Read(dir.File("missing").c_str(), true);
  ValNameList noNames;
  noNames.Read(dir.File("missing").c_str(), true);
  EXPECT_EQ(0, none.count + noNames.count);
}

// Both list kinds report a file that cannot be opened and a write that was
// lost (the disk is full) instead of returning as if all went well.
TEST(ListTest, WriteFailuresThrowForBothListKinds) {
  ValList list;
  list.Append("x");
  ValNameList names;
  names.Append("k", "v");
  const std::function<void(const char*)> writers[] = {[&](const char* p) { list.Write(p); },
                                                      [&](const char* p) { names.Write(p); }};
  for (const auto& write : writers) {
    Strings open = ErrorLines([&] { write("/nonexistent-dir/list"); });
    ASSERT_EQ(1u, open.size());
    EXPECT_TRUE(EndsWith(open[0], " : Unable to open file /nonexistent-dir/listfor writing"));
    Strings full = ErrorLines([&] { write("/dev/full"); });
    ASSERT_EQ(1u, full.size());
    EXPECT_TRUE(EndsWith(full[0], " : Unable to close file /dev/fullafter writing")) << full[0];
  }
}
