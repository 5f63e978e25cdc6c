// A group's name with the group icon, optionally linked to the group's page
// in the group manager.
#pragma once

#include "htmllib.h"

class KvGroupLink : public A {
 public:
  explicit KvGroupLink(const char* name);
  // Links to the group's page in the main frame.
  KvGroupLink(const char* name, const char* gid);
  ~KvGroupLink() override;
};

class KvCenterAlignedGroupLink : public A {
 public:
  explicit KvCenterAlignedGroupLink(const char* name);
  ~KvCenterAlignedGroupLink() override;
};
