// Cookie headers: the header value with and without expiry, encoding of
// values that would break the header, and the striped cookie writer read
// back through the request object's cookie reader.
#include <gtest/gtest.h>

#include "CaptureRequest.h"
#include "TestSupport.h"
#include "htmllib.h"

namespace {

using testsupport::Strings;

time_t FixedClock() { return 1796405485; }  // Friday 4 December 2026, 17:31:25 UTC

class CookieTest : public testing::Test {
 protected:
  void SetUp() override { KvSetCookieClock(FixedClock); }
  void TearDown() override { KvSetCookieClock(nullptr); }

  // Emits the header objects and returns the "Set-Cookie" values; then
  // parses what a browser sends back for them into req_.
  Strings RoundTrip(HTMLObject* chain, int browserType = RequestInfo::kBrowserUnknown) {
    CaptureRequest capture;
    capture.browserType = browserType;
    chain->emit(&capture, 0, 1, nullptr);
    Strings headers = capture.Headers("Set-Cookie");
    std::string sent;
    for (const std::string& c : headers) sent += (sent.empty() ? "" : "; ") + c.substr(0, c.find(';'));
    delete req_.cookies;
    req_.cookies = RequestInfo::ParseNameValString(sent.c_str(), 1);
    return headers;
  }
  CaptureRequest req_;
};

TEST_F(CookieTest, CommonOutput) {
  const struct { const char *value; int seconds; const char *path, *expected; } cases[] = {
      {"v", 86400 * 3, "/bin", "n=v; path=/bin; expires=Monday, 07-Dec-26 17:31:25 GMT;"},
      {"v", 0, nullptr, "n=v; path=/;"}, {"v", -5, "/", "n=v; path=/;"}, {"", 0, "/", "n=; path=/;"},
      {nullptr, 10, "/", nullptr},
      // Only what would break the header is encoded.
      {"a b/c=d:e+f'g", 0, "/", "n=a b/c=d:e+f'g; path=/;"},
      {"a;b,c%d\r\ne\x01\x7f", 0, "/", "n=a%3Bb%2Cc%25d%0D%0Ae%01%7F; path=/;"},
  };
  for (const auto& c : cases) {
    char* text = CommonOutput("n", c.value, c.seconds, c.path);
    EXPECT_STREQ(text, c.expected);
    free(text);
  }
}

// A list that fits is one cookie; a longer one goes into stripes of whole
// values ("KavriStriped-<i>-<name>") and a last cookie naming their count.
// Each reads back as the list, less values with ':', which are reported.
TEST_F(CookieTest, FormattedCookieStripes) {
  Strings hundred;
  for (int i = 0; i < 100; i++) hundred.push_back("v" + std::to_string(1000 + i) + std::string(45, 'x'));
  const std::string big(1000, 'a'), big2(950, 'b');
  const struct {
    Strings values; int browser, seconds; std::vector<size_t> stripes; Strings kept;
  } cases[] = {
      {{"b", "a", "c d"}, 0, 0, {}, {"b", "a", "c d"}},
      {hundred, 0, 600, {18, 18, 18, 18, 18, 10}, hundred},  // 1024 characters a cookie
      {hundred, RequestInfo::kBrowserMozilla, 0, {78, 22}, hundred},  // 4096
      {{big, big2, "c"}, 0, 0, {1, 1, 1}, {big, big2, "c"}},  // an oversized value has a stripe of its own
      {{"a", "b:c", "d"}, 0, 0, {}, {"a", "d"}},
  };
  for (const auto& c : cases) {
    std::unique_ptr<ValList> list(testsupport::ListOf(c.values));
    FormattedCookie cookie("n", list.get(), c.seconds);
    list->Append("later");  // the cookie holds its own copy
    testing::internal::CaptureStderr();
    Strings headers = RoundTrip(&cookie, c.browser);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.find("':'") != std::string::npos && err.find(" n,") != std::string::npos,
              c.kept.size() < c.values.size()) << err;
    const std::string end = c.seconds ? "; path=/; expires=Friday, 04-Dec-26 17:41:25 GMT;" : "; path=/;";
    Strings expected;
    auto value = c.kept.begin();
    for (size_t s = 0; s < std::max<size_t>(c.stripes.size(), 1); s++) {
      std::string joined;
      for (size_t i = 0; i < (c.stripes.empty() ? c.kept.size() : c.stripes[s]); i++) {
        joined += (i ? ":" : "") + *value++;
      }
      const std::string name = c.stripes.empty() ? "n=" : "KavriStriped-" + std::to_string(s) + "-n=";
      expected.push_back(name + joined + end);
    }
    if (!c.stripes.empty()) expected.push_back("n=KavriStriped-" + std::to_string(c.stripes.size()) + end);
    EXPECT_EQ(headers, expected);
    EXPECT_EQ(testsupport::Texts(req_.FindFormattedCookie("n")), c.kept);
  }
  FormattedCookie empty("e", static_cast<ValList*>(nullptr), 0);
  empty.addNextObject(new FormattedCookie("one", "v;1", 0));
  EXPECT_EQ(RoundTrip(&empty), (Strings{"e=:; path=/;", "one=v%3B1; path=/;"}));
  EXPECT_EQ(testsupport::Texts(req_.FindFormattedCookie("e")), Strings{});
  EXPECT_EQ(testsupport::Texts(req_.FindFormattedCookie("one")), Strings{"v;1"});
}

}  // namespace
