// Request object: browser classification and header output.
#include <gtest/gtest.h>

#include <cstdio>

#include "FakeRequest.h"

namespace {

TEST(RequestInfoTest, BrowserClassification) {
  struct Case { const char* agent; int type; double version; int capable, limit; };
  const Case cases[] = {
      {"", 0, 0.0, 0, 1024},
      {"Mozilla/2.02 (X11; I; Linux)", 1, 2.0, 0, 4096},
      {"Mozilla/2.0 (compatible; MSIE 3.01; Windows 95)", 2, 3.01, 0, 1024},
      {"Mozilla/2.0 (compatible; MSIE 3.02; Windows 95)", 2, 3.02, 1, 1024},
      {"Mozilla/99999999999999999999999", 1, 1000000.0, 1, 4096},
  };
  for (const Case& c : cases) {
    FakeRequest req;
    req.SetBrowserType(c.agent);
    EXPECT_EQ(c.type, req.browserType) << c.agent;
    EXPECT_DOUBLE_EQ(c.version, req.browserVersion) << c.agent;
    EXPECT_EQ(c.capable, req.capableBrowser) << c.agent;
    EXPECT_EQ(c.limit, req.GetMaxCookieLength()) << c.agent;
  }
}

TEST(RequestInfoTest, HeaderOutputDropsLineBreaks) {
  struct Case { const char* name; const char* value; int status; const char* expected; };
  const Case cases[] = {
      {"Content-type", "text/html", 0, "Content-type: text/html\n"},
      {"Window-target", nullptr, 0, "Window-target: \n"},
      {"", "ignored", 0, "\n"},
      {"Set-Cookie", "a=1\r\nSet-Cookie: admin=1", 0, "Set-Cookie: a=1Set-Cookie: admin=1\n"},
      {"X-A\r\n", "v\n\n<html>", 0, "X-A: v<html>\n"},
      {"\r\n", "v", 0, ""},
      {nullptr, "OK", 200, "Status: 200 OK\n"},
      {nullptr, nullptr, 302, "Status: 302\n"},
      {nullptr, "Bad\r\nSet-Cookie: x=1", 500, "Status: 500 BadSet-Cookie: x=1\n"},
  };
  for (const Case& c : cases) {
    CGIRequestInfo req;
    req.outputStream = tmpfile();
    ASSERT_NE(nullptr, req.outputStream);
    c.status ? req.SetStatus(c.status, c.value) : req.WriteHeader(c.name, c.value);
    rewind(req.outputStream);
    char buf[256];
    size_t n = fread(buf, 1, sizeof buf, req.outputStream);
    EXPECT_EQ(c.expected, std::string(buf, n));
    fclose(req.outputStream);
  }
}

}  // namespace
