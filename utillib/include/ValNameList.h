// An ordered list of owned name/value items, each with three further optional
// texts, and its text file form ("BEGIN:vNameList", name:value lines with
// folded line breaks, "END:vNameList"). Lookups compare without regard to
// case. Texts given to the list are copied; texts inside items belong to it.
#pragma once

#include <cstdio>

#include "KvBoolean.h"

class ValList;

struct ValNameListItem {
  char* name;    // owned, may be null
  char* value;   // owned, may be null
  char* extra1;  // owned, null unless given
  char* extra2;
  char* extra3;
  ValNameListItem* next;
};

class ValNameList {
 public:
  ValNameList();
  ~ValNameList();
  ValNameList(const ValNameList&) = delete;
  ValNameList& operator=(const ValNameList&) = delete;

  ValNameListItem* GetFirst() const { return first; }
  ValNameListItem* GetLast() const { return last; }
  int GetCount() const { return count; }

  ValNameListItem* Lookup(const char* name) const;
  ValNameListItem* LookupByVal(const char* value) const;
  ValNameListItem* LookupByNameVal(const char* name, const char* value) const;
  int GetIndexOf(const char* name) const;
  ValNameListItem* GetNthItem(int i) const;
  // New lists (caller deletes) of names.
  ValList* GetKeyListMatchingVal(const char* value) const;
  ValList* GetKeyList() const;

  void Append(const char* name, const char* value, const char* extra1 = nullptr,
              const char* extra2 = nullptr, const char* extra3 = nullptr);
  void Prepend(const char* name, const char* value, const char* extra1 = nullptr,
               const char* extra2 = nullptr, const char* extra3 = nullptr);
  void AppendWithDupCheck(const char* name, const char* value,
                          const char* extra1 = nullptr,
                          const char* extra2 = nullptr,
                          const char* extra3 = nullptr);
  void PrependWithDupCheck(const char* name, const char* value,
                           const char* extra1 = nullptr,
                           const char* extra2 = nullptr,
                           const char* extra3 = nullptr);
  // Inserts after `after`, which must be an item of this list.
  void AddAfter(ValNameListItem* after, const char* name, const char* value,
                const char* extra1 = nullptr, const char* extra2 = nullptr,
                const char* extra3 = nullptr);
  // Changes the value of the item named name (its spelling stays), or
  // appends a new item.
  void Replace(const char* name, const char* value);
  void Replace(const char* name, int n);
  void Remove(const char* name);
  void RemoveEvery(const char* name);
  void RemoveEveryVal(const char* value);
  void RemoveEveryNameVal(const char* name, const char* value);
  void RemoveAll();
  void Add(ValNameList* other);
  void AddWithDupCheck(ValNameList* other);
  // Deep copy; the caller deletes it.
  ValNameList* Copy() const;
  // Exchanges all texts of the two items; nothing when either is null.
  void SwapItems(ValNameListItem* a, ValNameListItem* b);
  // New sorted lists (caller deletes); equal keys come out in reverse order.
  ValNameList* SortListByName() const;
  ValNameList* SortListByAscendingValue() const;

  // Reading appends. Header and end-line problems are reported on standard
  // error and reading goes on; read errors throw KvError*. A path that cannot
  // be opened is silently ignored. Neither Read nor Write locks.
  void Read(FILE* fp, KvBoolean readHeader = true);
  void Read(const char* path, KvBoolean readHeader = true);
  // Throws KvError* when the file cannot be opened, written or closed.
  void Write(FILE* fp);
  void Write(const char* path);

  ValNameListItem* first;
  ValNameListItem* last;
  int count;
};

// False when the file form of a name/value list cannot hold value so that it
// reads back the same: a line of it ends in the fold marker "=0A=" (in any
// case). Write refuses such values before writing anything.
bool KvListValueStorable(const char* value);
