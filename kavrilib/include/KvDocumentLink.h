// A document's name with the document icon of the style, optionally linked.
#pragma once

#include "htmllib.h"

class KvDocumentLink : public A {
 public:
  explicit KvDocumentLink(const char* name);
  // With a url (owned by the link from now on) the link opens HTML
  // documents (names ending in ".htm" or ".html", case-sensitive) in a new
  // window and everything else in the whole window. description may be
  // null.
  KvDocumentLink(const char* name, Url* url, const char* description);
  ~KvDocumentLink() override;
};

class KvCenterAlignedDocumentLink : public A {
 public:
  explicit KvCenterAlignedDocumentLink(const char* name);
  ~KvCenterAlignedDocumentLink() override;
};
