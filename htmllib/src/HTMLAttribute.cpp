// Attributes of HTML elements: owned copies of value and name, an owned
// object, and the rest of the list.
#include "HTMLAttribute.h"

#include <cstdlib>
#include <cstring>

#include "HTMLObject.h"

namespace {

char* CopyOrNull(const char* s) { return s ? strdup(s) : nullptr; }

}  // namespace

HTMLAttribute::HTMLAttribute(int number, const char* value, const char* name,
                             HTMLObject* object)
    : number(number),
      value(CopyOrNull(value)),
      name(CopyOrNull(name)),
      object(object),
      next(nullptr) {}

HTMLAttribute::~HTMLAttribute() {
  free(value);
  free(name);
  delete object;
  // The rest of the list is released iteratively so that a long list does
  // not recurse once per attribute.
  HTMLAttribute* rest = next;
  next = nullptr;
  while (rest) {
    HTMLAttribute* after = rest->next;
    rest->next = nullptr;
    delete rest;
    rest = after;
  }
}

void HTMLAttribute::SetValue(const char* text) {
  char* copy = CopyOrNull(text);
  free(value);
  value = copy;
}
