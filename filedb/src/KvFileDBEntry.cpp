// The exported C entry points of the file directory back end.
#include "KvFileDB.h"
#include "KvFileGroupDB.h"
#include "KvFileUserDB.h"

namespace {

KvFileUserDB* Own(UserDB* db) {
  KvFileUserDB* mine = dynamic_cast<KvFileUserDB*>(db);
  if (mine == nullptr) KV_THROW("Not a directory of the file back end");
  return mine;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) UserDB* KvCreateImpUserDB() {
  return new KvFileUserDB();
}

__attribute__((visibility("default"))) void KvDestroyImpUserDB(UserDB* db) {
  delete db;
}

__attribute__((visibility("default"))) GroupDB* KvCreateImpGroupDB() {
  return new KvFileGroupDB();
}

__attribute__((visibility("default"))) void KvDestroyImpGroupDB(GroupDB* db) {
  delete db;
}

__attribute__((visibility("default"))) int KvFileDBOpenAt(UserDB* db,
                                                          const char* topDir) {
  return Own(db)->OpenAt(topDir);
}

__attribute__((visibility("default"))) int KvFileDBGroupOpenAt(GroupDB* db,
                                                               const char* topDir) {
  KvFileGroupDB* mine = dynamic_cast<KvFileGroupDB*>(db);
  if (mine == nullptr) KV_THROW("Not a group directory of the file back end");
  return mine->OpenAt(topDir);
}

__attribute__((visibility("default"))) void KvFileDBSetPassword(UserDB* db,
                                                                const char* uid,
                                                                const char* password) {
  Own(db)->SetPassword(uid, password);
}

__attribute__((visibility("default"))) int KvFileDBAddAdmin(UserDB* db, const char* uid) {
  return Own(db)->AddDirAdmin(uid) ? 1 : 0;
}

__attribute__((visibility("default"))) int KvFileDBRemoveAdmin(UserDB* db,
                                                               const char* uid) {
  return Own(db)->RemoveDirAdmin(uid) ? 1 : 0;
}

__attribute__((visibility("default"))) int KvFileDBGenerateAccounts(UserDB* db) {
  return Own(db)->GenerateAccountsCounted();
}

__attribute__((visibility("default"))) char* KvFileDBGetEmail(UserDB* db,
                                                              const char* uid) {
  return Own(db)->GetEmail(uid);
}

__attribute__((visibility("default"))) int KvFileDBRemoveAccount(UserDB* db,
                                                                 const char* uid) {
  return Own(db)->RemoveAccount(uid) ? 1 : 0;
}

__attribute__((visibility("default"))) int KvFileDBPruneAccounts(UserDB* db) {
  return Own(db)->PruneAccounts();
}

}  // extern "C"
