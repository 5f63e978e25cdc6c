// The file back end's group directory.
#include "KvFileGroupDB.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "ListFile.h"
#include "versitlib.h"

namespace {

const char kGroupsFile[] = "groups.lst";
const char kMembersFile[] = "groupmembers.lst";

}  // namespace

int KvFileGroupDB::Open(KvConfigDB* config, int /*threadKey*/) {
  if (config == nullptr) return 0;
  try {
    return OpenAt(config->GetTopKavriDir());
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Unable to open the file group directory");
    throw;
  }
}

int KvFileGroupDB::OpenAt(const char* topDir) {
  if (topDir == nullptr || *topDir == '\0') return 0;
  top_ = topDir;
  while (top_.size() > 1 && top_.back() == '/') top_.pop_back();
  return 1;
}

std::string KvFileGroupDB::CommonPath(const char* name) const {
  if (top_.empty()) KV_THROW("The file group directory is not open");
  return top_ + "/data/common/" + name;
}

char* KvFileGroupDB::GetGroupName(const char* gid) {
  if (gid == nullptr) return nullptr;
  std::unique_ptr<ValNameList> groups = filedb::ReadValNameListFile(CommonPath(kGroupsFile));
  ValNameListItem* item = groups->Lookup(gid);
  if (item == nullptr || item->value == nullptr) return nullptr;
  return strdup(item->value);
}

void KvFileGroupDB::SortByValue(VoidList* groups) { KvSortGroupRecordsByName(groups); }

ValNameList* KvFileGroupDB::SortByValue(ValList* gids) {
  ValNameList pairs;
  if (gids != nullptr) {
    std::unique_ptr<ValNameList> groups =
        filedb::ReadValNameListFile(CommonPath(kGroupsFile));
    for (ValListItem* item = gids->GetFirst(); item; item = item->next) {
      if (item->value == nullptr) continue;
      ValNameListItem* group = groups->Lookup(item->value);
      const char* name = group && group->value ? group->value : item->value;
      pairs.Append(item->value, name);
    }
  }
  return pairs.SortListByAscendingValue();
}

ValList* KvFileGroupDB::GetMembers(const char* gid) {
  std::unique_ptr<ValList> members(new ValList());
  if (gid == nullptr) return members.release();
  std::unique_ptr<ValNameList> all = filedb::ReadValNameListFile(CommonPath(kMembersFile));
  for (ValNameListItem* item = all->GetFirst(); item; item = item->next) {
    if (item->name != nullptr && item->value != nullptr &&
        strcasecmp(item->name, gid) == 0) {
      members->AppendWithDupCheck(item->value);
    }
  }
  return members.release();
}

ValNameList* KvFileGroupDB::GetGroups() {
  std::unique_ptr<ValNameList> groups = filedb::ReadValNameListFile(CommonPath(kGroupsFile));
  ValNameList pairs;
  for (ValNameListItem* item = groups->GetFirst(); item; item = item->next) {
    if (item->name == nullptr || *item->name == '\0') continue;
    pairs.Append(item->name, item->value && *item->value ? item->value : item->name);
  }
  return pairs.SortListByAscendingValue();
}
