// VoidList: a singly linked list of pointers it does not own.

#include "VoidList.h"

VoidList::VoidList() : first(nullptr), count(0), last(nullptr) {}

VoidList::~VoidList() {
  VoidItem* item = first;
  while (item) {
    VoidItem* next = item->next;
    delete item;
    item = next;
  }
}

VoidItem* VoidList::Lookup(const void* p) {
  for (VoidItem* item = first; item; item = item->next) {
    if (item->data != nullptr && item->data == p) return item;
  }
  return nullptr;
}

VoidItem* VoidList::GetNthItem(int i) {
  VoidItem* item = first;
  for (int k = 0; k < i && item; ++k) item = item->next;
  return item;
}

void VoidList::Prepend(void* p) {
  VoidItem* item = new VoidItem{p, first};
  first = item;
  if (last == nullptr) last = item;
  ++count;
}

void VoidList::Append(void* p) {
  VoidItem* item = new VoidItem{p, nullptr};
  if (last) {
    last->next = item;
  } else {
    first = item;
  }
  last = item;
  ++count;
}

void VoidList::PrependWithDupCheck(void* p) {
  if (Lookup(p) == nullptr) Prepend(p);
}

void VoidList::AppendWithDupCheck(void* p) {
  if (Lookup(p) == nullptr) Append(p);
}

void VoidList::AddAfter(VoidItem* after, void* p) {
  if (after == nullptr) {
    Prepend(p);
    return;
  }
  VoidItem* item = new VoidItem{p, after->next};
  after->next = item;
  if (last == after) last = item;
  ++count;
}

void VoidList::Remove(void* p) {
  VoidItem* prev = nullptr;
  for (VoidItem* item = first; item; prev = item, item = item->next) {
    if (item->data != p) continue;
    if (prev) {
      prev->next = item->next;
    } else {
      first = item->next;
    }
    if (last == item) last = prev;
    --count;
    delete item;
    return;
  }
}

VoidList* VoidList::Copy() {
  VoidList* copy = new VoidList();
  copy->Add(this);
  return copy;
}

void VoidList::Add(VoidList* other) {
  if (other == nullptr) return;
  VoidItem* item = other->first;
  for (int n = other->count; n > 0 && item; --n, item = item->next) Append(item->data);
}

void VoidList::AddWithDupCheck(VoidList* other) {
  if (other == nullptr) return;
  VoidItem* item = other->first;
  for (int n = other->count; n > 0 && item; --n, item = item->next) {
    AppendWithDupCheck(item->data);
  }
}

void VoidList::SwapItems(VoidItem* a, VoidItem* b) {
  if (a == nullptr || b == nullptr) return;
  void* data = a->data;
  a->data = b->data;
  b->data = data;
}
