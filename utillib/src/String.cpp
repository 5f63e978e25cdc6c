// The String class (storage, concatenation, escaping, line reading and
// folding) and the free functions on plain C strings.

#include "String.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <strings.h>
#include <sys/types.h>

#include "ValList.h"

namespace {

// Character classes of the URL code, indexed by character code minus 32.
// Bit 1: left as it is by PrepForURL. Bits 2 and 4: may appear in a URL
// found by ActivateURLs (mask 6).
const unsigned char isAcceptable[96] = {
    // sp !  "  #  $  %  &  '  (  )  *  +  ,  -  .  /
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 6, 0, 7, 7, 4,
    // 0  1  2  3  4  5  6  7  8  9  :  ;  <  =  >  ?
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 0, 0, 0, 0, 0, 0,
    // @  A  B  C  D  E  F  G  H  I  J  K  L  M  N  O
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
    // P  Q  R  S  T  U  V  W  X  Y  Z  [  \  ]  ^  _
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 0, 0, 0, 0, 7,
    // `  a  b  c  d  e  f  g  h  i  j  k  l  m  n  o
    0, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
    // p  q  r  s  t  u  v  w  x  y  z  {  |  }  ~  DEL
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 0, 0, 0, 6, 0,
};

const char kHexDigits[] = "0123456789ABCDEF";

// URL schemes recognised by ActivateURLs, tried in this order.
const char* const urlArray[] = {
    "shttp://", "http://", "https://", "ftp:",    "file:",
    "mailto:",  "gopher:", "ldap:",    "telnet:", "addBook:",
    "javascript:", "pop3:", "snews://", "news://",
};
const int urlArrayLength = 14;
const int urlArrayLen[urlArrayLength] = {8, 7, 8, 4, 5, 7, 7, 5, 7, 8, 11, 5, 8, 7};

bool InClass(unsigned char c, int mask) {
  return c >= 32 && c < 128 && (isAcceptable[c - 32] & mask) != 0;
}

// Length of the line break starting at p (CR LF, CR or LF), or 0.
int BreakLength(const char* p) {
  if (p[0] == '\r') return p[1] == '\n' ? 2 : 1;
  return p[0] == '\n' ? 1 : 0;
}

char* CopyOf(const std::string& s) { return strdup(s.c_str()); }

// Replaces every line break of text with `with`; false when there was none.
bool ReplaceBreaks(const char* text, const char* with, std::string* out) {
  bool changed = false;
  for (const char* p = text; *p;) {
    int n = BreakLength(p);
    if (n > 0) {
      out->append(with);
      p += n;
      changed = true;
    } else {
      out->push_back(*p++);
    }
  }
  return changed;
}

bool IsBlankChar(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

// ---------------------------------------------------------------- String

String::String() : buffer(nullptr), length(0) {}

String::String(const char* s) : buffer(nullptr), length(0) { Init(s); }

String::String(int n) : buffer(nullptr), length(0) {
  Init(std::to_string(n).c_str());
}

String::String(const String& other) : buffer(nullptr), length(0) {
  Init(other.buffer);
}

String::String(int n, char c) : buffer(nullptr), length(0) {
  if (n < 0) n = 0;
  buffer = static_cast<char*>(malloc(static_cast<size_t>(n) + 1));
  if (buffer == nullptr) return;
  memset(buffer, c, static_cast<size_t>(n));
  buffer[n] = '\0';
  length = static_cast<int>(strlen(buffer));
}

String::String(const char* s, int n) : buffer(nullptr), length(0) {
  if (s == nullptr) return;
  if (n < 0) n = 0;
  buffer = static_cast<char*>(malloc(static_cast<size_t>(n) + 1));
  if (buffer == nullptr) return;
  memcpy(buffer, s, static_cast<size_t>(n));
  buffer[n] = '\0';
  length = static_cast<int>(strlen(buffer));
}

String::~String() { Cleanup(); }

void String::Cleanup() {
  free(buffer);
  buffer = nullptr;
  length = 0;
}

void String::Init(const char* s) {
  if (s == nullptr) {
    buffer = nullptr;
    length = 0;
    return;
  }
  buffer = strdup(s);
  length = buffer ? static_cast<int>(strlen(buffer)) : 0;
}

String& String::operator=(const String& other) {
  if (this == &other) return *this;
  char* copy = other.buffer ? strdup(other.buffer) : nullptr;
  Cleanup();
  buffer = copy;
  length = copy ? static_cast<int>(strlen(copy)) : 0;
  return *this;
}

String String::operator+(const char* other) const {
  if (buffer == nullptr && other == nullptr) return String();
  std::string joined(buffer ? buffer : "");
  if (other) joined += other;
  return String(joined.c_str());
}

String String::operator+(const String& other) const {
  return *this + other.buffer;
}

String& String::operator+=(const char* other) {
  if (other == nullptr || *other == '\0') return *this;
  if (buffer == nullptr) {
    Init(other);
    return *this;
  }
  size_t add = strlen(other);
  char* joined = static_cast<char*>(malloc(static_cast<size_t>(length) + add + 1));
  if (joined == nullptr) return *this;
  memcpy(joined, buffer, static_cast<size_t>(length));
  memcpy(joined + length, other, add + 1);
  Cleanup();
  buffer = joined;
  length = static_cast<int>(strlen(joined));
  return *this;
}

String& String::operator+=(const String& other) {
  if (this == &other) {
    String copy(other);
    return *this += copy.buffer;
  }
  return *this += other.buffer;
}

String String::Copy() const { return String(*this); }

void String::Print(FILE* fp) const {
  if (buffer) fputs(buffer, fp);
}

void String::Println(FILE* fp) const {
  Print(fp);
  fputs("\n", fp);
}

int String::IndexOf(char c) const {
  if (length < 1) return -1;
  const char* p = strchr(buffer, c);
  return (p && c != '\0') ? static_cast<int>(p - buffer) : -1;
}

String String::SubString(int from) const {
  if (from < 0 || buffer == nullptr) return Copy();
  if (from > length) from = length;
  return String(buffer + from);
}

String String::SubString(int from, int to) const {
  if (from < 0 || to < 0 || from > to || buffer == nullptr) return Copy();
  if (to > length) to = length;
  if (from > to) from = to;
  return String(buffer + from, to - from);
}

void String::PrepForURL() {
  if (buffer == nullptr) return;
  size_t needed = 0;
  for (const char* p = buffer; *p; ++p) {
    if (!InClass(static_cast<unsigned char>(*p), 1)) needed += 2;
  }
  if (needed == 0) return;
  std::string out;
  out.reserve(static_cast<size_t>(length) + needed);
  for (const char* p = buffer; *p; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (InClass(c, 1)) {
      out.push_back(*p);
    } else {
      out.push_back('%');
      out.push_back(kHexDigits[c >> 4]);
      out.push_back(kHexDigits[c & 15]);
    }
  }
  Cleanup();
  Init(out.c_str());
}

void String::PrepForHTML() {
  if (buffer == nullptr) return;
  size_t extra = 0;
  for (const char* p = buffer; *p; ++p) {
    switch (*p) {
      case '"': extra += 5; break;
      case '&': extra += 4; break;
      case '<':
      case '>': extra += 3; break;
      default: break;
    }
  }
  if (extra == 0) return;
  std::string out;
  out.reserve(static_cast<size_t>(length) + extra);
  for (const char* p = buffer; *p; ++p) {
    switch (*p) {
      case '"': out += "&quot;"; break;
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out.push_back(*p); break;
    }
  }
  Cleanup();
  Init(out.c_str());
}

// Makes the text safe inside a single-quoted JavaScript string that sits in
// an inline <SCRIPT> element: backslash, apostrophe, CR and LF are escaped,
// and "</" is written "<\/" so that the text cannot close the element.
void String::PrepForJS() {
  if (buffer == nullptr) return;
  size_t extra = 0;
  for (const char* p = buffer; *p; ++p) {
    if (*p == '\\' || *p == '\'' || *p == '\r' || *p == '\n') ++extra;
    if (*p == '<' && p[1] == '/') ++extra;
  }
  if (extra == 0) return;
  std::string out;
  out.reserve(static_cast<size_t>(length) + extra);
  for (const char* p = buffer; *p; ++p) {
    switch (*p) {
      case '\\': out += "\\\\"; break;
      case '\'': out += "\\'"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '<': out += (p[1] == '/') ? "<\\" : "<"; break;
      default: out.push_back(*p); break;
    }
  }
  Cleanup();
  Init(out.c_str());
}

char* String::HTMLEnhanced() {
  if (buffer == nullptr) return nullptr;
  std::string out;
  if (ReplaceBreaks(buffer, "<BR>", &out)) {
    Cleanup();
    Init(out.c_str());
  }
  return buffer;
}

void String::PrepareForWriting() {
  if (buffer == nullptr) return;
  std::string out;
  if (ReplaceBreaks(buffer, "=0A=\n ", &out)) {
    Cleanup();
    Init(out.c_str());
  }
}

KvBoolean String::VersitUnescape() {
  if (buffer == nullptr || length < 4) return false;
  if (strcasecmp(buffer + length - 4, "=0A=") != 0) return false;
  std::string out(buffer, static_cast<size_t>(length - 4));
  out.push_back('\n');
  Cleanup();
  Init(out.c_str());
  return true;
}

char* String::ActivateURLs() {
  if (buffer == nullptr) return strdup("");
  // Every scheme ends in a colon: most texts hold none and stay as they are.
  if (strchr(buffer, ':') == nullptr) return strdup(buffer);
  std::string out;
  const char* text = buffer;
  size_t pos = 0;
  const size_t end = strlen(text);
  while (pos < end) {
    while (pos < end && !isalpha(static_cast<unsigned char>(text[pos]))) {
      out.push_back(text[pos++]);
    }
    if (pos >= end) break;
    int k = 0;
    while (k < urlArrayLength && !SearchProtocol(urlArray[k], text + pos)) ++k;
    if (k == urlArrayLength) {
      out.push_back(text[pos++]);
      continue;
    }
    // Host part: URL characters and at most one colon, up to the first '/'.
    size_t len = static_cast<size_t>(urlArrayLen[k]);
    bool colonSeen = false;
    while (pos + len < end) {
      unsigned char c = static_cast<unsigned char>(text[pos + len]);
      if (c == ':' && !colonSeen) {
        colonSeen = true;
      } else if (c == '/' || !InClass(c, 6)) {
        break;
      }
      ++len;
    }
    // Path part: URL characters, which include '/' but not ':'.
    while (pos + len < end && InClass(static_cast<unsigned char>(text[pos + len]), 6)) {
      ++len;
    }
    while (len > static_cast<size_t>(urlArrayLen[k]) && text[pos + len - 1] == '.') --len;
    std::string url(text + pos, len);
    out += "<A HREF=\"";
    out += url;
    out += "\" target=\"_top\">";
    out += url;
    out += "</A>";
    pos += len;
  }
  Cleanup();
  Init(out.c_str());
  return strdup(out.c_str());
}

KvBoolean String::GetField(FILE* fp) {
  char* raw = nullptr;
  size_t cap = 0;
  ssize_t got = getline(&raw, &cap, fp);
  if (got < 0) {
    free(raw);
    return false;
  }
  // A last line without a line break still counts.
  size_t n = strlen(raw);
  while (n > 0 && (raw[n - 1] == '\n' || raw[n - 1] == '\r')) --n;
  raw[n] = '\0';
  if (buffer == nullptr && n > 0) {
    // The usual case, reading into an empty string: the line becomes the
    // buffer instead of being copied.
    buffer = raw;
    length = static_cast<int>(n);
    return true;
  }
  *this += raw;
  free(raw);
  return true;
}

KvBoolean String::GetNameValPair(FILE* fp, String& name, String& value) {
  Cleanup();
  name.Cleanup();
  value.Cleanup();
  // The pieces are gathered in standard strings and become Strings once,
  // at the end: every list file read passes through here, line by line.
  std::string nameText;
  std::string valueText;
  bool haveName = false;
  bool haveValue = false;
  bool firstLine = true;
  KvBoolean result = false;
  char* raw = nullptr;
  size_t capacity = 0;
  for (;;) {
    if (getline(&raw, &capacity, fp) < 0) break;
    // A last line without a line break still counts.
    size_t n = strlen(raw);
    while (n > 0 && (raw[n - 1] == '\n' || raw[n - 1] == '\r')) --n;
    raw[n] = '\0';
    String piece;
    if (firstLine) {
      std::unique_ptr<char, decltype(&free)> before(StringGrabValBeforeColon(raw), &free);
      std::unique_ptr<char, decltype(&free)> after(StringGrabValAfterColon(raw), &free);
      haveName = before != nullptr;
      if (haveName) nameText = before.get();
      piece.Init(after.get());
    } else {
      // A continuation line: its first character (the fold's blank) goes.
      piece.Init(n > 0 ? raw + 1 : "");
    }
    bool more = piece.VersitUnescape();
    if (firstLine) {
      // keeps an empty value apart from an absent one
      haveValue = piece.GetBuffer() != nullptr;
      valueText = piece.CStr();
    } else if (piece.GetLength() > 0) {
      valueText += piece.CStr();
      haveValue = true;
    }
    if (!more) {
      result = true;
      break;
    }
    firstLine = false;
  }
  free(raw);
  if (haveName) name.Init(nameText.c_str());
  if (haveValue) value.Init(valueText.c_str());
  Init((nameText + ":" + valueText).c_str());
  return result;
}

// ---------------------------------------------------------------- C strings

KvBoolean StringIsEmpty(const char* s) {
  if (s == nullptr) return true;
  for (; *s; ++s) {
    if (!IsBlankChar(*s)) return false;
  }
  return true;
}

char HexToChar(const char* p) {
  auto digit = [](char c) -> int {
    if (c < 'A') return c - '0';
    return toupper(static_cast<unsigned char>(c)) - 55;
  };
  return static_cast<char>(digit(p[0]) * 16 + digit(p[1]));
}

// Decodes %XX escapes as in RFC 3986 section 2.1 (and "+" for a space as in
// HTML form encoding). A "%" that is not followed, within the n characters,
// by two hexadecimal digits is kept as it stands.
char* StringUnescape(const char* s, int n, KvBoolean plusToSpace) {
  if (n < 1 || s == nullptr) {
    char* empty = static_cast<char*>(malloc(1));
    if (empty) *empty = '\0';
    return empty;
  }
  char* out = static_cast<char*>(malloc(static_cast<size_t>(n) + 1));
  if (out == nullptr) return nullptr;
  int j = 0;
  for (int i = 0; i < n && s[i] != '\0'; ++i) {
    char c = s[i];
    if (c == '%' && i + 2 < n &&
        isxdigit(static_cast<unsigned char>(s[i + 1])) &&
        isxdigit(static_cast<unsigned char>(s[i + 2]))) {
      out[j++] = HexToChar(s + i + 1);
      i += 2;
    } else if (c == '+' && plusToSpace) {
      out[j++] = ' ';
    } else {
      out[j++] = c;
    }
  }
  out[j] = '\0';
  return out;
}

char* StringGrabVal(const char* s) {
  if (s == nullptr) return nullptr;
  size_t n = strcspn(s, "\r\n");
  std::string v(s, n);
  if (StringIsEmpty(v.c_str())) return nullptr;
  return CopyOf(v);
}

char* StringGrabValBeforeColon(const char* s) {
  if (StringIsEmpty(s)) return nullptr;
  size_t n = strcspn(s, ":\r\n");
  if (s[n] != ':' || n == 0) return nullptr;
  return CopyOf(std::string(s, n));
}

char* StringGrabValAfterColon(const char* s) {
  if (StringIsEmpty(s)) return nullptr;
  const char* colon = strchr(s, ':');
  if (colon == nullptr) return nullptr;
  ++colon;
  return CopyOf(std::string(colon, strcspn(colon, "\r\n")));
}

char* StringDup(const char* s, int n) {
  if (s == nullptr) return nullptr;
  if (n < 0) n = 0;
  size_t len = strnlen(s, static_cast<size_t>(n));
  char* out = static_cast<char*>(malloc(len + 1));
  if (out == nullptr) return nullptr;
  memcpy(out, s, len);
  out[len] = '\0';
  return out;
}

char* StringSubstring(const char* needle, const char* haystack) {
  if (needle == nullptr || haystack == nullptr || *haystack == '\0') return nullptr;
  size_t n = strlen(needle);
  for (const char* p = haystack; *p; ++p) {
    if (strncasecmp(p, needle, n) == 0) return const_cast<char*>(p);
  }
  return nullptr;
}

char* StringFindExtension(const char* s) {
  if (s == nullptr) return nullptr;
  const char* dot = strrchr(s, '.');
  if (dot == nullptr || dot[1] == '\0') return nullptr;
  return strdup(dot + 1);
}

char* StringFromInteger(int n) { return CopyOf(std::to_string(n)); }

char* StringRemoveNewlines(char* s) {
  if (s == nullptr) return s;
  for (char* p = s; *p; ++p) {
    if (*p == '\n' || *p == '\r') *p = ' ';
  }
  return s;
}

char* StringToLower(char* s) {
  if (s == nullptr) return s;
  for (char* p = s; *p; ++p) *p = static_cast<char>(tolower(static_cast<unsigned char>(*p)));
  return s;
}

char* VisibleText(char* s) {
  if (s == nullptr) return s;
  if (StringIsEmpty(s)) {
    *s = '\0';
    return s;
  }
  size_t len = strlen(s);
  while (len > 0 && (s[len - 1] == ' ' || s[len - 1] == '\t')) --len;
  s[len] = '\0';
  size_t start = strspn(s, " \t");
  if (start > 0) memmove(s, s + start, len - start + 1);
  return s;
}

ValList* StringTokenize(const char* s, char sep) {
  ValList* list = new ValList();
  if (s == nullptr) return list;
  const char* p = s;
  for (;;) {
    const char* next = strchr(p, sep);
    if (next == nullptr || sep == '\0') {
      list->Append(p);
      break;
    }
    std::string piece(p, static_cast<size_t>(next - p));
    VisibleText(&piece[0]);
    list->Append(piece.c_str());
    p = next + 1;
  }
  return list;
}

int Convert(const char* in, char* out) {
  if (out) *out = '\0';
  if (in == nullptr || strlen(in) < 2) return -1;
  if (!isdigit(static_cast<unsigned char>(in[0])) ||
      !isdigit(static_cast<unsigned char>(in[1]))) {
    return -1;
  }
  int value = (in[0] - '0') * 10 + (in[1] - '0');
  size_t pairs = (strlen(in) - 2) / 2;
  for (size_t i = 0; i < pairs; ++i) out[i] = HexToChar(in + 2 + 2 * i);
  out[pairs] = '\0';
  return value;
}

KvBoolean SearchProtocol(const char* protocol, const char* text) {
  if (protocol == nullptr || text == nullptr) return false;
  return strncasecmp(text, protocol, strlen(protocol)) == 0;
}
