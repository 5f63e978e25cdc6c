// A real OpenLDAP server for the tests: slapd with an mdb database for one
// suffix in a temporary folder, listening on a free loopback port, stopped
// and removed with the object. A server may provide replication (syncprov)
// or replicate another one (syncrepl).
#pragma once

#include <sys/types.h>

#include <string>

namespace ldaptest {

class Slapd {
 public:
  static constexpr const char* kRootPasswd = "secret";

  Slapd() = default;
  // Stops the server and removes its folder.
  ~Slapd();
  Slapd(const Slapd&) = delete;
  Slapd& operator=(const Slapd&) = delete;

  // Starts the server for suffix; with a provider URI it replicates that
  // server (same suffix and root). False, with the reason on standard
  // error, when it does not answer within a few seconds.
  bool Start(const std::string& suffix, const std::string& providerUri = "");
  // Stops the server (SIGTERM, then waits); the folder stays until the
  // object goes.
  void Stop();

  // Runs an LDAP client tool (ldapadd, ldapmodify, ldapsearch) as the root
  // against this server with the LDIF text on standard input. The exit
  // status; the output in *out when given.
  int Tool(const char* tool, const std::string& ldif, const std::string& args = "",
           std::string* out = nullptr) const;

  const std::string& uri() const { return uri_; }
  const std::string& suffix() const { return suffix_; }
  std::string rootDN() const { return "cn=admin," + suffix_; }
  int port() const { return port_; }

 private:
  std::string dir_;
  std::string uri_;
  std::string suffix_;
  int port_ = 0;
  pid_t pid_ = -1;
};

// A loopback TCP port nothing listens on at the moment.
int FreePort();

}  // namespace ldaptest
