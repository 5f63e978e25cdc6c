// Emission of the element tree: start and end tags with their indentation
// and line breaks, attributes, the element's text converted as its flags
// say, the files copied into the output, then children and siblings. All
// output goes straight to the request object as the tree is walked.
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "HTMLObject.h"
#include "commonlib.h"

namespace {

// Line reads of copied files use this fixed buffer size.
constexpr int kLineBufferSize = 1024;

struct FileCloser {
  void operator()(FILE* fp) const { fclose(fp); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

FilePtr OpenForReading(const char* path) {
  return FilePtr(path ? fopen(path, "r") : nullptr);
}

void WriteNewLineAndIndent(RequestInfo* req, int indent) {
  req->Write("\n");
  for (int i = 0; i < indent; i++) req->Write(" ");
}

// True when line is the first line of a JavaScript function called name:
// it begins with "function" and its second blank-separated token, cut at
// the start of the argument list or body, equals name ignoring case.
bool IsFunctionLine(const char* line, const char* name) {
  if (strncmp(line, "function", 8) != 0) return false;
  const char* p = line;
  while (*p && *p != ' ' && *p != '\t') p++;
  while (*p == ' ' || *p == '\t') p++;
  size_t len = strcspn(p, " \t\r\n({");
  return len > 0 && len == strlen(name) && strncasecmp(p, name, len) == 0;
}

}  // namespace

void HTMLObject::emitStartFlag(RequestInfo* req, int indent, int lineBreaks,
                               const char* styleName) {
  if (startOnNewLine == 1 && lineBreaks != 0)
    WriteNewLineAndIndent(req, indent);
  const char* start = HTMLTagStart(tag);
  if (*start) req->Write(start);
  emitAttribute(req, indent, lineBreaks, styleName);
  if (*start) req->Write(">");
}

void HTMLObject::emitAttribute(RequestInfo* req, int /*indent*/,
                               int /*lineBreaks*/, const char* styleName) {
  for (HTMLAttribute* a = attributes; a; a = a->next) {
    req->Write(" ");
    req->Write(HTMLAttributeName(a->number));
    req->Write("=\"");
    if (a->value) req->Write(a->value);
    if (a->object) a->object->emit(req, 0, 0, styleName);
    req->Write("\"");
  }
}

void HTMLObject::emitEndFlag(RequestInfo* req, int indent, int lineBreaks) {
  if (endOnNewLine == 1 && lineBreaks != 0) WriteNewLineAndIndent(req, indent);
  const char* end = HTMLTagEnd(tag);
  if (*end) req->Write(end);
}

void HTMLObject::emitText(RequestInfo* req) {
  // Flags that are off hold for everything inside this element.
  if (escape != 1 && firstChild) firstChild->DontEscape(1);
  if (enhance != 1 && firstChild) firstChild->DontEnhance(1);
  if (!text || !*text) return;
  String copy(text);
  if (escape == 1) copy.PrepForHTML();
  if (enhance == 1) copy.HTMLEnhanced();
  if (activateURLs == 1) free(copy.ActivateURLs());
  if (copy.GetBuffer()) req->Write(copy.GetBuffer());
}

void HTMLObject::emitIncludes(RequestInfo* req) {
  if (includes) {
    for (ValNameListItem* item = includes->GetFirst(); item;
         item = item->next) {
      if (!item->value || !*item->value)
        EmitJSCode(req, item->name);
      else
        EmitJSFunction(req, item->name, item->value);
    }
  }
  if (bodyFile) EmitHTMLBody(req, bodyFile);
}

void HTMLObject::emit(RequestInfo* req, int indent, int lineBreaks,
                      const char* styleName) {
  emitStartFlag(req, indent, lineBreaks, styleName);
  emitText(req);
  emitIncludes(req);
  if (firstChild) firstChild->emit(req, indent + 2, lineBreaks, styleName);
  emitEndFlag(req, indent, lineBreaks);
  if (nextObject) nextObject->emit(req, indent, lineBreaks, styleName);
}

int HTMLObject::EmitJSCode(RequestInfo* req, const char* path) {
  FilePtr fp = OpenForReading(path);
  if (!fp) return -1;
  char line[kLineBufferSize];
  while (fgets(line, sizeof line, fp.get())) req->Write(line);
  req->Write("\n\n");
  return 0;
}

int HTMLObject::EmitJSFunction(RequestInfo* req, const char* path,
                               const char* functionName) {
  FilePtr fp = OpenForReading(path);
  if (!fp) return -1;
  if (!functionName) return -1;
  char line[kLineBufferSize];
  bool found = false;
  while (fgets(line, sizeof line, fp.get())) {
    if (!found) {
      if (!IsFunctionLine(line, functionName)) continue;
      found = true;
    }
    req->Write(line);
    if (line[0] == '}') return 0;
  }
  return -1;
}

int HTMLObject::EmitHTMLBody(RequestInfo* req, const char* path) {
  FilePtr fp = OpenForReading(path);
  if (!fp) return -1;
  char line[kLineBufferSize];
  bool inBody = false;
  while (fgets(line, sizeof line, fp.get())) {
    if (!inBody) {
      if (StringSubstring("<body", line)) inBody = true;
      continue;
    }
    if (StringSubstring("</body>", line)) break;
    req->Write(line);
  }
  return 0;
}
