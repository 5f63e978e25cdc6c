// The configuration database: reading, reloading and writing the settings
// file, typed accessors with their defaults, the MIME type lookup, the top
// directory and the back-end library name.
//
// Concurrency model. Each process keeps the settings in memory and reloads
// them whenever the file on disk is a different version (modification time
// to the nanosecond, inode or size differ). Changes made through this object
// are remembered key by key until written; a write takes the exclusive lock,
// re-reads the file when another process changed it, applies this object's
// changes on top and replaces the file atomically. Entry lists that are
// replaced are kept until the object is destroyed, so that texts handed out
// by getters never dangle.
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "KvConfigInternal.h"
#include "KvReplaceFile.h"
#include "commonlib.h"

const char kKvConfigPath[] = "../../../config/configInfo.lst";
const char kKvConfigLockPath[] = "../../../config/configInfo.lst.lck";
const char kKvMimeTypesPath[] = "../../../config/mime_types.lst";
const char kKvConfigDir[] = "../../../config/";
const char kKvStyleDir[] = "../../../config/style/";
const char kKvSetupPath[] = "../../../config/setup.lst";
const char kKvDefaultBugReportAddr[] = "bugs@velmora.example.com";
const char kKvDefaultFeedbackAddr[] = "feedback@velmora.example.com";

const char* const kKvLogLevelText[4] = {"KV_INFO", "KV_AUDIT", "KV_WARNING",
                                        "KV_ERROR"};
const char* const kKvPhotoStyleText[2] = {"KV_VARIABLE", "KV_FIXED"};
const char* const kKvDBFormatText[3] = {"KV_KAVRI", "KV_LDAP", "KV_SQL"};

namespace {

// Getter defaults. Getters hand out char*; nobody writes through them.
char kDefStyle[] = "style0";
char kDefOnly[] = "FALSE";
char kEmpty[] = "";

const char kTextPlain[] = "text/plain";
const char* const kPasswordKeys[] = {"rootPasswd", "USERPASSWD"};

std::string Str(const char* s) { return s ? s : ""; }

}  // namespace

// ---------------------------------------------------------------------------
// Shared helpers.

KvThreadLockGuard::KvThreadLockGuard(void* lock, KvLockType type, bool active)
    : lock(lock), held(active) {
  if (held) KvThreadLock(lock, type);
}

KvThreadLockGuard::~KvThreadLockGuard() {
  if (held) KvThreadUnlock(lock);
}

void KvSetListValue(ValNameList* list, const char* key, const char* value) {
  if (value) {
    list->Replace(key, value);
    return;
  }
  ValNameListItem* item = list->Lookup(key);
  if (item) {
    free(item->value);
    item->value = nullptr;
  } else {
    list->Append(key, nullptr);
  }
}

static void Transform(ValNameList* list, bool scramble) {
  for (const char* key : kPasswordKeys) {
    ValNameListItem* item = list->Lookup(key);
    if (!item || !item->value) continue;
    KvCrypt crypt;
    char* text = scramble ? crypt.Encrypt(item->value)
                          : crypt.Decrypt(item->value);
    free(item->value);
    item->value = text;
  }
}

void KvScramblePasswords(ValNameList* list) { Transform(list, true); }
void KvUnscramblePasswords(ValNameList* list) { Transform(list, false); }

// ---------------------------------------------------------------------------
// Life cycle.

KvConfigDB::KvConfigDB(const char* p)
    : lastRead(0),
      lock(KvCreateLockObject()),
      path(strdup(p ? p : kKvConfigPath)),
      entries(new ValNameList),
      dirty(0),
      topDir(nullptr) {
  try {
    if (KvCheckIfFile(path)) {
      if (ReadFromFile() != 1)
        KV_THROW(String("Failed trying to read the conf file ") + path);
    } else {
      AddDefaultEntries();
    }
  } catch (...) {
    delete entries;
    free(path);
    free(topDir);
    KvDestroyLockObject(lock);
    throw;
  }
}

KvConfigDB::KvConfigDB(const KvConfigDB& other)
    : lastRead(other.lastRead),
      lock(KvCreateLockObject()),
      path(strdup(other.path)),
      entries(other.entries->Copy()),
      dirty(other.dirty),
      topDir(other.topDir ? strdup(other.topDir) : nullptr),
      seen(other.seen),
      changes(other.changes) {}

KvConfigDB::~KvConfigDB() {
  delete entries;
  free(path);
  free(topDir);
  KvDestroyLockObject(lock);
}

// ---------------------------------------------------------------------------
// Reading and reloading.

std::unique_ptr<ValNameList> KvConfigDB::LoadLocked(FileState* state) {
  std::unique_ptr<ValNameList> list(new ValNameList);
  list->Read(path, true);
  if (list->GetCount() == 0)
    KV_THROW(String("Corrupt config file ") + path + ". Read failed!");
  KvUnscramblePasswords(list.get());
  struct stat st;
  *state = FileState();
  if (stat(path, &st) == 0) {
    state->mtime = st.st_mtim.tv_sec;
    state->mtimeNsec = st.st_mtim.tv_nsec;
    state->inode = st.st_ino;
    state->size = st.st_size;
  }
  return list;
}

void KvConfigDB::NoteFileState(const FileState& state) {
  seen = state;
  lastRead = state.mtime;
}

bool KvConfigDB::FileChangedOnDisk() const {
  struct stat st;
  if (stat(path, &st) != 0) return false;
  return st.st_mtim.tv_sec != seen.mtime ||
         st.st_mtim.tv_nsec != seen.mtimeNsec || st.st_ino != seen.inode ||
         st.st_size != seen.size;
}

void KvConfigDB::InstallEntries(std::unique_ptr<ValNameList> list) {
  if (entries) retired.emplace_back(entries);
  entries = list.release();
}

void KvConfigDB::RecordChange(const char* key, const char* value,
                              bool removed) {
  for (Change& c : changes) {
    if (strcasecmp(c.key.c_str(), key) == 0) {
      c.value = Str(value);
      c.removed = removed;
      c.isNull = !value;
      return;
    }
  }
  changes.push_back(Change{key, Str(value), removed, !value});
}

void KvConfigDB::ApplyChanges(ValNameList* list) const {
  for (const Change& c : changes) {
    if (c.removed)
      list->Remove(c.key.c_str());
    else
      KvSetListValue(list, c.key.c_str(), c.isNull ? nullptr : c.value.c_str());
  }
}

int KvConfigDB::ReadFromFile() {
  try {
    FileState state;
    std::unique_ptr<ValNameList> list;
    {
      KvLockGuard guard(kKvConfigLockPath, kKvLockShared);
      list = LoadLocked(&state);
      guard.Release();
    }
    ApplyChanges(list.get());
    InstallEntries(std::move(list));
    NoteFileState(state);
    return 1;
  } catch (KvError* e) {
    KV_ADD_LINE(e, String("Read of the config file ") + path + " failed!");
    throw;
  }
}

int KvConfigDB::Reload(KvBoolean force) {
  if (!force && !FileChangedOnDisk()) return 1;
  KvThreadLockGuard guard(lock, kKvLockExclusive);
  if (ReadFromFile() != 1)
    KV_THROW(String("Failed trying to reload the conf file ") + path);
  return 1;
}

char* KvConfigDB::ReadValue(const char* key) {
  Reload(false);
  KvThreadLockGuard guard(lock, kKvLockShared);
  ValNameListItem* item = entries->Lookup(key);
  return item ? item->value : nullptr;
}

// ---------------------------------------------------------------------------
// Changing values in memory.

int KvConfigDB::ChangeValue(const char* key, const char* value, bool removed,
                            KvBoolean lockIt) {
  KvThreadLockGuard guard(lock, kKvLockExclusive, lockIt);
  std::unique_ptr<ValNameList> next(entries->Copy());
  if (removed)
    next->Remove(key);
  else
    KvSetListValue(next.get(), key, value);
  InstallEntries(std::move(next));
  RecordChange(key, removed ? nullptr : value, removed);
  dirty = 1;
  return 1;
}

int KvConfigDB::WriteValue(const char* key, const char* value,
                           KvBoolean lockIt) {
  return ChangeValue(key, value, false, lockIt);
}

int KvConfigDB::RemoveValue(const char* key, KvBoolean lockIt) {
  return ChangeValue(key, nullptr, true, lockIt);
}

void KvConfigDB::StoreDefaults(
    std::initializer_list<std::pair<const char*, const char*>> values,
    KvBoolean lockIt) {
  std::vector<Change> saved = changes;
  KvBoolean wasDirty = dirty;
  for (const auto& value : values) WriteValue(value.first, value.second, lockIt);
  changes = saved;
  dirty = wasDirty;
}

void KvConfigDB::AddDefaultEntries() {
  char* logFile = GetDefaultLogFile();
  // Defaults reach the file only with the next change that is written.
  StoreDefaults({{"bugReportEmailAddress", kKvDefaultBugReportAddr},
                 {"feedbackEmailAddress", kKvDefaultFeedbackAddr},
                 {"logFileName", logFile},
                 {"logLevel", "KV_ERROR"},
                 {"photoStyle", "KV_VARIABLE"},
                 {"photoHeight", "80"},
                 {"photoWidth", "60"},
                 {"empDirDBFormat", "KV_KAVRI"}},
                false);
  free(logFile);
}

// ---------------------------------------------------------------------------
// Getters.

char* KvConfigDB::TextOr(const char* key, char* fallback) {
  char* value = ReadValue(key);
  return value ? value : fallback;
}

int KvConfigDB::IntOr(const char* key, int fallback) {
  char* value = ReadValue(key);
  return value ? atoi(value) : fallback;
}

char* KvConfigDB::DefaultStyle() { return TextOr("defaultStyle", kDefStyle); }
char* KvConfigDB::DefaultOnlyStyle() { return TextOr("defaultOnly", kDefOnly); }
char* KvConfigDB::WebmasterAddr() {
  return TextOr("webmasterEmailAddress", nullptr);
}
char* KvConfigDB::BugReportAddr() {
  return TextOr("bugReportEmailAddress",
                const_cast<char*>(kKvDefaultBugReportAddr));
}
char* KvConfigDB::FeedbackAddr() {
  return TextOr("feedbackEmailAddress",
                const_cast<char*>(kKvDefaultFeedbackAddr));
}

char* KvConfigDB::LogFile() {
  char* value = ReadValue("logFileName");
  if (value) return value;
  char* def = GetDefaultLogFile();
  StoreDefaults({{"logFileName", def}}, true);
  free(def);
  KvThreadLockGuard guard(lock, kKvLockShared);
  ValNameListItem* item = entries->Lookup("logFileName");
  return item ? item->value : nullptr;
}

KvLogLevel KvConfigDB::LogLevel() {
  char* value = ReadValue("logLevel");
  if (value) {
    for (int i = 0; i < 4; i++)
      if (strcasecmp(value, kKvLogLevelText[i]) == 0)
        return static_cast<KvLogLevel>(i);
  }
  return KV_ERROR;
}

KvPhotoStyle KvConfigDB::PhotoStyle() {
  char* value = ReadValue("photoStyle");
  return value && strcasecmp(value, "KV_FIXED") == 0 ? KV_FIXED : KV_VARIABLE;
}

char* KvConfigDB::PhotoHeight() { return TextOr("photoHeight", nullptr); }
char* KvConfigDB::PhotoWidth() { return TextOr("photoWidth", nullptr); }
char* KvConfigDB::SMTPServerName() { return TextOr("smtpServerName", nullptr); }
int KvConfigDB::SMTPServerPort() { return IntOr("smtpServerPort", -1); }

static KvDBFormat FormatFromText(const char* text) {
  if (text && strcasecmp(text, "KV_LDAP") == 0) return KV_LDAP;
  if (text && strcasecmp(text, "KV_SQL") == 0) return KV_SQL;
  return KV_KAVRI;
}

static const char* FormatKey(KvDBType type) {
  return type == KV_PROJDIR ? "projDBFormat" : "empDirDBFormat";
}

KvDBFormat KvConfigDB::DBFormat(KvDBType type) {
  return FormatFromText(ReadValue(FormatKey(type)));
}

char* KvConfigDB::LDAPServerName() { return TextOr("ldapServerName", nullptr); }
int KvConfigDB::LDAPServerPort() { return IntOr("ldapServerPort", -1); }
char* KvConfigDB::LDAPRootDN() { return TextOr("rootDN", nullptr); }
char* KvConfigDB::LDAPRootPasswd() { return TextOr("rootPasswd", nullptr); }
char* KvConfigDB::LDAPSearchBase() { return TextOr("ldapSearchBase", nullptr); }
char* KvConfigDB::SqlDbTrace() { return TextOr("DBTRACE", nullptr); }
char* KvConfigDB::SqlDbServer() { return TextOr("DBSERVER", nullptr); }
char* KvConfigDB::SqlDbEnv() { return TextOr("DBENV", nullptr); }
char* KvConfigDB::SqlServerName() { return TextOr("SRVNAME", nullptr); }
char* KvConfigDB::SqlServerType() { return TextOr("SRVTYPE", nullptr); }
char* KvConfigDB::SqlUserName() { return TextOr("USERNAME", nullptr); }
char* KvConfigDB::SqlUserPasswd() { return TextOr("USERPASSWD", nullptr); }
char* KvConfigDB::SqlDbName() { return TextOr("DBNAME", kEmpty); }
char* KvConfigDB::SqlPrimaryKey() { return TextOr("PRIMARYKEY", kEmpty); }
char* KvConfigDB::SqlEmpTbl() { return TextOr("EMPTBL", kEmpty); }
char* KvConfigDB::SqlPhotoTable() { return TextOr("PHOTOTABLE", kEmpty); }
char* KvConfigDB::SqlPhotoCol() { return TextOr("PHOTOCOL", kEmpty); }
int KvConfigDB::UserSessionTimeOut() {
  return IntOr("userSessionTimeOut", 10800);
}
int KvConfigDB::WebAdminSessionTimeOut() {
  return IntOr("webAdminSessionTimeOut", 10800);
}

long KvConfigDB::MaxRequestSize() {
  char* value = ReadValue("maxRequestSize");
  if (!value) return kKvDefaultMaxRequestSize;
  char* end = nullptr;
  errno = 0;
  long n = strtol(value, &end, 10);
  while (end && (*end == ' ' || *end == '\t')) end++;
  if (errno != 0 || end == value || (end && *end) || n <= 0)
    return kKvDefaultMaxRequestSize;
  return n;
}

void KvConfigDB::GetSQLInfo(SQLInfoRec* info) {
  info->dbServer = ReadValue("DBSERVER");
  info->dbEnv = ReadValue("DBENV");
  info->srvName = ReadValue("SRVNAME");
  info->srvType = ReadValue("SRVTYPE");
  info->userName = ReadValue("USERNAME");
  info->userPasswd = ReadValue("USERPASSWD");
  info->dbName = ReadValue("DBNAME");
  info->primaryKey = ReadValue("PRIMARYKEY");
  info->empTbl = ReadValue("EMPTBL");
}

// ---------------------------------------------------------------------------
// Setters.

int KvConfigDB::SqlPrimaryKey(const char* v, KvBoolean l) {
  return WriteValue("PRIMARYKEY", v, l);
}
int KvConfigDB::SqlEmpTbl(const char* v, KvBoolean l) {
  return WriteValue("EMPTBL", v, l);
}
int KvConfigDB::SqlPhotoCol(const char* v, KvBoolean l) {
  return v ? WriteValue("PHOTOCOL", v, l) : RemoveValue("PHOTOCOL", l);
}
int KvConfigDB::SqlPhotoTable(const char* v, KvBoolean l) {
  return v ? WriteValue("PHOTOTABLE", v, l) : RemoveValue("PHOTOTABLE", l);
}
int KvConfigDB::DefaultStyle(const char* v, KvBoolean l) {
  return WriteValue("defaultStyle", v, l);
}
int KvConfigDB::DefaultOnlyStyle(const char* v, KvBoolean l) {
  return WriteValue("defaultOnly", v, l);
}
int KvConfigDB::WebmasterAddr(const char* v, KvBoolean l) {
  return WriteValue("webmasterEmailAddress", v, l);
}
int KvConfigDB::BugReportAddr(const char* v, KvBoolean l) {
  return WriteValue("bugReportEmailAddress", v, l);
}
int KvConfigDB::FeedbackAddr(const char* v, KvBoolean l) {
  return WriteValue("feedbackEmailAddress", v, l);
}
int KvConfigDB::LogFile(const char* v, KvBoolean l) {
  return WriteValue("logFileName", v, l);
}
int KvConfigDB::LogLevel(KvLogLevel level, KvBoolean l) {
  int i = level < KV_INFO || level > KV_ERROR ? KV_ERROR : level;
  return WriteValue("logLevel", kKvLogLevelText[i], l);
}
int KvConfigDB::LogLevel(const char* level, KvBoolean l) {
  return WriteValue("logLevel", level, l);
}
int KvConfigDB::PhotoHeight(const char* v, KvBoolean l) {
  return WriteValue("photoHeight", v, l);
}
int KvConfigDB::PhotoWidth(const char* v, KvBoolean l) {
  return WriteValue("photoWidth", v, l);
}
int KvConfigDB::SMTPServerName(const char* v, KvBoolean l) {
  return WriteValue("smtpServerName", v, l);
}
int KvConfigDB::SMTPServerPort(const char* v, KvBoolean l) {
  return WriteValue("smtpServerPort", v, l);
}

int KvConfigDB::PhotoStyle(KvPhotoStyle style, KvBoolean l, const char* height,
                           const char* width) {
  if (style == KV_FIXED) {
    if (StringIsEmpty(height) && StringIsEmpty(width)) return 0;
    int ok = PhotoHeight(height, l) == 1 && PhotoWidth(width, l) == 1;
    if (ok) ok = WriteValue("photoStyle", kKvPhotoStyleText[KV_FIXED], l);
    return ok;
  }
  return WriteValue("photoStyle", kKvPhotoStyleText[KV_VARIABLE], l);
}

int KvConfigDB::PhotoStyle(const char* style, KvBoolean l, const char* height,
                           const char* width) {
  KvPhotoStyle s =
      style && strcasecmp(style, "KV_FIXED") == 0 ? KV_FIXED : KV_VARIABLE;
  return PhotoStyle(s, l, height, width);
}

int KvConfigDB::DBFormat(KvDBFormat format, KvBoolean l, void* info,
                         KvDBType type) {
  int ok = 1;
  if (format == KV_LDAP) {
    LDAPInfoRec* ldap = static_cast<LDAPInfoRec*>(info);
    if (!ldap) return 0;
    std::string port = std::to_string(ldap->serverPort);
    ok = WriteValue("ldapServerName", ldap->serverName, l) &&
         WriteValue("ldapServerPort", port.c_str(), l) &&
         WriteValue("rootDN", ldap->rootDN, l) &&
         WriteValue("rootPasswd", ldap->rootPasswd, l) &&
         WriteValue("ldapSearchBase", ldap->searchBase, l);
  } else if (format == KV_SQL) {
    SQLInfoRec* sql = static_cast<SQLInfoRec*>(info);
    if (!sql) return 0;
    ok = WriteValue("DBSERVER", sql->dbServer, l) &&
         (sql->dbEnv ? WriteValue("DBENV", sql->dbEnv, l)
                     : RemoveValue("DBENV", l)) &&
         WriteValue("SRVNAME", sql->srvName, l) &&
         WriteValue("SRVTYPE", sql->srvType, l) &&
         WriteValue("USERNAME", sql->userName, l) &&
         WriteValue("USERPASSWD", sql->userPasswd, l) &&
         (sql->dbName ? WriteValue("DBNAME", sql->dbName, l)
                      : RemoveValue("DBNAME", l)) &&
         (!sql->primaryKey || WriteValue("PRIMARYKEY", sql->primaryKey, l)) &&
         (!sql->empTbl || WriteValue("EMPTBL", sql->empTbl, l));
  }
  if (!ok) return 0;
  return DBFormat(format, l, type);
}

int KvConfigDB::DBFormat(const char* format, KvBoolean l, void* info,
                         KvDBType type) {
  return DBFormat(FormatFromText(format), l, info, type);
}

int KvConfigDB::DBFormat(KvDBFormat format, KvBoolean l, KvDBType type) {
  int i = format < KV_KAVRI || format > KV_SQL ? KV_KAVRI : format;
  return WriteValue(FormatKey(type), kKvDBFormatText[i], l);
}

// ---------------------------------------------------------------------------
// Writing.

int KvConfigDB::WriteToFile() {
  if (!dirty) return 1;
  try {
    {
      KvThreadLockGuard threadGuard(lock, kKvLockExclusive);
      KvLockGuard guard(kKvConfigLockPath, kKvLockExclusive);
      // Another process may have written since this one read: start from
      // its version and put this process's changes on top.
      std::unique_ptr<ValNameList> next;
      if (KvCheckIfFile(path) && FileChangedOnDisk()) {
        FileState ignored;
        try {
          next = LoadLocked(&ignored);
          ApplyChanges(next.get());
        } catch (KvError* e) {
          // An unreadable file is replaced by what this process holds.
          delete e;
          next.reset();
        }
      }
      if (!next) next.reset(entries->Copy());
      std::unique_ptr<ValNameList> stored(next->Copy());
      KvScramblePasswords(stored.get());
      std::string backup = std::string(path) + ".bak";
      KvReplaceFile(path, [&stored](FILE* fp) { stored->Write(fp); },
                    backup.c_str());
      FileState state;
      struct stat st;
      if (stat(path, &st) == 0) {
        state.mtime = st.st_mtim.tv_sec;
        state.mtimeNsec = st.st_mtim.tv_nsec;
        state.inode = st.st_ino;
        state.size = st.st_size;
      }
      InstallEntries(std::move(next));
      NoteFileState(state);
      changes.clear();
      dirty = 0;
      guard.Release();
    }
    if (!KvCheckIfFile(kKvMimeTypesPath)) WriteMimeTypesFile();
    return 1;
  } catch (KvError* e) {
    KV_ADD_LINE(e, String("Write to the config file ") + path + " failed!");
    throw;
  }
}

void KvConfigDB::WriteMimeTypesFile() {
  std::string lockPath = std::string(kKvMimeTypesPath) + ".lck";
  KvLockGuard guard(lockPath.c_str(), kKvLockExclusive);
  if (KvCheckIfFile(kKvMimeTypesPath)) return;
  ValNameList list;
  for (int i = 0; i < kKvMimeTableSize; i++)
    list.Append(kKvMimeTable[i].type, kKvMimeTable[i].extension);
  KvReplaceFile(kKvMimeTypesPath, [&list](FILE* fp) { list.Write(fp); });
  guard.Release();
}

char* KvConfigDB::FindMimeType(const char* extension) {
  if (!extension) return strdup(kTextPlain);
  if (KvCheckIfFile(kKvMimeTypesPath)) {
    ValNameList list;
    {
      std::string lockPath = std::string(kKvMimeTypesPath) + ".lck";
      KvLockGuard guard(lockPath.c_str(), kKvLockShared);
      list.Read(kKvMimeTypesPath, true);
      guard.Release();
    }
    ValNameListItem* item = list.LookupByVal(extension);
    return strdup(item && item->name ? item->name : kTextPlain);
  }
  for (int i = 0; i < kKvMimeTableSize; i++)
    if (strcmp(kKvMimeTable[i].extension, extension) == 0)
      return strdup(kKvMimeTable[i].type);
  return strdup(kTextPlain);
}

// ---------------------------------------------------------------------------
// Installation layout.

char* KvConfigDB::GetTopKavriDir() {
  if (topDir) return topDir;
  try {
    // The same directory as changing to "../../.." and asking for the working
    // directory, without changing the process's working directory.
    char* dir = realpath("../../..", nullptr);
    if (!dir) KV_THROW("Unable to determine the top kavri directory!");
    topDir = dir;
    return topDir;
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Exception rethrown in KvConfigDB::GetTopKavriDir");
    throw;
  }
}

char* KvConfigDB::GetDefaultLogFile() {
  try {
    std::string file = std::string(GetTopKavriDir()) + "/logs/kvlogfile";
    return strdup(file.c_str());
  } catch (KvError* e) {
    delete e;
    char* tmp = KvGetTmpdir();
    std::string file = Str(tmp) + "/kvlogfile";
    free(tmp);
    return strdup(file.c_str());
  }
}

char* KvConfigDB::GetDLLPath(const char* topDir, KvDBFormat format) {
  static const char* const kLibWord[3] = {"filedb", "ldapdb", "sqldb"};
  if (!topDir || format < KV_KAVRI || format > KV_SQL) return nullptr;
  const char* gateway = KvGetGatewayKind() == 1 ? "dvapi" : "cgi";
  std::string lib = std::string(topDir) + "/lib/kv" + kLibWord[format] +
                    "lib_" + gateway + ".so";
  return KvCheckIfFile(lib.c_str()) ? strdup(lib.c_str()) : nullptr;
}

// ---------------------------------------------------------------------------
// Per-thread set-up of the LDAP back end.

int KvDBThreadSetup(KvConfigDB* config, int key) {
  if (config->DBFormat(KV_EMPDIR) != KV_LDAP) return 1;
  if (KvThreadGetData(key)) return 0;
  KvThreadSetData(key, KvThreadAllocStore(key));
  return 1;
}

void KvDBThreadSetupFree(int key) {
  // The gateway's per-thread store comes from malloc.
  void* data = KvThreadGetData(key);
  if (!data) return;
  KvThreadSetData(key, nullptr);
  free(data);
}
