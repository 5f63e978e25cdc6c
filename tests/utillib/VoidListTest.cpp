// Tests of VoidList: the list keeps first, last and count right through
// insertions and removals and never owns what it points to.

#include <gtest/gtest.h>

#include <vector>

#include "utillib.h"

namespace {

std::vector<int> Values(const VoidList& list) {
  std::vector<int> out;
  for (VoidItem* i = list.first; i; i = i->next) out.push_back(*static_cast<int*>(i->data));
  return out;
}

}  // namespace

TEST(VoidListTest, InsertRemoveKeepEndsAndCount) {
  int a = 1, b = 2, c = 3, d = 4;
  VoidList list;
  list.Append(&b);
  list.Prepend(&a);
  list.AddAfter(list.last, &d);
  list.AddAfter(list.first->next, &c);
  EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), Values(list));
  EXPECT_EQ(4, list.count);
  EXPECT_EQ(&d, list.last->data);

  list.AppendWithDupCheck(&a);
  list.PrependWithDupCheck(&c);
  EXPECT_EQ(4, list.count);
  EXPECT_EQ(&c, list.GetNthItem(2)->data);
  EXPECT_EQ(&a, list.GetNthItem(-3)->data);
  EXPECT_EQ(nullptr, list.GetNthItem(4));

  list.Remove(&d);  // the last: its predecessor becomes the last
  EXPECT_EQ(&c, list.last->data);
  EXPECT_EQ(nullptr, list.last->next);
  list.Remove(&a);
  list.Remove(&a);
  EXPECT_EQ((std::vector<int>{2, 3}), Values(list));
  list.Remove(&b);
  list.Remove(&c);
  EXPECT_EQ(nullptr, list.first);
  EXPECT_EQ(nullptr, list.last);
  EXPECT_EQ(0, list.count);
  list.Append(&a);
  EXPECT_EQ(list.first, list.last);
}

TEST(VoidListTest, CopyAddAndSwap) {
  int a = 1, b = 2;
  VoidList list;
  list.Append(&a);
  list.Append(&b);
  std::unique_ptr<VoidList> copy(list.Copy());
  EXPECT_EQ((std::vector<int>{1, 2}), Values(*copy));
  copy->Add(&list);
  EXPECT_EQ(4, copy->count);
  copy->AddWithDupCheck(&list);
  EXPECT_EQ(4, copy->count);
  list.Add(&list);  // adding a list to itself doubles it once
  EXPECT_EQ((std::vector<int>{1, 2, 1, 2}), Values(list));

  list.SwapItems(list.first, list.last);
  EXPECT_EQ((std::vector<int>{2, 2, 1, 1}), Values(list));
  list.SwapItems(list.first, nullptr);
  list.SwapItems(nullptr, list.first);
  EXPECT_EQ((std::vector<int>{2, 2, 1, 1}), Values(list));
  EXPECT_EQ(nullptr, list.Lookup(nullptr));
}
