// The user directory as the program sees it: an abstract interface that a
// back-end library (file, LDAP or SQL store) implements and the loader of
// KvDBLoader.h creates at run time. People are named by uid; cards are vCards.
//
// Ownership: texts returned as char* are new heap copies the caller frees
// with free(); returned lists and cards are new objects the caller deletes;
// arguments stay the caller's. Operations raise KvError* on failure; a back
// end that cannot reach its store raises one of kind kKvErrorUnreachable.
#pragma once

#include "utillib.h"
#include "versitlib.h"

class KvConfigDB;

class UserDB {
 public:
  virtual ~UserDB();

  // Opens the directory with the configuration (which must outlive this
  // object) and the application's thread key; serverGateway is true only
  // under a server plug-in gateway. 1 when open.
  virtual int Open(KvConfigDB* config, int threadKey,
                   KvBoolean serverGateway) = 0;
  // 1 when connected; the base does nothing.
  virtual int Connect(KvConfigDB* config);
  // Re-reads the directory's own files; the base does nothing.
  virtual void ReadDBFiles(KvConfigDB* config);

  // The template cards of the business card and of the person page: entries
  // are the shown fields in display order, each value the field's heading.
  virtual VCard* GetCardTemplate() = 0;
  virtual VCard* GetPersonTemplate() = 0;
  virtual KvBoolean WriteCardTemplate(VCard* card) = 0;
  virtual KvBoolean WritePersonTemplate(VCard* card) = 0;

  // The card of a person, or null when there is none.
  virtual VCard* GetUserCard(const char* uid) = 0;
  // The display name of a card field (for lists of fields).
  virtual char* GetEntryDisplayName(VCardEntry* entry) = 0;
  // True until the installation is set up: the base reads
  // "../../../config/setup.lst" and looks for "status" = "done" (any case).
  virtual KvBoolean CheckIfColdStart();
  // True when the directory is set up and users may log in.
  virtual KvBoolean IsSetup() = 0;
  // Tells the directory that uid has just logged in.
  virtual void UserLoggedIn(const char* uid) = 0;
  // 1 when uid is a directory administrator.
  virtual int IsDirAdmin(const char* uid) = 0;
  // The directory administrators' uids.
  virtual ValList* GetDirAdmins() = 0;
  // Replaces the directory administrators by the uids of admins.
  virtual KvBoolean SetDirAdmins(ValList* admins) = 0;
  // Non-zero when passwd is uid's password.
  virtual int CheckPassword(const char* uid, const char* passwd) = 0;
  // 1 when uid names a person of the directory.
  virtual int IsValidUser(const char* uid) = 0;
  // The uid of a login name, or of the web server's authenticated user;
  // null when there is none.
  virtual char* GetUidFromLogin(const char* login) = 0;
  virtual char* GetUidFromRemoteUser(const char* remoteUser) = 0;
  // Creates a login account for every person that has none.
  virtual KvBoolean GenerateAccounts() = 0;
  // The display name of a person (never null for a valid uid).
  virtual char* GetDisplayName(const char* uid) = 0;
  // The value of the card's ROLE entry, or null.
  virtual char* GetRole(VCard* card);
  // The value of the card's X-KAVRI-UID entry typed X-KAVRI-INDIRECT-MGR, or
  // null.
  virtual char* GetIndirectReport(VCard* card);
  // The person's attributes as name/value pairs ("style" among them).
  virtual ValNameList* GetUserAttributes(const char* uid) = 0;
  // Indexes the vCard data file at path (null: the directory's own) for the
  // administrator adminUid, reporting progress through callback (may be
  // null) with cookie. Null on success, else the list of error texts.
  virtual ValList* IndexDataFile(const char* path, const char* adminUid,
                                 void* cookie,
                                 VersitProgressCallback callback) = 0;
  // New list of (uid, display name) sorted by display name (case-insensitive).
  virtual ValNameList* SortByValue(ValList* uids);
  // Reorders a list of VCard* in place by their FN values (case-insensitive).
  virtual void SortByValue(VoidList* cards);
  // The additional-information fields: pairs "Desc_<t>" (heading) and
  // "Size_<t>" (size) per field.
  virtual ValNameList* GetFieldsList() = 0;
  virtual KvBoolean WriteFieldsList(ValNameList* fields) = 0;
  // Copies the photographs found in srcDir into the installation under
  // topDir. Null on success, else an error text.
  virtual char* CopyPhotos(const char* topDir, const char* srcDir,
                           KvConfigDB* config, VersitProgressCallback callback,
                           void* cookie) = 0;

  // Access control. Lists hold uids and the tokens "any", "default", "self"
  // and "dirAdmin"; each is read and written whole. attribId "defaultAttr"
  // names the rule for every attribute; operId is "add" or "delete".
  // The attribute ids a rule can name, in display order.
  virtual ValList* GetAttributeList() = 0;
  // Per attribute: name = attribute id, value = its type, extra1 = the source
  // of its options.
  virtual ValNameList* GetAttributeTypes() = 0;
  // The options of an attribute: name = stored value, value = display text.
  virtual ValNameList* GetAttributeOptions(const char* attribId) = 0;
  virtual ValList* GetAttribModifiers(KvConfigDB* config,
                                      const char* attribId) = 0;
  virtual KvBoolean SetAttribModifiers(KvConfigDB* config,
                                       const char* attribId,
                                       ValList* list) = 0;
  virtual ValList* GetAttribApprovers(KvConfigDB* config,
                                      const char* attribId) = 0;
  virtual KvBoolean SetAttribApprovers(KvConfigDB* config,
                                       const char* attribId,
                                       ValList* list) = 0;
  virtual ValList* GetOperModifiers(const char* operId) = 0;
  virtual KvBoolean SetOperModifiers(const char* operId, ValList* list) = 0;
  virtual ValList* GetOperNotifyList(const char* operId) = 0;
  virtual KvBoolean SetOperNotifyList(const char* operId, ValList* list) = 0;

  // Loads caches ahead of use; the base does nothing.
  virtual void WarmUpCaches(KvBoolean all);
  // The number of user accounts.
  virtual int GetNumAccounts() = 0;
  // The store's key for a table name; the base has none (null).
  virtual char* GetTableKey(const char* table);

  // The people whose uid, e-mail address, whole display name or a word of it
  // begins with prefix, compared without regard to case (UTF-8 letters
  // included); an empty prefix matches everybody. At most max + 1 people, in
  // display-name order, so that the caller can tell that there were more:
  // name = uid, value = display name, extra1 = e-mail address (may be null).
  // The base cannot search and returns null.
  virtual ValNameList* SearchPeople(const char* prefix, int max);
};
