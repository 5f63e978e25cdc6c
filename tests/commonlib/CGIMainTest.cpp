// Whole-process tests: the request layer's main with a ModuleMain that
// prints what it was given (EchoModule.cpp), run with a CGI environment and
// a body on standard input.

#include <gtest/gtest.h>

#include <map>

#include "FakeRequest.h"

namespace {

using Env = std::map<std::string, std::string>;
using testsupport::Strings;

std::string Fallback(const std::string& message) {
  std::string page = ReadAll(TEST_DATA_DIR "/commonlib/fallback_bad_method.txt");
  return page.replace(page.find("Bad REQUEST_METHOD"), 18, message);
}

// The lines of `out` that begin with `prefix`, without it.
Strings Lines(const std::string& out, const std::string& prefix) {
  Strings lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(prefix, 0) == 0) lines.push_back(line.substr(prefix.size()));
  }
  return lines;
}

const std::string kBinary("id,name\r\n\x00\x7f\xfe\r\n", 14);
const Env kMultipart = {{"REQUEST_METHOD", "POST"}, {"CONTENT_TYPE", "multipart/form-data; boundary=----XyZ"},
                        {"QUERY_STRING", "program=fromQuery"}};

// Two text fields and two files, one of them empty, as a browser sends them.
std::string MultipartBody() {
  return Field("program", "importData") + File("nothing", "", "") +
         File("upload", "C:\\Users\\ann\\staff list.csv", kBinary) +
         Field("delimiter", std::string(3001, ';')) + kEnd;
}

const Env kForm = {{"REQUEST_METHOD", "POST"}, {"CONTENT_TYPE", "application/x-www-form-urlencoded"},
                   {"QUERY_STRING", "q=1"}};

Env With(Env env, const std::string& name, const std::string& value) {
  env[name] = value;
  return env;
}

class CGIMainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tree_.Make("/tmp/commonlib-cgi-", {"tmp"}));
    tmp_ = tree_.Path("tmp");
  }

  // Runs the program with `env` (plus TMPDIR, sanitizer settings and the
  // body's CONTENT_LENGTH unless env has one) and `body` on standard input;
  // returns its output, and its exit status in status_.
  std::string Run(Env env, const std::string& body = "") {
    env["TMPDIR"] = tmp_;
    if (!body.empty() && !env.count("CONTENT_LENGTH")) env["CONTENT_LENGTH"] = std::to_string(body.size());
    testsupport::WriteAll(tree_.Path("in"), body);
    status_ = testsupport::InChild([&] {
      for (const char* keep : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
        if (getenv(keep)) env.emplace(keep, getenv(keep));
      }
      clearenv();
      for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
      if (!freopen(tree_.Path("in").c_str(), "rb", stdin)) return 126;
      if (!freopen(tree_.Path("out").c_str(), "wb", stdout)) return 126;
      execl(ECHO_PROGRAM, ECHO_PROGRAM, static_cast<char*>(nullptr));
      return 127;
    });
    return ReadAll(tree_.Path("out"));
  }

  testsupport::TempTree tree_;
  std::string tmp_;
  int status_ = -1;
};

// What the module was given: the output lines that begin with `prefix`. No
// upload file is left behind.
TEST_F(CGIMainTest, WhatTheModuleGets) {
  const std::string cut = std::to_string(MultipartBody().find("delimiter") + 20);
  const struct { Env env; std::string body, prefix; Strings lines; } cases[] = {
      {{{"REQUEST_METHOD", "Get"}, {"QUERY_STRING", "a=1+2&b=%41&c=%4"}, {"SCRIPT_NAME", "/bin/v.cgi"},
        {"REMOTE_USER", "ann"}, {"SERVER_NAME", "dir.example"}, {"SERVER_PORT", "8080"}},
       "", "", {"Content-type: text/plain", "", "length=16", "browser=0 0.00 capable=0 system=0",
                "env=Get|a=1+2&b=%41&c=%4|/bin/v.cgi|ann|dir.example|8080",
                "param a=1+2", "param b=A", "param c=%4"}},
      // The body's fields come before the query's.
      {{{"REQUEST_METHOD", "post"}, {"CONTENT_TYPE", "application/x-www-form-urlencoded; charset=UTF-8"},
        {"QUERY_STRING", "q=query+x"}},
       "a=1+2&b=%41&q=body", "param ", {"a=1 2", "b=A", "q=body", "q=query+x"}},
      // Upload files are private; the path of the client's name is cut.
      {kMultipart, MultipartBody(), "param ",
       {"program=importData", "nothing= file=$TMPDIR mode=600 bytes=",
        "upload=staff list.csv file=$TMPDIR mode=600 bytes=69642C6E616D650D0A007FFE0D0A",
        "delimiter=" + std::string(3001, ';'), "program=fromQuery"}},
      {With(kForm, "CONTENT_LENGTH", "100"), "a=1", "param ", {"q=1"}},  // a body shorter than said is lost
      // Nothing past CONTENT_LENGTH is read, even when more is there: the
      // last field is lost.
      {With(kMultipart, "CONTENT_LENGTH", cut), MultipartBody(), "param program=",
       {"importData", "fromQuery"}},
      {With(kMultipart, "CONTENT_LENGTH", cut), MultipartBody(), "param delimiter", {}},
      {{{"REQUEST_METHOD", "GET"}, {"HTTP_USER_AGENT", "Mozilla/4.5 [en] (Macintosh; I; PPC)"}}, "",
       "browser=", {"1 4.00 capable=1 system=1"}},
      // A failing module's own output stays; the fallback page follows it.
      {{{"REQUEST_METHOD", "GET"}, {"ECHO_RETURN", "1"}}, "", "Content-type: ",
       {"text/plain", "text/html; charset=utf-8"}},
      {{{"REQUEST_METHOD", "GET"}, {"ECHO_RETURN", "1"}}, "", "<h3>Error message:",
       {"Module Main returned non-zero status</h3>"}},
  };
  for (const auto& c : cases) {
    std::string out = Run(c.env, c.body);
    EXPECT_EQ(Lines(out, c.prefix), c.lines) << out;
    EXPECT_EQ(status_, 0);
    EXPECT_EQ(DirFiles(tmp_), Strings{});
  }
  // A missing or bad length counts as no body.
  for (const char* length : {"-1", "", "abc"}) {
    EXPECT_EQ(Lines(Run(With(kForm, "CONTENT_LENGTH", length), "a=1"), "param "), Strings{"q=1"});
    std::string out = Run(With(kMultipart, "CONTENT_LENGTH", length), MultipartBody());
    EXPECT_EQ(Lines(out, "param "), Strings{"program=fromQuery"}) << out;
    EXPECT_EQ(DirFiles(tmp_), Strings{});
  }
}

TEST_F(CGIMainTest, FallbackPages) {
  const struct { Env env; std::string body; const char* message; } cases[] = {
      {{{"REQUEST_METHOD", "HEAD"}}, "a=1", "Bad REQUEST_METHOD"}, {{}, "a=1", "Bad REQUEST_METHOD"},
      {{{"REQUEST_METHOD", "POST"}, {"CONTENT_TYPE", "text/plain"}}, "a=1", "Bad CONTENT_TYPE on POST"},
      {{{"REQUEST_METHOD", "POST"}}, "a=1", "Bad CONTENT_TYPE on POST"},
      {{{"REQUEST_METHOD", "GET"}, {"ECHO_THROW", "1"}}, "", "Unable to run the program!"},
      {With(kForm, "CONTENT_LENGTH", "2147483647"), "a=1", "Request body too large"},
      {With(kForm, "CONTENT_LENGTH", "99999999999999999999"), "a=1", "Request body too large"},
      {With(kMultipart, "ECHO_MAX_REQUEST_SIZE", "500"), MultipartBody(), "Request body too large"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.env, c.body), Fallback(c.message));
    EXPECT_EQ(status_, 0);
    EXPECT_EQ(DirFiles(tmp_), Strings{});
  }
}

TEST_F(CGIMainTest, AdoptedUploadStays) {
  Run(With(kMultipart, "ECHO_ADOPT", "upload"), MultipartBody());
  Strings kept = DirFiles(tmp_);
  ASSERT_EQ(1u, kept.size());
  EXPECT_EQ(kBinary, ReadAll(tmp_ + "/" + kept[0]));
}

}  // namespace
