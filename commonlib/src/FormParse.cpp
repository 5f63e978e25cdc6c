// Parsers for the request texts: query strings and URL-encoded bodies
// (application/x-www-form-urlencoded, RFC 3875 section 4.2 and the HTML form
// encoding), cookie headers (RFC 6265 section 5.4) and single MIME header
// lines with parameters (RFC 2045 section 5.1, RFC 2183). Malformed pieces
// are skipped; no parser fails.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "RequestInfo.h"

namespace {

// Percent-decoded copy of [begin, end) as a std::string ("+" becomes a blank
// only when plusToSpace is true).
std::string Decode(const char* begin, const char* end, KvBoolean plusToSpace) {
  std::unique_ptr<char, decltype(&free)> text(
      StringUnescape(begin, static_cast<int>(end - begin), plusToSpace), &free);
  return text ? std::string(text.get()) : std::string();
}

ValNameList* ParsePairs(const char* text, int length, KvBoolean plusToSpace) {
  auto list = std::make_unique<ValNameList>();
  if (!text || length <= 0) return list.release();
  const char* p = text;
  const char* end = text + length;
  while (p < end) {
    // A segment without "=" joins the name of the next pair.
    const char* eq = static_cast<const char*>(memchr(p, '=', end - p));
    if (!eq) break;
    const char* amp =
        static_cast<const char*>(memchr(eq + 1, '&', end - (eq + 1)));
    if (!amp) amp = end;
    list->Append(Decode(p, eq, plusToSpace).c_str(),
                 Decode(eq + 1, amp, plusToSpace).c_str());
    if (amp == end) break;
    p = amp + 1;
  }
  return list.release();
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsValueTrailer(char c) {
  return c == '"' || c == '\r' || c == ' ' || c == '\t' || c == '\n';
}

}  // namespace

ValNameList* RequestInfo::ParseGETString(const char* text, int length) {
  return ParsePairs(text, length, 0);
}

ValNameList* RequestInfo::ParsePOSTString(const char* text, int length) {
  return ParsePairs(text, length, 1);
}

ValNameList* RequestInfo::ParseNameValString(const char* text,
                                             KvBoolean decode) {
  auto list = std::make_unique<ValNameList>();
  if (!text || !*text) return list.release();
  const char* p = text;
  const char* end = text + strlen(text);
  while (p < end) {
    while (p < end && IsBlank(*p)) ++p;
    const char* eq = strchr(p, '=');
    if (!eq) break;
    const char* semi = strchr(p, ';');
    if (!semi) semi = end;
    if (semi < eq) {  // a segment without a value
      p = semi + 1;
      continue;
    }
    const char* valueBegin = eq + 1;
    while (valueBegin < end && IsBlank(*valueBegin)) ++valueBegin;
    if (valueBegin < end && *valueBegin == '"') {
      // A quoted string (RFC 7578 section 4.2, RFC 2045): ";" and "=" inside
      // belong to the value, a backslash keeps the quote after it.
      std::string quoted;
      const char* q = valueBegin + 1;
      for (; q < end && *q != '"'; ++q) {
        if (*q == '\\' && q + 1 < end && q[1] == '"') ++q;
        quoted += *q;
      }
      std::string name(p, eq);
      list->Append(decode ? Decode(p, eq, 0).c_str() : name.c_str(),
                   decode ? Decode(quoted.data(), quoted.data() + quoted.size(), 0).c_str()
                          : quoted.c_str());
      const char* next = q < end ? strchr(q, ';') : nullptr;
      if (!next) break;
      p = next + 1;
      continue;
    }
    const char* valueEnd = semi;
    while (valueEnd > valueBegin && IsValueTrailer(valueEnd[-1])) --valueEnd;
    if (decode) {
      list->Append(Decode(p, eq, 0).c_str(),
                   Decode(valueBegin, valueEnd, 0).c_str());
    } else {
      list->Append(std::string(p, eq).c_str(),
                   std::string(valueBegin, valueEnd).c_str());
    }
    if (semi == end) break;
    p = semi + 1;
  }
  return list.release();
}

ValNameList* RequestInfo::ParseHTTPHeader(const char* line) {
  if (!line || !*line) return nullptr;
  const char* p = line;
  while (IsBlank(*p)) ++p;
  const char* colon = strchr(p, ':');
  if (!colon) return nullptr;
  const char* semi = strchr(colon + 1, ';');
  if (!semi) semi = line + strlen(line);
  std::unique_ptr<ValNameList> list(
      (*semi && semi[1]) ? ParseNameValString(semi + 1, 0) : new ValNameList);
  list->Append(std::string(p, colon).c_str(),
               std::string(colon + 1, semi).c_str());
  return list.release();
}
