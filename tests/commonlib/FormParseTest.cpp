// Query strings, URL-encoded bodies, cookie headers, header lines and the
// striped cookie format.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "FakeRequest.h"
#include "commonlib.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs ToPairs(ValNameList* list) {
  Pairs out;
  if (!list) return out;
  for (ValNameListItem* it = list->first; it; it = it->next) {
    out.emplace_back(it->name ? it->name : "(null)",
                     it->value ? it->value : "(null)");
  }
  return out;
}

std::vector<std::string> Values(ValList* list) {
  std::vector<std::string> out;
  for (ValListItem* it = list->first; it; it = it->next) out.push_back(it->value);
  return out;
}

Pairs Get(const std::string& text) {
  std::unique_ptr<ValNameList> list(RequestInfo::ParseGETString(
      text.c_str(), static_cast<int>(text.size())));
  return ToPairs(list.get());
}

Pairs Post(const std::string& text) {
  std::unique_ptr<ValNameList> list(RequestInfo::ParsePOSTString(
      text.c_str(), static_cast<int>(text.size())));
  return ToPairs(list.get());
}

TEST(FormParseTest, QueryAndBodyPairs) {
  struct Case {
    const char* text;
    Pairs get;
    Pairs post;
  };
  const Case cases[] = {
      {"a=1+2&b=%41", {{"a", "1+2"}, {"b", "A"}}, {{"a", "1 2"}, {"b", "A"}}},
      {"a=1&", {{"a", "1"}}, {{"a", "1"}}},
      {"a=&b=2", {{"a", ""}, {"b", "2"}}, {{"a", ""}, {"b", "2"}}},
      {"a&b=1", {{"a&b", "1"}}, {{"a&b", "1"}}},
      {"=x", {{"", "x"}}, {{"", "x"}}},
      {"noequals", {}, {}},
      {"", {}, {}},
      {"a=1&&b=2", {{"a", "1"}, {"&b", "2"}}, {{"a", "1"}, {"&b", "2"}}},
      {"x=a%3Db%26c", {{"x", "a=b&c"}}, {{"x", "a=b&c"}}},
      // A lone or broken escape stays as it is.
      {"a=%", {{"a", "%"}}, {{"a", "%"}}},
      {"a=%4", {{"a", "%4"}}, {{"a", "%4"}}},
      {"a=%zz&b=1", {{"a", "%zz"}, {"b", "1"}}, {{"a", "%zz"}, {"b", "1"}}},
      {"n+m=%2B", {{"n+m", "+"}}, {{"n m", "+"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.get, Get(c.text));
    EXPECT_EQ(c.post, Post(c.text));
  }
}

TEST(FormParseTest, PairsStopAtTheGivenLength) {
  // The text beyond the length is not part of the input, even when an escape
  // at the end would reach into it.
  std::unique_ptr<ValNameList> cut(RequestInfo::ParseGETString("a=1&b=2", 3));
  EXPECT_EQ((Pairs{{"a", "1"}}), ToPairs(cut.get()));
  std::unique_ptr<ValNameList> escape(RequestInfo::ParseGETString("a=%41", 4));
  EXPECT_EQ((Pairs{{"a", "%4"}}), ToPairs(escape.get()));
  std::unique_ptr<ValNameList> none(RequestInfo::ParseGETString(nullptr, 5));
  EXPECT_EQ(0, none->count);
  std::unique_ptr<ValNameList> negative(RequestInfo::ParseGETString("a=1", -1));
  EXPECT_EQ(0, negative->count);
}

TEST(FormParseTest, CookieHeader) {
  struct Case {
    const char* text;
    KvBoolean decode;
    Pairs expected;
  };
  const Case cases[] = {
      {"x=1; y=\"two\" ; z", 1, {{"x", "1"}, {"y", "two"}}},
      {"a%41=b%20c+d", 1, {{"aA", "b c+d"}}},
      {"a%41=b%20c+d", 0, {{"a%41", "b%20c+d"}}},
      {"flag; k=v", 1, {{"k", "v"}}},
      {"\t k =v", 0, {{"k ", "v"}}},
      {"k=\"\"", 0, {{"k", ""}}},
      {"k=v\r\n", 0, {{"k", "v"}}},
      {"k=", 0, {{"k", ""}}},
      {"k=v;", 0, {{"k", "v"}}},
      {"", 1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::unique_ptr<ValNameList> list(
        RequestInfo::ParseNameValString(c.text, c.decode));
    EXPECT_EQ(c.expected, ToPairs(list.get()));
  }
  std::unique_ptr<ValNameList> none(RequestInfo::ParseNameValString(nullptr, 1));
  EXPECT_EQ(0, none->count);
}

TEST(FormParseTest, HeaderLine) {
  std::unique_ptr<ValNameList> disposition(RequestInfo::ParseHTTPHeader(
      "Content-Disposition: form-data; name=\"file\"; "
      "filename=\"C:\\data\\people.txt\"\r\n"));
  EXPECT_EQ((Pairs{{"name", "file"},
                   {"filename", "C:\\data\\people.txt"},
                   {"Content-Disposition", " form-data"}}),
            ToPairs(disposition.get()));

  std::unique_ptr<ValNameList> plain(
      RequestInfo::ParseHTTPHeader("  Content-Type: text/plain"));
  EXPECT_EQ((Pairs{{"Content-Type", " text/plain"}}), ToPairs(plain.get()));

  std::unique_ptr<ValNameList> trailing(RequestInfo::ParseHTTPHeader("X: v;"));
  EXPECT_EQ((Pairs{{"X", " v"}}), ToPairs(trailing.get()));

  EXPECT_EQ(nullptr, RequestInfo::ParseHTTPHeader(nullptr));
  EXPECT_EQ(nullptr, RequestInfo::ParseHTTPHeader(""));
  EXPECT_EQ(nullptr, RequestInfo::ParseHTTPHeader("no colon here\r\n"));
}

TEST(FormParseTest, FormattedCookies) {
  FakeRequest req;
  req.cookies = RequestInfo::ParseNameValString(
      "plain=a:b:a; gaps=::a::b:; "
      "sel=KavriStriped-3; KavriStriped-0-sel=p:q; KavriStriped-2-sel=s; "
      "two=kavristriped-2; KavriStriped-0-two=x; KavriStriped-1-two=y:x; "
      "zero=KavriStriped-0; KavriStriped-0-zero=n; "
      "bad=KavriStriped-x; huge=KavriStriped-99999999999999999999; "
      "KavriStriped-0-huge=h",
      1);
  struct Case {
    const char* name;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"plain", {"a", "b"}},
      {"gaps", {"a", "b"}},
      {"sel", {"p", "q"}},  // stripe 1 is missing: stripe 2 is not read
      {"two", {"x", "y"}},
      {"zero", {}},
      {"bad", {}},
      {"huge", {"h"}},
      {"absent", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<ValList> list(req.FindFormattedCookie(c.name));
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(c.expected, Values(list.get()));
  }
  EXPECT_STREQ("a:b:a", req.FindCookie("PLAIN"));

  ValList list;
  const char* text = "u:v";
  EXPECT_EQ(text + 3, ParseFormattedCookie(text, &list));
}

TEST(FormParseTest, PostBody) {
  const std::string body = "a=1+2&b=%41";
  FakeRequest req(body);
  req.contentLength = static_cast<int>(body.size());
  std::unique_ptr<ValNameList> list(req.ParsePostInput());
  EXPECT_EQ((Pairs{{"a", "1 2"}, {"b", "A"}}), ToPairs(list.get()));
  EXPECT_FALSE(req.BodyTooLarge());
}

TEST(FormParseTest, PostBodyThatCannotBeRead) {
  struct Case {
    int length;
    bool tooLarge;
  };
  // Shorter than announced, nothing announced, negative, beyond the limit.
  const Case cases[] = {{100, false}, {0, false}, {-1, false}, {INT_MAX, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    FakeRequest req("a=1&b=2");
    req.contentLength = c.length;
    std::unique_ptr<ValNameList> list(req.ParsePostInput());
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(0, list->count);
    EXPECT_EQ(c.tooLarge, req.BodyTooLarge());
    if (c.tooLarge) {
      EXPECT_EQ(0u, req.consumed());  // not read at all
    }
  }
}

TEST(FormParseTest, QueryInputNeverReadsPastTheString) {
  FakeRequest req;
  req.queryString = strdup("a=1&b=2");
  req.contentLength = 1000;
  std::unique_ptr<ValNameList> list(req.ParseGetInput());
  EXPECT_EQ((Pairs{{"a", "1"}, {"b", "2"}}), ToPairs(list.get()));
}

}  // namespace
