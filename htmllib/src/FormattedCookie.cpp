// The striped cookie writer: a list of values joined by ":" in one cookie,
// or split over the cookies "KavriStriped-<i>-<name>" when it would be too
// long for the browser, with the cookie <name> giving the stripe count.
#include "FormattedCookie.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "SetCookie.h"
#include "commonlib.h"

namespace {

const char kStripePrefix[] = "KavriStriped-";
// Room kept free in every cookie for the attributes after the value.
constexpr int kCookieReserve = 100;

void WriteCookie(RequestInfo* req, const std::string& name,
                 const std::string& value, int seconds) {
  char* header = CommonOutput(name.c_str(), value.c_str(), seconds, "/");
  if (!header) return;
  req->WriteHeader("Set-Cookie", header);
  free(header);
}

std::string StripeName(int stripe, const char* name) {
  return kStripePrefix + std::to_string(stripe) + "-" + name;
}

}  // namespace

FormattedCookie::FormattedCookie(const char* cookieName, const char* value,
                                 int lifetime)
    : HTMLObject(kTagFormattedCookie),
      name(strdup(cookieName ? cookieName : "")),
      values(new ValList()),
      seconds(lifetime) {
  startOnNewLine = 0;
  values->Append(value);
}

FormattedCookie::FormattedCookie(const char* cookieName, ValList* list,
                                 int lifetime)
    : HTMLObject(kTagFormattedCookie),
      name(strdup(cookieName ? cookieName : "")),
      values(list ? list->Copy() : new ValList()),
      seconds(lifetime) {
  startOnNewLine = 0;
}

FormattedCookie::~FormattedCookie() {
  free(name);
  delete values;
}

void FormattedCookie::emit(RequestInfo* req, int indent, int lineBreaks,
                           const char* styleName) {
  const size_t budget =
      static_cast<size_t>(std::max(0, req->GetMaxCookieLength() - kCookieReserve));
  const size_t nameLength = strlen(name);
  std::string current;
  int inStripe = 0;
  int stripe = 0;
  for (ValListItem* item = values->GetFirst(); item; item = item->next) {
    if (!item->value) continue;
    const char* v = item->value;
    if (strchr(v, ':')) {
      // The reader splits at every ":", so this value would come back in
      // pieces; it is left out rather than corrupted.
      fprintf(stderr,
              "FormattedCookie: value skipped in cookie %s, it contains ':'\n",
              name);
      continue;
    }
    // A stripe is closed only when it holds a value: a first value that by
    // itself reaches the budget still goes into stripe 0, so that the
    // stripes stay numbered from 0 without a gap.
    if (inStripe > 0 && nameLength + current.size() + strlen(v) >= budget) {
      WriteCookie(req, StripeName(stripe, name), current, seconds);
      stripe++;
      inStripe = 0;
    }
    if (inStripe == 0) {
      current = v;
    } else {
      current += ":";
      current += v;
    }
    inStripe++;
  }
  if (stripe == 0 && inStripe == 0) current = ":";
  if (stripe == 0) {
    WriteCookie(req, name, current, seconds);
  } else {
    WriteCookie(req, StripeName(stripe, name), current, seconds);
    WriteCookie(req, name, kStripePrefix + std::to_string(stripe + 1),
                seconds);
  }
  if (nextObject) nextObject->emit(req, indent, lineBreaks, styleName);
}
