// The group directory as the program sees it: an abstract interface that a
// back-end library implements and the loader of KvDBLoader.h creates at run
// time. Groups are named by gid. Ownership as for UserDB: texts returned as
// char* are new heap copies the caller frees with free(); returned lists are
// new objects the caller deletes.
#pragma once

#include "utillib.h"

class KvConfigDB;

class GroupDB {
 public:
  virtual ~GroupDB();

  // Opens the directory with the configuration (which must outlive this
  // object) and the application's thread key. 1 when open.
  virtual int Open(KvConfigDB* config, int threadKey) = 0;
  // The display name of a group, or null when there is none.
  virtual char* GetGroupName(const char* gid) = 0;
  // Reorders a list of group records in place by name.
  virtual void SortByValue(VoidList* groups) = 0;
  // New list of (gid, group name) sorted by group name (case-insensitive).
  virtual ValNameList* SortByValue(ValList* gids) = 0;
  // The uids of the group's members.
  virtual ValList* GetMembers(const char* gid) = 0;
  // Every group as (gid, group name), sorted by name (case-insensitive); the
  // base knows none and returns an empty list.
  virtual ValNameList* GetGroups();
};

// Reorders a list of group records (VCard*, the group's name in FN) in place
// by name, case-insensitive and stable; records without a name go last. For
// the back ends' SortByValue(VoidList*).
void KvSortGroupRecordsByName(VoidList* groups);
