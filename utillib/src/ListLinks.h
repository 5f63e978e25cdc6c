// Link operations shared by the singly linked lists (VoidList, ValList,
// ValNameList), which keep a first and last item and a count. Items are
// structs with a `next` pointer; allocation and freeing stay with the lists.
#pragma once

#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace listlinks {

// A heap copy of text (caller frees with free()), or null for null.
inline char* CopyText(const char* text) { return text ? strdup(text) : nullptr; }

// Case-insensitive equality; an absent text equals nothing.
inline bool SameText(const char* a, const char* b) {
  return a != nullptr && b != nullptr && strcasecmp(a, b) == 0;
}

template <typename Item>
void LinkLast(Item** first, Item** last, int* count, Item* item) {
  item->next = nullptr;
  if (*last) {
    (*last)->next = item;
  } else {
    *first = item;
  }
  *last = item;
  ++*count;
}

template <typename Item>
void LinkFirst(Item** first, Item** last, int* count, Item* item) {
  item->next = *first;
  *first = item;
  if (*last == nullptr) *last = item;
  ++*count;
}

// Links item after `after`, or first when `after` is null.
template <typename Item>
void LinkAfter(Item** first, Item** last, int* count, Item* after, Item* item) {
  if (after == nullptr) {
    LinkFirst(first, last, count, item);
    return;
  }
  item->next = after->next;
  after->next = item;
  if (*last == after) *last = item;
  ++*count;
}

// Takes item, which follows prev (null when item is first), out of the list.
template <typename Item>
void Unlink(Item** first, Item** last, int* count, Item* prev, Item* item) {
  if (prev) {
    prev->next = item->next;
  } else {
    *first = item->next;
  }
  if (*last == item) *last = prev;
  --*count;
}

// Takes the first item for which match is true out of the list and returns
// it (the caller frees it), or null when none matches.
template <typename Item, typename Match>
Item* UnlinkFirst(Item** first, Item** last, int* count, Match match) {
  Item* prev = nullptr;
  for (Item* item = *first; item; prev = item, item = item->next) {
    if (!match(item)) continue;
    Unlink(first, last, count, prev, item);
    return item;
  }
  return nullptr;
}

// The item at index i from 0, or null when there is none.
template <typename Item>
Item* Nth(Item* first, int i) {
  if (i < 0) return nullptr;
  Item* item = first;
  for (; item && i > 0; --i) item = item->next;
  return item;
}

// Calls visit for the first `count` items of the chain. Adding a list to
// itself thus visits only the items it had to begin with.
template <typename Item, typename Visit>
void VisitCounted(Item* first, int count, Visit visit) {
  Item* item = first;
  for (int n = count; n > 0 && item; --n, item = item->next) visit(item);
}

}  // namespace listlinks
