// The request-origin test of KvRequestOrigin.h.
#include "KvRequestOrigin.h"

#include <strings.h>

#include <cctype>
#include <cstdlib>

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return text;
}

// "host[:port]" split; the port is empty when not given. A bracketed IPv6
// address keeps its brackets.
void SplitAuthority(const std::string& authority, std::string* host,
                    std::string* port) {
  size_t colon = authority.rfind(':');
  size_t bracket = authority.rfind(']');
  if (colon == std::string::npos ||
      (bracket != std::string::npos && colon < bracket)) {
    *host = authority;
    port->clear();
  } else {
    *host = authority.substr(0, colon);
    *port = authority.substr(colon + 1);
  }
}

// "scheme://host:port" with the default port written out, in lower case;
// empty when url is not an absolute http(s) URL.
std::string Normalized(const std::string& url) {
  size_t sep = url.find("://");
  if (sep == std::string::npos) return "";
  std::string scheme = Lower(url.substr(0, sep));
  if (scheme != "http" && scheme != "https") return "";
  std::string rest = url.substr(sep + 3);
  size_t end = rest.find_first_of("/?#");
  std::string authority = rest.substr(0, end);
  // User information never belongs to one of our own pages' addresses.
  if (authority.empty() || authority.find('@') != std::string::npos) return "";
  std::string host, port;
  SplitAuthority(authority, &host, &port);
  if (port.empty()) port = scheme == "https" ? "443" : "80";
  return scheme + "://" + Lower(host) + ":" + port;
}

const char* Env(const char* name) { return getenv(name); }

}  // namespace

KvRequestOrigin KvRequestOrigin::FromEnvironment() {
  KvRequestOrigin o;
  o.secFetchSite = Env("HTTP_SEC_FETCH_SITE");
  o.origin = Env("HTTP_ORIGIN");
  o.referer = Env("HTTP_REFERER");
  o.host = Env("HTTP_HOST");
  o.serverName = Env("SERVER_NAME");
  o.serverPort = Env("SERVER_PORT");
  o.https = Env("HTTPS");
  return o;
}

KvBoolean KvRequestOrigin::IsHttps() const {
  return https && strcasecmp(https, "on") == 0;
}

KvBoolean KvRequestOrigin::IsOwnPage() const {
  if (secFetchSite && *secFetchSite)
    return strcasecmp(secFetchSite, "same-origin") == 0 ||
           strcasecmp(secFetchSite, "none") == 0;
  const char* claimed = origin && *origin ? origin : referer;
  if (!claimed || !*claimed) return false;
  std::string scheme = IsHttps() ? "https" : "http";
  std::string ownHost, port;
  // The Host header is what the browser addressed (without a port: the
  // scheme's own); the server's name and port stand in when there is none.
  if (host && *host) {
    SplitAuthority(host, &ownHost, &port);
  } else {
    ownHost = serverName ? serverName : "";
    port = serverPort ? serverPort : "";
  }
  if (ownHost.empty()) return false;
  std::string own =
      Normalized(scheme + "://" + ownHost + (port.empty() ? "" : ":" + port));
  std::string theirs = Normalized(claimed);
  return !own.empty() && own == theirs;
}

std::string KvRequestOrigin::Describe() const {
  // The headers are the sender's text: only their start is kept.
  auto header = [](const char* name, const char* value) {
    return std::string(name) + " " + std::string(value).substr(0, 200);
  };
  if (secFetchSite && *secFetchSite) return header("Sec-Fetch-Site", secFetchSite);
  if (origin && *origin) return header("Origin", origin);
  if (referer && *referer) return header("Referer", referer);
  return "no Sec-Fetch-Site, Origin or Referer";
}
