// The "Window-target" response header, naming the frame the browser shows
// the response in ("navbar_frame" when no name is given).
#pragma once

#include "HTMLObject.h"

class WindowTarget : public HTMLObject {
 public:
  explicit WindowTarget(const char* text = nullptr);
  explicit WindowTarget(HTMLObject* child);
  ~WindowTarget() override;

  // Writes the header, then emits the next sibling.
  void emit(RequestInfo* req, int indent, int lineBreaks,
            const char* styleName) override;
};
