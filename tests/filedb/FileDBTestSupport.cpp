// Test support for the file directory back end.
#include "FileDBTestSupport.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

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

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteAll(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
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

std::vector<std::string> Texts(ValList* list) {
  std::unique_ptr<ValList> owned(list);
  std::vector<std::string> out;
  if (list == nullptr) return out;
  for (ValListItem* item = list->GetFirst(); item; item = item->next) {
    out.push_back(item->value ? item->value : "(null)");
  }
  return out;
}

bool Throws(const std::function<void()>& body) {
  try {
    body();
  } catch (KvError* e) {
    std::unique_ptr<KvError> owned(e);
    return true;
  }
  return false;
}

int InChild(const std::function<int()>& body) {
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

void FileDBTest::SetUp() {
  char tmpl[] = "/tmp/filedbtestXXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  top = std::filesystem::canonical(tmpl).string();
  std::filesystem::create_directories(top + "/lib");
  std::filesystem::create_directories(top + "/tmp");
  std::filesystem::create_directories(top + "/apps/admin/bin");
  db = NewDB();
  groups = ThePlugin().createGroup();
  ASSERT_EQ(ThePlugin().groupOpenAt(groups, top.c_str()), 1);
}

void FileDBTest::TearDown() {
  if (db) Destroy(db);
  if (groups) ThePlugin().destroyGroup(groups);
  std::error_code ignored;
  std::filesystem::remove_all(top, ignored);
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
