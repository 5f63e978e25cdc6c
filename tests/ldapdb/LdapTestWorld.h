// The world every LDAP test shares, made once per test program: a slapd
// loaded with the people of tests/data/ldapdb/people.csv, converted to LDAP
// form by the console program itself and added with ldapadd, plus two
// groups; a console installation tree in LDAP format pointing at it (its
// other back-end names lead to the console tests' stub directory); and the
// back end loaded with dlopen.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ConsoleTestTree.h"
#include "KvLdapDB.h"
#include "Slapd.h"
#include "TestSupport.h"
#include "dblib.h"

namespace ldaptest {

constexpr const char* kSuffix = "o=Kavri,c=US";

// The plug-in's entry points.
struct Plugin {
  KvCreateImpUserDBFn createUser;
  KvDestroyImpUserDBFn destroyUser;
  KvCreateImpGroupDBFn createGroup;
  KvDestroyImpGroupDBFn destroyGroup;
  KvLdapDBOpenWithFn openWith;
  KvLdapDBGroupOpenWithFn groupOpenWith;
  KvLdapDBSetPasswordFn setPassword;
};
const Plugin& ThePlugin();

struct World {
  Slapd server;
  std::unique_ptr<ConsoleTestTree> console;
  std::string conversionPage;  // the console's progress page of the conversion
};
World& TheWorld();

// Directory objects of the plug-in opened on a server (deleted with the
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
