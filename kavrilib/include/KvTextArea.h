// A multi-line text field with soft wrapping.
#pragma once

#include "htmllib.h"

class KvTextArea : public TextArea {
 public:
  // 4 rows of 40 columns; text (may be null) is the initial content.
  KvTextArea(const char* name, const char* text);
  KvTextArea(const char* name, int rows, int cols, const char* text);
  ~KvTextArea() override;
};
