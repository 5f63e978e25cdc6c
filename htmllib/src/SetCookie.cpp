// The "Set-Cookie" header value (RFC 6265 section 4.1, expiry in the
// "Weekday, DD-Mon-YY HH:MM:SS GMT" form older browsers read) and the simple
// cookie header object.
#include "SetCookie.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "commonlib.h"

namespace {

KvCookieClock gClock = nullptr;

time_t Now() { return gClock ? gClock() : time(nullptr); }

// Bytes that would end or split the cookie, or break the header line, or
// that the reader would take for an escape.
bool NeedsEncoding(unsigned char c) {
  return c == '%' || c == ';' || c == ',' || c < 0x20 || c == 0x7F;
}

void AppendEncoded(std::string& out, const char* value) {
  static const char kHex[] = "0123456789ABCDEF";
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(value);
       *p; p++) {
    if (NeedsEncoding(*p)) {
      out += '%';
      out += kHex[*p >> 4];
      out += kHex[*p & 0x0F];
    } else {
      out += static_cast<char>(*p);
    }
  }
}

}  // namespace

void KvSetCookieClock(KvCookieClock clock) { gClock = clock; }

char* CommonOutput(const char* name, const char* value, int seconds,
                   const char* path) {
  if (!value) return nullptr;
  std::string text = name ? name : "";
  text += "=";
  AppendEncoded(text, value);
  text += ";";
  text += " path=";
  text += path ? path : "/";
  text += ";";
  if (seconds > 0) {
    time_t expires = Now() + seconds;
    struct tm utc;
    char date[100];
    if (gmtime_r(&expires, &utc) &&
        strftime(date, sizeof date, "%A, %d-%b-%y %H:%M:%S GMT", &utc) > 0) {
      text += " expires=";
      text += date;
      text += ";";
    }
  }
  return strdup(text.c_str());
}

SetCookie::SetCookie(const char* cookieName, const char* cookieValue,
                     int lifetime)
    : HTMLObject(kTagSetCookie),
      name(strdup(cookieName ? cookieName : "")),
      value(cookieValue ? strdup(cookieValue) : nullptr),
      seconds(lifetime) {
  startOnNewLine = 0;
}

SetCookie::~SetCookie() {
  free(name);
  free(value);
}

void SetCookie::emit(RequestInfo* req, int indent, int lineBreaks,
                     const char* styleName) {
  char* header = CommonOutput(name, value, seconds, "/");
  if (header) {
    req->WriteHeader("Set-Cookie", header);
    free(header);
  }
  if (nextObject) nextObject->emit(req, indent, lineBreaks, styleName);
}
