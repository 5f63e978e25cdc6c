// A business card: an ordered list of property lines (VCardEntry), with the
// lookups, searches and the two text forms the directory needs.
#pragma once

#include <cstdio>

#include "VCardEntry.h"
#include "utillib.h"

class VCard {
 public:
  VCard();
  // Deletes every entry; not the next card.
  ~VCard();
  VCard(const VCard&) = delete;
  VCard& operator=(const VCard&) = delete;

  // Appends; the card takes ownership of the entry.
  void AddEntry(VCardEntry* entry);
  // Creates an entry (value copied, may be null) and appends it.
  void AddEntry(int id, const char* value);

  int GetNumEntries() const;
  // The entry at 0-based position n, or null. Entries returned by the lookups
  // belong to the card.
  VCardEntry* GetNthEntry(int n) const;
  // The first entry with that id, or null.
  VCardEntry* GetEntry(int id) const;
  // The first entry with that id having a parameter of that value (of any
  // kind), or null.
  VCardEntry* GetEntry(int id, int subTypeValue) const;
  // The first entry with the pattern's id whose parameter values equal the
  // pattern's position by position (same count; kinds and the entry values
  // are not compared), or null.
  VCardEntry* GetEntry(const VCardEntry* pattern) const;
  // 0-based position of the first entry matching as above, or -1.
  int GetEntryOrder(const VCardEntry* pattern) const;
  int GetEntryOrder(int id) const;

  // Null when label is "All" (any case) or null; else the first printable
  // entry whose value equals label without regard to case, or null.
  VCardEntry* FindSearchType(const char* label) const;

  // Searches. For each printable entry with a value of cardPattern, in
  // order (the pattern values only select fields), or for the one entry
  // fieldPattern: the matching entry of this card (GetEntry(pattern)) is
  // returned when it has a value that contains at least one (OR) or every
  // (AND) word of words, compared without regard to case. An AND search with
  // no words matches any field that has a value. Items of words without a
  // text are ignored. Null when no field qualifies.
  VCardEntry* SearchVCardOR(ValList* words, VCard* cardPattern) const;
  VCardEntry* SearchVCardAND(ValList* words, VCard* cardPattern) const;
  VCardEntry* SearchVCardOR(ValList* words, VCardEntry* fieldPattern) const;
  VCardEntry* SearchVCardAND(ValList* words, VCardEntry* fieldPattern) const;

  // Writes "BEGIN:vCard\n", every entry's line, "END:vCard\n". Throws
  // KvError* as VCardEntry::Print; lines before the bad entry stay written.
  void Print(FILE* fp) const;
  // "begin:vCard\n", one "name;params:value\n" per entry (printable entries
  // only when printableOnly is true), then "end:vCard" without a newline.
  // Caller frees with free(). Throws as VCardEntry::GetNameAndSubTypes.
  char* Print(KvBoolean printableOnly) const;

  // A new card (caller deletes) with copies of all entries in order; the
  // next link is not copied.
  VCard* Copy() const;

  VCardEntry* firstEntry;  // owned list, in order
  // Chains cards into lists (cards of a file, search results). Not owned:
  // whoever holds a chain deletes it card by card.
  VCard* next;
};
