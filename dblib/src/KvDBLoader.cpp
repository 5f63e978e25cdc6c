// Loading the directory back-end library and creating or destroying the user
// and group directories through its exported entry points.
#include "KvDBLoader.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

const char kKvCreateImpUserDB[] = "KvCreateImpUserDB";
const char kKvDestroyImpUserDB[] = "KvDestroyImpUserDB";
const char kKvCreateImpGroupDB[] = "KvCreateImpGroupDB";
const char kKvDestroyImpGroupDB[] = "KvDestroyImpGroupDB";

namespace {

// Closes a library handle unless it was released to stay loaded.
struct LibraryCloser {
  void operator()(void* handle) const {
    try {
      KvShLibClose(handle);
    } catch (KvError* e) {
      delete e;
    }
  }
};
using LibraryHandle = std::unique_ptr<void, LibraryCloser>;

// Puts "NAME=value" into the process environment unless it is there already.
// putenv keeps the pointer it is given, so the copy must live as long as the
// process: it is deliberately never freed (the list only keeps it reachable).
void PutEnvOnce(const char* setting) {
  const char* eq = strchr(setting, '=');
  if (!eq || eq == setting) return;
  std::string name(setting, eq - setting);
  const char* current = getenv(name.c_str());
  if (current && strcmp(current, eq + 1) == 0) return;
  static std::vector<char*>* kept = new std::vector<char*>;
  char* copy = strdup(setting);
  kept->push_back(copy);
  putenv(copy);
}

// Opens the back-end library for the employee directory's format. For the SQL
// format the database environment setting goes into the process environment.
LibraryHandle OpenBackEnd(KvConfigDB* config) {
  KvDBFormat format = config->DBFormat(KV_EMPDIR);
  if (format == KV_SQL) {
    char* env = config->SqlDbEnv();
    if (env && *env) PutEnvOnce(env);
  }
  std::unique_ptr<char, decltype(&free)> path(
      KvConfigDB::GetDLLPath(config->GetTopKavriDir(), format), &free);
  if (!path) KV_THROW("Unable to locate the shared library to load!");
  return LibraryHandle(KvShLibOpen(path.get(), RTLD_LAZY));
}

template <typename T>
T* Create(KvConfigDB* config, const char* symbol, const char* failure) {
  try {
    LibraryHandle lib = OpenBackEnd(config);
    using CreateFn = T* (*)();
    CreateFn create = reinterpret_cast<CreateFn>(
        KvShLibFindSym(lib.get(), symbol));
    T* db = create();
    // The object's code lives in the library: it stays loaded.
    lib.release();
    return db;
  } catch (KvError* e) {
    KV_ADD_LINE(e, failure);
    throw;
  }
}

template <typename T>
void Destroy(T* db, KvConfigDB* config, const char* symbol,
             const char* failure) {
  try {
    LibraryHandle lib = OpenBackEnd(config);
    using DestroyFn = void (*)(T*);
    DestroyFn destroy = reinterpret_cast<DestroyFn>(
        KvShLibFindSym(lib.get(), symbol));
    destroy(db);
    // Drops the reference taken by this call; the one taken at creation
    // keeps the library loaded.
    void* handle = lib.release();
    KvShLibClose(handle);
  } catch (KvError* e) {
    KV_ADD_LINE(e, failure);
    throw;
  }
}

}  // namespace

UserDB* KvCreateUserDB(KvConfigDB* config) {
  return Create<UserDB>(config, kKvCreateImpUserDB, "KvCreateUserDB() failed!");
}

void KvDestroyUserDB(UserDB* db, KvConfigDB* config) {
  Destroy<UserDB>(db, config, kKvDestroyImpUserDB, "KvDestroyUserDB() failed!");
}

GroupDB* KvCreateGroupDB(KvConfigDB* config) {
  return Create<GroupDB>(config, kKvCreateImpGroupDB,
                         "KvCreateGroupDB() failed!");
}

void KvDestroyGroupDB(GroupDB* db, KvConfigDB* config) {
  Destroy<GroupDB>(db, config, kKvDestroyImpGroupDB,
                   "KvDestroyGroupDB() failed!");
}
