// Test fixture for the stores: a temporary installation tree whose program
// directory is the working directory for the test's duration.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "TestSupport.h"
#include "dblib.h"

namespace dbtest {

using testsupport::InChild;
using testsupport::Lines;
using testsupport::ReadAll;
using testsupport::WriteAll;

// A temporary installation tree: top/config, top/config/style, top/logs,
// top/lib and the program directory top/apps/admin/bin, which is the working
// directory while the fixture lives.
class TreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tree.Make("/tmp/dblibtest", {"config/style", "logs", "lib", "tmp",
                                             "apps/admin/bin/images"}));
    top = tree.top();
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
    tree.Remove();
  }

  std::string Config() const { return top + "/config/configInfo.lst"; }

  // Writes a configuration file with the given name:value lines.
  void WriteConfig(const std::string& lines) {
    WriteAll(Config(), "BEGIN:vNameList\n" + lines + "END:vNameList\n");
  }

  testsupport::TempTree tree;
  std::string top;
  std::string oldCwd;
  std::string oldTmpdir;
  bool hadTmpdir = false;
};

}  // namespace dbtest
