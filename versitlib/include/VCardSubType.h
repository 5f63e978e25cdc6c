// One parameter of a vCard property line: its kind (TYPE, VALUE, ENCODING)
// and its value, both indexes into the tables of PropNameAndSize.h.
#pragma once

#include "PropNameAndSize.h"

class VCardSubType {
 public:
  // Kind and value kVCardUnknown, no next.
  VCardSubType();
  VCardSubType(int kind, int value);
  VCardSubType(const VCardSubType&) = delete;
  VCardSubType& operator=(const VCardSubType&) = delete;

  // A new parameter (caller deletes) with the same kind and value, no next.
  VCardSubType* Copy() const;

  int kind;
  int value;
  // The following parameter of the same entry; owned by the entry, not by
  // this parameter.
  VCardSubType* next;
};
