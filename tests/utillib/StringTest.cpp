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

std::string Activated(const std::string& in) {
  String s(in.c_str());
  CText copy = Own(s.ActivateURLs());
  EXPECT_STREQ(copy.get(), s.CStr());
  return copy.get();
}

std::string Anchor(const std::string& url) {
  return "<A HREF=\"" + url + "\" target=\"_top\">" + url + "</A>";
}

FILE* TextStream(const std::string& text) {
  FILE* fp = tmpfile();
  fwrite(text.data(), 1, text.size(), fp);
  rewind(fp);
  return fp;
}

}  // namespace

TEST(StringTest, AppendKeepsLengthRight) {
  String s;
  s += "abc";  // holds nothing: becomes a copy
  s += "";
  s += String();
  EXPECT_STREQ("abc", s.CStr());
  EXPECT_EQ(3, s.GetLength());
  s += s;
  EXPECT_STREQ("abcabc", s.CStr());
  EXPECT_EQ(6, s.GetLength());
  String sum = String() + "a" + String() + String("bc");
  EXPECT_EQ(3, sum.GetLength());
  EXPECT_EQ(nullptr, (String() + String()).GetBuffer());
  EXPECT_STREQ("ab", String("abcdef", 2).CStr());
  EXPECT_STREQ("el", String("hello").SubString(1, 3).CStr());
  EXPECT_STREQ("hello", String("hello").SubString(3, 1).CStr());
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
  EXPECT_EQ("a%20b%2Fc%7Ed", Rewritten("a b/c~d", &String::PrepForURL));
  String nothing;
  nothing.PrepForURL();
  EXPECT_EQ(nullptr, nothing.GetBuffer());
}

TEST(StringTest, PrepForHTMLAndJS) {
  struct Case {
    const char* in;
    const char* html;
    const char* js;
  } cases[] = {
      {"plain", "plain", "plain"},
      {"a<b>&\"c'", "a&lt;b&gt;&amp;&quot;c'", "a<b>&\"c\\'"},
      {"it's", "it's", "it\\'s"},
      {"a\\b", "a\\b", "a\\\\b"},
      {"\\'", "\\'", "\\\\\\'"},
      {"l1\r\nl2\n", "l1\r\nl2\n", "l1\\r\\nl2\\n"},
      {"</script>", "&lt;/script&gt;", "<\\/script>"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.html, Rewritten(c.in, &String::PrepForHTML)) << c.in;
    EXPECT_EQ(c.js, Rewritten(c.in, &String::PrepForJS)) << c.in;
  }
}

TEST(StringTest, LineBreakRewrites) {
  struct Case {
    const char* in;
    const char* html;
    const char* folded;
  } cases[] = {
      {"a\r\nb\rc\nd", "a<BR>b<BR>c<BR>d", "a=0A=\n b=0A=\n c=0A=\n d"},
      {"\n\n", "<BR><BR>", "=0A=\n =0A=\n "},
      {"\n\r", "<BR><BR>", "=0A=\n =0A=\n "},
      {"none", "none", "none"},
  };
  for (const Case& c : cases) {
    String s(c.in);
    EXPECT_STREQ(c.html, s.HTMLEnhanced());
    EXPECT_EQ(c.folded, Rewritten(c.in, &String::PrepareForWriting));
  }
  EXPECT_EQ(nullptr, String().HTMLEnhanced());
}

TEST(StringTest, VersitUnescape) {
  struct Case {
    const char* in;
    bool changed;
    const char* out;
  } cases[] = {
      {"abc=0a=", true, "abc\n"}, {"=0A=", true, "\n"}, {"=0A", false, "=0A"},
      {"abc=0A", false, "abc=0A"}, {"a=0A=b", false, "a=0A=b"},
  };
  for (const Case& c : cases) {
    String s(c.in);
    EXPECT_EQ(c.changed, s.VersitUnescape() == true) << c.in;
    EXPECT_STREQ(c.out, s.CStr());
    EXPECT_EQ(static_cast<int>(strlen(c.out)), s.GetLength());
  }
}

TEST(StringTest, ActivateURLs) {
  struct Case {
    std::string in;
    std::string out;
  } cases[] = {
      {"See http://host.example.com/path/page.html.",
       "See " + Anchor("http://host.example.com/path/page.html") + "."},
      {"http://host.example.com:8080/cgi/run?x=1",
       Anchor("http://host.example.com:8080/cgi/run") + "?x=1"},
      {"ftp://host.example.com:21/pub", Anchor("ftp://host.example.com") + ":21/pub"},
      {"xhttp://host", "x" + Anchor("http://host")},
      {"http:// x", Anchor("http://") + " x"},
      {"mailto:", Anchor("mailto:")},
      {"news://a\x01", Anchor("news://a") + "\x01"},
      {"HTTPS://Up.Case/", Anchor("HTTPS://Up.Case/")},
      {"shttp://s snews://n", Anchor("shttp://s") + " " + Anchor("snews://n")},
      {"a:b:c http://h:1:2/p", "a:b:c " + Anchor("http://h:1") + ":2/p"},
      {"http://h/a\"><script>", Anchor("http://h/a") + "\"><script>"},
      {"no links here", "no links here"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.out, Activated(c.in)) << c.in;
}

TEST(StringTest, GetFieldKeepsLongLinesAndALastLineWithoutBreak) {
  std::string longLine(5000, 'x');
  longLine[79] = 'A';
  longLine[80] = 'B';
  FILE* fp = TextStream(std::string(200, 'y') + "\r\n" + longLine + "\n\nlast");
  String s("pre:");
  ASSERT_TRUE(s.GetField(fp));
  EXPECT_EQ("pre:" + std::string(200, 'y'), s.CStr());
  EXPECT_EQ(204, s.GetLength());
  s.Cleanup();
  ASSERT_TRUE(s.GetField(fp));
  EXPECT_EQ(longLine, s.CStr());
  s.Cleanup();
  ASSERT_TRUE(s.GetField(fp));
  EXPECT_EQ(nullptr, s.GetBuffer());
  ASSERT_TRUE(s.GetField(fp));
  EXPECT_STREQ("last", s.CStr());
  s.Cleanup();
  EXPECT_FALSE(s.GetField(fp));
  fclose(fp);
}

TEST(StringTest, FoldingRoundTrip) {
  const char* values[] = {"one\ntwo\nthree", "trailing\n", "\nleading", "  spaced  ",
                          "x:y=z", "a\r\nb\rc"};
  for (const char* v : values) {
    String folded(v);
    folded.PrepareForWriting();
    FILE* fp = TextStream(std::string("name:") + folded.CStr() + "\n");
    String entry, name, value;
    ASSERT_TRUE(entry.GetNameValPair(fp, name, value));
    fclose(fp);
    std::string want(v);
    for (size_t i; (i = want.find("\r\n")) != std::string::npos;) want.erase(i, 1);
    for (char& c : want) c = c == '\r' ? '\n' : c;
    EXPECT_EQ(want, value.CStr()) << v;
  }
}

TEST(StringTest, StringUnescape) {
  struct Case {
    const char* in;
    int n;
    bool plus;
    const char* out;
  } cases[] = {
      {"a%41+b", 6, true, "aA b"},
      {"a%41+b", 6, false, "aA+b"},
      {"%7e%7E", 6, false, "~~"},
      {"%", 1, false, "%"},
      {"%4", 2, false, "%4"},
      {"%zz", 3, false, "%zz"},
      {"%4g1", 4, false, "%4g1"},
      {"ab%41", 4, false, "ab%4"},  // the escape reaches past n
      {"ab%41", 3, false, "ab%"},
      {"abc", 0, false, ""},
      {"abc", -5, false, ""},
  };
  for (const Case& c : cases) {
    // Exactly n bytes on the heap, so a read past them is caught by the
    // address sanitizer.
    std::vector<char> exact(c.in, c.in + (c.n > 0 ? c.n : 0));
    char* heap = static_cast<char*>(malloc(exact.empty() ? 1 : exact.size()));
    if (!exact.empty()) memcpy(heap, exact.data(), exact.size());
    CText out = Own(StringUnescape(heap, c.n, c.plus));
    ASSERT_NE(nullptr, out.get());
    EXPECT_STREQ(c.out, out.get()) << c.in << " " << c.n;
    free(heap);
  }
}

TEST(StringTest, GrabAndSplitHelpers) {
  EXPECT_TRUE(StringIsEmpty(nullptr));
  EXPECT_TRUE(StringIsEmpty(" \t\r\n"));
  EXPECT_FALSE(StringIsEmpty(" x "));
  EXPECT_EQ('A', HexToChar("41"));
  EXPECT_EQ('\xE9', HexToChar("e9"));

  struct Grab {
    const char* in;
    const char* val;
    const char* before;
    const char* after;
  } grabs[] = {
      {"name: value\r\nmore", "name: value", "name", " value"},
      {":x", ":x", nullptr, "x"},
      {"a\n:b", "a", nullptr, "b"},
      {"a:b:c", "a:b:c", "a", "b:c"},
      {"a:", "a:", "a", ""},
      {"  \t", nullptr, nullptr, nullptr},
      {"nocolon", "nocolon", nullptr, nullptr},
      {"\nx", nullptr, nullptr, nullptr},
  };
  for (const Grab& g : grabs) {
    EXPECT_EQ(Str(g.val), Str(Own(StringGrabVal(g.in)).get())) << g.in;
    EXPECT_EQ(Str(g.before), Str(Own(StringGrabValBeforeColon(g.in)).get())) << g.in;
    EXPECT_EQ(Str(g.after), Str(Own(StringGrabValAfterColon(g.in)).get())) << g.in;
  }

  const char* hay = "Hello World";
  EXPECT_EQ(hay + 6, StringSubstring("WORLD", hay));
  EXPECT_EQ(nullptr, StringSubstring("", ""));
  EXPECT_STREQ("gz", Own(StringFindExtension("a.tar.gz")).get());
  EXPECT_EQ(nullptr, StringFindExtension("dot."));
  char lines[] = "a\r\nb\nc";
  EXPECT_STREQ("a  b c", StringRemoveNewlines(lines));
  char padded[] = " \t in  side \t ";
  EXPECT_STREQ("in  side", VisibleText(padded));
  EXPECT_TRUE(SearchProtocol("http://", "HTTP://x"));
  EXPECT_FALSE(SearchProtocol("http://", "http:/"));
  EXPECT_FALSE(SearchProtocol("http://", nullptr));
}

TEST(StringTest, StringTokenize) {
  struct Case {
    const char* in;
    std::vector<std::string> pieces;
  } cases[] = {
      {"a , b ,c ", {"a", "b", "c "}},
      {"", {""}},
      {"a,,b", {"a", "", "b"}},
      {",", {"", ""}},
      {"one", {"one"}},
  };
  for (const Case& c : cases) {
    std::unique_ptr<ValList> list(StringTokenize(c.in, ','));
    std::vector<std::string> got;
    for (ValListItem* i = list->first; i; i = i->next) got.push_back(Str(i->value));
    EXPECT_EQ(c.pieces, got) << c.in;
    EXPECT_EQ(static_cast<int>(c.pieces.size()), list->count);
  }
  std::unique_ptr<ValList> none(StringTokenize(nullptr, ','));
  EXPECT_EQ(0, none->count);

  // No piece is cut short, however long.
  std::string big(3000, 'a');
  std::unique_ptr<ValList> longList(StringTokenize((big + "," + big).c_str(), ','));
  ASSERT_EQ(2, longList->count);
  EXPECT_EQ(big, longList->first->value);
  EXPECT_EQ(big, longList->last->value);
}
