// The "Content-Base" response header: the base URL of the page, quoted.
#pragma once

#include "HTMLObject.h"

class ContentBase : public HTMLObject {
 public:
  explicit ContentBase(const char* text = nullptr);
  explicit ContentBase(HTMLObject* child);
  ~ContentBase() override;

  // Writes the header, then emits the next sibling.
  void emit(RequestInfo* req, int indent, int lineBreaks,
            const char* styleName) override;
};
