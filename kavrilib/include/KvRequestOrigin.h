// Whether a request came from this program's own pages. Browsers say where a
// request started in the Fetch Metadata header "Sec-Fetch-Site"; older ones
// only send "Origin" or "Referer". A request that changes stored state is
// accepted only when one of them names this very origin (scheme, host and
// port), so that pages of other sites, and of other ports or hosts of the
// same site, cannot make the administrator's browser change anything.
#pragma once

#include <string>

#include "utillib.h"

// The request headers and server values the decision rests on; null means
// absent. Names are those of the CGI environment.
struct KvRequestOrigin {
  const char* secFetchSite = nullptr;  // "HTTP_SEC_FETCH_SITE"
  const char* origin = nullptr;        // "HTTP_ORIGIN"
  const char* referer = nullptr;       // "HTTP_REFERER"
  const char* host = nullptr;          // "HTTP_HOST" (may carry the port)
  const char* serverName = nullptr;    // "SERVER_NAME" } when there is
  const char* serverPort = nullptr;    // "SERVER_PORT" } no Host
  const char* https = nullptr;         // "HTTPS" ("on" over TLS)

  // The values of this process's CGI environment.
  static KvRequestOrigin FromEnvironment();

  // True when "Sec-Fetch-Site" is "same-origin" or "none" (the user's own
  // navigation); without that header, when "Origin" (else "Referer") has
  // this request's scheme, host and port. Anything else, no header at all
  // included, is false.
  KvBoolean IsOwnPage() const;
  // A short account of what the request said about where it came from,
  // for the log (for example "Sec-Fetch-Site same-site").
  std::string Describe() const;
  // True when the request came over TLS ("HTTPS" is "on", any case).
  KvBoolean IsHttps() const;
};
