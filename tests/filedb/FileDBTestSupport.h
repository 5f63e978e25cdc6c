// Test support for the file directory back end: the plug-in loaded with
// dlopen, a temporary installation tree per test with open user and group
// directories, small vCard files, and the kvfiledb tool.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string>

#include "KvFileDB.h"
#include "TestSupport.h"
#include "UserDBChecks.h"
#include "dblib.h"

namespace filedbtest {

using namespace testsupport;

#define FILEDB_FN(type, member, symbol) type member = PluginFn<type>(KVFILEDB_PLUGIN, symbol)
// The plug-in's entry points.
struct Plugin {
  FILEDB_FN(KvCreateImpUserDBFn, createUser, "KvCreateImpUserDB");
  FILEDB_FN(KvDestroyImpUserDBFn, destroyUser, "KvDestroyImpUserDB");
  FILEDB_FN(KvCreateImpGroupDBFn, createGroup, "KvCreateImpGroupDB");
  FILEDB_FN(KvDestroyImpGroupDBFn, destroyGroup, "KvDestroyImpGroupDB");
  FILEDB_FN(KvFileDBOpenAtFn, openAt, KV_FILEDB_OPEN_AT);
  FILEDB_FN(KvFileDBGroupOpenAtFn, groupOpenAt, KV_FILEDB_GROUP_OPEN_AT);
  FILEDB_FN(KvFileDBSetPasswordFn, setPassword, KV_FILEDB_SET_PASSWORD);
  FILEDB_FN(KvFileDBGenerateAccountsFn, generateAccounts, KV_FILEDB_GENERATE_ACCOUNTS);
  FILEDB_FN(KvFileDBGetEmailFn, getEmail, KV_FILEDB_GET_EMAIL);
};
#undef FILEDB_FN
inline const Plugin& ThePlugin() {
  static const Plugin plugin;
  return plugin;
}

// Three people: zadams (FN, work phone and fax, EMAIL;INTERNET, manager
// mbrown), mbrown (only N, a plain EMAIL), cyoung (no e-mail).
constexpr const char kThreePeople[] =
    "BEGIN:VCARD\nVERSION:2.1\nN:Adams;Zoe;;;\nFN:Zoe Adams\nTITLE:Engineer\n"
    "TEL;WORK;VOICE:+1 555 0100 0001\nTEL;WORK;FAX:+1 555 0100 0002\n"
    "EMAIL;INTERNET:zadams@example.com\nUID:zadams\nX-KAVRI-MGR-UID:mbrown\nEND:VCARD\n"
    "\n"
    "BEGIN:VCARD\nN:Brown;Mark;;;\nEMAIL:mark.brown@example.com\nUID:mbrown\n"
    "X-KAVRI-DIRECT-REPORT-UID:zadams\nEND:VCARD\n"
    "BEGIN:VCARD\nFN:Carl Young\nUID:cyoung\nEND:VCARD\n";

// A card file of n people with uids p0 .. p<n-1>.
inline std::string ManyPeople(int n) {
  std::string out;
  for (int i = 0; i < n; ++i) {
    std::string id = std::to_string(i);
    out += "BEGIN:VCARD\nFN:Person " + id + "\nUID:p" + id + "\nEND:VCARD\n";
  }
  return out;
}

// Permission bits of a file, or -1.
inline int ModeOf(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

struct ToolResult {
  int status;
  std::string out;
  std::string err;
};

// A temporary installation tree (top/lib, top/apps/admin/bin) with an open
// user directory `db` and group directory `groups`.
class FileDBTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tree.Make("/tmp/filedbtest", {"lib", "tmp", "apps/admin/bin"}));
    top = tree.top();
    db = NewDB();
    groups = ThePlugin().createGroup();
    ASSERT_EQ(ThePlugin().groupOpenAt(groups, top.c_str()), 1);
  }
  void TearDown() override {
    if (db) Destroy(db);
    if (groups) ThePlugin().destroyGroup(groups);
  }

  // A new user directory opened at top (caller destroys with Destroy).
  UserDB* NewDB() {
    UserDB* users = ThePlugin().createUser();
    EXPECT_EQ(ThePlugin().openAt(users, top.c_str()), 1);
    return users;
  }
  void Destroy(UserDB* other) { ThePlugin().destroyUser(other); }

  // Writes text to a file under top/tmp and indexes it; the error texts, or
  // none on success.
  Strings IndexText(const std::string& text, VersitProgressCallback callback = nullptr,
                    void* cookie = nullptr) {
    std::string path = Input("input" + std::to_string(++counter_) + ".vcf", text);
    return Texts(db->IndexDataFile(path.c_str(), "admin", cookie, callback));
  }
  std::string Input(const std::string& name, const std::string& text) {
    WriteAll(top + "/tmp/" + name, text);
    return top + "/tmp/" + name;
  }
  std::string Common(const std::string& name) const { return top + "/data/common/" + name; }
  // Files of data/common whose names contain part.
  Strings CommonFiles(const std::string& part) const {
    Strings out;
    for (const auto& entry : std::filesystem::directory_iterator(top + "/data/common")) {
      std::string name = entry.path().filename().string();
      if (name.find(part) != std::string::npos) out.push_back(name);
    }
    return out;
  }

  // The kvfiledb command line for this tree, up to its command.
  std::string ToolCommand() const {
    return std::string(KVFILEDB_TOOL) + " --lib " + KVFILEDB_PLUGIN + " --top " + top + " ";
  }
  // Runs kvfiledb with the arguments (shell words) and standard input.
  ToolResult RunTool(const std::string& args, const std::string& input = "") {
    std::string in = Input("tool.in", input), out = top + "/tmp/tool.out",
                err = top + "/tmp/tool.err";
    int status = system((ToolCommand() + args + " <" + in + " >" + out + " 2>" + err).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128, ReadAll(out), ReadAll(err)};
  }

  TempTree tree;
  std::string top;
  UserDB* db = nullptr;
  GroupDB* groups = nullptr;

 private:
  int counter_ = 0;
};

}  // namespace filedbtest
