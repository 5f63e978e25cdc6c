// The group directory interface: the destructor, a group list for back
// ends that cannot list their groups, and the sort of group records.
#include "GroupDB.h"

#include <strings.h>

#include <algorithm>
#include <vector>

#include "versitlib.h"

GroupDB::~GroupDB() = default;

ValNameList* GroupDB::GetGroups() { return new ValNameList(); }

void KvSortGroupRecordsByName(VoidList* groups) {
  if (groups == nullptr) return;
  auto nameOf = [](void* record) -> const char* {
    VCard* card = static_cast<VCard*>(record);
    VCardEntry* fn = card ? card->GetEntry(kVCardFN) : nullptr;
    return fn ? fn->value : nullptr;
  };
  std::vector<void*> records;
  for (VoidItem* item = groups->GetFirst(); item; item = item->next) records.push_back(item->data);
  std::stable_sort(records.begin(), records.end(), [&](void* a, void* b) {
    const char* na = nameOf(a);
    const char* nb = nameOf(b);
    if (na == nullptr || nb == nullptr) return na != nullptr && nb == nullptr;
    return strcasecmp(na, nb) < 0;
  });
  size_t i = 0;
  for (VoidItem* item = groups->GetFirst(); item; item = item->next) item->data = records[i++];
}
