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

  // The console's frame set: the navigation bar on the left, the main frame
  // on the right. The caller deletes the page.
  Page* GenFrontPage();
  // The navigation bar; its buttons depend on the directory format and on
  // how the user logged in. The caller deletes the page.
  Page* GenNavbarPage();

 protected:
  // The value of "program" ("front" when absent), owned by the request.
  const char* ProgramName() const;
  // The answer of every HandleEvent to an error: takes error; one of the
  // directory-unreachable kind becomes the database set-up page, any other
  // gets context as its newest line and is thrown on.
  Page* HandleEventError(KvError* error, const char* context);

  VelmoraAdminApp* velmoraApp;  // not owned
};
