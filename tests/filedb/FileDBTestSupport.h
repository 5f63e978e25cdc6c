// Test support for the file directory back end: the plug-in loaded once with
// dlopen, a temporary installation tree per test with an open user
// directory, small vCard files, and helpers to run child processes and the
// kvfiledb tool.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "KvFileDB.h"
#include "TestSupport.h"
#include "dblib.h"

namespace filedbtest {

// The plug-in's entry points (loaded on first use, for the whole process).
struct Plugin {
  KvCreateImpUserDBFn createUser;
  KvDestroyImpUserDBFn destroyUser;
  KvCreateImpGroupDBFn createGroup;
  KvDestroyImpGroupDBFn destroyGroup;
  KvFileDBOpenAtFn openAt;
  KvFileDBGroupOpenAtFn groupOpenAt;
  KvFileDBSetPasswordFn setPassword;
  KvFileDBChangeAdminFn addAdmin;
  KvFileDBChangeAdminFn removeAdmin;
  KvFileDBGenerateAccountsFn generateAccounts;
  KvFileDBGetEmailFn getEmail;
};
const Plugin& ThePlugin();

// Three people: zadams (FN, work phone and fax, EMAIL;INTERNET, manager
// mbrown), mbrown (only N, a plain EMAIL), cyoung (no e-mail).
extern const char kThreePeople[];
// A card file of n people with uids p0 .. p<n-1>.
std::string ManyPeople(int n);

using testsupport::InChild;
using testsupport::ListOf;
using testsupport::ReadAll;
using testsupport::Strings;
using testsupport::Texts;
using testsupport::Throws;
using testsupport::WriteAll;

// Permission bits of a file, or -1.
int ModeOf(const std::string& path);
// Files of a folder whose names contain part.
std::vector<std::string> FilesContaining(const std::string& dir, const std::string& part);

struct ToolResult {
  int status;
  std::string out;
  std::string err;
};

// A temporary installation tree (top/lib, top/apps/admin/bin) with an open
// user directory `db` and group directory `groups`.
class FileDBTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A new user directory opened at top (caller destroys with Destroy).
  UserDB* NewDB();
  void Destroy(UserDB* other);
  // Writes text to a file under top/tmp and indexes it; the error texts, or
  // an empty vector on success.
  std::vector<std::string> IndexText(const std::string& text,
                                     VersitProgressCallback callback = nullptr,
                                     void* cookie = nullptr);
  std::string Common(const std::string& name) const {
    return top + "/data/common/" + name;
  }
  // Runs kvfiledb with the arguments (shell words) and standard input.
  ToolResult RunTool(const std::string& args, const std::string& input = "");

  testsupport::TempTree tree;
  std::string top;
  UserDB* db = nullptr;
  GroupDB* groups = nullptr;

 private:
  int counter_ = 0;
};

}  // namespace filedbtest
