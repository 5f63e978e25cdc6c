// Request object: query strings, URL-encoded bodies, cookie headers, header
// lines, the striped cookie format; browser classification and header output.
#include <gtest/gtest.h>

#include "FakeRequest.h"

namespace {

TEST(FormParseTest, QueryAndBodyPairs) {
  const struct { const char* text; Pairs get, post; } cases[] = {
      {"a=1+2&b=%41", {{"a", "1+2"}, {"b", "A"}}, {{"a", "1 2"}, {"b", "A"}}},
      {"a=&b=2&", {{"a", ""}, {"b", "2"}}, {{"a", ""}, {"b", "2"}}},
      {"a&b=1", {{"a&b", "1"}}, {{"a&b", "1"}}}, {"noequals", {}, {}},
      // A lone or broken escape stays as it is.
      {"a=%", {{"a", "%"}}, {{"a", "%"}}}, {"a=%4", {{"a", "%4"}}, {{"a", "%4"}}},
      {"a=%zz&b=1", {{"a", "%zz"}, {"b", "1"}}, {{"a", "%zz"}, {"b", "1"}}},
  };
  for (const auto& c : cases) {
    int n = static_cast<int>(strlen(c.text));
    std::unique_ptr<ValNameList> get(RequestInfo::ParseGETString(c.text, n));
    std::unique_ptr<ValNameList> post(RequestInfo::ParsePOSTString(c.text, n));
    EXPECT_EQ(c.get, ToPairs(get.get())) << c.text;
    EXPECT_EQ(c.post, ToPairs(post.get())) << c.text;
  }
  // Nothing past the given length is read, not even by an escape.
  std::unique_ptr<ValNameList> cut(RequestInfo::ParseGETString("a=%41&b=2", 4));
  EXPECT_EQ((Pairs{{"a", "%4"}}), ToPairs(cut.get()));
}

TEST(FormParseTest, CookieHeaderAndHeaderLine) {
  const struct { const char* text; KvBoolean decode; Pairs expected; } cases[] = {
      {"x=1; y=\"two\" ; z", 1, {{"x", "1"}, {"y", "two"}}}, {"a%41=b%20c+d", 1, {{"aA", "b c+d"}}},
      {"flag; \t k =\"v\"\r\n", 0, {{"k ", "v"}}},
      {"name=\"a;b=c\"; filename=\"\\\"q\\\";\"\r\n", 0, {{"name", "a;b=c"}, {"filename", "\"q\";"}}},
  };
  for (const auto& c : cases) {
    std::unique_ptr<ValNameList> list(RequestInfo::ParseNameValString(c.text, c.decode));
    EXPECT_EQ(c.expected, ToPairs(list.get())) << c.text;
  }
  std::unique_ptr<ValNameList> header(RequestInfo::ParseHTTPHeader(
      "Content-Disposition: form-data; name=\"file\"; filename=\"C:\\data\\people.txt\"\r\n"));
  EXPECT_EQ((Pairs{{"name", "file"}, {"filename", "C:\\data\\people.txt"},
                   {"Content-Disposition", " form-data"}}),
            ToPairs(header.get()));
  EXPECT_EQ(nullptr, RequestInfo::ParseHTTPHeader("no colon\r\n"));
}

TEST(FormParseTest, FormattedCookies) {
  FakeRequest req;
  req.cookies = RequestInfo::ParseNameValString(
      "plain=a:b:a; gaps=::a::b:; sel=KavriStriped-3; KavriStriped-0-sel=p:q; "
      "KavriStriped-2-sel=s; two=kavristriped-2; KavriStriped-0-two=x; KavriStriped-1-two=y:x; "
      "zero=KavriStriped-0; KavriStriped-0-zero=n; huge=KavriStriped-99999999999999999999; "
      "KavriStriped-0-huge=h",
      1);
  const struct { const char* name; std::vector<std::string> expected; } cases[] = {
      {"plain", {"a", "b"}}, {"gaps", {"a", "b"}},
      {"sel", {"p", "q"}},  // stripe 1 is missing, so stripe 2 is not read
      {"two", {"x", "y"}},   {"zero", {}}, {"huge", {"h"}}, {"absent", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, testsupport::Texts(req.FindFormattedCookie(c.name))) << c.name;
  }
}

TEST(RequestInfoTest, BrowserClassification) {
  const struct { const char* agent; int type; double version; int capable, limit; } cases[] = {
      {"", 0, 0.0, 0, 1024}, {"Mozilla/2.02 (X11; I; Linux)", 1, 2.0, 0, 4096},
      {"Mozilla/2.0 (compatible; MSIE 3.01; Windows 95)", 2, 3.01, 0, 1024},
      {"Mozilla/2.0 (compatible; MSIE 3.02; Windows 95)", 2, 3.02, 1, 1024},
      {"Mozilla/99999999999999999999999", 1, 1000000.0, 1, 4096},
  };
  for (const auto& c : cases) {
    FakeRequest req;
    req.SetBrowserType(c.agent);
    EXPECT_EQ(c.type, req.browserType) << c.agent;
    EXPECT_DOUBLE_EQ(c.version, req.browserVersion) << c.agent;
    EXPECT_EQ(c.capable, req.capableBrowser) << c.agent;
    EXPECT_EQ(c.limit, req.GetMaxCookieLength()) << c.agent;
  }
}

TEST(RequestInfoTest, HeaderOutputDropsLineBreaks) {
  const struct { const char* name; const char* value; int status; const char* expected; } cases[] = {
      {"Content-type", "text/html", 0, "Content-type: text/html\n"}, {"", "ignored", 0, "\n"},
      {"Window-target", nullptr, 0, "Window-target: \n"}, {"\r\n", "v", 0, ""},
      {"Set-Cookie", "a=1\r\nSet-Cookie: admin=1", 0, "Set-Cookie: a=1Set-Cookie: admin=1\n"},
      {"X-A\r\n", "v\n\n<html>", 0, "X-A: v<html>\n"},
      {nullptr, "OK", 200, "Status: 200 OK\n"}, {nullptr, nullptr, 302, "Status: 302\n"},
      {nullptr, "Bad\r\nSet-Cookie: x=1", 500, "Status: 500 BadSet-Cookie: x=1\n"},
  };
  for (const auto& c : cases) {
    CGIRequestInfo req;
    req.outputStream = tmpfile();
    ASSERT_NE(nullptr, req.outputStream);
    c.status ? req.SetStatus(c.status, c.value) : req.WriteHeader(c.name, c.value);
    req.Flush();
    rewind(req.outputStream);
    char buf[256];
    size_t n = fread(buf, 1, sizeof buf, req.outputStream);
    EXPECT_EQ(c.expected, std::string(buf, n));
    fclose(req.outputStream);
  }
}

}  // namespace
