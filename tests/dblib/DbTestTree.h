// Test helpers for the stores: a temporary installation tree whose program
// directory is the working directory for the test's duration, and small
// file and process utilities.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "dblib.h"

namespace dbtest {

// Owns a caught error and gives its trace lines as text.
inline std::string Lines(KvError* e) {
  std::unique_ptr<KvError> owned(e);
  std::string text;
  for (ValListItem* it = e->GetLines()->GetFirst(); it; it = it->next)
    text += std::string(it->value ? it->value : "") + "\n";
  return text;
}

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline void WriteAll(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

// Runs body in a child process; returns its exit status (body's result),
// or 128 + signal when it was killed.
inline int InChild(const std::function<int()>& body) {
  fflush(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    int rc = 99;
    try {
      rc = body();
    } catch (KvError* e) {
      std::unique_ptr<KvError> owned(e);
      rc = 98;
    }
    _exit(rc);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

// A temporary installation tree: top/config, top/config/style, top/logs,
// top/lib and the program directory top/apps/admin/bin, which is the working
// directory while the fixture lives.
class TreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/dblibtestXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    top = std::filesystem::canonical(tmpl).string();
    for (const char* dir : {"/config/style", "/logs", "/lib", "/tmp",
                            "/apps/admin/bin/images"})
      std::filesystem::create_directories(top + dir);
    oldCwd = std::filesystem::current_path().string();
    ASSERT_EQ(chdir((top + "/apps/admin/bin").c_str()), 0);
    const char* tmpdir = getenv("TMPDIR");
    hadTmpdir = tmpdir != nullptr;
    if (hadTmpdir) oldTmpdir = tmpdir;
    setenv("TMPDIR", (top + "/tmp").c_str(), 1);
  }

  void TearDown() override {
    if (hadTmpdir)
      setenv("TMPDIR", oldTmpdir.c_str(), 1);
    else
      unsetenv("TMPDIR");
    EXPECT_EQ(chdir(oldCwd.c_str()), 0);
    std::error_code ec;
    std::filesystem::remove_all(top, ec);
  }

  std::string Config() const { return top + "/config/configInfo.lst"; }

  // Writes a configuration file with the given name:value lines.
  void WriteConfig(const std::string& lines) {
    WriteAll(Config(), "BEGIN:vNameList\n" + lines + "END:vNameList\n");
  }

  std::string top;
  std::string oldCwd;
  std::string oldTmpdir;
  bool hadTmpdir = false;
};

}  // namespace dbtest
