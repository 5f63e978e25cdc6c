// The root of a document: the "<html" element, which also writes the HTTP
// header block (content type, status, then its chain of header objects such
// as cookies) before the tree. PageNoChange answers "204 No Change";
// PageNoData writes nothing, for handlers that wrote the response themselves.
#pragma once

#include "HTMLObject.h"

class Page : public HTMLObject {
 public:
  explicit Page(const char* text = nullptr);
  explicit Page(HTMLObject* child);
  // Deletes the header chain, then the tree.
  ~Page() override;

  // Appends a header object (cookie, window target, content base) to the
  // header chain and takes ownership of it. Null is ignored.
  void AddToList(HTMLObject* header);
  // Head of the header chain, or null; owned by the page.
  HTMLObject* GetHeaders() const { return firstHeader; }

  // Writes the headers, the header chain, the end of the header block, the
  // tree and a final newline.
  void emit(RequestInfo* req, int indent, int lineBreaks,
            const char* styleName) override;

 protected:
  HTMLObject* firstHeader;
  HTMLObject* lastHeader;
};

class PageNoData : public Page {
 public:
  explicit PageNoData(const char* text = nullptr);
  explicit PageNoData(HTMLObject* child);
  ~PageNoData() override;

  // Writes nothing.
  void emit(RequestInfo* req, int indent, int lineBreaks,
            const char* styleName) override;
};

class PageNoChange : public Page {
 public:
  explicit PageNoChange(const char* text = nullptr);
  explicit PageNoChange(HTMLObject* child);
  ~PageNoChange() override;

  // Writes only the content type, "Status: 204 No Change" and the end of
  // the header block.
  void emit(RequestInfo* req, int indent, int lineBreaks,
            const char* styleName) override;
};
