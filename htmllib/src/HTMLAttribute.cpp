// Attributes of HTML elements: owned copies of value and name, an owned
// object, and the rest of the list.
#include "HTMLAttribute.h"

#include <cstdlib>

#include "Chain.h"
#include "HTMLObject.h"

using htmlchain::CopyOrNull;

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
  htmlchain::DeleteChain(&next, &HTMLAttribute::next);
}

void HTMLAttribute::SetValue(const char* text) {
  char* copy = CopyOrNull(text);
  free(value);
  value = copy;
}
