// A document written to the browser while the handler is still working:
// the head of the document goes out when the page is made, each object as
// soon as it is added (after a script that scrolls the parent frame to the
// bottom and followed by lines of blanks that push it through proxies), and
// the end of the document when the page is deleted. The framework's final
// emission of the page writes nothing.
#pragma once

#include "htmllib.h"

class KvStreamPage : public PageNoData {
 public:
  // Writes the response headers and the start of the document at once.
  // req must outlive the page; helpContext (may be null) is the program
  // name for context help; styleName (may be null) is copied.
  KvStreamPage(RequestInfo* req, const char* helpContext,
               const char* styleName);
  // Writes the end of the document.
  ~KvStreamPage() override;

  // Each writes the object (or text, or number) at once, deletes it and
  // returns null: the page keeps nothing.
  HTMLObject* addObject(HTMLObject* object) override;
  HTMLObject* addObject(const char* text, KvBoolean activateURLs) override;
  HTMLObject* addObject(int number) override;

 private:
  RequestInfo* req;
  CacheBuster* cacheBuster;
  char* styleName;
};
