// The group directory of the LDAP back end: groupOfNames entries under the
// search base. A group's id is its cn, its name the first description value
// (else the cn); its members are the uids of the entries its member values
// name.
#pragma once

#include <string>

#include "LdapSession.h"
#include "dblib.h"
#include "utillib.h"

class KvLdapGroupDB : public GroupDB {
 public:
  KvLdapGroupDB() = default;
  ~KvLdapGroupDB() override = default;
  KvLdapGroupDB(const KvLdapGroupDB&) = delete;
  KvLdapGroupDB& operator=(const KvLdapGroupDB&) = delete;

  int Open(KvConfigDB* config, int threadKey) override;
  int OpenWith(const ldapdb::Settings& settings);

  char* GetGroupName(const char* gid) override;
  // The list holds VCard* group records; they are ordered by their FN
  // values (case-insensitive), records without a name last.
  void SortByValue(VoidList* groups) override;
  ValNameList* SortByValue(ValList* gids) override;
  ValList* GetMembers(const char* gid) override;

 private:
  std::vector<ldapdb::Entry> FindGroup(const char* gid, const std::vector<std::string>& attrs);
  ldapdb::Session session_;
};
