// The application object: lazily opened configuration and directories, and
// message look-up with its fallback keys.
#include "KavriBaseApp.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "KavriAdminApp.h"
#include "KavriApplicationInfo.h"
#include "ToolkitText.h"
#include "commonlib.h"

const char kKavriAdminMessageFile[] = "../../admin/bin/adminmsg.lst";

using kavri_toolkit::DupOrNull;

namespace {

// Holds the shared-handle lock of the thread shims for a scope.
class DBHandleLock {
 public:
  DBHandleLock() { KvLockDBHandle(); }
  ~DBHandleLock() { KvUnlockDBHandle(); }
  DBHandleLock(const DBHandleLock&) = delete;
  DBHandleLock& operator=(const DBHandleLock&) = delete;
};

// The word that names a directory format in fallback message keys.
const char* const kFormatWords[] = {"KAVRI", "LDAP", "SQL"};

}  // namespace

KavriBaseApp::KavriBaseApp(const char* name, const char* programFile,
                           const char* commonMessageFile,
                           const char* appMessageFile)
    : name(DupOrNull(name)),
      programFile(DupOrNull(programFile)),
      userDB(nullptr),
      groupDB(nullptr),
      configDB(nullptr),
      commonMessageFile(DupOrNull(commonMessageFile)),
      appMessageFile(DupOrNull(appMessageFile)),
      commonMessages(nullptr),
      appMessages(nullptr),
      threadKey(KvThreadNewKey()),
      generatedMessages(new ValList) {}

KavriBaseApp::~KavriBaseApp() {
  // The directories are destroyed through their own library, which needs the
  // configuration; errors cannot leave a destructor and are dropped.
  if (userDB) {
    try {
      KvDestroyUserDB(userDB, configDB);
    } catch (KvError* e) {
      delete e;
    }
  }
  if (groupDB) {
    try {
      KvDestroyGroupDB(groupDB, configDB);
    } catch (KvError* e) {
      delete e;
    }
  }
  delete configDB;
  delete commonMessages;
  delete appMessages;
  delete generatedMessages;
  free(name);
  free(programFile);
  free(commonMessageFile);
  free(appMessageFile);
}

KvConfigDB* KavriBaseApp::GetConfigDB() {
  if (configDB) return configDB;
  try {
    configDB = static_cast<KvConfigDB*>(KvGetDBHandle("ConfigDB"));
    if (!configDB) {
      DBHandleLock lock;
      configDB = static_cast<KvConfigDB*>(KvGetDBHandle("ConfigDB"));
      if (!configDB) {
        configDB = new KvConfigDB(nullptr);
        KvSetDBHandle("ConfigDB", configDB);
      }
    }
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Unable to access the config data!");
    throw;
  }
  return configDB;
}

UserDB* KavriBaseApp::GetUserDB() {
  if (userDB) return userDB;
  try {
    userDB = static_cast<UserDB*>(KvGetDBHandle("UserDB"));
    if (!userDB) {
      KvConfigDB* config = GetConfigDB();
      DBHandleLock lock;
      userDB = static_cast<UserDB*>(KvGetDBHandle("UserDB"));
      if (!userDB) {
        UserDB* db = KvCreateUserDB(config);
        int gateway = KvGetGatewayKind();
        int opened;
        try {
          opened = db->Open(config, threadKey, gateway == 1 || gateway == 2);
        } catch (KvError*) {
          KvDestroyUserDB(db, config);
          throw;
        }
        if (opened != 1) {
          KvDestroyUserDB(db, config);
          KV_THROW("Unable to open the database - GetUserDB() failed!");
        }
        KvSetDBHandle("UserDB", db);
        userDB = db;
      }
    }
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Unable to access the user data!");
    throw;
  }
  return userDB;
}

GroupDB* KavriBaseApp::GetGroupDB() {
  if (groupDB) return groupDB;
  try {
    groupDB = static_cast<GroupDB*>(KvGetDBHandle("GroupDB"));
    if (!groupDB) {
      KvConfigDB* config = GetConfigDB();
      DBHandleLock lock;
      groupDB = static_cast<GroupDB*>(KvGetDBHandle("GroupDB"));
      if (!groupDB) {
        GroupDB* db = KvCreateGroupDB(config);
        int opened;
        try {
          opened = db->Open(config, threadKey);
        } catch (KvError*) {
          KvDestroyGroupDB(db, config);
          throw;
        }
        if (opened != 1) {
          KvDestroyGroupDB(db, config);
          KV_THROW("Unable to open the database - GetGroupDB() failed!");
        }
        KvSetDBHandle("GroupDB", db);
        groupDB = db;
      }
    }
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Unable to access the group data!");
    throw;
  }
  return groupDB;
}

const char* KavriBaseApp::LookupMessage(const char* path, ValNameList** list,
                                        const char* errorText,
                                        const char* key) {
  if (!*list) {
    ValNameList* read = new ValNameList;
    try {
      read->Read(path, true);
    } catch (KvError* e) {
      delete read;
      KV_ADD_LINE(e, String(errorText) + path + " failed");
      throw;
    }
    *list = read;
  }
  ValNameListItem* item = (*list)->Lookup(key);
  return item ? item->value : nullptr;
}

const char* KavriBaseApp::GetMessage(const char* key, KvBoolean noFallback) {
  if (!key) key = "";
  if (appMessageFile) {
    const char* value =
        LookupMessage(appMessageFile, &appMessages,
                      "Reading of the application message file ", key);
    if (value) return value;
  }
  if (commonMessageFile) {
    const char* value = LookupMessage(
        commonMessageFile, &commonMessages, "Reading of the message file ", key);
    if (value) return value;
  }
  if (noFallback != 1) {
    int format = GetConfigDB()->DBFormat(KV_EMPDIR);
    if (format < 0 || format > 2) format = 0;
    std::string extended = std::string(key) + "_" + kFormatWords[format];
    return GetMessage(extended.c_str(), true);
  }
  std::string missing = std::string("Message ") + key + " not found";
  generatedMessages->Append(missing.c_str());
  return generatedMessages->GetLast()->value;
}

KavriAdminApp::KavriAdminApp(const char* name, const char* programFile,
                             const char* appMessageFile)
    : KavriBaseApp(name, programFile, kKavriAdminMessageFile, appMessageFile) {}

KavriAdminApp::~KavriAdminApp() = default;

KavriApplicationInfo::KavriApplicationInfo(const char* path)
    : version(nullptr),
      id(nullptr),
      description(nullptr),
      program(nullptr),
      navbarGif(nullptr),
      navbarGifDir(nullptr) {
  ValNameList list;
  list.Read(path, true);
  auto take = [&list](const char* key) -> char* {
    ValNameListItem* item = list.Lookup(key);
    return item && item->value ? strdup(item->value) : nullptr;
  };
  version = take("VERSION");
  id = take("ID");
  description = take("DESCRIPTION");
  program = take("PROGRAM");
  navbarGif = take("NAVBAR_GIF");
  navbarGifDir = take("NAVBAR_GIFDIR");
}

KavriApplicationInfo::~KavriApplicationInfo() {
  free(version);
  free(id);
  free(description);
  free(program);
  free(navbarGif);
  free(navbarGifDir);
}
