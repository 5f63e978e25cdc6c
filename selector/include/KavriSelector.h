// The person selector: a window the console's pages open to choose people
// and groups. It searches the directory by a prefix of a name, uid or e-mail
// address, keeps the choice in its form while the administrator adds and
// removes people and groups, and on OK hands the choice back in the
// formatted cookies "PersonSelectorCookie" and "GroupSelectorCookie", loads
// the return link in the window that opened it (with "selector" added, so
// that the page reads the cookies) and closes.
//
// Request variables:
//   program        "front" (the window opens; the choice comes from the
//                  cookies) or "selector" (the window's own form)
//   selector_mode  "single" (one person) or "multi" (the default)
//   return_url     the console page to load on OK, "../../admin/bin/..."
//   q              the search text
//   action         "Search", "Add", "Remove" or "OK"
//   chosen, chosenGroup   the choice so far (hidden fields)
//   pick, pickGroup       people and groups ticked to be added
//   drop, dropGroup       people and groups ticked to be removed
#pragma once

#include <string>

#include "KavriSelectorApp.h"
#include "kavrilib.h"

extern const char kSelectorPersonCookie[];  // "PersonSelectorCookie"
extern const char kSelectorGroupCookie[];   // "GroupSelectorCookie"

class KavriSelector : public KavriAdminCommon {
 public:
  // req and app stay the caller's.
  KavriSelector(RequestInfo* req, KavriSelectorApp* app);
  ~KavriSelector() override;

  Page* HandleEvent(const char* program) override;

  // The selector window: the search form, the results of the search, the
  // groups and the current choice. The caller deletes the page.
  Page* GenSelectorPage();
  // The last page: sets the cookies, loads the return link in the opener
  // and closes the window.
  Page* GenDonePage();

  // The most people one search shows.
  static const int kMaxResults = 50;

  // A return link the selector may load: a relative link into the admin
  // programs' folder, of printable characters without quotes or blanks.
  static bool IsReturnLink(const char* link);
  // A value that can travel in a formatted cookie: not empty, no ":", ";",
  // ",", "=", blanks or control characters.
  static bool IsCookieValue(const char* value);

 private:
  bool Single() const;
  // The choice of this request: from the cookies when the window opens,
  // else from the form, with the additions and removals asked for applied.
  void ReadChoice(ValList* people, ValList* groups) const;
  // The hidden fields that carry the state to the next request.
  void AddState(HTMLObject* form, ValList* people, ValList* groups) const;
};
