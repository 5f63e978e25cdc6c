// A selection list; options are added in call order.
#pragma once

#include "htmllib.h"

class KvSelect : public Select {
 public:
  explicit KvSelect(const char* name);
  ~KvSelect() override;

  // Each returns the new option, owned by the select. A null text value
  // gives an option without "value".
  Option* AddOption(const char* text, const char* value);
  Option* AddOption(const char* text, int value);
  Option* AddOptionSelected(const char* text, const char* value);
  Option* AddOptionSelected(const char* text, int value);
  // Selected when value equals current, ignoring case.
  Option* AddOptionWithSelectCheck(const char* text, const char* value,
                                   const char* current);
};
