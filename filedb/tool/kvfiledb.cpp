// kvfiledb: maintenance of the file directory from the command line. Loads
// the installation's file back end (TOP/lib/kvfiledblib_cgi.so) the way the
// console does and runs one command on the directory under TOP/data.
//
//   kvfiledb --top TOP [--lib PLUGIN] index FILE
//   kvfiledb --top TOP [--lib PLUGIN] passwd UID      (password on stdin)
//   kvfiledb --top TOP [--lib PLUGIN] admins list|add UID|remove UID
//   kvfiledb --top TOP [--lib PLUGIN] accounts generate|remove UID|prune
//
// Exit status: 0 done, 1 the command failed, 2 wrong usage.
#include <dlfcn.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "KvFileDB.h"
#include "dblib.h"
#include "utillib.h"

namespace {

const int kExitOk = 0;
const int kExitFailed = 1;
const int kExitUsage = 2;

void Usage() {
  fprintf(stderr,
          "usage: kvfiledb --top TOP [--lib PLUGIN] COMMAND\n"
          "commands:\n"
          "  index FILE          make the vCard file FILE the directory's data\n"
          "  passwd UID          set UID's password, read from standard input\n"
          "  admins list         list the directory administrators\n"
          "  admins add UID      make UID a directory administrator\n"
          "  admins remove UID   take UID off the directory administrators\n"
          "  accounts generate   create login accounts for everyone without one\n"
          "  accounts remove UID remove UID's login account\n"
          "  accounts prune      remove the accounts of people no longer in the directory\n");
}

void PrintError(KvError* e) {
  std::unique_ptr<KvError> owned(e);
  ValList* lines = e->GetUserLines();
  if (lines == nullptr || lines->GetCount() == 0) lines = e->GetLines();
  for (ValListItem* item = lines->GetFirst(); item; item = item->next) {
    if (item->value) fprintf(stderr, "kvfiledb: %s\n", item->value);
  }
}

void PrintProgress(void*, CallbackProgress* progress) {
  if (progress->count >= 0) {
    printf("%d%s\n", progress->count, progress->message ? progress->message : "");
  } else if (progress->message) {
    printf("%s\n", progress->message);
  }
  if (progress->messageList) {
    for (ValListItem* item = progress->messageList->GetFirst(); item; item = item->next) {
      if (item->value) printf("  %s\n", item->value);
    }
  }
  fflush(stdout);
}

// One line of standard input without its line end; echo is turned off while
// it is typed at a terminal. False at end of input.
bool ReadPassword(std::string* out) {
  bool terminal = isatty(STDIN_FILENO);
  struct termios saved;
  if (terminal) {
    fprintf(stderr, "New password: ");
    tcgetattr(STDIN_FILENO, &saved);
    struct termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  String line;
  bool got = line.GetField(stdin);
  if (terminal) {
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    fprintf(stderr, "\n");
  }
  if (!got) return false;
  *out = line.CStr();
  return true;
}

// The loaded back end and one open user directory; unloaded on scope exit.
class Backend {
 public:
  ~Backend() {
    if (db_ != nullptr && destroy_ != nullptr) destroy_(db_);
    if (handle_ != nullptr) dlclose(handle_);
  }

  void Load(const std::string& library, const std::string& top) {
    handle_ = KvShLibOpen(library.c_str(), RTLD_LAZY);
    auto create = reinterpret_cast<KvCreateImpUserDBFn>(
        KvShLibFindSym(handle_, kKvCreateImpUserDB));
    destroy_ = reinterpret_cast<KvDestroyImpUserDBFn>(
        KvShLibFindSym(handle_, kKvDestroyImpUserDB));
    auto openAt = reinterpret_cast<KvFileDBOpenAtFn>(Sym(KV_FILEDB_OPEN_AT));
    db_ = create();
    if (openAt(db_, top.c_str()) != 1) {
      KV_THROW(String("Unable to open the directory under ") + top.c_str());
    }
  }

  void* Sym(const char* name) { return KvShLibFindSym(handle_, name); }
  UserDB* db() const { return db_; }

 private:
  void* handle_ = nullptr;
  UserDB* db_ = nullptr;
  KvDestroyImpUserDBFn destroy_ = nullptr;
};

int RunIndex(Backend& backend, const std::string& file) {
  std::unique_ptr<ValList> errors(
      backend.db()->IndexDataFile(file.c_str(), nullptr, nullptr, PrintProgress));
  if (!errors) {
    printf("%s is now the directory's data\n", file.c_str());
    return kExitOk;
  }
  for (ValListItem* item = errors->GetFirst(); item; item = item->next) {
    if (item->value) fprintf(stderr, "kvfiledb: %s\n", item->value);
  }
  fprintf(stderr, "kvfiledb: indexing failed; the directory was not changed\n");
  return kExitFailed;
}

int RunPasswd(Backend& backend, const std::string& uid) {
  if (!backend.db()->IsValidUser(uid.c_str())) {
    fprintf(stderr, "kvfiledb: no person with the uid %s in the directory\n", uid.c_str());
    return kExitFailed;
  }
  std::string password;
  if (!ReadPassword(&password) || password.empty()) {
    fprintf(stderr, "kvfiledb: no password given on standard input\n");
    return kExitFailed;
  }
  auto setPassword =
      reinterpret_cast<KvFileDBSetPasswordFn>(backend.Sym(KV_FILEDB_SET_PASSWORD));
  setPassword(backend.db(), uid.c_str(), password.c_str());
  printf("password of %s changed\n", uid.c_str());
  return kExitOk;
}

int RunAdmins(Backend& backend, const std::vector<std::string>& args) {
  const std::string& what = args[0];
  if (what == "list" && args.size() == 1) {
    std::unique_ptr<ValList> admins(backend.db()->GetDirAdmins());
    for (ValListItem* item = admins->GetFirst(); item; item = item->next) {
      if (item->value) printf("%s\n", item->value);
    }
    return kExitOk;
  }
  if ((what == "add" || what == "remove") && args.size() == 2) {
    const char* uid = args[1].c_str();
    if (what == "add") {
      if (!backend.db()->IsValidUser(uid)) {
        fprintf(stderr, "kvfiledb: no person with the uid %s in the directory\n", uid);
        return kExitFailed;
      }
      auto add = reinterpret_cast<KvFileDBChangeAdminFn>(backend.Sym(KV_FILEDB_ADD_ADMIN));
      printf(add(backend.db(), uid) ? "%s is now a directory administrator\n"
                                    : "%s already is a directory administrator\n",
             uid);
      return kExitOk;
    }
    auto remove =
        reinterpret_cast<KvFileDBChangeAdminFn>(backend.Sym(KV_FILEDB_REMOVE_ADMIN));
    if (!remove(backend.db(), uid)) {
      fprintf(stderr, "kvfiledb: %s is not a directory administrator\n", uid);
      return kExitFailed;
    }
    printf("%s is no longer a directory administrator\n", uid);
    return kExitOk;
  }
  Usage();
  return kExitUsage;
}

int RunAccounts(Backend& backend, const std::string& top,
                const std::vector<std::string>& args) {
  if (args[0] == "remove") {
    auto remove = reinterpret_cast<KvFileDBRemoveAccountFn>(
        backend.Sym(KV_FILEDB_REMOVE_ACCOUNT));
    if (!remove(backend.db(), args[1].c_str())) {
      fprintf(stderr, "kvfiledb: %s has no account\n", args[1].c_str());
      return kExitFailed;
    }
    printf("account of %s removed\n", args[1].c_str());
    return kExitOk;
  }
  if (args[0] == "prune") {
    auto prune = reinterpret_cast<KvFileDBPruneAccountsFn>(
        backend.Sym(KV_FILEDB_PRUNE_ACCOUNTS));
    printf("%d accounts of people no longer in the directory removed\n",
           prune(backend.db()));
    printf("current number of user accounts: %d\n", backend.db()->GetNumAccounts());
    return kExitOk;
  }
  auto generate = reinterpret_cast<KvFileDBGenerateAccountsFn>(
      backend.Sym(KV_FILEDB_GENERATE_ACCOUNTS));
  int made = generate(backend.db());
  printf("%d accounts created", made);
  if (made > 0) {
    printf("; their passwords are in %s/data/common/new-accounts.txt", top.c_str());
  }
  printf("\ncurrent number of user accounts: %d\n", backend.db()->GetNumAccounts());
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  std::string top;
  std::string library;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if ((arg == "--top" || arg == "--lib") && i + 1 < argc) {
      (arg == "--top" ? top : library) = argv[++i];
    } else if (arg == "-h" || arg == "--help") {
      Usage();
      return kExitOk;
    } else {
      args.push_back(arg);
    }
  }
  if (top.empty() || args.empty()) {
    Usage();
    return kExitUsage;
  }
  const std::string& command = args[0];
  std::vector<std::string> rest(args.begin() + 1, args.end());
  bool known = (command == "index" && rest.size() == 1) ||
               (command == "passwd" && rest.size() == 1) ||
               (command == "admins" && !rest.empty()) ||
               (command == "accounts" && rest.size() == 1 &&
                (rest[0] == "generate" || rest[0] == "prune")) ||
               (command == "accounts" && rest.size() == 2 && rest[0] == "remove");
  if (!known) {
    Usage();
    return kExitUsage;
  }
  if (!KvCheckIfDirectory(top.c_str())) {
    fprintf(stderr, "kvfiledb: %s is not a directory\n", top.c_str());
    return kExitFailed;
  }
  if (library.empty()) {
    std::unique_ptr<char, decltype(&free)> path(KvConfigDB::GetDLLPath(top.c_str(), KV_KAVRI),
                                                &free);
    if (!path) {
      fprintf(stderr, "kvfiledb: no file back end at %s/lib/kvfiledblib_cgi.so\n",
              top.c_str());
      return kExitFailed;
    }
    library = path.get();
  }

  try {
    Backend backend;
    backend.Load(library, top);
    if (command == "index") return RunIndex(backend, rest[0]);
    if (command == "passwd") return RunPasswd(backend, rest[0]);
    if (command == "admins") {
      // A change waits for the console's read-change-write cycles to end.
      std::string config = top + "/config";
      std::unique_ptr<KvChangeLock> change;
      if (KvCheckIfDirectory(config.c_str())) change.reset(new KvChangeLock(config.c_str()));
      return RunAdmins(backend, rest);
    }
    return RunAccounts(backend, top, rest);
  } catch (KvError* e) {
    PrintError(e);
    return kExitFailed;
  }
}
