// Test support for the file directory back end.
#include "FileDBTestSupport.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

namespace filedbtest {

const char kThreePeople[] =
    "BEGIN:VCARD\n"
    "VERSION:2.1\n"
    "N:Adams;Zoe;;;\n"
    "FN:Zoe Adams\n"
    "TITLE:Engineer\n"
    "TEL;WORK;VOICE:+1 555 0100 0001\n"
    "TEL;WORK;FAX:+1 555 0100 0002\n"
    "EMAIL;INTERNET:zadams@example.com\n"
    "UID:zadams\n"
    "X-KAVRI-MGR-UID:mbrown\n"
    "END:VCARD\n"
    "\n"
    "BEGIN:VCARD\n"
    "N:Brown;Mark;;;\n"
    "EMAIL:mark.brown@example.com\n"
    "UID:mbrown\n"
    "X-KAVRI-DIRECT-REPORT-UID:zadams\n"
    "END:VCARD\n"
    "BEGIN:VCARD\n"
    "FN:Carl Young\n"
    "UID:cyoung\n"
    "END:VCARD\n";

std::string ManyPeople(int n) {
  std::string out;
  for (int i = 0; i < n; ++i) {
    std::string id = std::to_string(i);
    out += "BEGIN:VCARD\nFN:Person " + id + "\nUID:p" + id + "\nEND:VCARD\n";
  }
  return out;
}

namespace {

void* Sym(void* handle, const char* name) {
  void* p = dlsym(handle, name);
  if (p == nullptr) {
    fprintf(stderr, "missing %s in the plug-in\n", name);
    abort();
  }
  return p;
}

}  // namespace

const Plugin& ThePlugin() {
  static Plugin plugin = [] {
    void* handle = dlopen(KVFILEDB_PLUGIN, RTLD_LAZY);
    if (handle == nullptr) {
      fprintf(stderr, "%s\n", dlerror());
      abort();
    }
    Plugin p;
    p.createUser = reinterpret_cast<KvCreateImpUserDBFn>(Sym(handle, "KvCreateImpUserDB"));
    p.destroyUser = reinterpret_cast<KvDestroyImpUserDBFn>(Sym(handle, "KvDestroyImpUserDB"));
    p.createGroup = reinterpret_cast<KvCreateImpGroupDBFn>(Sym(handle, "KvCreateImpGroupDB"));
    p.destroyGroup =
        reinterpret_cast<KvDestroyImpGroupDBFn>(Sym(handle, "KvDestroyImpGroupDB"));
    p.openAt = reinterpret_cast<KvFileDBOpenAtFn>(Sym(handle, KV_FILEDB_OPEN_AT));
    p.groupOpenAt =
        reinterpret_cast<KvFileDBGroupOpenAtFn>(Sym(handle, KV_FILEDB_GROUP_OPEN_AT));
    p.setPassword =
        reinterpret_cast<KvFileDBSetPasswordFn>(Sym(handle, KV_FILEDB_SET_PASSWORD));
    p.addAdmin = reinterpret_cast<KvFileDBChangeAdminFn>(Sym(handle, KV_FILEDB_ADD_ADMIN));
    p.removeAdmin =
        reinterpret_cast<KvFileDBChangeAdminFn>(Sym(handle, KV_FILEDB_REMOVE_ADMIN));
    p.generateAccounts = reinterpret_cast<KvFileDBGenerateAccountsFn>(
        Sym(handle, KV_FILEDB_GENERATE_ACCOUNTS));
    p.getEmail = reinterpret_cast<KvFileDBGetEmailFn>(Sym(handle, KV_FILEDB_GET_EMAIL));
    return p;
  }();
  return plugin;
}

int ModeOf(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return -1;
  return st.st_mode & 07777;
}

std::vector<std::string> FilesContaining(const std::string& dir, const std::string& part) {
  std::vector<std::string> out;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::string name = entry.path().filename().string();
    if (name.find(part) != std::string::npos) out.push_back(name);
  }
  return out;
}

void FileDBTest::SetUp() {
  ASSERT_TRUE(tree.Make("/tmp/filedbtest", {"lib", "tmp", "apps/admin/bin"}));
  top = tree.top();
  db = NewDB();
  groups = ThePlugin().createGroup();
  ASSERT_EQ(ThePlugin().groupOpenAt(groups, top.c_str()), 1);
}

void FileDBTest::TearDown() {
  if (db) Destroy(db);
  if (groups) ThePlugin().destroyGroup(groups);
  tree.Remove();
}

UserDB* FileDBTest::NewDB() {
  UserDB* users = ThePlugin().createUser();
  EXPECT_EQ(ThePlugin().openAt(users, top.c_str()), 1);
  return users;
}

void FileDBTest::Destroy(UserDB* other) { ThePlugin().destroyUser(other); }

std::vector<std::string> FileDBTest::IndexText(const std::string& text,
                                               VersitProgressCallback callback,
                                               void* cookie) {
  std::string path = top + "/tmp/input" + std::to_string(++counter_) + ".vcf";
  WriteAll(path, text);
  return Texts(db->IndexDataFile(path.c_str(), "admin", cookie, callback));
}

ToolResult FileDBTest::RunTool(const std::string& args, const std::string& input) {
  std::string in = top + "/tmp/tool.in", out = top + "/tmp/tool.out",
              err = top + "/tmp/tool.err";
  WriteAll(in, input);
  std::string command = std::string(KVFILEDB_TOOL) + " --lib " + KVFILEDB_PLUGIN + " " +
                        args + " <" + in + " >" + out + " 2>" + err;
  int status = system(command.c_str());
  ToolResult result;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
  result.out = ReadAll(out);
  result.err = ReadAll(err);
  return result;
}

}  // namespace filedbtest
