// Tests of ValList: ownership of its texts, case-insensitive lookups and the
// "BEGIN:vList" file form, including malformed files and write failures.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TestUtil.h"

namespace {

std::vector<std::string> Values(const ValList& list) {
  std::vector<std::string> out;
  for (ValListItem* i = list.first; i; i = i->next) out.push_back(Str(i->value));
  return out;
}

// Runs f, which must throw a KvError; returns its lines, newest first.
template <typename F>
std::vector<std::string> ErrorLines(F f) {
  try {
    f();
  } catch (KvError* e) {
    std::unique_ptr<KvError> owned(e);
    std::vector<std::string> lines;
    for (ValListItem* i = e->lines->first; i; i = i->next) lines.push_back(Str(i->value));
    return lines;
  }
  ADD_FAILURE() << "no error thrown";
  return {};
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

TEST(ValListTest, EditingKeepsEndsAndCount) {
  ValList list;
  list.Append("b");
  list.Prepend("a");
  list.AppendWithDupCheck("B");
  list.Append(nullptr);
  EXPECT_EQ((std::vector<std::string>{"a", "b", "<null>"}), Values(list));
  EXPECT_EQ(1, list.GetIndexOf("B"));
  EXPECT_EQ(nullptr, list.Lookup(nullptr));
  list.RemoveLast();
  list.Remove("A");
  EXPECT_EQ(list.first, list.last);

  // A fixed-length history: the oldest drops off the end, even when it is
  // the text being added.
  list.Append("old");
  list.AddFIFO("new");
  EXPECT_EQ((std::vector<std::string>{"new", "b"}), Values(list));
  list.AddFIFO(list.last->value);
  EXPECT_EQ((std::vector<std::string>{"b", "new"}), Values(list));

  std::unique_ptr<ValList> copy(list.Copy());
  copy->Add(copy.get());
  copy->Remove(&list);
  EXPECT_EQ((std::vector<std::string>{"b", "new"}), Values(*copy));
  copy->RemoveAll();
  EXPECT_EQ(nullptr, copy->last);
  EXPECT_EQ(0, copy->count);
}

TEST(ValListTest, FileRoundTripKeepsLongValues) {
  ScratchDir dir;
  std::string path = dir.File("list.txt");
  ValList list;
  list.Append("first");
  list.Append(std::string(5000, 'v').c_str());
  list.Append("with: colon");
  list.Write(path.c_str());
  EXPECT_EQ("BEGIN:vList\nfirst\n" + std::string(5000, 'v') + "\nwith: colon\nEND:vList\n",
            ReadAll(path));
  ValList back;
  back.Append("kept");
  back.Read(path.c_str(), true);
  EXPECT_EQ((std::vector<std::string>{"kept", "first", std::string(5000, 'v'), "with: colon"}),
            Values(back));
}

TEST(ValListTest, ReadingMalformedFiles) {
  ScratchDir dir;
  struct Case {
    const char* text;
    bool header;
    const char* error;  // null when the read succeeds
    std::vector<std::string> items;
  } cases[] = {
      {"BEGIN:vListX\na\nEND:vList\n", true, nullptr, {"a"}},
      {"BEGIN:vList\r\na\r\n\r\n  \nEND:vList\r\n", true, nullptr, {"a", "<null>", "<null>"}},
      {"a\nb\nEND:vList", false, nullptr, {"a", "b"}},
      {"BEGIN:vList\na\nb", true, "Premature end of list", {"a", "b"}},
      {"", true, "Unable to read list header", {}},
      {"BEGIN:vNameList\na\n", true, "Malformed list header", {}},
      {"BEGIN:vList\nEND:vListTrailing\nnot read\n", true, nullptr, {}},
  };
  int n = 0;
  for (const Case& c : cases) {
    std::string path = dir.File("case" + std::to_string(n++));
    WriteAll(path, c.text);
    ValList list;
    if (c.error == nullptr) {
      list.Read(path.c_str(), c.header);
    } else {
      std::vector<std::string> lines = ErrorLines([&] { list.Read(path.c_str(), c.header); });
      ASSERT_EQ(2u, lines.size()) << c.text;
      EXPECT_EQ(0u, lines[0].find("Error : line ")) << lines[0];
      EXPECT_TRUE(EndsWith(lines[0], " : Unable to read the list from file " + path))
          << lines[0];
      EXPECT_TRUE(EndsWith(lines[1], std::string(" : ") + c.error)) << lines[1];
    }
    EXPECT_EQ(c.items, Values(list)) << c.text;
  }
  ValList untouched;
  untouched.Read(dir.File("missing").c_str(), true);
  EXPECT_EQ(0, untouched.count);
  EXPECT_EQ(nullptr, untouched.Lookup(""));
}

// Both list kinds report a file that cannot be opened and a write that was
// lost (the disk is full) instead of returning as if all went well.
TEST(ValListTest, WriteFailuresThrowForBothListKinds) {
  ValList list;
  list.Append("x");
  ValNameList names;
  names.Append("k", "v");
  const std::function<void(const char*)> writers[] = {
      [&](const char* path) { list.Write(path); },
      [&](const char* path) { names.Write(path); }};
  for (const auto& write : writers) {
    std::vector<std::string> open = ErrorLines([&] { write("/nonexistent-dir/list"); });
    ASSERT_EQ(1u, open.size());
    EXPECT_TRUE(EndsWith(open[0], " : Unable to open file /nonexistent-dir/listfor writing"));
    std::vector<std::string> full = ErrorLines([&] { write("/dev/full"); });
    ASSERT_EQ(1u, full.size());
    EXPECT_TRUE(EndsWith(full[0], " : Unable to close file /dev/fullafter writing")) << full[0];
  }
}
