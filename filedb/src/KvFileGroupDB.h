// The group directory of the file back end:
//   data/common/groups.lst        gid and group name (ValNameList)
//   data/common/groupmembers.lst  one gid and member uid pair per member
// Both are read under their shared locks.
#pragma once

#include <string>

#include "dblib.h"
#include "utillib.h"

class KvFileGroupDB : public GroupDB {
 public:
  KvFileGroupDB() = default;
  ~KvFileGroupDB() override = default;
  KvFileGroupDB(const KvFileGroupDB&) = delete;
  KvFileGroupDB& operator=(const KvFileGroupDB&) = delete;

  int Open(KvConfigDB* config, int threadKey) override;
  // Opens at an explicit top directory (tools and tests). 1 when open.
  int OpenAt(const char* topDir);

  char* GetGroupName(const char* gid) override;
  // The list holds VCard* group records; they are ordered by their FN
  // values (case-insensitive), records without a name last.
  void SortByValue(VoidList* groups) override;
  ValNameList* SortByValue(ValList* gids) override;
  ValList* GetMembers(const char* gid) override;
  ValNameList* GetGroups() override;

 private:
  std::string CommonPath(const char* name) const;
  std::string top_;
};
