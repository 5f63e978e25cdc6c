// URLs that add people or groups to the user's hot list through the suite's
// common program. An empty list gives "javascript:donothing()".
#pragma once

#include "htmllib.h"

class AddUidItemToHotlistUrl : public Url {
 public:
  explicit AddUidItemToHotlistUrl(const char* uid);
  // uids stays the caller's; null counts as empty.
  explicit AddUidItemToHotlistUrl(ValList* uids);
  ~AddUidItemToHotlistUrl() override;
};

class AddGidItemToHotlistUrl : public Url {
 public:
  explicit AddGidItemToHotlistUrl(const char* gid);
  explicit AddGidItemToHotlistUrl(ValList* gids);
  ~AddGidItemToHotlistUrl() override;
};
