// The installation's settings store: one name/value list file read into
// memory once per process, typed accessors with defaults for every setting
// the suite knows, locked access to the installation's other list files, the
// installation's top directory and the name of the directory back-end library.
//
// All relative paths are taken from the program's working directory, the CGI
// directory of one application three levels below the installation's top
// directory ("../../../config/..." is the installation's config folder).
//
// Locking: an in-process lock object (thread shims; shared around lookups,
// exclusive around changes) is always taken before the inter-process file
// lock and released after it. The configuration file is guarded by the fixed
// lock file "../../../config/configInfo.lst.lck"; every other list file by its
// own path followed by ".lck".
#pragma once

#include <ctime>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "utillib.h"

enum KvLogLevel { KV_INFO = 0, KV_AUDIT = 1, KV_WARNING = 2, KV_ERROR = 3 };
enum KvPhotoStyle { KV_VARIABLE = 0, KV_FIXED = 1 };
enum KvDBFormat { KV_KAVRI = 0, KV_LDAP = 1, KV_SQL = 2 };
// Which directory a format setting describes: 0 the employee directory
// ("empDirDBFormat"), 1 the project directory ("projDBFormat").
enum KvDBType { KV_EMPDIR = 0, KV_PROJDIR = 1 };

// The stored texts of the enumerations above, indexed by value.
extern const char* const kKvLogLevelText[4];
extern const char* const kKvPhotoStyleText[2];
extern const char* const kKvDBFormatText[3];

// SQL connection data. Every text is borrowed: filled by GetSQLInfo with
// pointers into the configuration, given to DBFormat by the caller.
struct SQLInfoRec {
  char* dbServer;    // "DBSERVER"
  char* dbEnv;       // "DBENV"
  char* srvName;     // "SRVNAME"
  char* srvType;     // "SRVTYPE"
  char* userName;    // "USERNAME"
  char* userPasswd;  // "USERPASSWD", plain text
  char* dbName;      // "DBNAME"
  char* primaryKey;  // "PRIMARYKEY"
  char* empTbl;      // "EMPTBL"
};

// LDAP connection data given to DBFormat; texts borrowed from the caller.
struct LDAPInfoRec {
  int serverPort;
  char* serverName;
  char* rootDN;
  char* rootPasswd;  // plain text
  char* searchBase;
};

// Default location of the configuration file.
extern const char kKvConfigPath[];      // "../../../config/configInfo.lst"
extern const char kKvConfigLockPath[];  // "../../../config/configInfo.lst.lck"
extern const char kKvMimeTypesPath[];   // "../../../config/mime_types.lst"
// Default cap on a request body, in bytes (setting "maxRequestSize").
const long kKvDefaultMaxRequestSize = 64L * 1024 * 1024;

class KvConfigDB {
 public:
  // path null means kKvConfigPath. Reads the file when it exists; otherwise
  // starts from the defaults of a new installation, held in memory only until
  // a change is written. Throws KvError*.
  explicit KvConfigDB(const char* path = nullptr);
  // A deep copy with its own lock object; shares nothing with other.
  KvConfigDB(const KvConfigDB& other);
  KvConfigDB& operator=(const KvConfigDB&) = delete;
  virtual ~KvConfigDB();

  // Every text getter returns a pointer into the configuration (or a constant
  // default) that stays valid until this object is destroyed, even when the
  // file is reloaded or the value is changed later; the caller never frees it.
  // Every getter first reloads the file when another process changed it;
  // changes made here and not yet written survive the reload.

  // Re-reads the file when it changed on disk since it was last read (or
  // always, with force). Returns 1; throws KvError*.
  virtual int Reload(KvBoolean force = false);
  virtual char* DefaultStyle();        // "style0" when absent
  virtual char* DefaultOnlyStyle();    // "FALSE" when absent
  virtual char* WebmasterAddr();
  virtual char* BugReportAddr();       // kKvDefaultBugReportAddr when absent
  virtual char* FeedbackAddr();        // kKvDefaultFeedbackAddr when absent
  // "logFileName"; when absent the default log file is stored in memory
  // (without marking the configuration changed) and returned.
  virtual char* LogFile();
  virtual KvLogLevel LogLevel();       // KV_ERROR when absent or unknown
  virtual KvPhotoStyle PhotoStyle();   // KV_FIXED only for "KV_FIXED"
  virtual char* PhotoHeight();
  virtual char* PhotoWidth();
  virtual char* SMTPServerName();
  virtual int SMTPServerPort();        // -1 when absent
  virtual KvDBFormat DBFormat(KvDBType type);  // KV_KAVRI when absent/unknown
  virtual char* LDAPServerName();
  virtual int LDAPServerPort();        // -1 when absent
  virtual char* LDAPRootDN();
  virtual char* LDAPRootPasswd();      // plain text
  virtual char* LDAPSearchBase();
  virtual char* SqlDbTrace();
  virtual char* SqlDbServer();
  virtual char* SqlDbEnv();
  virtual char* SqlServerName();
  virtual char* SqlServerType();
  virtual char* SqlUserName();
  virtual char* SqlUserPasswd();       // plain text
  virtual char* SqlDbName();           // "" when absent
  virtual char* SqlPrimaryKey();       // "" when absent
  virtual int SqlPrimaryKey(const char* value, KvBoolean lock);
  virtual char* SqlEmpTbl();           // "" when absent
  virtual char* SqlPhotoTable();       // "" when absent
  virtual char* SqlPhotoCol();         // "" when absent
  virtual int SqlEmpTbl(const char* value, KvBoolean lock);
  // A null value removes the setting.
  virtual int SqlPhotoCol(const char* value, KvBoolean lock);
  virtual int SqlPhotoTable(const char* value, KvBoolean lock);
  virtual int UserSessionTimeOut();      // seconds, 10800 when absent
  virtual int WebAdminSessionTimeOut();  // seconds, 10800 when absent

  // Setters change memory only and return 1; WriteToFile stores them. With
  // lock true the in-process lock is held exclusively around the change.
  virtual int DefaultStyle(const char* value, KvBoolean lock);
  virtual int DefaultOnlyStyle(const char* value, KvBoolean lock);
  virtual int WebmasterAddr(const char* value, KvBoolean lock);
  virtual int BugReportAddr(const char* value, KvBoolean lock);
  virtual int FeedbackAddr(const char* value, KvBoolean lock);
  virtual int LogFile(const char* value, KvBoolean lock);
  virtual int LogLevel(KvLogLevel level, KvBoolean lock);
  virtual int LogLevel(const char* level, KvBoolean lock);
  // New string (caller frees): top directory + "/logs/kvlogfile", or the
  // temporary directory + "/kvlogfile" when the top directory is unknown.
  virtual char* GetDefaultLogFile();
  // KV_FIXED needs a non-blank height or width; both are stored as given and
  // then "photoStyle". Returns 0 (nothing stored) when both are blank.
  virtual int PhotoStyle(KvPhotoStyle style, KvBoolean lock,
                         const char* height, const char* width);
  // "KV_FIXED" (any case) is KV_FIXED, anything else KV_VARIABLE.
  virtual int PhotoStyle(const char* style, KvBoolean lock,
                         const char* height, const char* width);
  virtual int PhotoHeight(const char* value, KvBoolean lock);
  virtual int PhotoWidth(const char* value, KvBoolean lock);
  virtual int SMTPServerName(const char* value, KvBoolean lock);
  virtual int SMTPServerPort(const char* value, KvBoolean lock);
  // info is an LDAPInfoRec* for KV_LDAP, an SQLInfoRec* for KV_SQL, unused
  // for KV_KAVRI. Stores the connection data and then the format text under
  // "projDBFormat" (type KV_PROJDIR) or "empDirDBFormat". Returns 0 (nothing
  // stored) when LDAP or SQL come without info.
  virtual int DBFormat(KvDBFormat format, KvBoolean lock, void* info,
                       KvDBType type);
  // "KV_LDAP" and "KV_SQL" name their formats; anything else is KV_KAVRI.
  virtual int DBFormat(const char* format, KvBoolean lock, void* info,
                       KvDBType type);
  // Stores the format text only.
  virtual int DBFormat(KvDBFormat format, KvBoolean lock, KvDBType type);
  // Stores the changes made through this object since the last write. Under
  // the exclusive file lock: re-reads the file when another process changed
  // it, applies this object's changes on top, keeps the previous version as
  // path + ".bak" and replaces the file atomically (a temporary file in the
  // same folder, flushed and closed, renamed over the old one; the file's
  // permission bits are kept). Passwords are scrambled on disk. With nothing
  // changed nothing is written. Returns 1; throws KvError* (the file on disk
  // is then the old one, whole).
  virtual int WriteToFile();
  // New string (caller frees): the MIME type of a file extension;
  // "text/plain" when unknown or null.
  virtual char* FindMimeType(const char* extension);
  // List readers return new lists (caller deletes); writers return 1 and
  // replace the file atomically. All throw KvError*.
  virtual ValNameList* ReadSubcategories();
  virtual int WriteSubcategories(ValNameList* list);
  virtual ValNameList* ReadVersitCategories();
  virtual int WriteVersitCategories(ValNameList* list);
  virtual ValNameList* ReadLDAPCategories();
  virtual int WriteLDAPCategories(ValNameList* list);
  virtual ValNameList* ReadSQLSchemaMapFile();
  virtual int WriteSQLSchemaMapFile(ValNameList* list);
  // Values "a:b:c:d" become value a with the extras b, c, d (null where
  // missing); values without a colon stay as they are.
  virtual ValNameList* ReadSQLSchemaFile();
  virtual int WriteSQLSchemaFile(ValNameList* list);
  // Fills all nine fields with borrowed texts (null where absent).
  virtual void GetSQLInfo(SQLInfoRec* info);
  // Reads the file under the shared file lock. Returns 1; throws KvError*
  // (also for an empty, that is corrupt, file).
  virtual int ReadFromFile();
  // Borrowed value or null; reloads first when the file changed.
  virtual char* ReadValue(const char* key);
  virtual int RemoveValue(const char* key, KvBoolean lock);
  virtual int WriteValue(const char* key, const char* value, KvBoolean lock);
  // The settings of a new installation, in memory, not marked as changed.
  virtual void AddDefaultEntries();
  // "maxRequestSize" in bytes; kKvDefaultMaxRequestSize when absent, not a
  // number or not positive.
  virtual long MaxRequestSize();

  // The installation's top directory (borrowed, cached). Throws KvError*.
  char* GetTopKavriDir();
  // New string (caller frees) naming the back-end library for format under
  // topDir ("<topDir>/lib/kvfiledblib_cgi.so" and the like), or null when
  // that file does not exist.
  static char* GetDLLPath(const char* topDir, KvDBFormat format);

  // The file dir + name, locked with its path + ".lck". Readers give a new
  // list (empty when the file does not exist) that the caller deletes.
  ValList* ReadValList(const char* name, const char* dir);
  int WriteValList(const char* name, const char* dir, ValList* list);
  ValNameList* ReadValNameList(const char* path);
  ValNameList* ReadValNameList(const char* name, const char* dir);
  int WriteValNameList(const char* path, ValNameList* list);
  int WriteValNameList(const char* name, const char* dir, ValNameList* list);

  ValNameList* GetAvailableStyles();
  int SetAvailableStyles(ValNameList* list);
  ValNameList* GetStyleInfo(const char* style);
  int WriteStyleInfo(const char* style, ValNameList* list);
  // The picture list of an application ("../../" + appDir + "/bin/images/").
  ValList* GetGifList(const char* appDir);
  // Empty list when the setup file does not exist. Passwords are plain in
  // the list and scrambled on disk; the caller's list is not changed.
  ValNameList* ReadSetupInfo();
  int WriteSetupInfo(ValNameList* list);

  // The path of the configuration file (owned by this object).
  const char* GetPath() const { return path; }

 private:
  struct Change {
    std::string key;
    std::string value;
    bool removed;  // the key was removed
    bool isNull;   // the key was set without a value
  };

  // What identifies one version of the configuration file on disk.
  struct FileState {
    time_t mtime = 0;
    long mtimeNsec = 0;
    unsigned long inode = 0;
    long long size = -1;
  };

  // REQUIRES: the configuration's file lock is held. Reads path into a new
  // list with plain passwords and reports the version read; throws KvError*.
  std::unique_ptr<ValNameList> LoadLocked(FileState* state);
  // Makes list the current entries; the old list stays alive until the
  // object is destroyed, so borrowed texts remain valid.
  void InstallEntries(std::unique_ptr<ValNameList> list);
  void NoteFileState(const FileState& state);
  void RecordChange(const char* key, const char* value, bool removed);
  void ApplyChanges(ValNameList* list) const;
  // Sets (or, when removed, takes out) key in a new entry list and
  // remembers the change for writing.
  int ChangeValue(const char* key, const char* value, bool removed, KvBoolean lockIt);
  // Sets the values in memory only: they are not changes of this process,
  // and the changes and dirty mark stay as they were.
  void StoreDefaults(std::initializer_list<std::pair<const char*, const char*>> values,
                     KvBoolean lockIt);
  bool FileChangedOnDisk() const;
  char* TextOr(const char* key, char* fallback);
  int IntOr(const char* key, int fallback);
  void WriteMimeTypesFile();

  time_t lastRead;
  void* lock;
  char* path;
  ValNameList* entries;
  KvBoolean dirty;
  char* topDir;

  // The version of the file last read or written (lastRead is its time).
  FileState seen;
  // Changes made through this object and not yet written, in order.
  std::vector<Change> changes;
  // Entry lists replaced since construction, kept for borrowed texts.
  std::vector<std::unique_ptr<ValNameList>> retired;
};

// The default e-mail addresses of the product's maker.
extern const char kKvDefaultBugReportAddr[];
extern const char kKvDefaultFeedbackAddr[];

// Per-thread set-up for the LDAP back end: when the employee directory is
// LDAP and the thread has no data under key, a block is stored for it.
// Returns 0 only when data was already there, else 1.
int KvDBThreadSetup(KvConfigDB* config, int key);
void KvDBThreadSetupFree(int key);
