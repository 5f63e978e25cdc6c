// A singly linked list of untyped pointers. The list never owns what its
// items point to: destroying the list or removing an item leaves the pointed-to
// objects alone.
#pragma once

#include "KvBoolean.h"

struct VoidItem {
  void* data;     // not owned
  VoidItem* next;
};

class VoidList {
 public:
  VoidList();
  virtual ~VoidList();
  VoidList(const VoidList&) = delete;
  VoidList& operator=(const VoidList&) = delete;

  // First item whose data equals p (items with null data are skipped).
  virtual VoidItem* Lookup(const void* p);

  // Item at 0-based position i; i < 1 gives the first; null past the end.
  VoidItem* GetNthItem(int i);
  VoidItem* GetFirst() const { return first; }
  VoidItem* GetLast() const { return last; }
  int GetCount() const { return count; }

  void Prepend(void* p);
  void Append(void* p);
  void PrependWithDupCheck(void* p);
  void AppendWithDupCheck(void* p);
  // Inserts after `after`, which must be an item of this list.
  void AddAfter(VoidItem* after, void* p);
  // Unlinks and deletes the first item whose data is p.
  void Remove(void* p);
  // New list (caller deletes) holding the same pointers.
  VoidList* Copy();
  void Add(VoidList* other);
  void AddWithDupCheck(VoidList* other);
  // Exchanges the data pointers; nothing when either is null.
  void SwapItems(VoidItem* a, VoidItem* b);

  VoidItem* first;
  int count;
  VoidItem* last;
};
