// ValNameList: an ordered list of owned name/value items, and its
// "BEGIN:vNameList" file form, whose values fold line breaks as "=0A=" at the
// end of a line followed by a line that starts with a space.

#include "ValNameList.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <strings.h>

#include "KvError.h"
#include "ListFile.h"
#include "ListLinks.h"
#include "String.h"
#include "ValList.h"

using listlinks::CopyText;
using listlinks::SameText;

namespace {

const char kBeginLine[] = "BEGIN:vNameList";
const char kEndLine[] = "END:vNameList";

// True when a line of text (up to a line break or the end) ends in the fold
// marker "=0A=", which the reader would take for a folded line.
bool EndsInFold(const char* begin, const char* end) {
  return end - begin >= 4 && strncasecmp(end - 4, "=0A=", 4) == 0;
}

// Refuses, before anything is written, an item the reader would read back
// differently: a name holding a colon or a line break, or a value with a
// line that ends in the fold marker.
void CheckWritable(const ValNameListItem* item) {
  for (; item; item = item->next) {
    if (item->name && strpbrk(item->name, ":\r\n") != nullptr) {
      KV_THROW(String("The name \"") + item->name +
               "\" holds a colon or a line break and cannot be stored in a list");
    }
    if (!KvListValueStorable(item->value)) {
      KV_THROW(String("The value of \"") + (item->name ? item->name : "") +
               "\" has a line ending in \"=0A=\" and cannot be stored in a list");
    }
  }
}

// Case-insensitive order in which an absent text sorts first.
int CompareText(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return (a != nullptr) - (b != nullptr);
  return strcasecmp(a, b);
}

ValNameListItem* NewItem(const char* name, const char* value, const char* extra1,
                         const char* extra2, const char* extra3) {
  return new ValNameListItem{CopyText(name),   CopyText(value),  CopyText(extra1),
                             CopyText(extra2), CopyText(extra3), nullptr};
}

void FreeItem(ValNameListItem* item) {
  free(item->name);
  free(item->value);
  free(item->extra1);
  free(item->extra2);
  free(item->extra3);
  delete item;
}

}  // namespace

ValNameList::ValNameList() : first(nullptr), last(nullptr), count(0) {}

ValNameList::~ValNameList() { RemoveAll(); }

ValNameListItem* ValNameList::Lookup(const char* name) const {
  for (ValNameListItem* item = first; item; item = item->next) {
    if (SameText(item->name, name)) return item;
  }
  return nullptr;
}

ValNameListItem* ValNameList::LookupByVal(const char* value) const {
  for (ValNameListItem* item = first; item; item = item->next) {
    if (SameText(item->value, value)) return item;
  }
  return nullptr;
}

ValNameListItem* ValNameList::LookupByNameVal(const char* name, const char* value) const {
  for (ValNameListItem* item = first; item; item = item->next) {
    if (SameText(item->name, name) && SameText(item->value, value)) return item;
  }
  return nullptr;
}

int ValNameList::GetIndexOf(const char* name) const {
  int i = 0;
  for (ValNameListItem* item = first; item; item = item->next, ++i) {
    if (SameText(item->name, name)) return i;
  }
  return -1;
}

ValNameListItem* ValNameList::GetNthItem(int i) const { return listlinks::Nth(first, i); }

ValList* ValNameList::GetKeyListMatchingVal(const char* value) const {
  ValList* keys = new ValList();
  for (ValNameListItem* item = first; item; item = item->next) {
    if (SameText(item->value, value)) keys->Append(item->name);
  }
  return keys;
}

ValList* ValNameList::GetKeyList() const {
  ValList* keys = new ValList();
  for (ValNameListItem* item = first; item; item = item->next) keys->Append(item->name);
  return keys;
}

void ValNameList::Append(const char* name, const char* value, const char* extra1,
                         const char* extra2, const char* extra3) {
  listlinks::LinkLast(&first, &last, &count, NewItem(name, value, extra1, extra2, extra3));
}

void ValNameList::Prepend(const char* name, const char* value, const char* extra1,
                          const char* extra2, const char* extra3) {
  listlinks::LinkFirst(&first, &last, &count, NewItem(name, value, extra1, extra2, extra3));
}

void ValNameList::AppendWithDupCheck(const char* name, const char* value,
                                     const char* extra1, const char* extra2,
                                     const char* extra3) {
  if (Lookup(name) == nullptr) Append(name, value, extra1, extra2, extra3);
}

void ValNameList::PrependWithDupCheck(const char* name, const char* value,
                                      const char* extra1, const char* extra2,
                                      const char* extra3) {
  if (Lookup(name) == nullptr) Prepend(name, value, extra1, extra2, extra3);
}

void ValNameList::AddAfter(ValNameListItem* after, const char* name, const char* value,
                           const char* extra1, const char* extra2, const char* extra3) {
  listlinks::LinkAfter(&first, &last, &count, after,
                       NewItem(name, value, extra1, extra2, extra3));
}

void ValNameList::Replace(const char* name, const char* value) {
  ValNameListItem* item = Lookup(name);
  if (item == nullptr) {
    Append(name, value);
    return;
  }
  char* copy = CopyText(value);
  free(item->value);
  item->value = copy;
}

void ValNameList::Replace(const char* name, int n) {
  Replace(name, std::to_string(n).c_str());
}

void ValNameList::Remove(const char* name) {
  ValNameListItem* item = listlinks::UnlinkFirst(
      &first, &last, &count, [name](ValNameListItem* i) { return SameText(i->name, name); });
  if (item) FreeItem(item);
}

namespace {

template <typename Match>
void RemoveMatching(ValNameListItem** first, ValNameListItem** last, int* count,
                    Match match) {
  ValNameListItem* prev = nullptr;
  ValNameListItem* item = *first;
  while (item) {
    ValNameListItem* next = item->next;
    if (match(item)) {
      listlinks::Unlink(first, last, count, prev, item);
      FreeItem(item);
    } else {
      prev = item;
    }
    item = next;
  }
}

}  // namespace

void ValNameList::RemoveEvery(const char* name) {
  // The argument may point into an item about to be freed.
  std::string key(name ? name : "");
  if (name == nullptr) return;
  RemoveMatching(&first, &last, &count,
                 [&](ValNameListItem* i) { return SameText(i->name, key.c_str()); });
}

void ValNameList::RemoveEveryVal(const char* value) {
  if (value == nullptr) return;
  std::string key(value);
  RemoveMatching(&first, &last, &count,
                 [&](ValNameListItem* i) { return SameText(i->value, key.c_str()); });
}

void ValNameList::RemoveEveryNameVal(const char* name, const char* value) {
  if (name == nullptr || value == nullptr) return;
  std::string n(name), v(value);
  RemoveMatching(&first, &last, &count, [&](ValNameListItem* i) {
    return SameText(i->name, n.c_str()) && SameText(i->value, v.c_str());
  });
}

void ValNameList::RemoveAll() {
  ValNameListItem* item = first;
  while (item) {
    ValNameListItem* next = item->next;
    FreeItem(item);
    item = next;
  }
  first = last = nullptr;
  count = 0;
}

void ValNameList::Add(ValNameList* other) {
  if (other == nullptr) return;
  listlinks::VisitCounted(other->first, other->count, [this](ValNameListItem* item) {
    Append(item->name, item->value, item->extra1, item->extra2, item->extra3);
  });
}

void ValNameList::AddWithDupCheck(ValNameList* other) {
  if (other == nullptr) return;
  listlinks::VisitCounted(other->first, other->count, [this](ValNameListItem* item) {
    AppendWithDupCheck(item->name, item->value, item->extra1, item->extra2, item->extra3);
  });
}

ValNameList* ValNameList::Copy() const {
  ValNameList* copy = new ValNameList();
  for (ValNameListItem* item = first; item; item = item->next) {
    copy->Append(item->name, item->value, item->extra1, item->extra2, item->extra3);
  }
  return copy;
}

void ValNameList::SwapItems(ValNameListItem* a, ValNameListItem* b) {
  if (a == nullptr || b == nullptr) return;
  std::swap(a->name, b->name);
  std::swap(a->value, b->value);
  std::swap(a->extra1, b->extra1);
  std::swap(a->extra2, b->extra2);
  std::swap(a->extra3, b->extra3);
}

namespace {

// Insertion sort into a new list: each item goes before the first item whose
// key is not smaller, so equal keys end up in reverse source order.
ValNameList* SortedCopy(const ValNameList& source, bool byName) {
  ValNameList* sorted = new ValNameList();
  for (ValNameListItem* item = source.first; item; item = item->next) {
    const char* key = byName ? item->name : item->value;
    ValNameListItem* prev = nullptr;
    ValNameListItem* at = sorted->first;
    while (at && CompareText(key, byName ? at->name : at->value) > 0) {
      prev = at;
      at = at->next;
    }
    sorted->AddAfter(prev, item->name, item->value, item->extra1, item->extra2,
                     item->extra3);
  }
  return sorted;
}

}  // namespace

ValNameList* ValNameList::SortListByName() const { return SortedCopy(*this, true); }

ValNameList* ValNameList::SortListByAscendingValue() const {
  return SortedCopy(*this, false);
}

void ValNameList::Read(FILE* fp, KvBoolean readHeader) {
  if (readHeader) {
    std::string header;
    if (!listfile::ReadLine(fp, &header)) {
      fputs("Unable to read list header", stderr);
    } else if (strncmp(header.c_str(), kBeginLine, strlen(kBeginLine)) != 0) {
      fputs("Malformed list header", stderr);
    }
  }
  String entry;
  String name;
  String value;
  String lastRead;
  for (;;) {
    KvBoolean complete = entry.GetNameValPair(fp, name, value);
    if (!complete) {
      if (name.GetLength() > 0 || value.GetLength() > 0) lastRead = entry;
      break;
    }
    if (strncmp(entry.CStr(), kEndLine, strlen(kEndLine)) == 0) return;
    lastRead = entry;
    Append(name.GetBuffer(), value.GetBuffer());
  }
  fprintf(stderr, "Premature end of list. Last string read was <%s>\n", lastRead.CStr());
}

void ValNameList::Read(const char* path, KvBoolean readHeader) {
  listfile::ReadPath(path, [&](FILE* fp) { Read(fp, readHeader); });
}

bool KvListValueStorable(const char* value) {
  if (value == nullptr) return true;
  for (const char* line = value;;) {
    const char* end = line + strcspn(line, "\r\n");
    if (EndsInFold(line, end)) return false;
    if (*end == '\0') return true;
    line = end + 1;
  }
}

void ValNameList::Write(FILE* fp) {
  CheckWritable(first);
  fputs(kBeginLine, fp);
  fputc('\n', fp);
  for (ValNameListItem* item = first; item; item = item->next) {
    // An item without a name is written with an empty one, which reads back
    // as an item without a name.
    if (item->name) fputs(item->name, fp);
    fputc(':', fp);
    String value(item->value);
    value.PrepareForWriting();
    value.Print(fp);
    fputc('\n', fp);
  }
  fputs(kEndLine, fp);
  fputc('\n', fp);
}

void ValNameList::Write(const char* path) {
  CheckWritable(first);
  listfile::WritePath(path, [this](FILE* fp) { Write(fp); });
}
