// A person's name with the person icon, optionally linked to the person's
// page in the directory viewer.
#pragma once

#include "htmllib.h"

class KvPersonLink : public A {
 public:
  explicit KvPersonLink(const char* name);
  // Links to the person's entry in the main frame.
  KvPersonLink(const char* name, const char* uid);
  ~KvPersonLink() override;
};

// The icon aligned with the middle of the text; no link.
class KvCenterAlignedPersonLink : public A {
 public:
  explicit KvCenterAlignedPersonLink(const char* name);
  ~KvCenterAlignedPersonLink() override;
};
