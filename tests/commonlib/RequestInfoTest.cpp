// Request object: browser and server classification, variable and cookie
// access, header output and the fallback page.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "FakeRequest.h"
#include "commonlib.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::string> Values(ValList* list) {
  std::vector<std::string> out;
  for (ValListItem* it = list->first; it; it = it->next) out.push_back(it->value);
  return out;
}

TEST(RequestInfoTest, BrowserClassification) {
  struct Case {
    const char* agent;
    int type;
    double version;
    int capable;
    int system;
    int limit;
  };
  const Case cases[] = {
      {"", 0, 0.0, 0, 0, 1024},
      {"Mozilla/4.0 (compatible; MSIE 4.01; Windows 95)", 2, 4.01, 1, 0, 1024},
      {"Mozilla/4.5 [en] (Macintosh; I; PPC)", 1, 4.0, 1, 1, 4096},
      {"Mozilla/2.02 (X11; I; Linux)", 1, 2.0, 0, 0, 4096},
      {"Mozilla/2.0 (compatible; MSIE 3.01; Windows 95)", 2, 3.01, 0, 0, 1024},
      {"Mozilla/2.0 (compatible; MSIE 3.02; Windows 95)", 2, 3.02, 1, 0, 1024},
      {"msie   5.5 (mac_powerpc; macintosh)", 2, 5.5, 1, 1, 1024},
      {"Lynx/2.8.9 libwww-FM/2.14", 0, 0.0, 0, 0, 1024},
      {"Mozilla/99999999999999999999999", 1, 1000000.0, 1, 0, 4096},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.agent);
    FakeRequest req;
    req.SetBrowserType(c.agent);
    req.SetSystemType(c.agent);
    EXPECT_EQ(c.type, req.browserType);
    EXPECT_DOUBLE_EQ(c.version, req.browserVersion);
    EXPECT_EQ(c.capable, req.capableBrowser);
    EXPECT_EQ(c.system, req.systemType);
    EXPECT_EQ(c.limit, req.GetMaxUrlLength());
    EXPECT_EQ(c.limit, req.GetMaxCookieLength());
  }
}

TEST(RequestInfoTest, CapableFlagIsNeverCleared) {
  FakeRequest req;
  req.SetBrowserType("Mozilla/4.7");
  req.SetBrowserType("Lynx/2.8");
  EXPECT_EQ(0, req.browserType);
  EXPECT_EQ(1, req.capableBrowser);
}

TEST(RequestInfoTest, ServerClassification) {
  struct Case {
    const char* software;
    int type;
    double version;
  };
  const Case cases[] = {
      {"Drovak-Enterprise/3.51", 1, 3.51},
      {"Microsoft-IIS/4.0", 2, 4.0},
      {"drovak-fasttrack", 1, 0.0},
      {"Apache/2.4.57 (Unix)", 0, 2.4},
      {"", 0, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.software);
    FakeRequest req;
    req.SetServerInfo(c.software);
    EXPECT_EQ(c.type, req.serverType);
    EXPECT_DOUBLE_EQ(c.version, req.serverVersion);
  }
}

TEST(RequestInfoTest, VariableAccess) {
  FakeRequest req;
  req.AddParam("program", "front");
  req.AddParam("attr_a", "1");
  req.AddParam("ATTR_b", "2");
  req.AddParam("xattr_c", "3");
  req.AddParam("Program", "second");
  req.AddParams(nullptr);

  EXPECT_STREQ("front", req.FindVar("PROGRAM"));
  EXPECT_EQ(nullptr, req.FindVar("missing"));
  EXPECT_EQ(nullptr, req.FindVar2("program"));  // not an upload
  std::unique_ptr<char, decltype(&free)> copy(req.FindVarCopy("program"),
                                              &free);
  EXPECT_STREQ("front", copy.get());
  EXPECT_EQ(nullptr, req.FindVarCopy("missing"));

  std::unique_ptr<ValList> all(req.GetValList("program"));
  EXPECT_EQ((std::vector<std::string>{"front", "second"}), Values(all.get()));

  std::unique_ptr<ValNameList> prefixed(req.GetValListPrefix("attr_"));
  ASSERT_EQ(2, prefixed->count);
  EXPECT_STREQ("attr_a", prefixed->first->name);
  EXPECT_STREQ("ATTR_b", prefixed->last->name);
  EXPECT_STREQ("2", prefixed->last->value);

  req.ReplaceVal("PROGRAM", "changed");
  EXPECT_STREQ("changed", req.FindVar("program"));
  EXPECT_STREQ("program", req.params->first->name);  // spelling kept
  req.ReplaceVal("newVar", "x");
  EXPECT_STREQ("newVar", req.params->last->name);

  ValNameList extra;
  extra.Append("upload", "a.txt", "/tmp/path");
  req.AddParams(&extra);
  EXPECT_STREQ("/tmp/path", req.FindVar2("UPLOAD"));
}

TEST(RequestInfoTest, CookiesAbsentBeforeParsing) {
  FakeRequest req;
  EXPECT_EQ(nullptr, req.FindCookie("x"));
  std::unique_ptr<ValList> list(req.FindFormattedCookie("x"));
  ASSERT_NE(nullptr, list);
  EXPECT_EQ(0, list->count);
}

// Output of the CGI object, caught in a temporary file.
class CGIOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    out_ = tmpfile();
    ASSERT_NE(nullptr, out_);
    req_.outputStream = out_;
  }
  void TearDown() override { fclose(out_); }
  std::string Written() {
    fflush(out_);
    rewind(out_);
    std::string text;
    int c;
    while ((c = getc(out_)) != EOF) text += static_cast<char>(c);
    rewind(out_);
    if (ftruncate(fileno(out_), 0) != 0) ADD_FAILURE();
    return text;
  }

  FILE* out_ = nullptr;
  CGIRequestInfo req_;
};

TEST_F(CGIOutputTest, WriteHeader) {
  struct Case {
    const char* name;
    const char* value;
    const char* expected;
  };
  const Case cases[] = {
      {"Content-type", "text/html", "Content-type: text/html\n"},
      {"Window-target", "", "Window-target: \n"},
      {"Window-target", nullptr, "Window-target: \n"},
      {"", "ignored", "\n"},
      {nullptr, nullptr, "\n"},
      // Line breaks never reach the response: no header can be injected.
      {"Set-Cookie", "a=1\r\nSet-Cookie: admin=1", "Set-Cookie: a=1Set-Cookie: admin=1\n"},
      {"X-A\r\n", "v\n\n<html>", "X-A: v<html>\n"},
      {"\r\n", "v", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    req_.WriteHeader(c.name, c.value);
    EXPECT_EQ(c.expected, Written());
  }
}

TEST_F(CGIOutputTest, StatusAndBinary) {
  EXPECT_EQ(0, req_.SetStatus(200, "OK"));
  EXPECT_EQ("Status: 200 OK\n", Written());
  req_.SetStatus(302, nullptr);
  EXPECT_EQ("Status: 302\n", Written());
  req_.SetStatus(500, "Bad\r\nSet-Cookie: x=1");
  EXPECT_EQ("Status: 500 BadSet-Cookie: x=1\n", Written());
  EXPECT_EQ(0, req_.WriteBinary("a\0b", 3));
  EXPECT_EQ(std::string("a\0b", 3), Written());

  CGIRequestInfo unbound;  // no output stream
  EXPECT_EQ(-1, unbound.Write("x"));
}

TEST(RequestInfoTest, FallbackPage) {
  FakeRequest req;
  exitFunc(&req, "Bad REQUEST_METHOD");
  EXPECT_EQ(ReadFile(TEST_DATA_DIR "/commonlib/fallback_bad_method.txt"),
            req.output);
}

TEST(RequestInfoTest, ContentLength) {
  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {
      {"", 0},
      {"12", 12},
      {" 7 ", 7},
      {"0", 0},
      {"-1", 0},
      {"+5", 0},
      {"12abc", 0},
      {"0x10", 0},
      {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},
      {"99999999999999999999999999", INT_MAX},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.expected, KvParseContentLength(c.text));
  }
  EXPECT_EQ(0, KvParseContentLength(nullptr));
}

TEST(RequestInfoTest, EnvironmentVariables) {
  setenv("COMMONLIB_TEST_VAR", "value", 1);
  char* value = nullptr;
  GetEnvironmentVar(&value, "COMMONLIB_TEST_VAR");
  EXPECT_STREQ("value", value);
  free(value);
  unsetenv("COMMONLIB_TEST_VAR");
  GetEnvironmentVar(&value, "COMMONLIB_TEST_VAR");
  ASSERT_NE(nullptr, value);
  EXPECT_STREQ("", value);
  free(value);
}

}  // namespace
