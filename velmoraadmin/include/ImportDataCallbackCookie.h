// The progress target of a data conversion: where its reports go while it
// runs, and the errors it collected.
#pragma once

#include "kavrilib.h"

class ImportDataCallbackCookie {
 public:
  // log and page stay the caller's and must outlive the cookie; fileName is
  // copied. The error list is the cookie's own.
  ImportDataCallbackCookie(KvLog* log, KvStreamPage* page,
                           const char* fileName);
  ~ImportDataCallbackCookie();
  ImportDataCallbackCookie(const ImportDataCallbackCookie&) = delete;
  ImportDataCallbackCookie& operator=(const ImportDataCallbackCookie&) =
      delete;

  KvLog* log;
  KvStreamPage* page;
  char* fileName;   // owned
  ValList* errors;  // owned
  int rowsConverted = 0;  // data rows written
  int rowsSkipped = 0;    // data rows that could not be used
};

// A progress report: message at percentage (0 start, 10 or 20 on the way,
// 100 at the end), with the errors found (may be null).
typedef void (*ImportDataCallback)(void* cookie, const char* message,
                                   int percentage, ValList* errors);

// Writes the reports to the cookie's streamed page and to its log.
void ConvertCallbackFunction(void* cookie, const char* message, int percentage,
                             ValList* errors);
