// Versit data files opened with their UID index: fetching cards by UID and
// searching them in index order, from the file or from the cards read in.
#include "VersitFileWithIndex.h"

#include <strings.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

#include "CardChain.h"

VersitFileWithIndex::VersitFileWithIndex() : index(nullptr) {}

VersitFileWithIndex::~VersitFileWithIndex() { DeleteIndex(); }

void VersitFileWithIndex::DeleteIndex() {
  cardOfItem.clear();
  delete index;
  index = nullptr;
}

KvBoolean VersitFileWithIndex::OpenWithIndex(const char* path, const char* indexPath,
                                             KvBoolean raw) {
  DeleteIndex();
  if (!Open(path, raw)) return false;
  index = new ValNameList();
  if (indexPath != nullptr) index->Read(indexPath, true);
  return true;
}

KvBoolean VersitFileWithIndex::Close() {
  DeleteIndex();
  return VersitFile::Close();
}

// An index written for an older state of the data file may point anywhere:
// past the end, into the middle of a card, or at another person's card. Such
// an item yields no card rather than a wrong one or a misleading format error.
VCard* VersitFileWithIndex::ReadCardOfItem(const ValNameListItem* item) {
  if (item->value == nullptr || item->name == nullptr) return nullptr;
  errno = 0;
  char* end = nullptr;
  long offset = strtol(item->value, &end, 10);
  if (end == item->value || errno != 0 || offset < 0 || offset > INT_MAX) return nullptr;
  if (!PositionVCardFile(static_cast<int>(offset))) return nullptr;

  std::unique_ptr<VCard> card;
  try {
    card.reset(GetVCardFromFile());
  } catch (KvError* e) {
    std::unique_ptr<KvError> owned(e);
    if (e->GetKind() != kKvErrorParse) throw owned.release();
    return nullptr;
  }
  if (!card) return nullptr;
  const VCardEntry* uid = card->GetEntry(kVCardUID);
  if (uid == nullptr || uid->value == nullptr || strcasecmp(uid->value, item->name) != 0) {
    return nullptr;
  }
  return card.release();
}

void VersitFileWithIndex::ReadInAllCards() {
  if (cards != nullptr || index == nullptr) return;
  CardChain chain;
  std::unordered_map<const ValNameListItem*, VCard*> found;
  for (const ValNameListItem* item = index->first; item != nullptr; item = item->next) {
    VCard* card = ReadCardOfItem(item);
    if (card == nullptr) continue;
    chain.Append(card);
    found[item] = card;
  }
  cards = chain.Release();
  cardOfItem.swap(found);
}

int VersitFileWithIndex::GetVCardOffset(const char* uid) const {
  if (index == nullptr || uid == nullptr) return -1;
  const ValNameListItem* item = index->Lookup(uid);
  if (item == nullptr) return -1;
  return item->value ? atoi(item->value) : 0;
}

VCard* VersitFileWithIndex::GetVCard(const char* uid) {
  if (index == nullptr || uid == nullptr) return nullptr;
  const ValNameListItem* item = index->Lookup(uid);
  if (item == nullptr) return nullptr;
  if (cards != nullptr) {
    auto it = cardOfItem.find(item);
    return it == cardOfItem.end() ? nullptr : it->second->Copy();
  }
  return ReadCardOfItem(item);
}

VCard* VersitFileWithIndex::Search(ValList* words, int* count, int max, char** cursor,
                                   VCardEntry* fieldPattern, VCard* cardPattern) {
  int localCount = 0;
  if (count == nullptr) count = &localCount;
  char* startUid = cursor ? *cursor : nullptr;
  if (cursor) *cursor = nullptr;
  if (index == nullptr) return nullptr;

  // The cursor normally points into this index (handed out by the previous
  // batch); that item is taken as it is, so duplicate UIDs cannot send the
  // walk back to an earlier item. Any other text is looked up by name.
  const ValNameListItem* item = index->first;
  if (startUid != nullptr) {
    item = nullptr;
    for (const ValNameListItem* i = index->first; i != nullptr; i = i->next) {
      if (i->name == startUid) {
        item = i;
        break;
      }
    }
    if (item == nullptr) item = index->Lookup(startUid);
    if (item == nullptr) return nullptr;
  }

  const bool inMemory = cards != nullptr;
  CardChain chain;
  for (; item != nullptr; item = item->next) {
    std::unique_ptr<VCard> fromFile;
    VCard* card = nullptr;
    if (inMemory) {
      auto it = cardOfItem.find(item);
      if (it == cardOfItem.end()) continue;
      card = it->second;
    } else {
      fromFile.reset(ReadCardOfItem(item));
      card = fromFile.get();
      if (card == nullptr) continue;
    }
    const VCardEntry* hit = fieldPattern ? card->SearchVCardAND(words, fieldPattern)
                                         : card->SearchVCardAND(words, cardPattern);
    if (hit == nullptr || hit->value == nullptr) continue;
    chain.Append(inMemory ? card->Copy() : fromFile.release());
    ++*count;
    if (*count == max) {
      if (item->next != nullptr && cursor != nullptr) *cursor = item->next->name;
      break;
    }
  }
  return chain.Release();
}
