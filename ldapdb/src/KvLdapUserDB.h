// The user directory of the LDAP back end.
//
// People are inetOrgPerson entries anywhere under the search base, found by
// their uid; their cards are made from the entries by the mapping table of
// PersonMapping.h. Passwords are checked by binding as the person and are
// never read. The console's own data lives under one subtree,
// ou=velmoraadmin,<search base>, in entries of standard classes
// (organizationalUnit and applicationProcess), one list per entry, each list
// item one value of the multi-valued attribute "description":
//   cn=admins                         directory administrators (uids)
//   cn=cardtemplate, cn=persontemplate  template cards, values "NNNN:FIELD:heading"
//   cn=fields                         additional information fields,
//                                     values "NNNN:name:value"
//   cn=<id>,ou=attrmod                modifiers of attribute id
//   cn=<id>,ou=attrappr               approvers of attribute id
//   cn=<add|delete>,ou=opermod        who may add or delete entries
//   cn=<add|delete>,ou=opernotify     who is told when it happens
//   cn=<uid>,ou=userattrs             a person's settings, values "name=value"
// A list that was never written reads as its default. Changing a list
// sends the values that left it as deletions and the new ones as additions
// in one modify, so that two administrators changing a list at the same time
// do not undo each other's work; templates and fields, edited whole on one
// form and ordered, are replaced.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "LdapSession.h"
#include "dblib.h"
#include "utillib.h"
#include "versitlib.h"

class KvLdapUserDB : public UserDB {
 public:
  KvLdapUserDB() = default;
  ~KvLdapUserDB() override = default;
  KvLdapUserDB(const KvLdapUserDB&) = delete;
  KvLdapUserDB& operator=(const KvLdapUserDB&) = delete;

  // Opens with the configuration's LDAP values (see ReadSettings).
  int Open(KvConfigDB* config, int threadKey, KvBoolean serverGateway) override;
  // Opens with explicit values; topDir may be empty.
  int OpenWith(const ldapdb::Settings& settings, const std::string& topDir);

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

  // Not part of UserDB; reached through the library's own C entry points.
  void SetPassword(const char* uid, const char* password);

 private:
  // The person entry of uid, or null when there is none.
  std::unique_ptr<ldapdb::Entry> FindPerson(const std::string& uid,
                                            const std::vector<std::string>& attrs);
  std::string KnownUid(const char* uid);
  // The DN of an entry of our subtree: "cn=<name>[,ou=<folder>],ou=velmoraadmin,<base>".
  std::string DataDN(const std::string& name, const char* folder) const;
  // The values of a list entry, or null when the entry does not exist.
  std::unique_ptr<std::vector<std::string>> ReadList(const std::string& dn);
  ValList* ReadListOr(const std::string& dn, const char* const* defaults);
  // Changes the stored list DataDN(name, folder) to values by value additions
  // and deletions, creating the entry (and its folders) when needed.
  void WriteList(const std::string& name, const char* folder,
                 const std::vector<std::string>& values);
  // Replaces an ordered list (templates, fields) the same way.
  void ReplaceList(const std::string& name, const char* folder,
                   const std::vector<std::string>& values);
  // Creates ou=velmoraadmin and ou=<folder> below it when they are missing.
  void CreateFolders(const char* folder);
  std::vector<std::string> Cleaned(ValList* list, const char* what);
  VCard* ReadTemplate(const char* name, bool business);
  KvBoolean WriteTemplate(const char* name, VCard* card);
  ldapdb::Session& Ld();

  ldapdb::Session session_;
  std::string top_;
};
