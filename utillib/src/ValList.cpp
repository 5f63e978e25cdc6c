// ValList: an ordered list of owned C strings, and its "BEGIN:vList" file
// form (one value a line).

#include "ValList.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <strings.h>
#include <sys/types.h>

#include "KvError.h"
#include "ListFile.h"
#include "ListLinks.h"
#include "String.h"

using listlinks::CopyText;
using listlinks::SameText;

namespace {

const char kBeginLine[] = "BEGIN:vList";
const char kEndLine[] = "END:vList";

// Refuses, before anything is written, a value that would not read back as
// one item: one holding a line break.
void CheckWritable(const ValListItem* item) {
  for (; item; item = item->next) {
    if (item->value && strpbrk(item->value, "\r\n") != nullptr) {
      KV_THROW(String("The value \"") + item->value +
               "\" holds a line break and cannot be stored in a list");
    }
  }
}

}  // namespace

namespace listfile {

bool ReadLine(FILE* fp, std::string* line) {
  char* raw = nullptr;
  size_t cap = 0;
  ssize_t got = getline(&raw, &cap, fp);
  if (got < 0) {
    free(raw);
    return false;
  }
  size_t n = static_cast<size_t>(got);
  if (n > 0 && raw[n - 1] == '\n') --n;
  line->assign(raw, n);
  free(raw);
  return true;
}

bool FinishWriting(FILE* fp) {
  bool ok = fflush(fp) == 0 && ferror(fp) == 0;
  if (fclose(fp) != 0) ok = false;
  return ok;
}

void ReadPath(const char* path, const std::function<void(FILE*)>& read) {
  if (path == nullptr) return;
  FILE* fp = fopen(path, "r");
  if (fp == nullptr) return;
  try {
    read(fp);
  } catch (KvError* e) {
    fclose(fp);
    KV_ADD_LINE(e, String("Unable to read the list from file ") + path);
    throw;
  }
  if (fclose(fp) != 0) {
    KV_THROW(String("Unable to close file ") + path + "after reading");
  }
}

void WritePath(const char* path, const std::function<void(FILE*)>& write) {
  FILE* fp = path ? fopen(path, "w") : nullptr;
  if (fp == nullptr) {
    KV_THROW(String("Unable to open file ") + path + "for writing");
  }
  write(fp);
  if (!listfile::FinishWriting(fp)) {
    KV_THROW(String("Unable to close file ") + path + "after writing");
  }
}

}  // namespace listfile

ValList::ValList() : first(nullptr), last(nullptr), count(0) {}

ValList::~ValList() { RemoveAll(); }

ValListItem* ValList::Lookup(const char* text) const {
  if (text == nullptr) return nullptr;
  for (ValListItem* item = first; item; item = item->next) {
    if (SameText(item->value, text)) return item;
  }
  return nullptr;
}

int ValList::GetIndexOf(const char* text) const {
  if (text == nullptr) return -1;
  int i = 0;
  for (ValListItem* item = first; item; item = item->next, ++i) {
    if (SameText(item->value, text)) return i;
  }
  return -1;
}

ValListItem* ValList::GetNthItem(int i) const { return listlinks::Nth(first, i); }

void ValList::Append(const char* text) {
  listlinks::LinkLast(&first, &last, &count, new ValListItem{CopyText(text), nullptr});
}

void ValList::Prepend(const char* text) {
  listlinks::LinkFirst(&first, &last, &count, new ValListItem{CopyText(text), nullptr});
}

void ValList::AppendWithDupCheck(const char* text) {
  if (Lookup(text) == nullptr) Append(text);
}

void ValList::PrependWithDupCheck(const char* text) {
  if (Lookup(text) == nullptr) Prepend(text);
}

void ValList::AddAfter(ValListItem* after, const char* text) {
  listlinks::LinkAfter(&first, &last, &count, after,
                       new ValListItem{CopyText(text), nullptr});
}

void ValList::Remove(const char* text) {
  if (text == nullptr) return;
  ValListItem* item = listlinks::UnlinkFirst(
      &first, &last, &count, [text](ValListItem* i) { return SameText(i->value, text); });
  if (item == nullptr) return;
  free(item->value);
  delete item;
}

void ValList::Remove(ValList* other) {
  if (other == nullptr) return;
  if (other == this) {
    RemoveAll();
    return;
  }
  for (ValListItem* item = other->first; item; item = item->next) Remove(item->value);
}

void ValList::RemoveAll() {
  ValListItem* item = first;
  while (item) {
    ValListItem* next = item->next;
    free(item->value);
    delete item;
    item = next;
  }
  first = last = nullptr;
  count = 0;
}

void ValList::RemoveLast() {
  if (last == nullptr) return;
  ValListItem* prev = nullptr;
  for (ValListItem* item = first; item != last; item = item->next) prev = item;
  free(last->value);
  delete last;
  last = prev;
  if (prev) {
    prev->next = nullptr;
  } else {
    first = nullptr;
  }
  --count;
}

void ValList::AddFIFO(const char* text) {
  // The text may be the value about to be dropped.
  std::unique_ptr<char, decltype(&free)> copy(CopyText(text), &free);
  RemoveLast();
  Prepend(copy.get());
}

void ValList::AddFIFOWithDupCheck(const char* text) {
  if (Lookup(text) == nullptr) AddFIFO(text);
}

void ValList::Add(ValList* other) {
  if (other == nullptr) return;
  listlinks::VisitCounted(other->first, other->count,
                          [this](ValListItem* item) { Append(item->value); });
}

void ValList::AddWithDupCheck(ValList* other) {
  if (other == nullptr) return;
  listlinks::VisitCounted(other->first, other->count,
                          [this](ValListItem* item) { AppendWithDupCheck(item->value); });
}

ValList* ValList::Copy() const {
  ValList* copy = new ValList();
  for (ValListItem* item = first; item; item = item->next) copy->Append(item->value);
  return copy;
}

void ValList::SwapItems(ValListItem* a, ValListItem* b) {
  if (a == nullptr || b == nullptr) return;
  char* value = a->value;
  a->value = b->value;
  b->value = value;
}

void ValList::Read(FILE* fp, KvBoolean readHeader) {
  std::string line;
  if (readHeader) {
    if (!listfile::ReadLine(fp, &line)) KV_THROW("Unable to read list header");
    if (strncmp(line.c_str(), kBeginLine, strlen(kBeginLine)) != 0) {
      KV_THROW("Malformed list header");
    }
  }
  while (listfile::ReadLine(fp, &line)) {
    if (strncmp(line.c_str(), kEndLine, strlen(kEndLine)) == 0) return;
    char* value = StringGrabVal(line.c_str());
    Append(value);
    free(value);
  }
  KV_THROW("Premature end of list");
}

void ValList::Read(const char* path, KvBoolean readHeader) {
  listfile::ReadPath(path, [&](FILE* fp) { Read(fp, readHeader); });
}

void ValList::Write(FILE* fp) {
  CheckWritable(first);
  fputs(kBeginLine, fp);
  fputc('\n', fp);
  for (ValListItem* item = first; item; item = item->next) {
    // An item without value was a blank line and is written as one.
    if (item->value) fputs(item->value, fp);
    fputc('\n', fp);
  }
  fputs(kEndLine, fp);
  fputc('\n', fp);
}

void ValList::Write(const char* path) {
  CheckWritable(first);
  listfile::WritePath(path, [this](FILE* fp) { Write(fp); });
}
