// Tests of the String class and the C-string helpers: escaping, URL
// activation, line reading and folding, decoding and tokenising.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestUtil.h"

namespace {

std::string Rewritten(const std::string& in, void (String::*op)()) {
  String s(in.c_str());
  (s.*op)();
  EXPECT_EQ(static_cast<int>(strlen(s.CStr())), s.GetLength());
  return s.CStr();
}

std::string Anchor(const std::string& url) {
  return "<A HREF=\"" + url + "\" target=\"_top\">" + url + "</A>";
}

}  // namespace

TEST(StringTest, AppendPiecesAndExtensions) {
  String s;
  s += "abc";  // holds nothing: becomes a copy
  s += String();
  s += s;
  EXPECT_EQ(6, s.GetLength());
  EXPECT_EQ(3, (String() + "a" + String() + String("bc")).GetLength());
  EXPECT_EQ(nullptr, (String() + String()).GetBuffer());
  EXPECT_STREQ("ab", String("abcdef", 2).CStr());
  EXPECT_STREQ("el", String("hello").SubString(1, 3).CStr());
  EXPECT_STREQ("hello", String("hello").SubString(3, 1).CStr());
  EXPECT_EQ(nullptr, StringSubstring("", ""));
  EXPECT_STREQ("gz", Own(StringFindExtension("a.tar.gz")).get());
  EXPECT_EQ(nullptr, StringFindExtension("dot."));
}

TEST(StringTest, PrepForURLEncodesEveryByteOutsideTheSafeSet) {
  const std::string safe =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789*-.@_";
  for (int c = 1; c < 256; ++c) {
    std::string in(1, static_cast<char>(c));
    char hex[4];
    snprintf(hex, sizeof hex, "%%%02X", c);
    std::string want = safe.find(static_cast<char>(c)) != std::string::npos ? in : hex;
    EXPECT_EQ(want, Rewritten(in, &String::PrepForURL)) << "byte " << c;
  }
  String nothing;
  nothing.PrepForURL();
  EXPECT_EQ(nullptr, nothing.GetBuffer());
}

// HTML and JS escaping, line breaks made visible and folded for a list file,
// and a folded value's "=0A=" taken back.
TEST(StringTest, Rewrites) {
  struct Case {
    const char *in, *html, *js, *enhanced, *folded, *unescaped;
  } cases[] = {
      {"plain", "plain", "plain", "plain", "plain", "plain"},
      {"a<b>&\"c'", "a&lt;b&gt;&amp;&quot;c'", "a<b>&\"c\\'", "a<b>&\"c'", "a<b>&\"c'", "a<b>&\"c'"},
      {"\\'", "\\'", "\\\\\\'", "\\'", "\\'", "\\'"},
      {"</script>", "&lt;/script&gt;", "<\\/script>", "</script>", "</script>", "</script>"},
      {"a\r\nb\rc\nd", "a\r\nb\rc\nd", "a\\r\\nb\\rc\\nd", "a<BR>b<BR>c<BR>d",
       "a=0A=\n b=0A=\n c=0A=\n d", "a\r\nb\rc\nd"},
      {"\n\r", "\n\r", "\\n\\r", "<BR><BR>", "=0A=\n =0A=\n ", "\n\r"},
      {"abc=0a=", "abc=0a=", "abc=0a=", "abc=0a=", "abc=0a=", "abc\n"},
      {"=0A=", "=0A=", "=0A=", "=0A=", "=0A=", "\n"},
      {"a=0A=b", "a=0A=b", "a=0A=b", "a=0A=b", "a=0A=b", "a=0A=b"},
      {"abc=0A", "abc=0A", "abc=0A", "abc=0A", "abc=0A", "abc=0A"},
      {"", "", "", "", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.html, Rewritten(c.in, &String::PrepForHTML)) << c.in;
    EXPECT_EQ(c.js, Rewritten(c.in, &String::PrepForJS)) << c.in;
    EXPECT_EQ(c.folded, Rewritten(c.in, &String::PrepareForWriting)) << c.in;
    String s(c.in);
    if (*c.in) {
      EXPECT_STREQ(c.enhanced, String(c.in).HTMLEnhanced()) << c.in;
    }
    EXPECT_EQ(strcmp(c.in, c.unescaped) != 0, s.VersitUnescape() == true) << c.in;
    EXPECT_STREQ(c.unescaped, s.CStr());
    EXPECT_EQ(static_cast<int>(strlen(c.unescaped)), s.GetLength());
  }
  EXPECT_EQ(nullptr, String().HTMLEnhanced());
}

TEST(StringTest, ActivateURLs) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"See http://host.example.com/path/page.html.",
       "See " + Anchor("http://host.example.com/path/page.html") + "."},
      {"http://host.example.com:8080/cgi/run?x=1",
       Anchor("http://host.example.com:8080/cgi/run") + "?x=1"},
      {"ftp://host.example.com:21/pub", Anchor("ftp://host.example.com") + ":21/pub"},
      {"xhttp://host", "x" + Anchor("http://host")},
      {"http:// x", Anchor("http://") + " x"},
      {"news://a\x01 HTTPS://U", Anchor("news://a") + "\x01 " + Anchor("HTTPS://U")},
      {"a:b:c http://h:1:2/p", "a:b:c " + Anchor("http://h:1") + ":2/p"},
      {"http://h/a\"><script>", Anchor("http://h/a") + "\"><script>"},
      {"", ""},
  };
  for (const Case& c : cases) {
    String s(c.in.c_str());
    CText copy = Own(s.ActivateURLs());
    EXPECT_EQ(c.out, copy.get()) << c.in;
    EXPECT_STREQ(copy.get(), s.CStr());
  }
}

TEST(StringTest, GetFieldKeepsLongLinesAndALastLineWithoutBreak) {
  std::string longLine(5000, 'x');
  longLine[79] = 'A';
  longLine[80] = 'B';
  std::string text = std::string(200, 'y') + "\r\n" + longLine + "\n\nlast";
  FILE* fp = tmpfile();
  fwrite(text.data(), 1, text.size(), fp);
  rewind(fp);
  String s("pre:");
  for (const std::string& want : {"pre:" + std::string(200, 'y'), longLine, std::string(), std::string("last")}) {
    ASSERT_TRUE(s.GetField(fp));
    EXPECT_EQ(want.empty() ? "<null>" : want, Str(s.GetBuffer()));
    EXPECT_EQ(static_cast<int>(want.size()), s.GetLength());
    s.Cleanup();
  }
  EXPECT_FALSE(s.GetField(fp));
  fclose(fp);
}

TEST(StringTest, StringUnescape) {
  struct Case {
    const char* in;
    int n;
    bool plus;
    const char* out;
  } cases[] = {
      {"a%41+b", 6, true, "aA b"}, {"a%41+b", 6, false, "aA+b"}, {"%7e%7E", 6, false, "~~"},
      {"%", 1, false, "%"},        {"%4", 2, false, "%4"},       {"%zz", 3, false, "%zz"},
      {"%4g1", 4, false, "%4g1"},
      {"ab%41", 4, false, "ab%4"},  // the escape reaches past n
      {"ab%41", 3, false, "ab%"},  {"abc", 0, false, ""},       {"abc", -5, false, ""},
  };
  for (const Case& c : cases) {
    // Exactly n bytes on the heap, so a read past them is caught by the
    // address sanitizer.
    size_t n = c.n > 0 ? c.n : 0;
    char* heap = static_cast<char*>(malloc(n ? n : 1));
    memcpy(heap, c.in, n);
    CText out = Own(StringUnescape(heap, c.n, c.plus));
    ASSERT_NE(nullptr, out.get());
    EXPECT_STREQ(c.out, out.get()) << c.in << " " << c.n;
    free(heap);
  }
}

TEST(StringTest, StringTokenizeKeepsEmptyAndLongPieces) {
  const std::string big(3000, 'a');
  struct Case {
    std::string in;
    Strings pieces;
  } cases[] = {
      {"a , b ,c ", {"a", "b", "c "}}, {"", {""}}, {"a,,b", {"a", "", "b"}},
      {",", {"", ""}},                 {big + "," + big, {big, big}},
  };
  for (const Case& c : cases) {
    std::unique_ptr<ValList> list(StringTokenize(c.in.c_str(), ','));
    EXPECT_EQ(c.pieces, Vals(*list)) << c.in;
    EXPECT_EQ(static_cast<int>(c.pieces.size()), list->count);
  }
  EXPECT_EQ(0, std::unique_ptr<ValList>(StringTokenize(nullptr, ','))->count);
}
