// The user directory of the file back end. Everything lives under the
// installation's data folder:
//   data/common/data.vcf, data.idx      person cards and their UID index
//   data/common/data.search             uid, name and e-mail for searches
//   data/common/data.swap               while data and index are swapped:
//                                       the new files' names
//   data/common/cardtemplate.lst        business-card template (ValNameList:
//   data/common/persontemplate.lst      field text such as TEL;WORK;FAX,
//                                       heading) and person-page template
//   data/common/admins.lst              directory administrators (ValList)
//   data/common/accounts.lst            uid and Argon2id hash (mode 0600)
//   data/common/new-accounts.txt        "uid password" of generated accounts
//   data/common/logins.lst              uid and time of the last login
//   data/common/userattrs.lst           uid and "name=value" per attribute
//   data/common/addinfo.lst             additional information fields
//   data/common/attributes.lst          attribute id and "type[:source]"
//   data/common/options/<source>.lst    stored value and display text
//   data/common/access/<list>-<id>.lst  access lists (ValList)
//   data/photos/<uid>.<ext>             photographs
// Each file is read under a shared and written under an exclusive lock on
// its ".lck" companion and replaced atomically; person data is swapped in
// whole by indexing.
#pragma once

#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

#include "dblib.h"
#include "utillib.h"
#include "versitlib.h"

class KvFileUserDB : public UserDB {
 public:
  KvFileUserDB();
  ~KvFileUserDB() override;
  KvFileUserDB(const KvFileUserDB&) = delete;
  KvFileUserDB& operator=(const KvFileUserDB&) = delete;

  // Opens at config's top directory.
  int Open(KvConfigDB* config, int threadKey, KvBoolean serverGateway) override;
  // Opens at an explicit top directory (tools and tests). Creates
  // data/common when missing. 1 when open; throws KvError* of kind
  // kKvErrorUnreachable when the data folder cannot be made.
  int OpenAt(const char* topDir);

  VCard* GetCardTemplate() override;
  VCard* GetPersonTemplate() override;
  KvBoolean WriteCardTemplate(VCard* card) override;
  KvBoolean WritePersonTemplate(VCard* card) override;

  VCard* GetUserCard(const char* uid) override;
  char* GetEntryDisplayName(VCardEntry* entry) override;
  KvBoolean IsSetup() override;
  void UserLoggedIn(const char* uid) override;
  int IsDirAdmin(const char* uid) override;
  ValList* GetDirAdmins() override;
  KvBoolean SetDirAdmins(ValList* admins) override;
  int CheckPassword(const char* uid, const char* passwd) override;
  int IsValidUser(const char* uid) override;
  char* GetUidFromLogin(const char* login) override;
  char* GetUidFromRemoteUser(const char* remoteUser) override;
  KvBoolean GenerateAccounts() override;
  char* GetDisplayName(const char* uid) override;
  ValNameList* GetUserAttributes(const char* uid) override;
  ValList* IndexDataFile(const char* path, const char* adminUid, void* cookie,
                         VersitProgressCallback callback) override;
  ValNameList* GetFieldsList() override;
  KvBoolean WriteFieldsList(ValNameList* fields) override;
  char* CopyPhotos(const char* topDir, const char* srcDir, KvConfigDB* config,
                   VersitProgressCallback callback, void* cookie) override;

  ValList* GetAttributeList() override;
  ValNameList* GetAttributeTypes() override;
  ValNameList* GetAttributeOptions(const char* attribId) override;
  ValList* GetAttribModifiers(KvConfigDB* config, const char* attribId) override;
  KvBoolean SetAttribModifiers(KvConfigDB* config, const char* attribId,
                               ValList* list) override;
  ValList* GetAttribApprovers(KvConfigDB* config, const char* attribId) override;
  KvBoolean SetAttribApprovers(KvConfigDB* config, const char* attribId,
                               ValList* list) override;
  ValList* GetOperModifiers(const char* operId) override;
  KvBoolean SetOperModifiers(const char* operId, ValList* list) override;
  ValList* GetOperNotifyList(const char* operId) override;
  KvBoolean SetOperNotifyList(const char* operId, ValList* list) override;

  int GetNumAccounts() override;
  ValNameList* SearchPeople(const char* prefix, int max) override;

  // Not part of UserDB; reached through the library's own C entry points.
  // The person's e-mail address (the first EMAIL entry typed INTERNET, else
  // the first EMAIL entry), or null. Caller frees.
  char* GetEmail(const char* uid);
  // Sets uid's password (a person of the directory; password not empty).
  // Throws KvError* with a message fit for the user otherwise.
  void SetPassword(const char* uid, const char* password);
  // Adds or removes one administrator under the list's lock. True when the
  // list changed.
  bool AddDirAdmin(const char* uid);
  bool RemoveDirAdmin(const char* uid);
  // Creates the missing accounts; returns how many were made.
  int GenerateAccountsCounted();
  // Removes uid's account (and its line in the list of generated passwords);
  // true when there was one.
  bool RemoveAccount(const char* uid);
  // Removes the accounts of people no longer in the directory; how many.
  // Throws KvError* when the directory holds no data (nothing is removed).
  int PruneAccounts();
  // The uids of the accounts, as stored.
  std::vector<std::string> AccountUids();

  const std::string& Top() const { return top_; }
  std::string CommonPath(const std::string& name) const;

 private:
  // The open person data, reopened when indexing replaced it; null when the
  // directory holds no data yet.
  VersitFileWithIndex* Data();
  // Completes a swap of data and index that a killed indexing left half
  // done (its note "data.swap" names the new files). Throws KvError*.
  void FinishInterruptedSwap();
  // FinishInterruptedSwap for a reader: a swap it may not finish is left to
  // the next indexing (the reason goes to standard error).
  void FinishSwapBeforeReading();
  // The stored spelling of uid, or "" when uid is no person of the directory.
  std::string KnownUid(const char* uid);
  // True when a look-up of one person should read the index file instead of
  // loading the whole index (the first few of a process; see Data()).
  bool UseSingleLookup();
  // uid's card read through the index file without loading it (null when uid
  // is unknown or its index item stale).
  VCard* ReadOnePerson(const char* uid);
  VCard* ReadTemplate(const std::string& file, bool business);
  KvBoolean WriteTemplate(const std::string& file, VCard* card);
  std::string AccessListPath(const char* list, const char* id) const;
  std::string CanonicalAttribId(const char* id);
  ValList* ReadAccessList(const char* list, const char* id,
                          const char* const* defaults);
  KvBoolean WriteAccessList(const char* list, const char* id, ValList* values);
  void RequireOpen() const;

  std::string top_;
  std::unique_ptr<VersitFileWithIndex> data_;
  struct stat dataStat_ {};
  int singleLookups_ = 0;
};
