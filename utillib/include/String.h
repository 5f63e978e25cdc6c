// The program's own text class, with the escaping operations that decide how
// user data reaches URLs, HTML and inline JavaScript and the line operations
// that read and fold name/value list files; plus free functions on plain C
// strings. Buffers returned by the free functions come from malloc and the
// caller releases them with free(), unless a function says it works in place
// or returns a pointer into its argument.
#pragma once

#include <cstdio>

#include "KvBoolean.h"

class ValList;

class String {
 public:
  // Holds nothing: null buffer, length 0.
  String();
  // Copies s; a null s gives a string that holds nothing.
  String(const char* s);
  // The decimal text of n.
  String(int n);
  String(const String& other);
  // n copies of c.
  String(int n, char c);
  // Exactly the first n bytes of s, which must hold at least n bytes.
  String(const char* s, int n);
  ~String();

  // Frees the buffer; afterwards the string holds nothing.
  void Cleanup();
  // Replaces nothing: call only on a string that holds nothing (after
  // Cleanup). Copies s, or holds nothing when s is null.
  void Init(const char* s);

  String& operator=(const String& other);
  String operator+(const String& other) const;
  String operator+(const char* other) const;
  String& operator+=(const char* other);
  String& operator+=(const String& other);

  String Copy() const;
  void Print(FILE* fp) const;
  void Println(FILE* fp) const;

  // The characters, owned by this string; null when it holds nothing. The
  // pointer stays valid until the next change to this string.
  char* GetBuffer() const { return buffer; }
  // Like GetBuffer, but "" instead of null.
  const char* CStr() const { return buffer ? buffer : ""; }
  int GetLength() const { return length; }

  // 0-based index of the first c, or -1.
  int IndexOf(char c) const;
  // From `from` to the end; a negative `from` gives the whole string.
  String SubString(int from) const;
  // [from, to) when 0 <= from <= to; otherwise the whole string. Callers keep
  // both indices within the length.
  String SubString(int from, int to) const;

  // In-place rewrites; a string that holds nothing is left as it is.
  void PrepForURL();
  void PrepForHTML();
  void PrepForJS();
  // Every line break (CR LF, CR or LF) becomes <BR>. Returns this string's
  // own buffer (not a copy).
  char* HTMLEnhanced();
  // Folding for name/value list files: every line break becomes "=0A=" LF
  // space.
  void PrepareForWriting();
  // A trailing "=0A=" (any case) becomes LF; true when it was there.
  KvBoolean VersitUnescape();
  // Turns every URL of the text into an anchor; this string takes the result
  // and a copy is returned, which the caller frees with free().
  char* ActivateURLs();

  // Reads one physical line and appends it, without its trailing CR/LF
  // characters. A last line without a line break counts. False at end of
  // input when nothing was read.
  KvBoolean GetField(FILE* fp);
  // Reads one logical, possibly folded, name:value entry; this string becomes
  // name + ":" + value. False at end of input.
  KvBoolean GetNameValPair(FILE* fp, String& name, String& value);

 private:
  char* buffer;
  int length;
};

// True when s is null, empty, or holds only spaces, tabs, LF and CR.
KvBoolean StringIsEmpty(const char* s);
// The byte made of the two hexadecimal digits at p.
char HexToChar(const char* p);
// Decodes the first n characters of s (%XX, and + as space when plusToSpace)
// into a new buffer; never reads past those n characters. Null only when
// allocation fails.
char* StringUnescape(const char* s, int n, KvBoolean plusToSpace);
// Copy of the text up to the first NUL, CR or LF; null when that is blank.
char* StringGrabVal(const char* s);
// Copy of the text before the first colon; null when there is none on the
// line, when the text starts with a colon, or when it is blank.
char* StringGrabValBeforeColon(const char* s);
// Copy of the text after the first colon, cut at the first CR or LF; null when
// there is no colon or the text is blank.
char* StringGrabValAfterColon(const char* s);
// New buffer with at most the first n characters of s.
char* StringDup(const char* s, int n);
// Pointer into haystack at the first case-insensitive occurrence of needle;
// null when not found or when haystack is empty.
char* StringSubstring(const char* needle, const char* haystack);
// Copy of the text after the last '.'; null when there is none or it is last.
char* StringFindExtension(const char* s);
char* StringFromInteger(int n);
// In place: CR and LF become spaces. Returns s.
char* StringRemoveNewlines(char* s);
// In place, with tolower. Returns s.
char* StringToLower(char* s);
// In place: blank becomes empty, else leading/trailing spaces and tabs are
// removed. Returns s.
char* VisibleText(char* s);
// New list (caller deletes) of the pieces of s split at sep; every piece but
// the last is trimmed with VisibleText.
ValList* StringTokenize(const char* s, char sep);
// Returns the decimal value of the first two characters of in; the remaining
// hexadecimal pairs are decoded into out, which must hold
// (strlen(in) - 2) / 2 + 1 bytes, and NUL-terminated.
int Convert(const char* in, char* out);
// True when text is not null and begins with protocol (case-insensitive).
KvBoolean SearchProtocol(const char* protocol, const char* text);
