// The operations of the user directory interface that have a body of their
// own; back ends override them where they know better.
#include "UserDB.h"

#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "KvConfigInternal.h"

UserDB::~UserDB() = default;

int UserDB::Connect(KvConfigDB*) { return 1; }

void UserDB::ReadDBFiles(KvConfigDB*) {}

KvBoolean UserDB::CheckIfColdStart() {
  if (!KvCheckIfFile(kKvSetupPath)) return true;
  ValNameList setup;
  {
    std::string lockPath = std::string(kKvSetupPath) + ".lck";
    KvLockGuard guard(lockPath.c_str(), kKvLockShared);
    setup.Read(kKvSetupPath, true);
    guard.Release();
  }
  ValNameListItem* status = setup.Lookup("status");
  return !(status && status->value && strcasecmp(status->value, "done") == 0);
}

char* UserDB::GetRole(VCard* card) {
  VCardEntry* entry = card ? card->GetEntry(kVCardRole) : nullptr;
  return entry ? entry->GetValue() : nullptr;
}

char* UserDB::GetIndirectReport(VCard* card) {
  VCardEntry* entry =
      card ? card->GetEntry(kVCardKavriUID, kTypeIndirectMgr) : nullptr;
  return entry ? entry->GetValue() : nullptr;
}

ValNameList* UserDB::SortByValue(ValList* uids) {
  ValNameList pairs;
  for (ValListItem* item = uids ? uids->GetFirst() : nullptr; item;
       item = item->next) {
    if (!item->value) continue;
    char* name = GetDisplayName(item->value);
    pairs.Append(item->value, name);
    free(name);
  }
  return pairs.SortListByAscendingValue();
}

void UserDB::SortByValue(VoidList* cards) {
  if (!cards) return;
  struct Keyed {
    void* card;
    char* name;
  };
  std::vector<Keyed> keyed;
  for (VoidItem* item = cards->GetFirst(); item; item = item->next) {
    VCard* card = static_cast<VCard*>(item->data);
    VCardEntry* fn = card ? card->GetEntry(kVCardFN) : nullptr;
    keyed.push_back({item->data, fn ? fn->GetValue() : nullptr});
  }
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const Keyed& a, const Keyed& b) {
                     return strcasecmp(a.name ? a.name : "",
                                       b.name ? b.name : "") < 0;
                   });
  VoidItem* item = cards->GetFirst();
  for (Keyed& k : keyed) {
    item->data = k.card;
    item = item->next;
    free(k.name);
  }
}

void UserDB::WarmUpCaches(KvBoolean) {}

char* UserDB::GetTableKey(const char*) { return nullptr; }

ValNameList* UserDB::SearchPeople(const char*, int) { return nullptr; }
