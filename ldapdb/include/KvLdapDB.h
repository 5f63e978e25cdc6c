// The entry points of the LDAP directory back end (kvldapdblib_cgi.so),
// looked up by name with dlsym. Besides the four every back end exports
// (KvDBLoader.h), this library exports a few for its tests and for loading
// tools; they take directory objects created by this library and throw
// KvError* as the directory operations do.
#pragma once

class UserDB;
class GroupDB;

extern "C" {
// Opens a directory object of this library with explicit connection values
// instead of the configuration's: uri ("ldap://host:port/" or
// "ldapi://..."), the root DN and its password, the search base, and the
// installation's top directory (may be null: no file is then written).
// startTLS non-zero asks for StartTLS. 1 when open; a server that cannot be
// reached or refuses the root bind throws KvError* of kind
// kKvErrorUnreachable.
typedef int (*KvLdapDBOpenWithFn)(UserDB* db, const char* uri, const char* rootDN,
                                  const char* rootPasswd, const char* searchBase,
                                  const char* topDir, int startTLS);
typedef int (*KvLdapDBGroupOpenWithFn)(GroupDB* db, const char* uri,
                                       const char* rootDN, const char* rootPasswd,
                                       const char* searchBase, int startTLS);
// Sets a person's password with the server's password modify operation (the
// server hashes it).
typedef void (*KvLdapDBSetPasswordFn)(UserDB* db, const char* uid,
                                      const char* password);
}

#define KV_LDAPDB_OPEN_WITH "KvLdapDBOpenWith"
#define KV_LDAPDB_GROUP_OPEN_WITH "KvLdapDBGroupOpenWith"
#define KV_LDAPDB_SET_PASSWORD "KvLdapDBSetPassword"
