// Text areas and selection lists.
#include "KvSelect.h"
#include "KvTextArea.h"

#include <strings.h>

KvTextArea::KvTextArea(const char* name, const char* initial)
    : KvTextArea(name, 4, 40, initial) {}

KvTextArea::KvTextArea(const char* name, int rows, int cols,
                       const char* initial)
    : TextArea() {
  addAttribute(kAttrName, name);
  addAttribute(kAttrRows, rows);
  addAttribute(kAttrCols, cols);
  addAttribute(kAttrWrap, "virtual");
  if (initial) addObject(initial, 0);
}

KvTextArea::~KvTextArea() = default;

namespace {

Option* NewOption(const char* text) {
  Option* option = new Option();
  option->addObject(text, 0);
  return option;
}

}  // namespace

KvSelect::KvSelect(const char* name) : Select() { addAttribute(kAttrName, name); }

KvSelect::~KvSelect() = default;

Option* KvSelect::AddOption(const char* text, const char* value) {
  Option* option = NewOption(text);
  if (value) option->addAttribute(kAttrValue, value);
  addObject(option);
  return option;
}

Option* KvSelect::AddOption(const char* text, int value) {
  Option* option = NewOption(text);
  option->addAttribute(kAttrValue, value);
  addObject(option);
  return option;
}

Option* KvSelect::AddOptionSelected(const char* text, const char* value) {
  Option* option = AddOption(text, value);
  option->addAttribute(kAttrSelected, "true");
  return option;
}

Option* KvSelect::AddOptionSelected(const char* text, int value) {
  Option* option = AddOption(text, value);
  option->addAttribute(kAttrSelected, "true");
  return option;
}

Option* KvSelect::AddOptionWithSelectCheck(const char* text, const char* value,
                                           const char* current) {
  Option* option = AddOption(text, value);
  if (value && current && strcasecmp(value, current) == 0) {
    option->addAttribute(kAttrSelected, "true");
  }
  return option;
}
