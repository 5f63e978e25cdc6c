// Whole-process tests: the request layer's main with a ModuleMain that
// prints what it was given, run with a CGI environment and a body on
// standard input.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Env = std::map<std::string, std::string>;

struct Result {
  std::string out;
  int status = -1;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string Fallback(const std::string& message) {
  std::string page = ReadFile(TEST_DATA_DIR "/commonlib/fallback_bad_method.txt");
  const std::string old = "Bad REQUEST_METHOD";
  size_t at = page.find(old);
  return page.replace(at, old.size(), message);
}

class CGIMainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/commonlib-cgi-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    dir_ = pattern;
  }
  void TearDown() override {
    for (const std::string& f : Files()) unlink((dir_ + "/" + f).c_str());
    rmdir(dir_.c_str());
  }

  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir_.c_str())) {
      while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(n);
      }
      closedir(d);
    }
    return names;
  }

  // Runs the test program with exactly `env` (plus TMPDIR and the
  // sanitizer settings) and `body` on standard input.
  Result Run(Env env, const std::string& body = "") {
    env["TMPDIR"] = dir_;
    for (const char* keep : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
      if (const char* v = getenv(keep)) env[keep] = v;
    }
    std::string bodyPath = dir_ + ".body";
    {
      std::ofstream out(bodyPath, std::ios::binary);
      out << body;
    }
    std::vector<std::string> strings;
    for (const auto& [k, v] : env) strings.push_back(k + "=" + v);
    std::vector<char*> envp;
    for (std::string& s : strings) envp.push_back(s.data());
    envp.push_back(nullptr);
    char program[] = ECHO_PROGRAM;
    char* argv[] = {program, nullptr};

    Result result;
    int fds[2];
    if (pipe(fds) != 0) return result;
    pid_t pid = fork();
    if (pid == 0) {
      int in = open(bodyPath.c_str(), O_RDONLY);
      dup2(in, 0);
      dup2(fds[1], 1);
      close(fds[0]);
      close(fds[1]);
      execve(program, argv, envp.data());
      _exit(127);
    }
    close(fds[1]);
    char buf[4096];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0) result.out.append(buf, n);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    unlink(bodyPath.c_str());
    return result;
  }

  // The "param ..." lines of the output.
  static std::vector<std::string> Params(const std::string& out) {
    return Prefixed(out, "param ");
  }
  static std::vector<std::string> Prefixed(const std::string& out,
                                           const std::string& prefix) {
    std::vector<std::string> lines;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
      if (line.rfind(prefix, 0) == 0) lines.push_back(line.substr(prefix.size()));
    }
    return lines;
  }
  static std::string Line(const std::string& out, const std::string& key) {
    std::vector<std::string> v = Prefixed(out, key + "=");
    return v.empty() ? "(none)" : v[0];
  }

  std::string dir_;
};

const std::string kUrlEncoded = "application/x-www-form-urlencoded";

TEST_F(CGIMainTest, GetRequest) {
  Result r = Run({{"REQUEST_METHOD", "Get"},
                  {"QUERY_STRING", "a=1+2&b=%41&c=%&d=%4&e=%zz&f=1"},
                  {"SCRIPT_NAME", "/cgi-bin/velmoraadmin.cgi"},
                  {"REMOTE_USER", "ann"},
                  {"SERVER_NAME", "dir.example"},
                  {"SERVER_PORT", "8080"}});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(0u, r.out.rfind("Content-type: text/plain\n\n", 0));
  EXPECT_EQ((std::vector<std::string>{"a=1+2", "b=A", "c=%", "d=%4", "e=%zz",
                                      "f=1"}),
            Params(r.out));
  EXPECT_EQ("30", Line(r.out, "length"));
  EXPECT_EQ("/cgi-bin/velmoraadmin.cgi", Line(r.out, "script"));
  EXPECT_EQ("ann", Line(r.out, "user"));
  EXPECT_EQ("dir.example:8080", Line(r.out, "server"));
}

TEST_F(CGIMainTest, UnsetVariablesReadAsEmpty) {
  Result r = Run({{"REQUEST_METHOD", "GET"}});
  EXPECT_EQ(0, r.status);
  EXPECT_EQ("", Line(r.out, "query"));
  EXPECT_EQ("", Line(r.out, "user"));
  EXPECT_EQ("0 0.00 capable=0 system=0", Line(r.out, "browser"));
  EXPECT_EQ("0 0.00", Line(r.out, "serverinfo"));
  EXPECT_EQ((std::vector<std::string>{}), Params(r.out));
  EXPECT_EQ((std::vector<std::string>{}), Prefixed(r.out, "cookie "));
}

TEST_F(CGIMainTest, UrlEncodedPostPutsBodyBeforeQuery) {
  const std::string body = "a=1+2&b=%41&q=body";
  Result r = Run({{"REQUEST_METHOD", "post"},
                  {"CONTENT_TYPE", kUrlEncoded + "; charset=UTF-8"},
                  {"CONTENT_LENGTH", std::to_string(body.size())},
                  {"QUERY_STRING", "q=query+x"}},
                 body);
  EXPECT_EQ(0, r.status);
  EXPECT_EQ((std::vector<std::string>{"a=1 2", "b=A", "q=body", "q=query+x"}),
            Params(r.out));
}

TEST_F(CGIMainTest, BadOrMissingContentLength) {
  const std::string body = "a=1";
  struct Case {
    const char* length;
    bool tooLarge;
  };
  const Case cases[] = {
      {"-1", false},     {"", false},       {"abc", false},
      {"100", false},  // longer than the body: nothing is read
      {"2147483647", true},
      {"99999999999999999999", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    Result r = Run({{"REQUEST_METHOD", "POST"},
                    {"CONTENT_TYPE", kUrlEncoded},
                    {"CONTENT_LENGTH", c.length},
                    {"QUERY_STRING", "q=1"}},
                   body);
    EXPECT_EQ(0, r.status);
    if (c.tooLarge) {
      EXPECT_EQ(Fallback("Request body too large"), r.out);
    } else {
      EXPECT_EQ((std::vector<std::string>{"q=1"}), Params(r.out));
    }
  }
}

TEST_F(CGIMainTest, CookieHeader) {
  Result r = Run({{"REQUEST_METHOD", "GET"},
                  {"HTTP_COOKIE", "x=1; y=\"two\" ; z; w=a%3Ab+c"}});
  EXPECT_EQ((std::vector<std::string>{"x=1", "y=two", "w=a:b+c"}),
            Prefixed(r.out, "cookie "));
}

TEST_F(CGIMainTest, BrowserAndServer) {
  struct Case {
    const char* agent;
    const char* software;
    const char* browser;
    const char* server;
  };
  const Case cases[] = {
      {"Mozilla/4.0 (compatible; MSIE 4.01; Windows NT)", "Drovak-Enterprise/3.51",
       "2 4.01 capable=1 system=0", "1 3.51"},
      {"Mozilla/4.5 [en] (Macintosh; I; PPC)", "Microsoft-IIS/4.0",
       "1 4.00 capable=1 system=1", "2 4.00"},
      {"Mozilla/2.02 (X11)", "Drovak", "1 2.00 capable=0 system=0", "1 0.00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.agent);
    Result r = Run({{"REQUEST_METHOD", "GET"},
                    {"HTTP_USER_AGENT", c.agent},
                    {"SERVER_SOFTWARE", c.software}});
    EXPECT_EQ(c.browser, Line(r.out, "browser"));
    EXPECT_EQ(c.server, Line(r.out, "serverinfo"));
  }
}

TEST_F(CGIMainTest, FallbackPages) {
  struct Case {
    Env env;
    const char* message;
  };
  const Case cases[] = {
      {{{"REQUEST_METHOD", "HEAD"}}, "Bad REQUEST_METHOD"},
      {{}, "Bad REQUEST_METHOD"},
      {{{"REQUEST_METHOD", "POST"}, {"CONTENT_TYPE", "text/plain"}},
       "Bad CONTENT_TYPE on POST"},
      {{{"REQUEST_METHOD", "POST"}}, "Bad CONTENT_TYPE on POST"},
      {{{"REQUEST_METHOD", "GET"}, {"ECHO_THROW", "1"}},
       "Unable to run the program!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    Result r = Run(c.env, "a=1");
    EXPECT_EQ(0, r.status);
    EXPECT_EQ(Fallback(c.message), r.out);
  }
  // The module's own output stays; the fallback page follows it.
  Result r = Run({{"REQUEST_METHOD", "GET"}, {"ECHO_RETURN", "1"}});
  EXPECT_EQ(0, r.status);
  const std::string tail = Fallback("Module Main returned non-zero status");
  ASSERT_GT(r.out.size(), tail.size());
  EXPECT_EQ(0u, r.out.rfind("Content-type: text/plain\n\n", 0));
  EXPECT_EQ(tail, r.out.substr(r.out.size() - tail.size()));
}

std::string MultipartBody() {
  const std::string b = "----WebKitFormBoundaryQ3d";
  auto field = [&](const std::string& name, const std::string& value) {
    return "--" + b + "\r\nContent-Disposition: form-data; name=\"" + name +
           "\"\r\n\r\n" + value + "\r\n";
  };
  auto file = [&](const std::string& name, const std::string& client,
                  const std::string& content) {
    return "--" + b + "\r\nContent-Disposition: form-data; name=\"" + name +
           "\"; filename=\"" + client +
           "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + content +
           "\r\n";
  };
  return field("program", "importData") +
         file("nothing", "", "") +
         file("fileUploadName", "C:\\Users\\ann\\staff list.csv",
              std::string("id,name\r\n\x00\x7f\xfe\r\n", 14)) +
         field("delimiter", std::string(3001, ';')) + "--" + b + "--\r\n";
}

const std::string kMultipartType =
    "multipart/form-data; boundary=----WebKitFormBoundaryQ3d";

TEST_F(CGIMainTest, MultipartUpload) {
  Result r = Run({{"REQUEST_METHOD", "POST"},
                  {"CONTENT_TYPE", kMultipartType},
                  {"QUERY_STRING", "program=fromQuery"},
                  {"HTTP_USER_AGENT", "Mozilla/5.0 (X11; Linux x86_64)"}},
                 MultipartBody());
  EXPECT_EQ(0, r.status);
  std::vector<std::string> params = Params(r.out);
  ASSERT_EQ(5u, params.size()) << r.out;
  EXPECT_EQ("program=importData", params[0]);
  const std::string emptyPrefix = "nothing= file=" + dir_ + "/";
  EXPECT_EQ(0u, params[1].rfind(emptyPrefix, 0)) << params[1];
  EXPECT_NE(std::string::npos, params[1].find(" mode=600 bytes="));
  EXPECT_EQ(params[1].size() - strlen(" bytes="), params[1].find(" bytes="));
  EXPECT_EQ(0u, params[2].rfind("fileUploadName=staff list.csv file=" + dir_ + "/", 0))
      << params[2];
  EXPECT_NE(std::string::npos,
            params[2].find(" mode=600 bytes=69642C6E616D650D0A007FFE0D0A"))
      << params[2];
  EXPECT_EQ(params[2].size(), params[2].find("0D0A007FFE0D0A") + 14);
  EXPECT_EQ("delimiter=" + std::string(3001, ';'), params[3]);
  EXPECT_EQ("program=fromQuery", params[4]);
  // Nobody adopted the uploads: they were removed with the request.
  EXPECT_EQ(std::vector<std::string>{}, Files());
}

TEST_F(CGIMainTest, AdoptedUploadStays) {
  Result r = Run({{"REQUEST_METHOD", "POST"},
                  {"CONTENT_TYPE", kMultipartType},
                  {"ECHO_ADOPT", "fileUploadName"}},
                 MultipartBody());
  EXPECT_EQ(0, r.status);
  std::vector<std::string> files = Files();
  ASSERT_EQ(1u, files.size());
  EXPECT_EQ(std::string("id,name\r\n\x00\x7f\xfe\r\n", 14),
            ReadFile(dir_ + "/" + files[0]));
}

TEST_F(CGIMainTest, OversizedMultipartBody) {
  Result r = Run({{"REQUEST_METHOD", "POST"},
                  {"CONTENT_TYPE", kMultipartType},
                  {"ECHO_MAX_REQUEST_SIZE", "500"}},
                 MultipartBody());
  EXPECT_EQ(0, r.status);
  EXPECT_EQ(Fallback("Request body too large"), r.out);
  EXPECT_EQ(std::vector<std::string>{}, Files());
}

TEST_F(CGIMainTest, TruncatedMultipartBody) {
  const std::string body = MultipartBody();
  Result r = Run({{"REQUEST_METHOD", "POST"},
                  {"CONTENT_TYPE", kMultipartType},
                  {"QUERY_STRING", "q=1"}},
                 body.substr(0, body.find("delimiter") + 20));
  EXPECT_EQ(0, r.status);
  std::vector<std::string> params = Params(r.out);
  ASSERT_EQ(4u, params.size()) << r.out;
  EXPECT_EQ("program=importData", params[0]);
  EXPECT_EQ(0u, params[2].rfind("fileUploadName=staff list.csv", 0));
  EXPECT_EQ("q=1", params[3]);
  EXPECT_EQ(std::vector<std::string>{}, Files());
}

}  // namespace
