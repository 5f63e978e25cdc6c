// Test fixture for the stores: a temporary installation tree whose program
// directory is the working directory for the test's duration.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "TestSupport.h"
#include "dblib.h"

namespace dbtest {

using testsupport::InChild;
using testsupport::Lines;
using testsupport::ReadAll;
using testsupport::WriteAll;

inline std::string S(const char* s) { return s ? s : "(null)"; }
inline bool Has(const std::string& s, const std::string& part) {
  return s.find(part) != std::string::npos;
}
inline bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The trace lines of the KvError body throws; empty (and a failure) when
// nothing is thrown.
inline std::string ErrorText(const std::function<void()>& body) {
  try {
    body();
  } catch (KvError* e) {
    return Lines(e);
  }
  ADD_FAILURE() << "no error thrown";
  return "";
}

// Runs change on a fresh configuration in a child process and writes it;
// true when the write succeeded.
inline bool ChangedInChild(const std::function<void(KvConfigDB&)>& change) {
  return InChild([&change]() {
           KvConfigDB other;
           change(other);
           return other.WriteToFile() == 1 ? 0 : 1;
         }) == 0;
}

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
    hadTmpdir ? setenv("TMPDIR", oldTmpdir.c_str(), 1) : unsetenv("TMPDIR");
    EXPECT_EQ(chdir(oldCwd.c_str()), 0);
    tree.Remove();
  }

  std::string Config() const { return top + "/config/configInfo.lst"; }

  // The config folder holds nothing but folders and files whose names end
  // in one of the endings (no temporary files left behind).
  void ExpectOnlyInConfig(std::initializer_list<const char*> endings) const {
    for (const auto& entry : std::filesystem::directory_iterator(top + "/config")) {
      std::string name = entry.path().filename().string();
      bool known = entry.is_directory();
      for (const char* end : endings) known = known || EndsWith(name, end);
      EXPECT_TRUE(known) << name;
    }
  }

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
