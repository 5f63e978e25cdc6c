// The LDAP back end's group directory.
#include "KvLdapGroupDB.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "versitlib.h"

using ldapdb::Entry;

namespace {

std::string NameOf(const Entry& group) {
  std::string name = group.First("description");
  return name.empty() ? group.First("cn") : name;
}

}  // namespace

int KvLdapGroupDB::Open(KvConfigDB* config, int /*threadKey*/) {
  if (config == nullptr) return 0;
  ldapdb::Settings s = ldapdb::SettingsOf(config);
  return OpenWith(s);
}

int KvLdapGroupDB::OpenWith(const ldapdb::Settings& settings) {
  session_.Open(settings);
  return 1;
}

std::vector<Entry> KvLdapGroupDB::FindGroup(const char* gid,
                                            const std::vector<std::string>& attrs) {
  if (!session_.IsOpen()) KV_THROW("The LDAP group directory is not open");
  return session_.Search(session_.settings().base, "sub",
                         "(&(objectClass=groupOfNames)(cn=" + ldapdb::FilterValue(gid) + "))",
                         attrs, 1);
}

char* KvLdapGroupDB::GetGroupName(const char* gid) {
  if (gid == nullptr) return nullptr;
  std::vector<Entry> group = FindGroup(gid, {"cn", "description"});
  if (group.empty()) return nullptr;
  return strdup(NameOf(group.front()).c_str());
}

void KvLdapGroupDB::SortByValue(VoidList* groups) { KvSortGroupRecordsByName(groups); }

ValNameList* KvLdapGroupDB::SortByValue(ValList* gids) {
  ValNameList pairs;
  if (gids != nullptr) {
    for (ValListItem* item = gids->GetFirst(); item; item = item->next) {
      if (item->value == nullptr) continue;
      std::vector<Entry> group = FindGroup(item->value, {"cn", "description"});
      std::string name = group.empty() ? item->value : NameOf(group.front());
      pairs.Append(item->value, name.c_str());
    }
  }
  return pairs.SortListByAscendingValue();
}

ValList* KvLdapGroupDB::GetMembers(const char* gid) {
  std::unique_ptr<ValList> members(new ValList());
  if (gid == nullptr) return members.release();
  std::vector<Entry> group = FindGroup(gid, {"member"});
  if (group.empty()) return members.release();
  for (const std::string& dn : group.front().All("member")) {
    std::vector<Entry> person = session_.Search(dn, "base", "(objectClass=*)", {"uid"});
    if (!person.empty() && !person.front().First("uid").empty()) {
      members->AppendWithDupCheck(person.front().First("uid").c_str());
    }
  }
  return members.release();
}
