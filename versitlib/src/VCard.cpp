// Business cards: the ordered entry list, its lookups and word searches, and
// the card's two text forms.
#include "VCard.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

// Same id and the same parameter values position by position (kinds and the
// entry values are not compared).
bool MatchesPattern(const VCardEntry* entry, const VCardEntry* pattern) {
  if (entry->id != pattern->id) return false;
  const VCardSubType* a = entry->firstSubType;
  const VCardSubType* b = pattern->firstSubType;
  while (a != nullptr && b != nullptr) {
    if (a->value != b->value) return false;
    a = a->next;
    b = b->next;
  }
  return a == nullptr && b == nullptr;
}

// True when text contains at least one word (any) or every word (all) of
// words. Items without a text are ignored.
bool ContainsWords(const char* text, const ValList* words, bool all) {
  if (words != nullptr) {
    for (const ValListItem* item = words->first; item != nullptr; item = item->next) {
      if (item->value == nullptr) continue;
      bool found = StringSubstring(item->value, text) != nullptr;
      if (found && !all) return true;
      if (!found && all) return false;
    }
  }
  return all;
}

}  // namespace

VCard::VCard() : firstEntry(nullptr), next(nullptr) {}

VCard::~VCard() {
  while (firstEntry != nullptr) {
    VCardEntry* doomed = firstEntry;
    firstEntry = doomed->next;
    delete doomed;
  }
}

void VCard::AddEntry(VCardEntry* entry) {
  if (entry == nullptr) return;
  entry->next = nullptr;
  VCardEntry** link = &firstEntry;
  while (*link != nullptr) link = &(*link)->next;
  *link = entry;
}

void VCard::AddEntry(int id, const char* value) { AddEntry(new VCardEntry(id, value)); }

int VCard::GetNumEntries() const {
  int n = 0;
  for (const VCardEntry* e = firstEntry; e != nullptr; e = e->next) ++n;
  return n;
}

VCardEntry* VCard::GetNthEntry(int n) const {
  if (n < 0) return nullptr;
  VCardEntry* e = firstEntry;
  while (e != nullptr && n-- > 0) e = e->next;
  return e;
}

VCardEntry* VCard::GetEntry(int id) const {
  for (VCardEntry* e = firstEntry; e != nullptr; e = e->next) {
    if (e->id == id) return e;
  }
  return nullptr;
}

VCardEntry* VCard::GetEntry(int id, int subTypeValue) const {
  for (VCardEntry* e = firstEntry; e != nullptr; e = e->next) {
    if (e->id != id) continue;
    for (const VCardSubType* sub = e->firstSubType; sub != nullptr; sub = sub->next) {
      if (sub->value == subTypeValue) return e;
    }
  }
  return nullptr;
}

VCardEntry* VCard::GetEntry(const VCardEntry* pattern) const {
  if (pattern == nullptr) return nullptr;
  for (VCardEntry* e = firstEntry; e != nullptr; e = e->next) {
    if (MatchesPattern(e, pattern)) return e;
  }
  return nullptr;
}

int VCard::GetEntryOrder(const VCardEntry* pattern) const {
  if (pattern == nullptr) return -1;
  int position = 0;
  for (const VCardEntry* e = firstEntry; e != nullptr; e = e->next, ++position) {
    if (MatchesPattern(e, pattern)) return position;
  }
  return -1;
}

int VCard::GetEntryOrder(int id) const {
  int position = 0;
  for (const VCardEntry* e = firstEntry; e != nullptr; e = e->next, ++position) {
    if (e->id == id) return position;
  }
  return -1;
}

VCardEntry* VCard::FindSearchType(const char* label) const {
  if (label == nullptr || strcasecmp(label, "All") == 0) return nullptr;
  for (VCardEntry* e = firstEntry; e != nullptr; e = e->next) {
    if (e->IsPrintable() && e->value != nullptr && strcasecmp(e->value, label) == 0) return e;
  }
  return nullptr;
}

namespace {

VCardEntry* SearchField(const VCard* card, const ValList* words, const VCardEntry* pattern,
                        bool all) {
  VCardEntry* found = card->GetEntry(pattern);
  if (found != nullptr && found->value != nullptr && ContainsWords(found->value, words, all)) {
    return found;
  }
  return nullptr;
}

VCardEntry* SearchCard(const VCard* card, const ValList* words, const VCard* pattern, bool all) {
  if (pattern == nullptr) return nullptr;
  for (const VCardEntry* p = pattern->firstEntry; p != nullptr; p = p->next) {
    if (!p->IsPrintable() || p->value == nullptr) continue;
    if (VCardEntry* found = SearchField(card, words, p, all)) return found;
  }
  return nullptr;
}

}  // namespace

VCardEntry* VCard::SearchVCardOR(ValList* words, VCard* cardPattern) const {
  return SearchCard(this, words, cardPattern, false);
}

VCardEntry* VCard::SearchVCardAND(ValList* words, VCard* cardPattern) const {
  return SearchCard(this, words, cardPattern, true);
}

VCardEntry* VCard::SearchVCardOR(ValList* words, VCardEntry* fieldPattern) const {
  return SearchField(this, words, fieldPattern, false);
}

VCardEntry* VCard::SearchVCardAND(ValList* words, VCardEntry* fieldPattern) const {
  return SearchField(this, words, fieldPattern, true);
}

void VCard::Print(FILE* fp) const {
  fputs("BEGIN:vCard\n", fp);
  for (const VCardEntry* e = firstEntry; e != nullptr; e = e->next) e->Print(fp);
  fputs("END:vCard\n", fp);
}

char* VCard::Print(KvBoolean printableOnly) const {
  std::string text = "begin:vCard\n";
  for (const VCardEntry* e = firstEntry; e != nullptr; e = e->next) {
    if (printableOnly && !e->IsPrintable()) continue;
    std::unique_ptr<char, decltype(&free)> head(e->GetNameAndSubTypes(), &free);
    text += head.get();
    text += ':';
    if (e->value != nullptr) text += e->value;
    text += '\n';
  }
  text += "end:vCard";
  return strdup(text.c_str());
}

VCard* VCard::Copy() const {
  auto copy = std::make_unique<VCard>();
  VCardEntry** link = &copy->firstEntry;
  for (const VCardEntry* e = firstEntry; e != nullptr; e = e->next) {
    *link = e->Copy();
    link = &(*link)->next;
  }
  return copy.release();
}
