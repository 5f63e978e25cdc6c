// URLs with a percent-encoded query string (RFC 3986 section 2.1): the base
// as given, then "?", the parameters as name=value joined by "&", and an
// optional "#anchor".
#include "Url.h"

#include <cstdlib>
#include <cstring>

#include "commonlib.h"

namespace {

String URLEncoded(const char* s) {
  String out(s);
  out.PrepForURL();
  return out;
}

}  // namespace

Url::Url(const char* base) : HTMLObject(kTagUrl, base), anchor(nullptr) {
  activateURLs = 0;
  enhance = 0;
  endOnNewLine = 0;
}

Url::Url(HTMLObject* child) : HTMLObject(kTagUrl), anchor(nullptr) {
  activateURLs = 0;
  enhance = 0;
  endOnNewLine = 0;
  addObject(child);
}

Url::~Url() { free(anchor); }

HTMLAttribute* Url::addAttribute(int number, const char* value) {
  return HTMLObject::addAttribute(number, URLEncoded(value).GetBuffer());
}

HTMLAttribute* Url::addAttribute(int number, const String& value) {
  String encoded(value);
  encoded.PrepForURL();
  return HTMLObject::addAttribute(number, encoded);
}

HTMLAttribute* Url::addAttribute(int number, int value) {
  return HTMLObject::addAttribute(number, value);
}

HTMLAttribute* Url::addAttribute(const char* name, const char* value) {
  return HTMLObject::addAttribute(URLEncoded(name).GetBuffer(),
                                  URLEncoded(value).GetBuffer());
}

HTMLAttribute* Url::addAttribute(const char* name, int value) {
  return HTMLObject::addAttribute(name, value);
}

HTMLAttribute* Url::addAttribute(int number, HTMLObject* object) {
  return HTMLObject::addAttribute(number, object);
}

HTMLAttribute* Url::addAttribute(HTMLAttribute* attribute) {
  return HTMLObject::addAttribute(attribute);
}

void Url::addAttribute(ValNameList* list) {
  if (!list) return;
  for (ValNameListItem* item = list->GetFirst(); item; item = item->next)
    addAttribute(item->name, item->value);
}

void Url::AddAnchorName(const char* name) {
  char* copy = name ? strdup(name) : nullptr;
  free(anchor);
  anchor = copy;
}

void Url::emitAttribute(RequestInfo* req, int /*indent*/, int /*lineBreaks*/,
                        const char* styleName) {
  for (HTMLAttribute* a = attributes; a; a = a->next) {
    if (a != attributes) req->Write("&");
    req->Write(a->name ? a->name : HTMLAttributeName(a->number));
    req->Write("=");
    if (a->value) req->Write(a->value);
    if (a->object) a->object->emit(req, 0, 0, styleName);
  }
}

void Url::emit(RequestInfo* req, int indent, int lineBreaks,
               const char* styleName) {
  if (text) {
    req->Write(text);
    if (attributes) req->Write("?");
    emitAttribute(req, 0, 1, nullptr);
  }
  if (firstChild) firstChild->emit(req, indent, lineBreaks, styleName);
  if (nextObject) nextObject->emit(req, indent, lineBreaks, styleName);
  if (anchor) {
    req->Write("#");
    req->Write(anchor);
  }
}
