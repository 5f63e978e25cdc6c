// A temporary installation tree with the console program and the test
// directory back end, and a runner that starts the program as the web server
// would: in its own directory, with a CGI environment and a body on standard
// input.
#pragma once

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

struct ConsoleResponse {
  std::string headers;  // the header block, without its blank line
  std::string body;
  int status = -1;      // exit status of the process
  std::map<std::string, std::string> cookies;    // Set-Cookie name -> value
  std::map<std::string, std::string> cookieText; // name -> whole header value

  // "name=value; ..." of every cookie set, as the browser would send it.
  std::string CookieHeader() const {
    std::string out;
    for (const auto& [name, value] : cookies) {
      if (!out.empty()) out += "; ";
      out += name + "=" + value;
    }
    return out;
  }
  bool Has(const std::string& text) const { return body.find(text) != std::string::npos; }
  bool IsLoginPage() const { return Has("name=\"loginform\""); }
};

class ConsoleTestTree {
 public:
  ConsoleTestTree() {
    char pattern[] = "/tmp/velmoraadmin-test-XXXXXX";
    top_ = mkdtemp(pattern);
    for (const char* dir : {"/htdocs", "/htdocs/admin", "/htdocs/admin/bin", "/config",
                            "/config/style", "/lib", "/logs"})
      mkdir((top_ + dir).c_str(), 0755);
    Link(CONSOLE_PROGRAM, bin() + "/velmoraadmin.cgi");
    for (const char* name : {"kvfiledblib_cgi.so", "kvldapdblib_cgi.so", "kvsqldblib_cgi.so"})
      Link(TEST_BACKEND, top_ + "/lib/" + name);
    WriteList(bin() + "/adminmsg.lst",
              {{"LoginPageTitle", "Console Login"}, {"LoginPageMsg", "Please log in"}});
    WriteList(top_ + "/config/style/styles.lst", {{"style0", "Standard"}, {"style1", "Dusk"}});
    WriteList(top_ + "/config/style/style1.lst", {{"mainBackcolor", "#202040"}});
    WriteList(top_ + "/config/style/style0.lst", {{"lowerBackcolor", "#cece9c"}});
    SetConfig({});
    SetDirectory({{"login.alice", "u-alice"}, {"password.u-alice", "secret"}, {"admin.u-alice", "1"},
                  {"valid.u-alice", "1"}, {"login.bob", "u-bob"}, {"password.u-bob", "hunter2"},
                  {"admin.u-bob", "1"}, {"valid.u-bob", "1"}, {"login.carol", "u-carol"},
                  {"password.u-carol", "pw"}, {"valid.u-carol", "1"},
                  {"remote.alice-web", "u-alice"}, {"remote.carol-web", "u-carol"}});
  }
  ~ConsoleTestTree() {
    if (system(("rm -rf '" + top_ + "'").c_str()) != 0) ADD_FAILURE() << "cannot remove " << top_;
  }
  ConsoleTestTree(const ConsoleTestTree&) = delete;
  ConsoleTestTree& operator=(const ConsoleTestTree&) = delete;

  const std::string& top() const { return top_; }
  std::string bin() const { return top_ + "/htdocs/admin/bin"; }
  // The program Run starts, by its path under htdocs; the console unless
  // another one (a sibling program linked into the tree) is named.
  std::string program = "admin/bin/velmoraadmin.cgi";

  using Pairs = std::vector<std::pair<std::string, std::string>>;

  // The configuration file.
  void SetConfig(const Pairs& extra) {
    Pairs all = {{"logFileName", top_ + "/logs/kvlogfile"}, {"logLevel", "KV_INFO"}};
    all.insert(all.end(), extra.begin(), extra.end());
    WriteList(top_ + "/config/configInfo.lst", all);
  }
  void SetDirectory(const Pairs& entries) {
    directory_ = entries;
    WriteList(top_ + "/config/testdir.lst", directory_);
  }
  void AddToDirectory(const std::string& name, const std::string& value) {
    Pairs more = directory_;
    more.emplace_back(name, value);
    SetDirectory(more);
  }
  void RemoveFromDirectory(const std::string& name) {
    Pairs kept;
    for (const auto& pair : directory_)
      if (pair.first != name) kept.push_back(pair);
    SetDirectory(kept);
  }
  // The calls the back end noted since the last look, then forgets them.
  std::string TakeDirectoryCalls() {
    std::string path = top_ + "/config/testdir.calls";
    std::string calls = ReadFile(path);
    unlink(path.c_str());
    return calls;
  }

  // Runs the program. env holds the CGI variables beyond REQUEST_METHOD;
  // "HTTP_SEC_FETCH_SITE" is "same-origin" unless env says otherwise (an
  // empty value stands for a browser that sends none).
  ConsoleResponse Run(const std::string& method, const std::string& query,
                      const std::map<std::string, std::string>& env = {},
                      const std::string& body = "") const {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return {};
    signal(SIGPIPE, SIG_IGN);  // a refused body may go unread
    pid_t pid = fork();
    if (pid == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      close(in[0]); close(in[1]); close(out[0]); close(out[1]);
      std::string folder = program.substr(0, program.rfind('/'));
      if (chdir((top_ + "/htdocs/" + folder).c_str()) != 0) _exit(127);
      std::vector<std::string> vars = {"REQUEST_METHOD=" + method, "QUERY_STRING=" + query,
                                       "SCRIPT_NAME=/" + program, "SERVER_NAME=localhost",
                                       "SERVER_PORT=80", "TMPDIR=" + top_ + "/logs"};
      if (!body.empty()) {
        vars.push_back("CONTENT_LENGTH=" + std::to_string(body.size()));
        if (!env.count("CONTENT_TYPE"))
          vars.push_back("CONTENT_TYPE=application/x-www-form-urlencoded");
      }
      for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
        if (const char* value = getenv(name)) vars.push_back(std::string(name) + "=" + value);
      if (!env.count("HTTP_SEC_FETCH_SITE")) vars.push_back("HTTP_SEC_FETCH_SITE=same-origin");
      for (const auto& [name, value] : env) vars.push_back(name + "=" + value);
      std::vector<char*> envp;
      for (std::string& v : vars) envp.push_back(v.data());
      envp.push_back(nullptr);
      std::string arg0 = "." + program.substr(program.rfind('/'));
      char* argv[] = {arg0.data(), nullptr};
      execve(argv[0], argv, envp.data());
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    if (!body.empty() && write(in[1], body.data(), body.size()) < 0) {
    }
    close(in[1]);
    std::string output;
    char buf[4096];
    ssize_t n;
    while ((n = read(out[0], buf, sizeof buf)) > 0) output.append(buf, n);
    close(out[0]);
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);

    ConsoleResponse response;
    response.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    // The program always ends with status 0 after writing a response; a
    // sanitizer report ends it otherwise.
    EXPECT_EQ(response.status, 0) << query << "\n" << output;
    size_t end = output.find("\n\n");
    response.headers = output.substr(0, end);
    response.body = end == std::string::npos ? "" : output.substr(end + 2);
    std::istringstream lines(response.headers);
    std::string line;
    const std::string prefix = "Set-Cookie: ";
    while (std::getline(lines, line)) {
      if (line.compare(0, prefix.size(), prefix) != 0) continue;
      std::string text = line.substr(prefix.size());
      size_t eq = text.find('=');
      size_t semi = text.find(';');
      std::string name = text.substr(0, eq);
      response.cookies[name] = text.substr(eq + 1, semi - eq - 1);
      response.cookieText[name] = text;
    }
    return response;
  }

  // Logs alice in through the form; the response of that login.
  ConsoleResponse LogIn(const std::string& query = "",
                        const std::string& login = "alice",
                        const std::string& password = "secret") const {
    return Run("POST", query, {}, "login=" + login + "&password=" + password);
  }

  static void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
  }
  static std::string ReadFile(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
  }

 private:
  static void Link(const std::string& target, const std::string& path) {
    if (symlink(target.c_str(), path.c_str()) != 0)
      ADD_FAILURE() << "cannot link " << path;
  }
  static void WriteList(const std::string& path, const Pairs& pairs) {
    std::string text = "BEGIN:vNameList\n";
    for (const auto& [name, value] : pairs) text += name + ":" + value + "\n";
    WriteFile(path, text + "END:vNameList\n");
  }

  std::string top_;
  Pairs directory_;
};
