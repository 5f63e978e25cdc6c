// The world every LDAP test shares, made once per test program: a real slapd
// loaded with tests/data/ldapdb/people.csv (converted to LDAP by the console
// itself) and two groups; a console tree in LDAP format pointing at it.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <memory>
#include <string>

#include "ConsoleTestTree.h"
#include "KvLdapDB.h"
#include "TestSupport.h"
#include "UserDBChecks.h"
#include "dblib.h"

namespace ldaptest {

using namespace testsupport;

constexpr const char* kSuffix = "o=Kavri,c=US";

// slapd for kSuffix, stopped and removed with the object.
class Slapd {
 public:
  static constexpr const char* kRootPasswd = "secret";

  Slapd() = default;
  ~Slapd();
  Slapd(const Slapd&) = delete;
  Slapd& operator=(const Slapd&) = delete;

  // False, with the reason on standard error, when it does not answer
  // within a few seconds.
  bool Start();

  // Runs an LDAP client tool (ldapadd, ldapmodify, ldapsearch) as the root
  // with the LDIF text on standard input. The exit status; the output in
  // *out when given.
  int Tool(const char* tool, const std::string& ldif, const std::string& args = "",
           std::string* out = nullptr) const;

  const std::string& uri() const { return uri_; }
  std::string rootDN() const { return std::string("cn=admin,") + kSuffix; }
  int port() const { return port_; }

 private:
  TempTree dir_;
  std::string uri_;
  int port_ = 0;
  pid_t pid_ = -1;
};

// A loopback TCP port nothing listens on at the moment.
int FreePort();

#define LDAPDB_FN(type, member, symbol) type member = PluginFn<type>(KVLDAPDB_PLUGIN, symbol)
// The plug-in's entry points.
struct Plugin {
  LDAPDB_FN(KvCreateImpUserDBFn, createUser, "KvCreateImpUserDB");
  LDAPDB_FN(KvDestroyImpUserDBFn, destroyUser, "KvDestroyImpUserDB");
  LDAPDB_FN(KvCreateImpGroupDBFn, createGroup, "KvCreateImpGroupDB");
  LDAPDB_FN(KvDestroyImpGroupDBFn, destroyGroup, "KvDestroyImpGroupDB");
  LDAPDB_FN(KvLdapDBOpenWithFn, openWith, KV_LDAPDB_OPEN_WITH);
  LDAPDB_FN(KvLdapDBGroupOpenWithFn, groupOpenWith, KV_LDAPDB_GROUP_OPEN_WITH);
  LDAPDB_FN(KvLdapDBSetPasswordFn, setPassword, KV_LDAPDB_SET_PASSWORD);
};
#undef LDAPDB_FN
const Plugin& ThePlugin();

struct World {
  Slapd server;
  std::unique_ptr<ConsoleTestTree> console;
  std::string conversionPage;  // the console's progress page of the conversion
};
World& TheWorld();

// A user directory of the plug-in opened on a server (deleted with the
// holder).
struct UserDBHolder {
  explicit UserDBHolder(const Slapd& server, const std::string& top = "");
  ~UserDBHolder() { ThePlugin().destroyUser(db); }
  UserDBHolder(const UserDBHolder&) = delete;
  UserDBHolder& operator=(const UserDBHolder&) = delete;
  UserDB* operator->() const { return db; }
  UserDB* db;
};

// The configuration pairs of the console tree for a server on the
// loopback port.
ConsoleTestTree::Pairs LdapConfig(int port);

}  // namespace ldaptest
