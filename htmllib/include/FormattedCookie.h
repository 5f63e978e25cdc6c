// A cookie that stores a list of values, joined by ":". A list too long for
// one browser cookie is split into stripes, the cookies
// "KavriStriped-<i>-<name>" for i = 0, 1, ..., while the cookie <name> itself
// holds "KavriStriped-<count>". RequestInfo::FindFormattedCookie reads either
// form back.
#pragma once

#include "HTMLObject.h"

class FormattedCookie : public HTMLObject {
 public:
  // A list of the one value (copied).
  FormattedCookie(const char* name, const char* value, int seconds);
  // A copy of values (null gives an empty list); the caller keeps values.
  FormattedCookie(const char* name, ValList* values, int seconds);
  ~FormattedCookie() override;

  // Writes the cookie or its stripes, then emits the next sibling. A cookie
  // stays within req->GetMaxCookieLength() - 100 characters of name and
  // values unless a single value is longer. A value containing ":" cannot be
  // read back: it is skipped and reported on standard error.
  void emit(RequestInfo* req, int indent, int lineBreaks,
            const char* styleName) override;

  ValList* GetValues() const { return values; }

 protected:
  char* name;        // owned
  ValList* values;   // owned, never null
  int seconds;
};
