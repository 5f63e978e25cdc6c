// VoidList: a singly linked list of pointers it does not own.

#include "VoidList.h"

#include "ListLinks.h"

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
  listlinks::LinkFirst(&first, &last, &count, new VoidItem{p, nullptr});
}

void VoidList::Append(void* p) {
  listlinks::LinkLast(&first, &last, &count, new VoidItem{p, nullptr});
}

void VoidList::PrependWithDupCheck(void* p) {
  if (Lookup(p) == nullptr) Prepend(p);
}

void VoidList::AppendWithDupCheck(void* p) {
  if (Lookup(p) == nullptr) Append(p);
}

void VoidList::AddAfter(VoidItem* after, void* p) {
  listlinks::LinkAfter(&first, &last, &count, after, new VoidItem{p, nullptr});
}

void VoidList::Remove(void* p) {
  delete listlinks::UnlinkFirst(&first, &last, &count,
                                [p](VoidItem* item) { return item->data == p; });
}

VoidList* VoidList::Copy() {
  VoidList* copy = new VoidList();
  copy->Add(this);
  return copy;
}

void VoidList::Add(VoidList* other) {
  if (other == nullptr) return;
  listlinks::VisitCounted(other->first, other->count,
                          [this](VoidItem* item) { Append(item->data); });
}

void VoidList::AddWithDupCheck(VoidList* other) {
  if (other == nullptr) return;
  listlinks::VisitCounted(other->first, other->count,
                          [this](VoidItem* item) { AppendWithDupCheck(item->data); });
}

void VoidList::SwapItems(VoidItem* a, VoidItem* b) {
  if (a == nullptr || b == nullptr) return;
  void* data = a->data;
  a->data = b->data;
  b->data = data;
}
