// One connection to the LDAP server over OpenLDAP's libldap, and the few
// operations the directories need: search, add, modify (value additions and
// deletions), password change, and binding as a person to check a password.
// Results come back as plain C++ values; failures are KvError*, of kind
// kKvErrorUnreachable when the server cannot be reached or refuses the root
// bind (the console then shows its LDAP set-up page).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

typedef struct ldap LDAP;
class KvConfigDB;

namespace ldapdb {

// Where and as whom to connect.
struct Settings {
  std::string uri;       // "ldap://host:port/", "ldaps://..." or "ldapi://..."
  std::string rootDN;
  std::string rootPasswd;
  std::string base;      // the search base: people, groups and our subtree
  bool startTLS = false;
};

// The URI of a configured server: a name that already is a URI ("ldap://",
// "ldaps://", "ldapi://") is used as it is; otherwise ldap://name:port/ (port
// 389 when port is not positive).
std::string UriOf(const std::string& server, int port);

// The settings the configuration names (server, port, root DN and password,
// search base, "ldapStartTLS"). Throws KvError* of kind kKvErrorUnreachable
// when the server or the search base is not configured.
Settings SettingsOf(KvConfigDB* config);

// RFC 4515 escaping of a value inside a search filter.
std::string FilterValue(const std::string& value);
// RFC 4514 escaping of an attribute value inside a DN.
std::string DNValue(const std::string& value);

// The value of the first component of dn whose attribute is attr (any
// case), or "" (also for a DN that does not parse).
std::string DNComponent(const std::string& dn, const char* attr);

// One entry of a search result; attribute names in lower case.
struct Entry {
  std::string dn;
  std::map<std::string, std::vector<std::string>> attrs;
  // The first value of attr (lower case), or "".
  std::string First(const std::string& attr) const;
  const std::vector<std::string>& All(const std::string& attr) const;
};

// One change of a modify: add, delete or replace the values of attr.
struct Change {
  enum Op { kAdd, kDelete, kReplace } op;
  std::string attr;
  std::vector<std::string> values;
};

class Session {
 public:
  Session() = default;
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Connects and binds as the root DN. Throws KvError* of kind
  // kKvErrorUnreachable on any failure.
  void Open(const Settings& settings);
  bool IsOpen() const { return ld_ != nullptr; }
  const Settings& settings() const { return settings_; }

  // Entries under base (scope: "base", "one" or "sub"), with the attributes
  // named (empty: all user attributes). A base that does not exist gives no
  // entries. At most limit entries when limit > 0.
  std::vector<Entry> Search(const std::string& base, const char* scope,
                            const std::string& filter,
                            const std::vector<std::string>& attrs, int limit = 0);
  // Adds an entry; false when it exists already.
  bool Add(const std::string& dn,
           const std::vector<std::pair<std::string, std::vector<std::string>>>& attrs);
  // Applies the changes in one modify. Adding a value that is there and
  // deleting one that is not are no faults (permissive modify), so that
  // concurrent changes of a list do not refuse each other. False when the
  // entry does not exist.
  bool Modify(const std::string& dn, const std::vector<Change>& changes);
  // Sets the entry's password through the password modify operation.
  void SetPassword(const std::string& dn, const std::string& password);

  // 1 when password binds as dn on a connection of its own, 0 when the
  // server refuses it. An empty password is refused without asking (an
  // empty simple bind would be an anonymous one).
  int CheckBind(const std::string& dn, const std::string& password);

 private:
  // Throws the KvError for result code rc of operation what on dn.
  [[noreturn]] void Fail(int rc, const std::string& what, const std::string& dn);

  Settings settings_;
  LDAP* ld_ = nullptr;
};

}  // namespace ldapdb
