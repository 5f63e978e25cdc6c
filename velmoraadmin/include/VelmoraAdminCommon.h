// The console's request handler: the front page frame set, the navigation
// bar, and the dispatch of the console's own program names; the handlers of
// the features derive from it.
#pragma once

#include "VelmoraAdminApp.h"
#include "kavrilib.h"

class VelmoraAdminCommon : public KavriAdminCommon {
 public:
  // req and app stay the caller's. Throws KvError*.
  VelmoraAdminCommon(RequestInfo* req, VelmoraAdminApp* app);
  ~VelmoraAdminCommon() override;
  // The page for the request's "program" ("front" when absent). A directory
  // that cannot be reached gives the database set-up page.
  Page* HandleEvent(const char* program) override;
  // Only the common login and logout pages need no login.
  KvBoolean BypassLoginCheck(const char* program) override;
  // True for the programs (and sub-programs) that store something.
  KvBoolean ChangesState() override;
  // A change's form values are at most kMaxStoredValue bytes each (paths on
  // the server kMaxPathValue), with at most kMaxListEntries values of one
  // name.
  char* CheckChangeLimits() override;
  static constexpr size_t kMaxStoredValue = 256;
  static constexpr size_t kMaxPathValue = 4096;
  static constexpr int kMaxListEntries = 5000;

  // The console's frame set: the navigation bar on the left, the main frame
  // on the right. The caller deletes the page.
  Page* GenFrontPage() override;
  // The navigation bar; its buttons depend on the directory format and on
  // how the user logged in. The caller deletes the page.
  Page* GenNavbarPage();

  // Employee data, photographs, directory administrators and accounts. Each
  // returns a new page the caller deletes; arguments stay the caller's.
  // The data file form; messages (may be null) are shown as headings,
  // defaultPath (may be null) fills the path field of a plain form.
  Page* GenSetupDataPage(ValList* messages, const char* defaultPath,
                         const char* cancelTarget);
  // Indexes the named or uploaded data file on a streamed page, or gives the
  // form again with the reason the file was refused.
  Page* GenProcessDataPage();
  Page* GenSetupPhotosPage(const char* message, const char* defaultDir);
  // Copies the photographs and stores the display size, on a streamed page.
  Page* GenProcessPhotosPage();
  Page* GenConfDirAdminsPage();
  Page* ProcessConfDirAdmins();
  Page* GenerateAccounts(const char* message);
  Page* ProcessGenerateAccounts();

  // Stores the connection values posted by the LDAP set-up page through the
  // configuration's DBFormat setter (an empty root password keeps the stored
  // one) and tries them: the page says they work, or shows the set-up page
  // again with the reason. Values that are missing or malformed are refused
  // on the set-up page and nothing is stored.
  Page* ProcessLDAPSetupInfo();

 protected:
  // The value of "program" ("front" when absent), owned by the request.
  const char* ProgramName() const;
  // The answer of every HandleEvent to an error: takes error; one of the
  // directory-unreachable kind becomes the database set-up page, any other
  // gets context as its newest line and is thrown on.
  Page* HandleEventError(KvError* error, const char* context);

  // Runs the directory's indexing of path (null: its own data file) with
  // progress and errors written to page, which must be open.
  void IndexDataFile(KvStreamPage* page, const char* path);
  // Fills table with the administrators under edit and adds the selector
  // cookies that carry them to page.
  void GetDirAdmins(Page* page, KvPersonGroupTable* table);
  // Appends to people every member of the groups that is not there yet.
  void TransferMembersFromGroups(ValList* people, ValList* groups);
  // The administrators as stored now; message (may be null) goes on top.
  Page* GenDirAdminsListPage(const char* message);

  VelmoraAdminApp* velmoraApp;  // not owned
};
