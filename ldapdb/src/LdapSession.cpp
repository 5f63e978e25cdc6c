// The LDAP connection of the directories, over libldap's synchronous calls.
#include "LdapSession.h"

#include <ldap.h>
#include <strings.h>

#include <cstring>

#include "KvConfigDB.h"
#include "utillib.h"

namespace ldapdb {
namespace {

// How long a request waits for an unreachable or silent server: a CGI
// process must not hang.
const int kNetworkTimeoutSeconds = 5;
const int kOperationTimeoutSeconds = 20;
const char kPermissiveModify[] = "1.2.840.113556.1.4.1413";

const std::vector<std::string> kNoValues;

// Result codes that mean the server is out of reach rather than the request
// wrong.
bool IsUnreachable(int rc) {
  return rc == LDAP_SERVER_DOWN || rc == LDAP_CONNECT_ERROR || rc == LDAP_TIMEOUT ||
         rc == LDAP_UNAVAILABLE || rc == LDAP_BUSY;
}

[[noreturn]] void Throw(int line, const std::string& message, bool unreachable) {
  KvError* e = new KvError();
  if (unreachable) e->SetKind(kKvErrorUnreachable);
  e->AddLine(line, KvSourceName(__FILE__), message.c_str(), unreachable ? 1 : 0);
  throw e;
}

std::string Diagnostic(LDAP* ld) {
  char* text = nullptr;
  if (ld == nullptr || ldap_get_option(ld, LDAP_OPT_DIAGNOSTIC_MESSAGE, &text) != 0 ||
      text == nullptr) {
    return "";
  }
  std::string out = text;
  ldap_memfree(text);
  return out;
}

void SetTimeouts(LDAP* ld) {
  int version = LDAP_VERSION3;
  ldap_set_option(ld, LDAP_OPT_PROTOCOL_VERSION, &version);
  struct timeval network = {kNetworkTimeoutSeconds, 0};
  ldap_set_option(ld, LDAP_OPT_NETWORK_TIMEOUT, &network);
  struct timeval operation = {kOperationTimeoutSeconds, 0};
  ldap_set_option(ld, LDAP_OPT_TIMEOUT, &operation);
  ldap_set_option(ld, LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
}

// Connects (and starts TLS when asked) and binds simply as dn. The LDAP
// result code; *out holds the handle (to be unbound) whatever the result.
int Connect(const Settings& s, const std::string& dn, const std::string& password,
            LDAP** out) {
  *out = nullptr;
  int rc = ldap_initialize(out, s.uri.c_str());
  if (rc != LDAP_SUCCESS) return rc;
  SetTimeouts(*out);
  if (s.startTLS) {
    rc = ldap_start_tls_s(*out, nullptr, nullptr);
    if (rc != LDAP_SUCCESS) return rc;
  }
  struct berval cred;
  cred.bv_val = const_cast<char*>(password.c_str());
  cred.bv_len = password.size();
  return ldap_sasl_bind_s(*out, dn.c_str(), LDAP_SASL_SIMPLE, &cred, nullptr, nullptr,
                          nullptr);
}

struct Unbinder {
  void operator()(LDAP* ld) const {
    if (ld) ldap_unbind_ext_s(ld, nullptr, nullptr);
  }
};
using LdapPtr = std::unique_ptr<LDAP, Unbinder>;

struct MessageFree {
  void operator()(LDAPMessage* m) const { ldap_msgfree(m); }
};

// Owns the LDAPMod array of an add or a modify.
class ModList {
 public:
  void Push(int op, const std::string& attr, const std::vector<std::string>& values) {
    mods_.emplace_back(new Mod(op, attr, values));
  }
  LDAPMod** Get() {
    pointers_.clear();
    for (auto& m : mods_) pointers_.push_back(&m->mod);
    pointers_.push_back(nullptr);
    return pointers_.data();
  }

 private:
  struct Mod {
    Mod(int op, const std::string& attr, const std::vector<std::string>& values)
        : type(attr), data(values) {
      for (std::string& v : data) {
        berval bv;
        bv.bv_val = &v[0];
        bv.bv_len = v.size();
        vals.push_back(bv);
      }
      for (berval& bv : vals) ptrs.push_back(&bv);
      ptrs.push_back(nullptr);
      mod.mod_op = op | LDAP_MOD_BVALUES;
      mod.mod_type = &type[0];
      mod.mod_bvalues = ptrs.data();
    }
    std::string type;
    std::vector<std::string> data;
    std::vector<berval> vals;
    std::vector<berval*> ptrs;
    LDAPMod mod;
  };
  std::vector<std::unique_ptr<Mod>> mods_;
  std::vector<LDAPMod*> pointers_;
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::string UriOf(const std::string& server, int port) {
  static const char* const kSchemes[] = {"ldap://", "ldaps://", "ldapi://", nullptr};
  for (const char* const* s = kSchemes; *s; ++s) {
    if (strncasecmp(server.c_str(), *s, strlen(*s)) == 0) return server;
  }
  std::string host = server;
  // An IPv6 address goes in brackets.
  if (host.find(':') != std::string::npos && host[0] != '[') host = "[" + host + "]";
  return "ldap://" + host + ":" + std::to_string(port > 0 ? port : 389) + "/";
}

Settings SettingsOf(KvConfigDB* config) {
  const char* server = config->LDAPServerName();
  const char* base = config->LDAPSearchBase();
  if (server == nullptr || *server == '\0' || base == nullptr || *base == '\0') {
    KvError* e = new KvError();
    e->SetKind(kKvErrorUnreachable);
    e->AddLine(__LINE__, KvSourceName(__FILE__),
               "The LDAP server and search base are not configured", 1);
    throw e;
  }
  Settings s;
  s.uri = UriOf(server, config->LDAPServerPort());
  s.rootDN = config->LDAPRootDN() ? config->LDAPRootDN() : "";
  s.rootPasswd = config->LDAPRootPasswd() ? config->LDAPRootPasswd() : "";
  s.base = base;
  const char* tls = config->ReadValue("ldapStartTLS");
  s.startTLS = tls != nullptr && strcasecmp(tls, "TRUE") == 0;
  return s;
}

std::string FilterValue(const std::string& value) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : value) {
    if (c == '*' || c == '(' || c == ')' || c == '\\' || c == '\0') {
      out += '\\';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string DNValue(const std::string& value) {
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    bool special = strchr(",+\"\\<>;=", c) != nullptr && c != '\0';
    bool edge = (i == 0 && (c == ' ' || c == '#')) || (i + 1 == value.size() && c == ' ');
    if (c == '\0') {
      out += "\\00";
      continue;
    }
    if (special || edge) out += '\\';
    out += c;
  }
  return out;
}

std::string DNComponent(const std::string& dn, const char* attr) {
  LDAPDN parsed = nullptr;
  if (ldap_str2dn(dn.c_str(), &parsed, LDAP_DN_FORMAT_LDAPV3) != LDAP_SUCCESS) return "";
  std::string out;
  for (int i = 0; parsed && parsed[i] && out.empty(); ++i) {
    for (int j = 0; parsed[i][j]; ++j) {
      LDAPAVA* ava = parsed[i][j];
      if (ava->la_attr.bv_len == strlen(attr) &&
          strncasecmp(ava->la_attr.bv_val, attr, ava->la_attr.bv_len) == 0) {
        out.assign(ava->la_value.bv_val, ava->la_value.bv_len);
        break;
      }
    }
  }
  ldap_dnfree(parsed);
  return out;
}

std::string Entry::First(const std::string& attr) const {
  auto it = attrs.find(attr);
  return it == attrs.end() || it->second.empty() ? "" : it->second.front();
}

const std::vector<std::string>& Entry::All(const std::string& attr) const {
  auto it = attrs.find(attr);
  return it == attrs.end() ? kNoValues : it->second;
}

Session::~Session() {
  if (ld_) ldap_unbind_ext_s(ld_, nullptr, nullptr);
}

void Session::Open(const Settings& settings) {
  if (ld_) {
    ldap_unbind_ext_s(ld_, nullptr, nullptr);
    ld_ = nullptr;
  }
  settings_ = settings;
  LDAP* raw = nullptr;
  int rc = Connect(settings_, settings_.rootDN, settings_.rootPasswd, &raw);
  LdapPtr ld(raw);
  if (rc != LDAP_SUCCESS) {
    std::string why = ldap_err2string(rc);
    std::string more = Diagnostic(ld.get());
    if (!more.empty()) why += " (" + more + ")";
    Throw(__LINE__,
          "Unable to bind to the LDAP server " + settings_.uri + " as " +
              settings_.rootDN + ": " + why,
          true);
  }
  ld_ = ld.release();
}

void Session::Fail(int rc, const std::string& what, const std::string& dn) {
  std::string message = "LDAP " + what + (dn.empty() ? "" : " of " + dn) +
                        " failed: " + ldap_err2string(rc);
  std::string more = Diagnostic(ld_);
  if (!more.empty()) message += " (" + more + ")";
  Throw(__LINE__, message, IsUnreachable(rc));
}

std::vector<Entry> Session::Search(const std::string& base, const char* scope,
                                   const std::string& filter,
                                   const std::vector<std::string>& attrs, int limit) {
  if (!ld_) KV_THROW("The LDAP directory is not open");
  int scopeCode = strcmp(scope, "base") == 0  ? LDAP_SCOPE_BASE
                  : strcmp(scope, "one") == 0 ? LDAP_SCOPE_ONELEVEL
                                              : LDAP_SCOPE_SUBTREE;
  std::vector<char*> names;
  for (const std::string& a : attrs) names.push_back(const_cast<char*>(a.c_str()));
  names.push_back(nullptr);
  LDAPMessage* raw = nullptr;
  int rc = ldap_search_ext_s(ld_, base.c_str(), scopeCode, filter.c_str(),
                             attrs.empty() ? nullptr : names.data(), 0, nullptr, nullptr,
                             nullptr, limit > 0 ? limit : LDAP_NO_LIMIT, &raw);
  std::unique_ptr<LDAPMessage, MessageFree> result(raw);
  std::vector<Entry> out;
  if (rc == LDAP_NO_SUCH_OBJECT) return out;
  if (rc != LDAP_SUCCESS && !(rc == LDAP_SIZELIMIT_EXCEEDED && limit > 0)) {
    Fail(rc, "search (" + filter + ")", base);
  }
  for (LDAPMessage* m = ldap_first_entry(ld_, raw); m; m = ldap_next_entry(ld_, m)) {
    Entry entry;
    char* dn = ldap_get_dn(ld_, m);
    if (dn) {
      entry.dn = dn;
      ldap_memfree(dn);
    }
    BerElement* ber = nullptr;
    for (char* a = ldap_first_attribute(ld_, m, &ber); a;
         a = ldap_next_attribute(ld_, m, ber)) {
      std::vector<std::string>& values = entry.attrs[Lower(a)];
      berval** vals = ldap_get_values_len(ld_, m, a);
      for (int i = 0; vals && vals[i]; ++i) {
        values.emplace_back(vals[i]->bv_val, vals[i]->bv_len);
      }
      ldap_value_free_len(vals);
      ldap_memfree(a);
    }
    if (ber) ber_free(ber, 0);
    out.push_back(std::move(entry));
  }
  return out;
}

bool Session::Add(const std::string& dn,
                  const std::vector<std::pair<std::string, std::vector<std::string>>>& attrs) {
  if (!ld_) KV_THROW("The LDAP directory is not open");
  ModList mods;
  for (const auto& a : attrs) mods.Push(LDAP_MOD_ADD, a.first, a.second);
  int rc = ldap_add_ext_s(ld_, dn.c_str(), mods.Get(), nullptr, nullptr);
  if (rc == LDAP_ALREADY_EXISTS) return false;
  if (rc != LDAP_SUCCESS) Fail(rc, "add", dn);
  return true;
}

bool Session::Modify(const std::string& dn, const std::vector<Change>& changes) {
  if (!ld_) KV_THROW("The LDAP directory is not open");
  ModList mods;
  bool any = false;
  for (const Change& c : changes) {
    // Adding or deleting no value would add nothing or delete the attribute.
    if (c.op != Change::kReplace && c.values.empty()) continue;
    int op = c.op == Change::kAdd      ? LDAP_MOD_ADD
             : c.op == Change::kDelete ? LDAP_MOD_DELETE
                                       : LDAP_MOD_REPLACE;
    mods.Push(op, c.attr, c.values);
    any = true;
  }
  if (!any) {
    // Nothing to change; still say whether the entry is there.
    return !Search(dn, "base", "(objectClass=*)", {"1.1"}).empty();
  }
  LDAPControl permissive;
  permissive.ldctl_oid = const_cast<char*>(kPermissiveModify);
  permissive.ldctl_value.bv_val = nullptr;
  permissive.ldctl_value.bv_len = 0;
  permissive.ldctl_iscritical = 0;
  LDAPControl* controls[] = {&permissive, nullptr};
  int rc = ldap_modify_ext_s(ld_, dn.c_str(), mods.Get(), controls, nullptr);
  if (rc == LDAP_NO_SUCH_OBJECT) return false;
  if (rc != LDAP_SUCCESS) Fail(rc, "modify", dn);
  return true;
}

void Session::SetPassword(const std::string& dn, const std::string& password) {
  if (!ld_) KV_THROW("The LDAP directory is not open");
  struct berval user;
  user.bv_val = const_cast<char*>(dn.c_str());
  user.bv_len = dn.size();
  struct berval pw;
  pw.bv_val = const_cast<char*>(password.c_str());
  pw.bv_len = password.size();
  struct berval generated = {0, nullptr};
  int rc = ldap_passwd_s(ld_, &user, nullptr, &pw, &generated, nullptr, nullptr);
  if (generated.bv_val) ber_memfree(generated.bv_val);
  if (rc != LDAP_SUCCESS) Fail(rc, "password change", dn);
}

int Session::CheckBind(const std::string& dn, const std::string& password) {
  if (dn.empty() || password.empty()) return 0;
  LDAP* raw = nullptr;
  int rc = Connect(settings_, dn, password, &raw);
  LdapPtr ld(raw);
  if (rc == LDAP_SUCCESS) return 1;
  if (IsUnreachable(rc)) {
    Throw(__LINE__, "Unable to reach the LDAP server " + settings_.uri + ": " +
                        ldap_err2string(rc),
          true);
  }
  return 0;
}

}  // namespace ldapdb
