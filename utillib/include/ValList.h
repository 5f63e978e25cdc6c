// An ordered list of owned C strings with its text file form
// ("BEGIN:vList", one value a line, "END:vList"). Lookups compare without
// regard to case. Texts given to the list are copied; texts returned inside
// items belong to the list.
#pragma once

#include <cstdio>

#include "KvBoolean.h"

struct ValListItem {
  char* value;  // owned, may be null
  ValListItem* next;
};

class ValList {
 public:
  ValList();
  ~ValList();
  ValList(const ValList&) = delete;
  ValList& operator=(const ValList&) = delete;

  ValListItem* GetFirst() const { return first; }
  ValListItem* GetLast() const { return last; }
  int GetCount() const { return count; }

  // First item whose value equals text (case-insensitive); null for null.
  ValListItem* Lookup(const char* text) const;
  int GetIndexOf(const char* text) const;
  // Item at 0-based position i; null when negative or past the end.
  ValListItem* GetNthItem(int i) const;

  // Add a copy; a null text adds an item without value.
  void Append(const char* text);
  void Prepend(const char* text);
  void AppendWithDupCheck(const char* text);
  void PrependWithDupCheck(const char* text);
  // Inserts a copy after `after`, which must be an item of this list.
  void AddAfter(ValListItem* after, const char* text);
  // Removes the first item equal to text (case-insensitive).
  void Remove(const char* text);
  // Removes, for each value of other, its first match.
  void Remove(ValList* other);
  void RemoveAll();
  void RemoveLast();
  void AddFIFO(const char* text);
  void AddFIFOWithDupCheck(const char* text);
  void Add(ValList* other);
  void AddWithDupCheck(ValList* other);
  // Deep copy; the caller deletes it.
  ValList* Copy() const;
  void SwapItems(ValListItem* a, ValListItem* b);

  // Reading appends to what the list holds. Throws KvError* on a missing or
  // malformed header, on a missing end line and on read errors; items read
  // before the error stay. A path that cannot be opened is silently ignored.
  // Neither Read nor Write locks: callers sharing the file take its lock.
  void Read(FILE* fp, KvBoolean readHeader = true);
  void Read(const char* path, KvBoolean readHeader = true);
  // Throws KvError* when the file cannot be opened, written or closed.
  void Write(FILE* fp);
  void Write(const char* path);

  ValListItem* first;
  ValListItem* last;
  int count;
};
