// "mailto:" URLs for one address, or for people and the members of groups
// looked up in the directory. When no address is found the URL is
// "javascript:donothing()". The mail text is the Url's only child.
#pragma once

#include "htmllib.h"

class UserDB;
class GroupDB;

class EmailUrl : public Url {
 public:
  explicit EmailUrl(const char* address);
  // Lists and directories stay the caller's; null lists count as empty.
  EmailUrl(const char* uid, UserDB* db);
  // Every listed person's address in list order, repeats included.
  EmailUrl(ValList* uids, UserDB* db);
  // The people's addresses, then those of the groups' members; each
  // address once.
  EmailUrl(ValList* uids, ValList* gids, UserDB* db, GroupDB* gdb);
  ~EmailUrl() override;

 private:
  // Adds "mailto:" + the addresses joined by ",", or the do-nothing call.
  void SetAddresses(const ValList& addresses);
};
