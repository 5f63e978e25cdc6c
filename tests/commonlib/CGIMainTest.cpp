// Whole-process tests: the request layer's main with a ModuleMain that
// prints what it was given (EchoModule.cpp), run with a CGI environment and
// a body on standard input.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "FakeRequest.h"

namespace {

using Env = std::map<std::string, std::string>;

std::string Fallback(const std::string& message) {
  std::string page = ReadAll(TEST_DATA_DIR "/commonlib/fallback_bad_method.txt");
  return page.replace(page.find("Bad REQUEST_METHOD"), 18, message);
}

// The lines of `out` that begin with `prefix`, without it.
std::vector<std::string> Lines(const std::string& out, const std::string& prefix) {
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(prefix, 0) == 0) lines.push_back(line.substr(prefix.size()));
  }
  return lines;
}

class CGIMainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tree_.Make("/tmp/commonlib-cgi-"));
    dir_ = tree_.top();
  }

  // Runs the program with `env` (plus TMPDIR, sanitizer settings and the
  // body's CONTENT_LENGTH unless env has one) and `body` on standard input;
  // returns its output, and its exit status in status_.
  std::string Run(Env env, const std::string& body = "") {
    env["TMPDIR"] = dir_;
    if (!body.empty() && !env.count("CONTENT_LENGTH")) env["CONTENT_LENGTH"] = std::to_string(body.size());
    for (const char* keep : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
      if (getenv(keep)) env[keep] = getenv(keep);
    }
    const std::string bodyPath = dir_ + ".body";
    std::ofstream(bodyPath, std::ios::binary) << body;
    std::vector<std::string> strings;
    for (const auto& [k, v] : env) strings.push_back(k + "=" + v);
    std::vector<char*> envp;
    for (std::string& s : strings) envp.push_back(s.data());
    envp.push_back(nullptr);
    char program[] = ECHO_PROGRAM;
    char* argv[] = {program, nullptr};
    int fds[2];
    if (pipe(fds) != 0) return "pipe failed";
    pid_t pid = fork();
    if (pid == 0) {
      dup2(open(bodyPath.c_str(), O_RDONLY), 0);
      dup2(fds[1], 1);
      close(fds[0]);
      execve(program, argv, envp.data());
      _exit(127);
    }
    close(fds[1]);
    std::string out;
    char buf[4096];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, n);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    unlink(bodyPath.c_str());
    return out;
  }

  testsupport::TempTree tree_;
  std::string dir_;
  int status_ = -1;
};

TEST_F(CGIMainTest, GetRequest) {
  std::string out = Run({{"REQUEST_METHOD", "Get"}, {"QUERY_STRING", "a=1+2&b=%41&c=%&d=%4&e=%zz&f=1"},
                         {"SCRIPT_NAME", "/bin/v.cgi"}, {"REMOTE_USER", "ann"},
                         {"SERVER_NAME", "dir.example"}, {"SERVER_PORT", "8080"}});
  EXPECT_EQ(0, status_);
  EXPECT_EQ(0u, out.rfind("Content-type: text/plain\n\n", 0));
  EXPECT_EQ((std::vector<std::string>{"a=1+2", "b=A", "c=%", "d=%4", "e=%zz", "f=1"}),
            Lines(out, "param "));
  EXPECT_EQ((std::vector<std::string>{"30"}), Lines(out, "length="));
  EXPECT_EQ((std::vector<std::string>{"Get|a=1+2&b=%41&c=%&d=%4&e=%zz&f=1|/bin/v.cgi|ann|"
                                      "dir.example|8080"}),
            Lines(out, "env="));
}

TEST_F(CGIMainTest, UrlEncodedPostPutsBodyBeforeQuery) {
  const std::string body = "a=1+2&b=%41&q=body";
  std::string out = Run({{"REQUEST_METHOD", "post"},
                         {"CONTENT_TYPE", "application/x-www-form-urlencoded; charset=UTF-8"},
                         {"CONTENT_LENGTH", std::to_string(body.size())},
                         {"QUERY_STRING", "q=query+x"}},
                        body);
  EXPECT_EQ((std::vector<std::string>{"a=1 2", "b=A", "q=body", "q=query+x"}), Lines(out, "param "));
}

TEST_F(CGIMainTest, BadContentLength) {
  struct Case { const char* length; bool tooLarge; };
  const Case cases[] = {{"-1", false}, {"", false}, {"abc", false}, {"100", false},
                        {"2147483647", true}, {"99999999999999999999", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    std::string out = Run({{"REQUEST_METHOD", "POST"}, {"CONTENT_TYPE", "application/x-www-form-urlencoded"},
                           {"CONTENT_LENGTH", c.length}, {"QUERY_STRING", "q=1"}},
                          "a=1");
    EXPECT_EQ(0, status_);
    if (c.tooLarge) {
      EXPECT_EQ(Fallback("Request body too large"), out);
    } else {
      EXPECT_EQ((std::vector<std::string>{"q=1"}), Lines(out, "param "));
    }
  }
}

TEST_F(CGIMainTest, CookiesBrowserAndServer) {
  std::string out = Run({{"REQUEST_METHOD", "GET"}});  // an unset variable reads as empty
  EXPECT_EQ((std::vector<std::string>{"GET|||||"}), Lines(out, "env="));
  out = Run({{"REQUEST_METHOD", "GET"}, {"HTTP_COOKIE", "x=1; y=\"two\" ; z; w=a%3Ab+c"},
                         {"HTTP_USER_AGENT", "Mozilla/4.0 (compatible; MSIE 4.01; Windows NT)"},
                         {"SERVER_SOFTWARE", "Drovak-Enterprise/3.51"}});
  EXPECT_EQ((std::vector<std::string>{"x=1", "y=two", "w=a:b+c"}), Lines(out, "cookie "));
  EXPECT_EQ((std::vector<std::string>{"2 4.01 capable=1 system=0"}), Lines(out, "browser="));
  EXPECT_EQ((std::vector<std::string>{"1 3.51"}), Lines(out, "serverinfo="));
  out = Run({{"REQUEST_METHOD", "GET"}, {"HTTP_USER_AGENT", "Mozilla/4.5 [en] (Macintosh; I; PPC)"}});
  EXPECT_EQ((std::vector<std::string>{"1 4.00 capable=1 system=1"}), Lines(out, "browser="));
}

TEST_F(CGIMainTest, FallbackPages) {
  struct Case { Env env; const char* message; };
  const Case cases[] = {
      {{{"REQUEST_METHOD", "HEAD"}}, "Bad REQUEST_METHOD"},
      {{}, "Bad REQUEST_METHOD"},
      {{{"REQUEST_METHOD", "POST"}, {"CONTENT_TYPE", "text/plain"}}, "Bad CONTENT_TYPE on POST"},
      {{{"REQUEST_METHOD", "POST"}}, "Bad CONTENT_TYPE on POST"},
      {{{"REQUEST_METHOD", "GET"}, {"ECHO_THROW", "1"}}, "Unable to run the program!"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Fallback(c.message), Run(c.env, "a=1"));
    EXPECT_EQ(0, status_);
  }
  // The module's own output stays; the fallback page follows it.
  std::string out = Run({{"REQUEST_METHOD", "GET"}, {"ECHO_RETURN", "1"}});
  const std::string tail = Fallback("Module Main returned non-zero status");
  ASSERT_GT(out.size(), tail.size());
  EXPECT_EQ(0u, out.rfind("Content-type: text/plain\n\n", 0));
  EXPECT_EQ(tail, out.substr(out.size() - tail.size()));
}

const std::string kBinary("id,name\r\n\x00\x7f\xfe\r\n", 14);
const Env kMultipart = {{"REQUEST_METHOD", "POST"},
                        {"CONTENT_TYPE", "multipart/form-data; boundary=----WebKitFormBoundaryQ3d"},
                        {"QUERY_STRING", "program=fromQuery"}};

// Two text fields and two files, one of them empty, as a browser sends them.
std::string MultipartBody() {
  std::string b = "------WebKitFormBoundaryQ3d\r\nContent-Disposition: form-data; name=\"";
  return b + "program\"\r\n\r\nimportData\r\n" +
         b + "nothing\"; filename=\"\"\r\nContent-Type: application/octet-stream\r\n\r\n\r\n" +
         b + "upload\"; filename=\"C:\\Users\\ann\\staff list.csv\"\r\n"
             "Content-Type: text/csv\r\n\r\n" + kBinary + "\r\n" +
         b + "delimiter\"\r\n\r\n" + std::string(3001, ';') + "\r\n" +
         "------WebKitFormBoundaryQ3d--\r\n";
}

TEST_F(CGIMainTest, MultipartUpload) {
  std::string out = Run(kMultipart, MultipartBody());
  EXPECT_EQ(0, status_);
  const std::string file = " file=" + dir_ + "/";
  std::vector<std::string> params = Lines(out, "param ");
  ASSERT_EQ(5u, params.size()) << out;
  EXPECT_EQ("program=importData", params[0]);
  EXPECT_EQ(0u, params[1].rfind("nothing=" + file, 0));
  EXPECT_EQ(params[1].size() - 16, params[1].find(" mode=600 bytes="));
  EXPECT_EQ(0u, params[2].rfind("upload=staff list.csv" + file, 0));
  EXPECT_EQ(params[2].size() - 44, params[2].find(" mode=600 bytes=69642C6E616D650D0A007FFE0D0A"));
  EXPECT_EQ("delimiter=" + std::string(3001, ';'), params[3]);
  EXPECT_EQ("program=fromQuery", params[4]);
  EXPECT_EQ(std::vector<std::string>{}, DirFiles(dir_));  // nobody adopted them

  Env adopt = kMultipart;
  adopt["ECHO_ADOPT"] = "upload";
  Run(adopt, MultipartBody());
  std::vector<std::string> kept = DirFiles(dir_);
  ASSERT_EQ(1u, kept.size());
  EXPECT_EQ(kBinary, ReadAll(dir_ + "/" + kept[0]));
}

// A multipart body with a missing or bad length counts as no body.
TEST_F(CGIMainTest, MultipartWithBadLengthIsNoBody) {
  for (const char* length : {"-1", "", "abc"}) {
    Env multipart = kMultipart;
    multipart["CONTENT_LENGTH"] = length;
    std::string out = Run(multipart, MultipartBody());
    EXPECT_EQ((std::vector<std::string>{"program=fromQuery"}), Lines(out, "param ")) << length;
    EXPECT_EQ(std::vector<std::string>{}, DirFiles(dir_));
  }
}

TEST_F(CGIMainTest, OversizedOrTruncatedMultipartBody) {
  Env env = kMultipart;
  env["ECHO_MAX_REQUEST_SIZE"] = "500";
  EXPECT_EQ(Fallback("Request body too large"), Run(env, MultipartBody()));
  EXPECT_EQ(0, status_);
  EXPECT_EQ(std::vector<std::string>{}, DirFiles(dir_));

  // Nothing past CONTENT_LENGTH is read, even when more is there.
  env = kMultipart;
  env["CONTENT_LENGTH"] = std::to_string(MultipartBody().find("delimiter") + 20);
  std::string out = Run(env, MultipartBody());
  EXPECT_EQ(4u, Lines(out, "param ").size()) << out;  // the last field is lost
  EXPECT_EQ(std::vector<std::string>{}, DirFiles(dir_));
}

}  // namespace
