// Tests of VoidList: first, last and count stay right through insertions
// and removals, and the list never owns what it points to.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "utillib.h"

namespace {

std::vector<int> Values(const VoidList& list) {
  std::vector<int> out;
  for (VoidItem* i = list.first; i; i = i->next) out.push_back(*static_cast<int*>(i->data));
  return out;
}

}  // namespace

TEST(VoidListTest, EndsAndCountThroughEdits) {
  int a = 1, b = 2, c = 3;
  VoidList list;
  list.Append(&b);
  list.Prepend(&a);
  list.AddAfter(list.last, &c);
  list.AppendWithDupCheck(&a);
  EXPECT_EQ((std::vector<int>{1, 2, 3}), Values(list));
  EXPECT_EQ(&a, list.GetNthItem(-3)->data);
  EXPECT_EQ(nullptr, list.GetNthItem(3));

  list.Remove(&c);  // the last: its predecessor becomes the last
  EXPECT_EQ(&b, list.last->data);
  EXPECT_EQ(nullptr, list.last->next);
  list.Add(&list);  // adding a list to itself doubles it once
  EXPECT_EQ((std::vector<int>{1, 2, 1, 2}), Values(list));
  list.SwapItems(list.first, nullptr);
  list.SwapItems(list.first, list.last);
  EXPECT_EQ((std::vector<int>{2, 2, 1, 1}), Values(list));

  std::unique_ptr<VoidList> copy(list.Copy());
  for (int* p : {&a, &b, &a, &b}) copy->Remove(p);
  EXPECT_EQ(nullptr, copy->first);
  EXPECT_EQ(nullptr, copy->last);
  EXPECT_EQ(0, copy->count);
  EXPECT_EQ(4, list.count);
}
