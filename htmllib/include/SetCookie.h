// The "Set-Cookie" header: CommonOutput builds the header value of one
// cookie (RFC 6265 section 4.1, with the older "expires" date form) and
// SetCookie is the header object a page writes it from.
#pragma once

#include <ctime>

#include "HTMLObject.h"

// The clock CommonOutput reads for expiry dates. Null restores time(); tests
// install a fixed clock.
typedef time_t (*KvCookieClock)();
void KvSetCookieClock(KvCookieClock clock);

// name=value; path=<path or />;[ expires=<date>;] as a new heap string the
// caller frees with free(); null when value is null. With seconds > 0 the
// cookie expires that many seconds from now (UTC); otherwise it lasts until
// the browser is closed. In the value, "%", ";", ",", and control bytes are
// percent-encoded; the cookie reader decodes them, so every value reads back
// as written.
char* CommonOutput(const char* name, const char* value, int seconds,
                   const char* path);

class SetCookie : public HTMLObject {
 public:
  // Copies name and value.
  SetCookie(const char* name, const char* value, int seconds);
  ~SetCookie() override;

  // Writes the cookie header (nothing for a null value), then emits the next
  // sibling.
  void emit(RequestInfo* req, int indent, int lineBreaks,
            const char* styleName) override;

 protected:
  char* name;   // owned
  char* value;  // owned, may be null
  int seconds;
};
