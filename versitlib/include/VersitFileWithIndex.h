// A versit data file opened together with its index file (UID to card
// offset, written by VersitFile::IndexFile or IndexFileOn): fetches and
// searches cards by UID, from the file or from the cards read in.
#pragma once

#include <unordered_map>

#include "VersitFile.h"
#include "utillib.h"

class VersitFileWithIndex : public VersitFile {
 public:
  VersitFileWithIndex();
  ~VersitFileWithIndex() override;

  // Open(path, raw); false when that fails. Otherwise reads the index file
  // (a missing index gives an empty index) and returns true. Throws what
  // reading the index throws.
  KvBoolean OpenWithIndex(const char* path, const char* indexPath,
                          KvBoolean raw);
  // Deletes the index, then as VersitFile::Close.
  KvBoolean Close() override;
  // Reads the card of every index item, in index order, into the chain owned
  // by this file. Does nothing when they were read in already. An item whose
  // offset leads to no card with its UID (a stale index) is skipped.
  void ReadInAllCards() override;

  // The offset stored for uid (atoi of the index value), or -1 when the UID
  // is not in the index.
  int GetVCardOffset(const char* uid) const;
  // A new card for uid (caller deletes), or null when the UID is not in the
  // index or its offset leads to no card with that UID (a stale index).
  VCard* GetVCard(const char* uid);

  // The next batch of cards that match words (VCard::SearchVCardAND against
  // fieldPattern when given, else against cardPattern), in index order,
  // starting at the item of the UID in *cursor, or at the first item when
  // *cursor is null. Each match adds one to *count; the walk stops at the
  // match that makes *count equal to max. *cursor is then set to the UID of
  // the next item (pointing into the index, valid until Close), else null.
  // Returns the first result card, chained through VCard::next; the caller
  // deletes every card of the chain. Items with a stale offset are skipped;
  // a cursor that names no index item gives no result and a null cursor.
  VCard* Search(ValList* words, int* count, int max, char** cursor,
                VCardEntry* fieldPattern, VCard* cardPattern);

  // The index, owned by this file; null when not open with an index.
  ValNameList* GetIndex() const { return index; }

 private:
  // Reads the card at the item's offset; null when the offset is stale.
  VCard* ReadCardOfItem(const ValNameListItem* item);
  void DeleteIndex();

  ValNameList* index;
  // After ReadInAllCards: the card read for each index item, owned through
  // the chain of VersitFile::cards.
  std::unordered_map<const ValNameListItem*, VCard*> cardOfItem;
};
