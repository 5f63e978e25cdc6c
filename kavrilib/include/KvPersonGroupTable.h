// A two-column table whose rows pair a label with a list of people, groups
// or documents, the list laid out as an inner table of three columns.
// People and groups are named and sorted through the directory interface.
#pragma once

#include "KvTable.h"
class UserDB;
class GroupDB;

class KvPersonGroupTable : public KvTable {
 public:
  KvPersonGroupTable();
  ~KvPersonGroupTable() override;

  // In every operation the lists and the directories stay the caller's; a
  // null list counts as empty. A text label is shown in bold; without a
  // label the first cell of the row is empty. Label objects become owned by
  // the table.
  void AddCheckedDocuments(const char* name, ValList* docs, const char* label);
  void AddDocumentsNoIcons(ValList* docs, const char* label);
  void AddHyperlinkedDocuments(const char* param, ValList* docs,
                               const char* label, const char* base,
                               ValNameList* params);

  // The checked forms add a hidden "hack" input instead of an empty list,
  // so that the form still sends a variable.
  void AddCheckedPeople(const char* name, ValList* uids, const char* label,
                        UserDB* db);
  void AddCheckedPeople(const char* name, ValList* uids, HTMLObject* label,
                        UserDB* db, const char* onClick);
  void AddRadioButtonPeople(const char* name, ValList* uids,
                            const char* selected, const char* label,
                            UserDB* db);
  void AddPeople(ValList* uids, const char* label, UserDB* db,
                 KvBoolean linked);
  void AddPeople(ValList* uids, HTMLObject* label, UserDB* db,
                 KvBoolean linked);
  void AddPeopleNoIcons(ValList* uids, const char* label, UserDB* db);
  void AddPeopleNoIcons(ValList* uids, HTMLObject* label, UserDB* db);

  void AddGroups(ValList* gids, const char* label, GroupDB* db);
  void AddGroupsNoIcons(ValList* gids, const char* label, GroupDB* db);
  void AddGroupsNoIcons(ValList* gids, HTMLObject* label, GroupDB* db);
  void AddCheckedGroups(const char* name, ValList* gids, const char* label,
                        GroupDB* db);

 private:
  // Adds (label, list) as a row: AddHH below 4 items, else AddHTopH. Takes
  // ownership of both.
  void AddPair(HTMLObject* label, HTMLObject* list, int items);
};
