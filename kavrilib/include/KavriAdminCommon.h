// The request handler base of the administrator programs: only directory
// administrators may log in, the style is "style0", and the pages shown when
// the directory back end cannot be reached are built here.
#pragma once

#include "KavriBaseCommon.h"

class KavriAdminCommon : public KavriBaseCommon {
 public:
  // req and app stay the caller's; the log is buffered. Throws KvError*.
  KavriAdminCommon(RequestInfo* req, KavriBaseApp* app);

  // The web server's user first, then the login form; a login name that is
  // not a directory administrator is refused before its password is checked.
  Page* UserAuthenticateAndLogin() override;
  ~KavriAdminCommon() override;
  void Initialize() override;
  // A signed, unexpired administrator's session whose uid the directory
  // still lists as an administrator. When the directory cannot be reached
  // the signed session stands, so that the pages can report the outage.
  KvBoolean IsLoggedIn() override;
  Page* HandleEvent(const char* program) override;
  virtual Page* GenHelpNavbarPage();

  // The page for a directory that cannot be reached: the LDAP set-up form
  // for an LDAP directory, else the list of messages. messages stays the
  // caller's and may be null.
  Page* GenDBSetupErrorPage(const char* message, ValList* messages);
  // The form that lets the administrator correct the LDAP connection values;
  // it posts to the sibling admin program.
  Page* GenLDAPSetupPage(const char* message, ValList* messages);
};
