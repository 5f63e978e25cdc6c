// The document root and its two variants: the HTTP header block written
// before the tree, and the responses without a body.
#include "Page.h"

#include "commonlib.h"

Page::Page(const char* text)
    : HTMLObject(kTagPage, text), firstHeader(nullptr), lastHeader(nullptr) {
  activateURLs = 0;
  startOnNewLine = 0;
}

Page::Page(HTMLObject* child)
    : HTMLObject(kTagPage), firstHeader(nullptr), lastHeader(nullptr) {
  activateURLs = 0;
  startOnNewLine = 0;
  addObject(child);
}

Page::~Page() { delete firstHeader; }

void Page::AddToList(HTMLObject* header) {
  if (!header) return;
  header->StartOnNewLine(0);
  if (!firstHeader) {
    firstHeader = header;
  } else {
    lastHeader->addNextObject(header);
  }
  // A header handed over with siblings of its own keeps them.
  lastHeader = header;
  while (lastHeader->GetNextObject()) lastHeader = lastHeader->GetNextObject();
}

void Page::emit(RequestInfo* req, int indent, int lineBreaks,
                const char* styleName) {
  req->WriteHeader("Content-type", kHtmlContentType);
  req->SetStatus(200, "OK");
  if (firstHeader) firstHeader->emit(req, indent, lineBreaks, styleName);
  req->WriteHeader("", "");
  HTMLObject::emit(req, indent, lineBreaks, styleName);
  req->Write("\n");
}

PageNoData::PageNoData(const char* text) : Page(text) {}
PageNoData::PageNoData(HTMLObject* child) : Page(child) {}
PageNoData::~PageNoData() {}

void PageNoData::emit(RequestInfo*, int, int, const char*) {}

PageNoChange::PageNoChange(const char* text) : Page(text) {}
PageNoChange::PageNoChange(HTMLObject* child) : Page(child) {}
PageNoChange::~PageNoChange() {}

void PageNoChange::emit(RequestInfo* req, int, int, const char*) {
  req->WriteHeader("Content-type", kHtmlContentType);
  req->SetStatus(204, "No Change");
  req->WriteHeader("", "");
}
