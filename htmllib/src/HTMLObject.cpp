// Building the element tree: construction and ownership, adding children and
// siblings, attributes and their editing, and the lists of files to copy.
#include "HTMLObject.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>

#include "Chain.h"

using htmlchain::CopyOrNull;

namespace {

// An escaped copy of s as a String (holds nothing for null).
String Escaped(const char* s) {
  String out(s);
  out.PrepForHTML();
  return out;
}

}  // namespace

HTMLObject::HTMLObject() {
  initialize(kTagText, nullptr);
  startOnNewLine = 0;
  endOnNewLine = 0;
}

HTMLObject::HTMLObject(int tag, const char* text) { initialize(tag, text); }

HTMLObject::HTMLObject(const char* text) { initialize(kTagText, text); }

HTMLObject::HTMLObject(int tag) { initialize(tag, nullptr); }

void HTMLObject::initialize(int tagNumber, const char* initialText) {
  attributes = nullptr;
  tag = tagNumber;
  startOnNewLine = 1;
  endOnNewLine = 1;
  attached = 0;
  activateURLs = 1;
  escape = 1;
  enhance = 1;
  text = CopyOrNull(initialText);
  includes = nullptr;
  bodyFile = nullptr;
  firstChild = nullptr;
  nextObject = nullptr;
}

HTMLObject::~HTMLObject() {
  delete includes;
  delete attributes;
  free(text);
  free(bodyFile);
  delete firstChild;
  // A long chain of siblings (the rows of a big table) must not exhaust the
  // stack.
  htmlchain::DeleteChain(&nextObject, &HTMLObject::nextObject);
}

// ---- Children and siblings ----

HTMLObject* HTMLObject::addObject(HTMLObject* child) {
  if (!child || child->attached == 1) return nullptr;
  child->attached = 1;
  htmlchain::AppendToChain(&firstChild, child, &HTMLObject::nextObject);
  return child;
}

HTMLObject* HTMLObject::addObject(const char* childText,
                                  KvBoolean activate) {
  HTMLObject* child = new HTMLObject(kTagText, childText);
  child->startOnNewLine = 0;
  child->endOnNewLine = 0;
  child->activateURLs = activate;
  addObject(child);
  if (child->attached != 1) {
    // Only a subclass that refuses children gets here; nobody owns the
    // object then.
    delete child;
    return nullptr;
  }
  return child;
}

HTMLObject* HTMLObject::addObject(int number) {
  String decimal(number);
  return addObject(decimal.CStr(), 0);
}

HTMLObject* HTMLObject::appendObject(HTMLObject* child) {
  addObject(child);
  return child;
}

HTMLObject* HTMLObject::prependObject(HTMLObject* child) {
  if (!child || child->attached == 1) return this;
  child->attached = 1;
  child->nextObject = firstChild;
  firstChild = child;
  return this;
}

HTMLObject* HTMLObject::prependObject(const char* childText) {
  HTMLObject* child = new HTMLObject(kTagText, childText);
  child->endOnNewLine = 0;
  return prependObject(child);
}

void HTMLObject::addNextObject(HTMLObject* next) { nextObject = next; }

void HTMLObject::addData(const char* newText) {
  char* copy = CopyOrNull(newText);
  free(text);
  text = copy;
}

void HTMLObject::addData(int number) {
  String decimal(number);
  addData(decimal.CStr());
}

void HTMLObject::StartOnNewLine(KvBoolean on) { startOnNewLine = on; }

void HTMLObject::EndOnNewLine(KvBoolean on) { endOnNewLine = on; }

void HTMLObject::DontEscape(KvBoolean withSiblings) {
  for (HTMLObject* o = this; o; o = o->nextObject) {
    o->escape = 0;
    if (o->firstChild) o->firstChild->DontEscape(1);
    if (withSiblings != 1) break;
  }
}

void HTMLObject::DontEnhance(KvBoolean withSiblings) {
  for (HTMLObject* o = this; o; o = o->nextObject) {
    o->enhance = 0;
    if (o->firstChild) o->firstChild->DontEnhance(1);
    if (withSiblings != 1) break;
  }
}

void HTMLObject::addChildWithoutURLs(HTMLObject* child) {
  if (child) child->activateURLs = 0;
  addObject(child);
}

// ---- Attributes ----

HTMLAttribute* HTMLObject::addAttribute(HTMLAttribute* attribute) {
  if (!attribute) return nullptr;
  htmlchain::AppendToChain(&attributes, attribute, &HTMLAttribute::next);
  return attribute;
}

HTMLAttribute* HTMLObject::addAttribute(int number, const char* value) {
  String escaped = Escaped(value);
  return addAttribute(
      new HTMLAttribute(number, escaped.GetBuffer(), nullptr, nullptr));
}

HTMLAttribute* HTMLObject::addAttribute(int number, const String& value) {
  String escaped(value);
  escaped.PrepForHTML();
  return addAttribute(
      new HTMLAttribute(number, escaped.GetBuffer(), nullptr, nullptr));
}

HTMLAttribute* HTMLObject::addAttribute(int number, int value) {
  String decimal(value);
  return addAttribute(
      new HTMLAttribute(number, decimal.GetBuffer(), nullptr, nullptr));
}

HTMLAttribute* HTMLObject::addAttribute(const char* name, const char* value) {
  String escapedName = Escaped(name);
  String escapedValue = Escaped(value);
  return addAttribute(new HTMLAttribute(kAttrNamed, escapedValue.GetBuffer(),
                                        escapedName.GetBuffer(), nullptr));
}

HTMLAttribute* HTMLObject::addAttribute(const char* name, int value) {
  String decimal(value);
  return addAttribute(new HTMLAttribute(kAttrNamed, decimal.GetBuffer(), name,
                                        nullptr));
}

HTMLAttribute* HTMLObject::addAttribute(int number, HTMLObject* object) {
  if (!object || object->attached == 1) return nullptr;
  object->attached = 1;
  return addAttribute(new HTMLAttribute(number, nullptr, nullptr, object));
}

String HTMLObject::MakeStatusMessage(const char* message) {
  // The message is text, not script: quotes and line breaks in it are
  // escaped for the single-quoted string.
  String text(message ? message : "");
  text.PrepForJS();
  String status("self.status='");
  status += text;
  status += "'; return true";
  return status;
}

HTMLAttribute* HTMLObject::addStatusMessage(const char* message) {
  return addAttribute(kAttrOnMouseOver, MakeStatusMessage(message));
}

namespace {

HTMLAttribute* FindByNumber(HTMLAttribute* list, int number) {
  for (HTMLAttribute* a = list; a; a = a->next)
    if (a->number == number) return a;
  return nullptr;
}

HTMLAttribute* FindByName(HTMLAttribute* list, const char* name) {
  if (!name) return nullptr;
  for (HTMLAttribute* a = list; a; a = a->next)
    if (a->name && strcasecmp(a->name, name) == 0) return a;
  return nullptr;
}

}  // namespace

HTMLAttribute* HTMLObject::AppendToAttribute(int number,
                                             const char* appended) {
  HTMLAttribute* found = FindByNumber(attributes, number);
  if (!found) {
    addAttribute(number, appended);
    return nullptr;
  }
  String combined = Escaped(appended);
  if (found->value) {
    combined += ";";
    combined += found->value;
  }
  found->SetValue(combined.GetBuffer());
  return found;
}

HTMLAttribute* HTMLObject::AppendToAttribute(int number, HTMLObject* object) {
  HTMLAttribute* found = FindByNumber(attributes, number);
  if (!found) {
    addAttribute(number, object);
    return nullptr;
  }
  if (found->object) {
    found->object->addObject(object);
  } else if (object && object->attached != 1) {
    object->attached = 1;
    found->object = object;
  }
  return found;
}

void HTMLObject::ModifyAttribute(const char* name, const char* value) {
  HTMLAttribute* found = FindByName(attributes, name);
  if (found) found->SetValue(Escaped(value).GetBuffer());
}

void HTMLObject::ModifyAttribute(const char* name, int value) {
  HTMLAttribute* found = FindByName(attributes, name);
  if (found) found->SetValue(String(value).GetBuffer());
}

void HTMLObject::ModifyAttribute(int number, const char* value) {
  HTMLAttribute* found = FindByNumber(attributes, number);
  if (found) found->SetValue(Escaped(value).GetBuffer());
}

void HTMLObject::ModifyAttribute(int number, int value) {
  HTMLAttribute* found = FindByNumber(attributes, number);
  if (found) found->SetValue(String(value).GetBuffer());
}

namespace {

// Unlinks *link's attribute from the list and deletes it alone.
void DeleteAt(HTMLAttribute** link) {
  HTMLAttribute* gone = *link;
  *link = gone->next;
  gone->next = nullptr;
  delete gone;
}

}  // namespace

void HTMLObject::DeleteAttribute(const char* name) {
  if (!name) return;
  for (HTMLAttribute** link = &attributes; *link; link = &(*link)->next) {
    if ((*link)->name && strcasecmp((*link)->name, name) == 0) {
      DeleteAt(link);
      return;
    }
  }
}

void HTMLObject::DeleteAttribute(int number) {
  for (HTMLAttribute** link = &attributes; *link; link = &(*link)->next) {
    if ((*link)->number == number) {
      DeleteAt(link);
      return;
    }
  }
}

// ---- Files copied into the output ----

void HTMLObject::IncludeJSFunction(const char* path,
                                   const char* functionName) {
  if (!includes) includes = new ValNameList();
  includes->Append(path, functionName ? functionName : "");
}

void HTMLObject::IncludeJSCode(const char* path) {
  if (!includes) includes = new ValNameList();
  includes->Append(path, "");
}

void HTMLObject::IncludeFile(const char* path) {
  if (!includes) includes = new ValNameList();
  includes->Append(path, "");
}

void HTMLObject::IncludeBody(const char* path) {
  if (!bodyFile) bodyFile = CopyOrNull(path);
}
