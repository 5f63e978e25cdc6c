// Cookie headers: the header value with and without expiry, encoding of
// values that would break the header, and the striped cookie writer read
// back through the request object's cookie reader.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "CaptureRequest.h"
#include "TestSupport.h"
#include "htmllib.h"

namespace {

using testsupport::Texts;

// Friday 4 December 2026, 17:31:25 UTC.
time_t FixedClock() {
  struct tm t = {};
  t.tm_year = 2026 - 1900;
  t.tm_mon = 11;
  t.tm_mday = 4;
  t.tm_hour = 17;
  t.tm_min = 31;
  t.tm_sec = 25;
  return timegm(&t);
}

class CookieTest : public testing::Test {
 protected:
  void SetUp() override { KvSetCookieClock(FixedClock); }
  void TearDown() override { KvSetCookieClock(nullptr); }
};

std::string Output(const char* name, const char* value, int seconds,
                   const char* path) {
  char* text = CommonOutput(name, value, seconds, path);
  std::string out = text ? text : "(null)";
  free(text);
  return out;
}

// Emits the header objects and returns the "Set-Cookie" values.
std::vector<std::string> SetCookies(HTMLObject* chain, RequestInfo* req) {
  CaptureRequest capture;
  capture.browserType = req->browserType;
  chain->emit(&capture, 0, 1, nullptr);
  return capture.Headers("Set-Cookie");
}

// What the browser sends back for these "Set-Cookie" values, parsed by the
// request's cookie parser into req.
void ReturnCookies(const std::vector<std::string>& setCookies,
                   RequestInfo* req) {
  std::string header;
  for (const std::string& c : setCookies) {
    if (!header.empty()) header += "; ";
    header += c.substr(0, c.find(';'));
  }
  delete req->cookies;
  req->cookies = RequestInfo::ParseNameValString(header.c_str(), 1);
}

TEST_F(CookieTest, CommonOutputWithAndWithoutExpiry) {
  EXPECT_EQ(Output("n", "v", 3600, "/"),
            "n=v; path=/; expires=Friday, 04-Dec-26 18:31:25 GMT;");
  EXPECT_EQ(Output("n", "v", 86400 * 3, "/bin"),
            "n=v; path=/bin; expires=Monday, 07-Dec-26 17:31:25 GMT;");
  EXPECT_EQ(Output("n", "v", 0, nullptr), "n=v; path=/;");
  EXPECT_EQ(Output("n", "v", -5, "/"), "n=v; path=/;");
  EXPECT_EQ(Output("n", "", 0, "/"), "n=; path=/;");
  EXPECT_EQ(Output("n", nullptr, 10, "/"), "(null)");
}

TEST_F(CookieTest, ValuesThatWouldBreakTheHeaderAreEncoded) {
  EXPECT_EQ(Output("n", "a b/c=d:e+f'g", 0, "/"), "n=a b/c=d:e+f'g; path=/;");
  EXPECT_EQ(Output("n", "a;b,c%d\r\ne\x01\x7f", 0, "/"),
            "n=a%3Bb%2Cc%25d%0D%0Ae%01%7F; path=/;");

  // One header line, and the value reads back equal.
  const char* value = "x; path=/evil\r\nSet-Cookie: admin=1, y%41";
  SetCookie cookie("sess", value, 0);
  CaptureRequest req;
  std::vector<std::string> headers = SetCookies(&cookie, &req);
  ASSERT_EQ(headers.size(), 1u);
  ReturnCookies(headers, &req);
  ASSERT_NE(req.FindCookie("sess"), nullptr);
  EXPECT_STREQ(req.FindCookie("sess"), value);
  EXPECT_EQ(req.FindCookie("admin"), nullptr);
}

TEST_F(CookieTest, SetCookieChainSkipsNullValues) {
  SetCookie first("a", nullptr, 0);
  first.addNextObject(new SetCookie("b", "2", 60));
  CaptureRequest req;
  first.emit(&req, 0, 1, nullptr);
  EXPECT_EQ(req.out,
            "Set-Cookie: b=2; path=/; expires=Friday, 04-Dec-26 17:32:25 "
            "GMT;\n");
}

TEST_F(CookieTest, FormattedCookieThatFitsIsOneCookie) {
  ValList list;
  list.Append("b");
  list.Append("a");
  list.Append("c d");
  FormattedCookie cookie("sel", &list, 0);
  list.Append("later");  // the cookie holds its own copy
  cookie.addNextObject(new FormattedCookie("empty", (ValList*)nullptr, 0));
  CaptureRequest req;
  std::vector<std::string> headers = SetCookies(&cookie, &req);
  ASSERT_EQ(headers.size(), 2u);
  EXPECT_EQ(headers[0], "sel=b:a:c d; path=/;");
  EXPECT_EQ(headers[1], "empty=:; path=/;");
  ReturnCookies(headers, &req);
  EXPECT_EQ(Texts(req.FindFormattedCookie("sel")),
            (std::vector<std::string>{"b", "a", "c d"}));
  EXPECT_TRUE(Texts(req.FindFormattedCookie("empty")).empty());

  FormattedCookie single("one", "v;1", 0);
  headers = SetCookies(&single, &req);
  ReturnCookies(headers, &req);
  EXPECT_EQ(Texts(req.FindFormattedCookie("one")),
            (std::vector<std::string>{"v;1"}));
}

TEST_F(CookieTest, HundredValuesMakeSixStripes) {
  ValList list;
  std::vector<std::string> expected;
  for (int i = 0; i < 100; i++) {
    std::string v = "v" + std::to_string(1000 + i) + std::string(45, 'x');
    ASSERT_EQ(v.size(), 50u);
    list.Append(v.c_str());
    expected.push_back(v);
  }
  FormattedCookie cookie("ABCDEFGHIJ", &list, 600);
  CaptureRequest req;  // unknown browser: 1024 per cookie
  std::vector<std::string> headers = SetCookies(&cookie, &req);
  ASSERT_EQ(headers.size(), 7u);
  const size_t counts[] = {17, 17, 17, 17, 17, 15};
  size_t next = 0;
  for (int s = 0; s < 6; s++) {
    SCOPED_TRACE(s);
    const std::string prefix =
        "KavriStriped-" + std::to_string(s) + "-ABCDEFGHIJ=";
    ASSERT_EQ(headers[s].compare(0, prefix.size(), prefix), 0) << headers[s];
    std::string value = headers[s].substr(
        prefix.size(), headers[s].find(';') - prefix.size());
    std::string joined;
    for (size_t i = 0; i < counts[s]; i++)
      joined += (i ? ":" : "") + expected[next++];
    EXPECT_EQ(value, joined);
    EXPECT_NE(headers[s].find(" expires=Friday, 04-Dec-26 17:41:25 GMT;"),
              std::string::npos);
  }
  EXPECT_EQ(headers[6].substr(0, headers[6].find(';')),
            "ABCDEFGHIJ=KavriStriped-6");

  ReturnCookies(headers, &req);
  EXPECT_EQ(Texts(req.FindFormattedCookie("ABCDEFGHIJ")), expected);

  // A browser with room for 4096 characters needs two stripes.
  req.browserType = RequestInfo::kBrowserMozilla;
  headers = SetCookies(&cookie, &req);
  EXPECT_EQ(headers.size(), 3u);
}

TEST_F(CookieTest, OversizedFirstValueStaysInStripeZero) {
  const std::string big(1000, 'a');
  const std::string big2(950, 'b');
  ValList list;
  list.Append(big.c_str());
  list.Append(big2.c_str());
  list.Append("c");
  FormattedCookie cookie("n", &list, 0);
  CaptureRequest req;
  std::vector<std::string> headers = SetCookies(&cookie, &req);
  ASSERT_EQ(headers.size(), 4u);
  EXPECT_EQ(headers[0].compare(0, 17, "KavriStriped-0-n="), 0);
  EXPECT_EQ(headers[1].compare(0, 17, "KavriStriped-1-n="), 0);
  EXPECT_EQ(headers[2], "KavriStriped-2-n=c; path=/;");
  EXPECT_EQ(headers[3], "n=KavriStriped-3; path=/;");
  ReturnCookies(headers, &req);
  EXPECT_EQ(Texts(req.FindFormattedCookie("n")),
            (std::vector<std::string>{big, big2, "c"}));
}

TEST_F(CookieTest, ValueWithColonIsSkippedAndReported) {
  ValList list;
  list.Append("a");
  list.Append("b:c");
  list.Append("d");
  FormattedCookie cookie("n", &list, 0);
  CaptureRequest req;
  testing::internal::CaptureStderr();
  std::vector<std::string> headers = SetCookies(&cookie, &req);
  std::string err = testing::internal::GetCapturedStderr();
  ASSERT_EQ(headers.size(), 1u);
  EXPECT_EQ(headers[0], "n=a:d; path=/;");
  EXPECT_NE(err.find("':'"), std::string::npos);
  EXPECT_NE(err.find(" n,"), std::string::npos);
}

}  // namespace
