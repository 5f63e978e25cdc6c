// A run of plain text, optionally with the places that match search terms
// shown in red bold.
#pragma once

#include "htmllib.h"

class KvLabel : public HTMLObject {
 public:
  explicit KvLabel(const char* text);
  // Every place where a term matches (ignoring case) is highlighted; with
  // no terms (null or empty list) the whole text is. terms stays the
  // caller's.
  KvLabel(const char* text, ValList* terms);
  ~KvLabel() override;
};
