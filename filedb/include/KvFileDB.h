// The entry points of the file directory back end (kvfiledblib_cgi.so),
// looked up by name with dlsym. Besides the four every back end exports
// (KvDBLoader.h), this library exports a few for its own tool and tests; they
// take directory objects created by this library and throw KvError* as the
// directory operations do.
#pragma once

class UserDB;
class GroupDB;

extern "C" {
// Open a directory object of this library at an explicit installation top
// directory instead of the configuration's. 1 when open.
typedef int (*KvFileDBOpenAtFn)(UserDB* db, const char* topDir);
typedef int (*KvFileDBGroupOpenAtFn)(GroupDB* db, const char* topDir);
// Sets a person's password (stored as an Argon2id hash).
typedef void (*KvFileDBSetPasswordFn)(UserDB* db, const char* uid,
                                      const char* password);
// Adds or removes one directory administrator under the list's lock; 1 when
// the list changed, 0 when it already was so.
typedef int (*KvFileDBChangeAdminFn)(UserDB* db, const char* uid);
// Creates the missing login accounts; returns how many were made.
typedef int (*KvFileDBGenerateAccountsFn)(UserDB* db);
// Removes one account (and its generated password); 1 when there was one.
typedef int (*KvFileDBRemoveAccountFn)(UserDB* db, const char* uid);
// Removes the accounts of people no longer in the directory; how many.
typedef int (*KvFileDBPruneAccountsFn)(UserDB* db);
// A person's e-mail address, or null; the caller frees it with free().
typedef char* (*KvFileDBGetEmailFn)(UserDB* db, const char* uid);
}

// The names to look up.
#define KV_FILEDB_OPEN_AT "KvFileDBOpenAt"
#define KV_FILEDB_GROUP_OPEN_AT "KvFileDBGroupOpenAt"
#define KV_FILEDB_SET_PASSWORD "KvFileDBSetPassword"
#define KV_FILEDB_ADD_ADMIN "KvFileDBAddAdmin"
#define KV_FILEDB_REMOVE_ADMIN "KvFileDBRemoveAdmin"
#define KV_FILEDB_GENERATE_ACCOUNTS "KvFileDBGenerateAccounts"
#define KV_FILEDB_GET_EMAIL "KvFileDBGetEmail"
#define KV_FILEDB_REMOVE_ACCOUNT "KvFileDBRemoveAccount"
#define KV_FILEDB_PRUNE_ACCOUNTS "KvFileDBPruneAccounts"
