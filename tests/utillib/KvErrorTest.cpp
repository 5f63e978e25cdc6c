// Tests of KvError: lines gather newest first as an error passes up.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestUtil.h"

namespace {

std::vector<std::string> Lines(const ValList* list) {
  std::vector<std::string> out;
  for (ValListItem* i = list->first; i; i = i->next) out.push_back(Str(i->value));
  return out;
}

void Fail() { KV_THROW("M"); }

void Middle() {
  try {
    Fail();
  } catch (KvError* e) {
    KV_ADD_LINE(e, "A");
    throw;
  }
}

void Outer() {
  try {
    Middle();
  } catch (KvError* e) {
    e->AddLine(7, "outer.cpp", "B", true);
    throw;
  }
}

}  // namespace

TEST(KvErrorTest, LinesReadOutermostFirstThroughTwoRethrows) {
  try {
    Outer();
    FAIL() << "no error";
  } catch (KvError* e) {
    std::unique_ptr<KvError> owned(e);
    std::vector<std::string> lines = Lines(e->lines);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("Error : line 7 in file outer.cpp : B", lines[0]);
    EXPECT_EQ(0u, lines[1].find("Error : line "));
    EXPECT_NE(std::string::npos, lines[1].find(" in file KvErrorTest.cpp : A"));
    EXPECT_NE(std::string::npos, lines[2].find(" in file KvErrorTest.cpp : M"));
    EXPECT_EQ((std::vector<std::string>{"B"}), Lines(e->userLines));
    EXPECT_EQ(kKvErrorFault, e->kind);

    e->kind = kKvErrorParse;
    std::unique_ptr<KvError> copy(e->Copy());
    EXPECT_EQ(lines, Lines(copy->lines));
    EXPECT_EQ(Lines(e->userLines), Lines(copy->userLines));
    EXPECT_EQ(kKvErrorParse, copy->kind);
    EXPECT_NE(e->lines, copy->lines);
  }
}
