// The vCard line parser (versit vCard 2.1 as the directory writes it, RFC
// 2425-style "name;param;key=value:value" lines): one property per physical
// line, no folding or continuation lines, no comma-separated parameter
// lists, values kept as read. Every refusal is a KvError of kind
// kKvErrorParse carrying its message as a user line; the input is never
// changed and nothing partly built survives a refusal.
#include "VersitParser.h"

#include <strings.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "VCardEntry.h"
#include "VersitError.h"

namespace {

const char kNoColon[] = "No ':' character found on line";
const char kBadPropertyValue[] = "Bad property value : ";
const char kBadFormat[] = "Bad format for property name";
const char kNeedSemicolon[] = "Bad property value (it must contain a ';') : ";
const char kNeedEquals[] = "Keywords must be followed by '=' : ";
const char kTypeNotFound[] = "Value for TYPE sub-property not found : ";
const char kValueNotFound[] = "Value for VALUE sub-property not found : ";
const char kEncodingNotFound[] = "Value for ENCODING sub-property not found : ";
const char kCharsetRefused[] = "CHARSET sub-property not supported : ";
const char kLanguageRefused[] = "LANGUAGE sub-property not supported : ";
const char kRethrown[] = "Error rethrown in ParsePropertyName";

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

// The characters that may follow a name matched in a table.
bool EndsWord(char c) { return c == '\0' || c == ';' || c == '=' || c == ' ' || c == '\t'; }

char* SkipBlanks(char* p) {
  while (IsBlankOrTab(*p)) ++p;
  return p;
}

bool StartsWithNoCase(const char* text, const char* prefix) {
  return strncasecmp(text, prefix, strlen(prefix)) == 0;
}

// Reads "<prefix><digits>" followed by the end, ';' or ':' at text. On
// success stores the number and the position after the digits. A number
// that does not fit in limit is refused.
bool ReadNumberedName(char* text, const char* prefix, int limit, int* number, char** after) {
  if (!StartsWithNoCase(text, prefix)) return false;
  char* p = text + strlen(prefix);
  if (!isdigit(static_cast<unsigned char>(*p))) return false;
  long long n = 0;
  while (isdigit(static_cast<unsigned char>(*p))) {
    n = n * 10 + (*p - '0');
    if (n > limit) return false;
    ++p;
  }
  if (*p != '\0' && *p != ';' && *p != ':') return false;
  *number = static_cast<int>(n);
  *after = p;
  return true;
}

// The position of the next ';' or ':' at or after p, or of the end.
char* SkipToSeparator(char* p) {
  while (*p != '\0' && *p != ';' && *p != ':') ++p;
  return p;
}

}  // namespace

char* BreakLine(const char* line, char** name, char** value) {
  *name = nullptr;
  *value = nullptr;
  const char* colon = line;
  while (*colon != ':') {
    if (*colon == '\0' || *colon == '\n' || *colon == '\r') VERSIT_PARSE_ERROR(kNoColon);
    ++colon;
  }
  const char* start = colon + 1;
  while (IsBlankOrTab(*start)) ++start;
  // A CR inside the line is part of the value; only the line end is cut.
  size_t length = strcspn(start, "\n");
  while (length > 0 && start[length - 1] == '\r') --length;
  std::string rest(start, length);
  *name = strndup(line, static_cast<size_t>(colon - line));
  if (!StringIsEmpty(rest.c_str())) *value = strdup(rest.c_str());
  return *name;
}

int MatchWordFromArray(char** text, const PropNameAndSize* table) {
  // Most rows differ in their first letter: comparing it first saves the
  // library call for them (every line of every card passes through here).
  auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  const char first = fold(**text);
  for (int row = 0; table[row].name != nullptr; ++row) {
    const PropNameAndSize& entry = table[row];
    if (entry.size > 0 && fold(entry.name[0]) != first) continue;
    if (strncasecmp(*text, entry.name, static_cast<size_t>(entry.size)) == 0 &&
        EndsWord((*text)[entry.size])) {
      *text += entry.size;
      return row;
    }
  }
  return -1;
}

VCardSubType* ParseSubProperty(char** text) {
  char* start = *text;
  char* p = start;
  int kind = MatchWordFromArray(&p, kVCardSubPropNames);
  if (kind < 0) {
    kind = kSubTypeType;  // a bare TYPE value
  } else {
    p = SkipBlanks(p);
    if (*p != '=') VERSIT_PARSE_ERROR(std::string(kNeedEquals) + start);
    ++p;
  }
  p = SkipBlanks(p);

  int value = -1;
  switch (kind) {
    case kSubTypeType: {
      value = MatchWordFromArray(&p, kVCardTypeNames);
      if (value >= 0) break;
      int number = 0;
      char* after = nullptr;
      if (ReadNumberedName(p, kVCardTypePrefix, INT_MAX - kTypeFirstKavri, &number, &after)) {
        value = kTypeFirstKavri + number;
        p = after;
      } else if (StartsWithNoCase(p, "X-")) {
        kind = kSubTypeIgnored;
        value = kSubTypeIgnored;
        p = SkipToSeparator(p);
      } else {
        VERSIT_PARSE_ERROR(std::string(kTypeNotFound) + start);
      }
      break;
    }
    case kSubTypeValue:
      value = MatchWordFromArray(&p, kVCardValueNames);
      if (value < 0) VERSIT_PARSE_ERROR(std::string(kValueNotFound) + start);
      break;
    case kSubTypeEncoding:
      value = MatchWordFromArray(&p, kVCardEncodingNames);
      if (value < 0) VERSIT_PARSE_ERROR(std::string(kEncodingNotFound) + start);
      break;
    case kSubTypeCharset:
      VERSIT_PARSE_ERROR(std::string(kCharsetRefused) + start);
    default:
      VERSIT_PARSE_ERROR(std::string(kLanguageRefused) + start);
  }
  *text = p;
  return new VCardSubType(kind, value);
}

VCardEntry* VCardEntry::ParsePropertyName(const char* text) {
  // The parser walks a private copy so that the table matchers can advance a
  // plain char pointer; the caller's text is never touched.
  std::unique_ptr<char, decltype(&free)> copy(strdup(text ? text : ""), &free);
  char* p = copy.get();
  auto entry = std::make_unique<VCardEntry>();

  int id = MatchWordFromArray(&p, kVCardPropNames);
  if (id < 0) {
    int number = 0;
    char* after = nullptr;
    if (ReadNumberedName(p, kVCardLabelPrefix, INT_MAX - kVCardFirstLabel, &number, &after)) {
      id = kVCardFirstLabel + number;
      p = after;
    } else if (StartsWithNoCase(p, kVCardLabelPrefix)) {
      id = kVCardUnknown;
    } else if (StartsWithNoCase(p, "X-")) {
      id = kVCardIgnored;
      p = SkipToSeparator(p);
    }
  }
  if (id == kVCardUnknown) VERSIT_PARSE_ERROR(std::string(kBadPropertyValue) + copy.get());
  entry->id = id;

  p = SkipBlanks(p);
  if (*p == '\0') return entry.release();
  if (*p != ';') VERSIT_PARSE_ERROR(kBadFormat);

  for (;;) {
    if (*p == '\0') return entry.release();
    p = SkipBlanks(p);
    if (*p != ';') VERSIT_PARSE_ERROR(std::string(kNeedSemicolon) + copy.get());
    ++p;
    VCardSubType* sub = nullptr;
    try {
      sub = ParseSubProperty(&p);
    } catch (KvError* e) {
      if (e->GetKind() == kKvErrorParse) {
        VERSIT_ADD_USER_LINE(e, std::string(kBadPropertyValue) + copy.get());
      } else {
        VERSIT_ADD_TRACE_LINE(e, kRethrown);
      }
      throw;
    }
    if (sub->kind == kSubTypeIgnored) {
      delete sub;
    } else {
      entry->AddSubType(sub);
    }
    p = SkipBlanks(p);
  }
}
