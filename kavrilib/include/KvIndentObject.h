// Horizontal indentation made of no-break spaces, optionally in front of an
// object.
#pragma once

#include "htmllib.h"

class KvIndentObject : public HTMLObject {
 public:
  // n no-break spaces (none when n < 1).
  explicit KvIndentObject(int n);
  // The same, followed by child, which the indentation takes ownership of.
  KvIndentObject(HTMLObject* child, int n);
  ~KvIndentObject() override;

 private:
  void Init(int n);
};
