// The per-process application object: the application's name and program
// file, the configuration database and the user and group directories
// (each opened on first use), and the display texts of the message files.
// One exists per process; it is created by the module's GetRequestObject and
// lives until the process ends.
#pragma once

#include "dblib.h"
#include "utillib.h"

class KavriBaseApp {
 public:
  // Copies every text; a null message file means there is none.
  KavriBaseApp(const char* name, const char* programFile,
               const char* commonMessageFile, const char* appMessageFile);
  // Frees the texts and message lists, destroys the directories through
  // their back end and deletes the configuration.
  virtual ~KavriBaseApp();
  KavriBaseApp(const KavriBaseApp&) = delete;
  KavriBaseApp& operator=(const KavriBaseApp&) = delete;

  // The shared handles, created on first call and owned by this object.
  // Throw KvError* ("Unable to access the config data!", "... user data!",
  // "... group data!" added to whatever went wrong).
  KvConfigDB* GetConfigDB();
  UserDB* GetUserDB();
  GroupDB* GetGroupDB();

  // The display text of key: from the application's message file, then from
  // the common one; when neither has it and noFallback is false, the text of
  // key + "_" + the directory format's word (KAVRI, LDAP, SQL); finally
  // "Message <key> not found". The text belongs to this object and lives as
  // long as it; the caller never frees it. Throws KvError* when a message
  // file cannot be read.
  const char* GetMessage(const char* key, KvBoolean noFallback = false);

  const char* GetName() const { return name; }
  const char* GetProgramFile() const { return programFile; }
  const char* GetCommonMessageFile() const { return commonMessageFile; }
  const char* GetAppMessageFile() const { return appMessageFile; }
  int GetThreadKey() const { return threadKey; }

 protected:
  char* name;
  char* programFile;
  UserDB* userDB;
  GroupDB* groupDB;
  KvConfigDB* configDB;
  char* commonMessageFile;
  char* appMessageFile;
  ValNameList* commonMessages;
  ValNameList* appMessages;
  int threadKey;

 private:
  // Looks key up in the messages read from path (read on first use into
  // *list); null when absent. errorText names the file kind in errors.
  const char* LookupMessage(const char* path, ValNameList** list,
                            const char* errorText, const char* key);

  // Texts of "not found" answers, kept so that callers never free.
  ValList* generatedMessages;
};
