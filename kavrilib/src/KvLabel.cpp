// Labels with search-term highlighting, and indentation.
#include "KvLabel.h"
#include "KvIndentObject.h"

#include <strings.h>

#include <cstring>
#include <string>
#include <vector>

KvLabel::KvLabel(const char* text) : HTMLObject() {
  addObject(text, 0);
  StartOnNewLine(0);
  EndOnNewLine(0);
}

KvLabel::KvLabel(const char* text, ValList* terms) : HTMLObject() {
  StartOnNewLine(0);
  EndOnNewLine(0);
  if (!text) return;
  size_t length = strlen(text);
  if (length == 0) return;

  std::vector<bool> marked(length, false);
  if (!terms || terms->GetCount() == 0) {
    marked.assign(length, true);
  } else {
    for (size_t pos = 0; pos < length; pos++) {
      for (ValListItem* t = terms->GetFirst(); t; t = t->next) {
        if (!t->value) continue;
        size_t termLength = strlen(t->value);
        if (termLength == 0 || termLength > length - pos) continue;
        if (strncasecmp(text + pos, t->value, termLength) == 0) {
          for (size_t k = 0; k < termLength; k++) marked[pos + k] = true;
        }
      }
    }
  }

  size_t start = 0;
  while (start < length) {
    size_t end = start;
    while (end < length && marked[end] == marked[start]) end++;
    std::string run(text + start, end - start);
    if (marked[start]) {
      Font* font = new Font(new B(run.c_str()));
      font->addAttribute(kAttrColor, "red");
      addObject(font);
    } else {
      addObject(run.c_str(), 0);
    }
    start = end;
  }
}

KvLabel::~KvLabel() = default;

KvIndentObject::KvIndentObject(int n) : HTMLObject() { Init(n); }

KvIndentObject::KvIndentObject(HTMLObject* child, int n) : HTMLObject() {
  addObject(child);
  Init(n);
}

void KvIndentObject::Init(int n) {
  std::string spaces;
  for (int i = 0; i < n; i++) spaces += "&nbsp;";
  if (!spaces.empty()) addData(spaces.c_str());
  activateURLs = 0;
  DontEscape(0);
  DontEnhance(0);
}

KvIndentObject::~KvIndentObject() = default;
