// The exported C entry points of the LDAP directory back end.
#include "KvLdapDB.h"
#include "KvLdapGroupDB.h"
#include "KvLdapUserDB.h"

namespace {

KvLdapUserDB* Own(UserDB* db) {
  KvLdapUserDB* mine = dynamic_cast<KvLdapUserDB*>(db);
  if (mine == nullptr) KV_THROW("Not a directory of the LDAP back end");
  return mine;
}

ldapdb::Settings SettingsOf(const char* uri, const char* rootDN, const char* rootPasswd,
                            const char* searchBase, int startTLS) {
  ldapdb::Settings s;
  s.uri = uri ? uri : "";
  s.rootDN = rootDN ? rootDN : "";
  s.rootPasswd = rootPasswd ? rootPasswd : "";
  s.base = searchBase ? searchBase : "";
  s.startTLS = startTLS != 0;
  return s;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) UserDB* KvCreateImpUserDB() {
  return new KvLdapUserDB();
}

__attribute__((visibility("default"))) void KvDestroyImpUserDB(UserDB* db) { delete db; }

__attribute__((visibility("default"))) GroupDB* KvCreateImpGroupDB() {
  return new KvLdapGroupDB();
}

__attribute__((visibility("default"))) void KvDestroyImpGroupDB(GroupDB* db) { delete db; }

__attribute__((visibility("default"))) int KvLdapDBOpenWith(UserDB* db, const char* uri,
                                                            const char* rootDN,
                                                            const char* rootPasswd,
                                                            const char* searchBase,
                                                            const char* topDir,
                                                            int startTLS) {
  return Own(db)->OpenWith(SettingsOf(uri, rootDN, rootPasswd, searchBase, startTLS),
                           topDir ? topDir : "");
}

__attribute__((visibility("default"))) int KvLdapDBGroupOpenWith(
    GroupDB* db, const char* uri, const char* rootDN, const char* rootPasswd,
    const char* searchBase, int startTLS) {
  KvLdapGroupDB* mine = dynamic_cast<KvLdapGroupDB*>(db);
  if (mine == nullptr) KV_THROW("Not a group directory of the LDAP back end");
  return mine->OpenWith(SettingsOf(uri, rootDN, rootPasswd, searchBase, startTLS));
}

__attribute__((visibility("default"))) void KvLdapDBSetPassword(UserDB* db, const char* uid,
                                                                const char* password) {
  Own(db)->SetPassword(uid, password);
}

}  // extern "C"
