// KvError: the trace and message lines an error gathers on its way up.

#include "KvError.h"

#include <cstring>

#include "ValList.h"

KvError::KvError() : lines(new ValList()), userLines(new ValList()), kind(kKvErrorFault) {}

KvError::~KvError() {
  delete lines;
  delete userLines;
}

void KvError::AddLine(int line, const String& file, const String& message,
                      KvBoolean forUser) {
  String text = String("Error : line ") + String(line) + " in file " + file + " : " + message;
  lines->Prepend(text.CStr());
  if (forUser) userLines->Prepend(message.CStr());
}

KvError* KvError::Copy() const {
  KvError* copy = new KvError();
  copy->lines->Add(lines);
  copy->userLines->Add(userLines);
  copy->kind = kind;
  return copy;
}

const char* KvSourceName(const char* path) {
  if (path == nullptr) return "";
  const char* slash = strrchr(path, '/');
  return slash ? slash + 1 : path;
}

void KvThrowError(int line, const char* file, const String& message) {
  KvError* error = new KvError();
  error->AddLine(line, file, message, false);
  throw error;
}
