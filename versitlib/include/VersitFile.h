// A text file of vCards, one after another, each between a BEGIN and an END
// line. Reads the cards one at a time from the current position or all at
// once into memory, and writes index files that map each person's UID to the
// byte offset of the person's card.
#pragma once

#include <cstdint>
#include <cstdio>

#include "CallbackProgress.h"
#include "VCard.h"
#include "utillib.h"

class VersitFile {
 public:
  // Line counter at its starting value, no cards, no stream.
  VersitFile();
  // Deletes the cards read in and closes a stream still open.
  virtual ~VersitFile();
  VersitFile(const VersitFile&) = delete;
  VersitFile& operator=(const VersitFile&) = delete;

  // Opens path for reading; with raw false, ADR and ORG values are turned
  // into their one-line readable forms as they are read. Closes what was
  // open before and restarts the line counter. True when the file opened.
  virtual KvBoolean Open(const char* path, KvBoolean raw);
  // Opens path for writing, truncating it; cards are then written by the
  // caller with VCard::Print(FILE*) on GetStream(). True when it opened.
  virtual KvBoolean OpenForWriting(const char* path);
  // Deletes the cards read in and closes the stream. False only when closing
  // the stream fails; true also when nothing was open.
  virtual KvBoolean Close();
  // Rewinds and reads every card into the chain owned by this file (see
  // GetCards). Does nothing when the cards were read in already. Throws as
  // GetVCardFromFile.
  virtual void ReadInAllCards();

  // Reads the next card from the current position. Returns a new card
  // (caller deletes) or null at the end of the file. Throws KvError*; format
  // errors have kind kKvErrorParse and user lines beginning with
  // "Error reading versit card at line number <n>". A file that ends after a
  // BEGIN line but before its END line is such an error too.
  VCard* GetVCardFromFile();
  // Reads the next card as GetVCardFromFile does, with the same errors and
  // line numbers, but the card holds only the entries whose property id is
  // listed in keep (ended by -1); the other lines are checked, not stored.
  // For indexing, which needs a few values of each card. When consumed is
  // given, the number of bytes read is added to it (so that the offsets of
  // the cards need not be asked of the system).
  VCard* ScanVCardFromFile(const int* keep, long* consumed = nullptr);

  // Among the cards read in, the first whose first entry with property id
  // has a value equal to value (any case); null if none. Owned by this file.
  VCard* FindCardFromList(const char* value, int id) const;

  // Moves to the absolute byte position offset. True when the seek worked.
  KvBoolean PositionVCardFile(int offset);
  // The current byte position of the stream, -1 when none is open.
  long GetVCardFileOffset() const;

  // Counts one line: the counter runs 1, 2, ... and wraps to 1.
  void IncrementLineNumber();
  // The number of non-blank lines read since Open; UINT32_MAX before the
  // first.
  uint32_t GetLineNumber() const { return lineNumber; }

  // Writes an index of the file's cards in file order to indexPath as a
  // ValNameList file: name = the card's UID, value = the decimal offset at
  // which its card starts. Calls callback (may be null) with the count and
  // " records processed" every 350 cards and once at the end. A card without
  // a UID value is left out of the index; the skipped cards are reported
  // once, before the final count, as a record of count -1 whose message list
  // holds one text per card. Throws as GetVCardFromFile and when the index
  // cannot be written; nothing is written then.
  void IndexFile(const char* indexPath, VersitProgressCallback callback,
                 void* cookie);
  // As IndexFile, but the items are ordered by the value of each card's
  // first entry with property id (ascending without regard to case; among
  // equal keys the card read later comes first; a card without that value
  // counts as the empty key). A card without a UID entry, or with an empty
  // one, throws a kKvErrorParse error and nothing is written.
  void IndexFileOn(const char* indexPath, int id,
                   VersitProgressCallback callback, void* cookie);

  // The open stream or null; owned by this file.
  FILE* GetStream() const { return stream; }
  KvBoolean IsRaw() const { return raw; }
  // The head of the chain of cards read in (linked through VCard::next);
  // owned by this file, valid until Close.
  VCard* GetCards() const { return cards; }

 protected:
  // Deletes the chain of cards read in.
  void DeleteCards();

  KvBoolean raw;
  uint32_t lineNumber;
  VCard* cards;
  FILE* stream;

 private:
  struct ScanState;
  void DropReadAhead();
  ScanState* scan = nullptr;
};
